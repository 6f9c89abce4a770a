#include "KvSPCRDDevice.h"

#include "DeviceClassTraits.h"

namespace {

// Event identifiers let through, by kind.
constexpr DWORD kExecuteEvents[] = {1405};
constexpr DWORD kUserEvents[] = {1404};
constexpr DWORD kServiceEvents[] = {1401, 1402, 1403, 1406, 1407};

// Fault report lines by kind: execute, user, service, system.
constexpr DeviceClassTraits kTraits{
    "CKvSPCRDDevice",
    "KvSPCRDDevice",
    false,
    {EventIdSet(kExecuteEvents), EventIdSet(kUserEvents), EventIdSet(kServiceEvents),
     EventIdSet(kAllSystemEventIds)},
    {72, 120, 173, 228},
    24,
};

}  // namespace

CKvSPCRDDevice::CKvSPCRDDevice(const char* logicalName)
    : CDevice(logicalName, WFS_SERVICE_CLASS_CRD) {}

CKvSPCRDDevice::~CKvSPCRDDevice() {
  TraceDeviceClassDestructor(kTraits, "~CKvSPCRDDevice", true);
  TraceDeviceClassDestructor(kTraits, "~CKvSPCRDDevice", false);
}

int CKvSPCRDDevice::OnExecuteEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kExecuteEventKind, lpEvent, item);
}

int CKvSPCRDDevice::OnUserEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kUserEventKind, lpEvent, item);
}

int CKvSPCRDDevice::OnServiceEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kServiceEventKind, lpEvent, item);
}

int CKvSPCRDDevice::OnSystemEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) {
  return FilterEvent(kTraits, kSystemEventKind, lpEvent, item);
}
