// Payloads of the system events (WFS_SYSTEM_EVENT): the XFS system-event
// structures below the result, built from the event's "lpBuffer".
#ifndef OSTREL_JSONUNFORMATEVENT_SYSTEM_H
#define OSTREL_JSONUNFORMATEVENT_SYSTEM_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformatEvent_System {
 public:
  // Chooses the decoder by u.dwEventID. 1 for event 8 (no payload) and for
  // an unknown identifier (after its line); else the decoder's result.
  static int UnformatSystem(LPWFSRESULT result, Json::Value* value);

  // Each builds its structure in result->lpBuffer; 1 on success, 0 after its
  // failure line (lpBuffer NULL or partly filled).
  static int UnformatUndeliverableMsg(LPWFSRESULT result, Json::Value* value);
  static int UnformatHardwareError(LPWFSRESULT result, Json::Value* value);
  static int UnformatVersionError(LPWFSRESULT result, Json::Value* value);
  static int UnformatDeviceStatus(LPWFSRESULT result, Json::Value* value);
  static int UnformatAppDisconnect(LPWFSRESULT result, Json::Value* value);
  static int UnformatSoftwareError(LPWFSRESULT result, Json::Value* value);
  static int UnformatUserError(LPWFSRESULT result, Json::Value* value);
  // No payload: lpBuffer NULL, 1.
  static int UnformatLockRequested(LPWFSRESULT result, Json::Value* value);
};

// The offsets at which the decoders above fill the system-event structures,
// checked on the 32-bit target (and, shifted by the pointer growth, on this
// one) beside the checks of xfsapi.h.
XFS_CHECK_OFFSET(WFSUNDEVMSG, lpszLogicalName, 0, 0);
XFS_CHECK_OFFSET(WFSUNDEVMSG, lpszWorkstationName, 4, 1);
XFS_CHECK_OFFSET(WFSUNDEVMSG, lpszAppID, 8, 2);
XFS_CHECK_OFFSET(WFSHWERROR, lpszLogicalName, 0, 0);
XFS_CHECK_OFFSET(WFSHWERROR, lpszPhysicalName, 4, 1);
XFS_CHECK_OFFSET(WFSHWERROR, lpszWorkstationName, 8, 2);
XFS_CHECK_OFFSET(WFSHWERROR, lpszAppID, 12, 3);
XFS_CHECK_OFFSET(WFSVRSNERROR, lpszLogicalName, 0, 0);
XFS_CHECK_OFFSET(WFSVRSNERROR, lpszWorkstationName, 4, 1);
XFS_CHECK_OFFSET(WFSVRSNERROR, lpszAppID, 8, 2);
XFS_CHECK_OFFSET(WFSVERSION, wVersion, 0, 0);
XFS_CHECK_OFFSET(WFSVERSION, wLowVersion, 2, 0);
XFS_CHECK_OFFSET(WFSVERSION, wHighVersion, 4, 0);
XFS_CHECK_OFFSET(WFSDEVSTATUS, lpszPhysicalName, 0, 0);
XFS_CHECK_OFFSET(WFSDEVSTATUS, lpszWorkstationName, 4, 1);
XFS_CHECK_OFFSET(WFSAPPDISC, lpszLogicalName, 0, 0);
XFS_CHECK_OFFSET(WFSAPPDISC, lpszWorkstationName, 4, 1);
XFS_CHECK_OFFSET(WFSAPPDISC, lpszAppID, 8, 2);
XFS_CHECK_OFFSET(WFSRESULT, RequestID, 0, 0);

#endif
