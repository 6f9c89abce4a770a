#include "KvSPPINDevice.h"

#include "DeviceClassTraits.h"

namespace {

// Event identifiers let through, by kind; no user event is.
constexpr DWORD kExecuteEvents[] = {401};
constexpr DWORD kServiceEvents[] = {402, 403, 404, 405, 406};

// Fault report lines by kind: execute, user, service, system.
constexpr DeviceClassTraits kTraits{
    "CKvSPPINDevice",
    "KvSPPINDevice",
    true,
    {EventIdSet(kExecuteEvents), EventIdSet(), EventIdSet(kServiceEvents),
     EventIdSet(kAllSystemEventIds)},
    {72, 108, 160, 215},
    24,
};

}  // namespace

CKvSPPINDevice::CKvSPPINDevice(const char* logicalName)
    : CDevice(logicalName, WFS_SERVICE_CLASS_PIN) {}

CKvSPPINDevice::~CKvSPPINDevice() {
  TraceDeviceClassDestructor(kTraits, "~CKvSPPINDevice", true);
  TraceDeviceClassDestructor(kTraits, "~CKvSPPINDevice", false);
}

int CKvSPPINDevice::OnExecuteEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kExecuteEventKind, lpEvent, item);
}

int CKvSPPINDevice::OnUserEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kUserEventKind, lpEvent, item);
}

int CKvSPPINDevice::OnServiceEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kServiceEventKind, lpEvent, item);
}

int CKvSPPINDevice::OnSystemEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kSystemEventKind, lpEvent, item);
}
