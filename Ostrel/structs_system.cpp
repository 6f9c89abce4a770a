#include "structs_system.h"

#include "xfsapi.h"

namespace codec {
namespace systemevents {

namespace {

using namespace rule;

// Description bytes arrive only when they match their declared size.
constexpr Member kUndeliverableMsgMembers[] = {
    XFS_MEMBER(WFSUNDEVMSG, lpszLogicalName, String()),
    XFS_MEMBER(WFSUNDEVMSG, lpszWorkstationName, String()),
    XFS_MEMBER(WFSUNDEVMSG, lpszAppID, String()),
    XFS_MEMBER(WFSUNDEVMSG, dwSize, Int()),
    XFS_MEMBER(WFSUNDEVMSG, lpbDescription,
               Binary(XFS_FIELD(WFSUNDEVMSG, dwSize), Alloc::kMatchFirst)),
    XFS_MEMBER(WFSUNDEVMSG, dwMsg, Int()),
    XFS_MEMBER(WFSUNDEVMSG, lpWFSResult, Nested(kUndelivered)),
};

// The undelivered result's header as the device service names it; its
// other fields stay 0.
constexpr Member kUndeliveredMembers[] = {
    XFS_MEMBER_AS(WFSRESULT, RequestID, "requestID", Int()),
    XFS_MEMBER(WFSRESULT, hService, Int()),
    XFS_MEMBER(WFSRESULT, hResult, Int()),
    XFS_MEMBER_AS(WFSRESULT, u.dwEventID, "dwEventID", Int()),
};

constexpr Member kHardwareErrorMembers[] = {
    XFS_MEMBER(WFSHWERROR, lpszLogicalName, String()),
    XFS_MEMBER(WFSHWERROR, lpszPhysicalName, String()),
    XFS_MEMBER(WFSHWERROR, lpszWorkstationName, String()),
    XFS_MEMBER(WFSHWERROR, lpszAppID, String()),
    XFS_MEMBER(WFSHWERROR, dwAction, Int()),
    XFS_MEMBER(WFSHWERROR, dwSize, Int()),
    XFS_MEMBER(WFSHWERROR, lpbDescription,
               Binary(XFS_FIELD(WFSHWERROR, dwSize), Alloc::kMatchFirst)),
};

constexpr Member kVersionErrorMembers[] = {
    XFS_MEMBER(WFSVRSNERROR, lpszLogicalName, String()),
    XFS_MEMBER(WFSVRSNERROR, lpszWorkstationName, String()),
    XFS_MEMBER(WFSVRSNERROR, lpszAppID, String()),
    XFS_MEMBER(WFSVRSNERROR, dwSize, Int()),
    XFS_MEMBER(WFSVRSNERROR, lpbDescription,
               Binary(XFS_FIELD(WFSVRSNERROR, dwSize), Alloc::kMatchFirst)),
    XFS_MEMBER(WFSVRSNERROR, lpWFSVersion, Nested(kVersion)),
};

constexpr Member kVersionMembers[] = {
    XFS_MEMBER(WFSVERSION, wVersion, Int()),
    XFS_MEMBER(WFSVERSION, wLowVersion, Int()),
    XFS_MEMBER(WFSVERSION, wHighVersion, Int()),
    XFS_MEMBER(WFSVERSION, szDescription, FixedText()),
    XFS_MEMBER(WFSVERSION, szSystemStatus, FixedText()),
};

constexpr Member kDeviceStatusMembers[] = {
    XFS_MEMBER(WFSDEVSTATUS, lpszPhysicalName, String()),
    XFS_MEMBER(WFSDEVSTATUS, lpszWorkstationName, String()),
    XFS_MEMBER(WFSDEVSTATUS, dwState, Int()),
};

constexpr Member kAppDisconnectMembers[] = {
    XFS_MEMBER(WFSAPPDISC, lpszLogicalName, String()),
    XFS_MEMBER(WFSAPPDISC, lpszWorkstationName, String()),
    XFS_MEMBER(WFSAPPDISC, lpszAppID, String()),
};

}  // namespace

const Description kUndeliverableMsg = XFS_DESCRIPTION(WFSUNDEVMSG, kUndeliverableMsgMembers);
const Description kUndelivered = XFS_DESCRIPTION(WFSRESULT, kUndeliveredMembers);
const Description kHardwareError = XFS_DESCRIPTION(WFSHWERROR, kHardwareErrorMembers);
const Description kVersionError = XFS_DESCRIPTION(WFSVRSNERROR, kVersionErrorMembers);
const Description kVersion = XFS_DESCRIPTION(WFSVERSION, kVersionMembers);
const Description kDeviceStatus = XFS_DESCRIPTION(WFSDEVSTATUS, kDeviceStatusMembers);
const Description kAppDisconnect = XFS_DESCRIPTION(WFSAPPDISC, kAppDisconnectMembers);

Descriptions All() {
  static const Description* const kAll[] = {
      &kUndeliverableMsg, &kUndelivered,  &kHardwareError, &kVersionError,
      &kVersion,          &kDeviceStatus, &kAppDisconnect,
  };
  return DescriptionsOf(kAll);
}

}  // namespace systemevents
}  // namespace codec
