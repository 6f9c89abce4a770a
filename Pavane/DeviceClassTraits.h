// What distinguishes one device class: its name, the events it lets through
// and the places its faults are reported from.
#ifndef PAVANE_DEVICECLASSTRAITS_H
#define PAVANE_DEVICECLASSTRAITS_H

#include <cstddef>

#include "xfsapi.h"

// The kinds of event a device class filters, in the order of its tables.
enum DeviceEventKind { kExecuteEventKind, kUserEventKind, kServiceEventKind, kSystemEventKind,
                       kDeviceEventKinds };

// A fixed set of event identifiers (may be empty).
struct EventIdSet {
  const DWORD* ids = nullptr;
  std::size_t count = 0;

  EventIdSet() = default;
  template <std::size_t N>
  constexpr EventIdSet(const DWORD (&list)[N]) : ids(list), count(N) {}

  bool Contains(DWORD id) const {
    for (std::size_t i = 0; i < count; ++i)
      if (ids[i] == id) return true;
    return false;
  }
};

struct DeviceClassTraits {
  const char* className;      // "CKvSPIDCDevice"
  const char* sourceName;     // source unit for exception reports
  bool exclaimedFaults;       // fault texts end in "!"
  EventIdSet events[kDeviceEventKinds];
  int faultLines[kDeviceEventKinds];
  int destructorFaultLine;
};

// The system events every class lets through: WFS_SYSE_UNDELIVERABLE_MSG
// to WFS_SYSE_LOCK_REQUESTED.
inline constexpr DWORD kAllSystemEventIds[] = {1, 2, 3, 4, 5, 6, 7, 8};

// The entry and exit lines of a device class's destructor; a fault in them
// is reported and destruction goes on.
void TraceDeviceClassDestructor(const DeviceClassTraits& traits, const char* destructorName,
                                bool entry);

#endif
