#include "KvSPPTRDevice.h"

#include "DeviceClassTraits.h"

namespace {

// Event identifiers let through, by kind.
constexpr DWORD kExecuteEvents[] = {101, 102, 103, 104};
constexpr DWORD kUserEvents[] = {105, 107, 108, 110, 111};
constexpr DWORD kServiceEvents[] = {106, 109, 112};

// Fault report lines by kind: execute, user, service, system.
constexpr DeviceClassTraits kTraits{
    "CKvSPPTRDevice",
    "KvSPPTRDevice",
    false,
    {EventIdSet(kExecuteEvents), EventIdSet(kUserEvents), EventIdSet(kServiceEvents),
     EventIdSet(kAllSystemEventIds)},
    {71, 123, 173, 228},
    20,
};

}  // namespace

CKvSPPTRDevice::CKvSPPTRDevice(const char* logicalName)
    : CDevice(logicalName, WFS_SERVICE_CLASS_PTR) {}

CKvSPPTRDevice::~CKvSPPTRDevice() {
  TraceDeviceClassDestructor(kTraits, "~CKvSPPTRDevice", true);
  TraceDeviceClassDestructor(kTraits, "~CKvSPPTRDevice", false);
}

int CKvSPPTRDevice::OnExecuteEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kExecuteEventKind, lpEvent, item);
}

int CKvSPPTRDevice::OnUserEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kUserEventKind, lpEvent, item);
}

int CKvSPPTRDevice::OnServiceEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kServiceEventKind, lpEvent, item);
}

int CKvSPPTRDevice::OnSystemEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kSystemEventKind, lpEvent, item);
}
