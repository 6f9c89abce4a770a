#include "KvSPIDCDevice.h"

#include "DeviceClassTraits.h"

namespace {

// Event identifiers let through, by kind.
constexpr DWORD kExecuteEvents[] = {201, 203, 207, 208};
constexpr DWORD kUserEvents[] = {206};
constexpr DWORD kServiceEvents[] = {204, 205, 209};

// Fault report lines by kind: execute, user, service, system.
constexpr DeviceClassTraits kTraits{
    "CKvSPIDCDevice",
    "KvSPIDCDevice",
    true,
    {EventIdSet(kExecuteEvents), EventIdSet(kUserEvents), EventIdSet(kServiceEvents),
     EventIdSet(kAllSystemEventIds)},
    {75, 123, 173, 228},
    24,
};

}  // namespace

CKvSPIDCDevice::CKvSPIDCDevice(const char* logicalName)
    : CDevice(logicalName, WFS_SERVICE_CLASS_IDC) {}

CKvSPIDCDevice::~CKvSPIDCDevice() {
  TraceDeviceClassDestructor(kTraits, "~CKvSPIDCDevice", true);
  TraceDeviceClassDestructor(kTraits, "~CKvSPIDCDevice", false);
}

int CKvSPIDCDevice::OnExecuteEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kExecuteEventKind, lpEvent, item);
}

int CKvSPIDCDevice::OnUserEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kUserEventKind, lpEvent, item);
}

int CKvSPIDCDevice::OnServiceEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kServiceEventKind, lpEvent, item);
}

int CKvSPIDCDevice::OnSystemEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kSystemEventKind, lpEvent, item);
}
