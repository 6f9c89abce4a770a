#include "DeviceEventThread.h"

#include <cstdint>
#include <string>

#include "Device.h"
#include "EventOrder.h"
#include "LockGuard.h"
#include "WFPCommonFunc.h"
#include "corvid.h"
#include "dllmain.h"
#include "kestrel.h"

// What differs between the four event threads.
struct CDeviceEventThread::Kind {
  const char* className;     // "CDeviceServiceEventThread"
  const char* handler;       // "OnServiceEvent"
  const char* walkLine;      // per registration: its hService, the event's
  const char* noRegistration;
  // The execute-event form of the line above: the size of the found list
  // only, and a NULL event is not freed.
  bool noRegistrationSizeOnly;
  bool progressMarkers;      // "pos1" .. "pos10" at level 1
  const char* source;        // exception report
  int line;
  int (CDevice::*deliver)(WFSRESULT*, const _stRegHwndItem*);
};

namespace {

int TraceInt(const void* pointer) { return static_cast<int>(reinterpret_cast<intptr_t>(pointer)); }

void FreeEvent(_wfs_result* lpEvent) {
  if (lpEvent != nullptr) WFMFreeBuffer(lpEvent);
}

}  // namespace

CDeviceEventThread::~CDeviceEventThread() { StopThread(); }

void CDeviceEventThread::SetInitThread(CDevice* device) { m_pDevice = device; }

void CDeviceEventThread::Deliver(_wfs_result* lpEvent, const Kind& kind) {
  const std::string prefix = std::string(kind.className) + "::" + kind.handler;
  auto marker = [&](const char* pos) {
    if (kind.progressMarkers) tracelog(1, "WFPX", "%s %s", prefix.c_str(), pos);
  };
  CFunctionTraceScope trace(kind.handler, kind.className);
  try {
    if (m_pDevice == nullptr) {
      tracelog(4, "WFPX", "%s m_pDevice = NULL", prefix.c_str());
      // The event is ours and nobody can deliver it.
      FreeEvent(lpEvent);
      return;
    }
    // The device's events reach the application in the order they were
    // sent, whatever their class: this one waits for those before it, and
    // is done, delivered or dropped, when the scope ends.
    CEventTurn turn(&m_pDevice->EventOrder(), lpEvent);
    bool found = false;
    _stRegHwndItem entry{};
    if (lpEvent != nullptr) {
      marker("pos1");
      marker("pos2");
      CLockGuard guard(g_csRegHwndLock);
      marker("pos3");
      for (const _stRegHwndItem& item : g_listRegHwndItems) {
        tracelog(2, "WFPX", kind.walkLine, item.hService, lpEvent->hService);
        if (item.hService == lpEvent->hService) {
          entry = item;
          found = true;
          break;
        }
      }
      marker("pos4");
    }
    marker("pos5");
    if (!found) {
      if (kind.noRegistrationSizeOnly) {
        tracelog(3, "WFPX", kind.noRegistration, 0);
      } else {
        tracelog(3, "WFPX", kind.noRegistration, TraceInt(lpEvent),
                 lpEvent != nullptr ? lpEvent->hService : 0);
      }
      FreeEvent(lpEvent);
      marker("pos6");
      return;
    }
    // At most one registration is used: the call is always the last one.
    marker("pos7");
    (m_pDevice->*kind.deliver)(lpEvent, &entry);
    marker("pos10");
  } catch (...) {
    tracelogException(kind.source, kind.line, "WFPX", (prefix + " catch an exception!").c_str());
  }
}

void CDeviceExecuteEventThread::OnExecuteEvent(_wfs_result* lpEvent) {
  static const Kind kind{"CDeviceExecuteEventThread", "OnExecuteEvent",
                         "CDeviceExecuteEventThread OnExecuteEvent it->hService=%d, lp->hService=%d",
                         "CDeviceExecuteEventThread size=[%d], free!", true, false,
                         "DeviceExecuteEventThread", 94, &CDevice::OnExecuteEvent};
  Deliver(lpEvent, kind);
}

void CDeviceServiceEventThread::OnServiceEvent(_wfs_result* lpEvent) {
  static const Kind kind{
      "CDeviceServiceEventThread", "OnServiceEvent",
      "CDeviceServiceEventThread OnServiceEvent it->hService=%d, lp->hService=%d",
      "CDeviceServiceEventThread::OnServiceEvent arrRegHwndItems size=0! lpEvent=%d hService=%d",
      false, true, "DeviceServiceEventThread", 114, &CDevice::OnServiceEvent};
  Deliver(lpEvent, kind);
}

void CDeviceUserEventThread::OnUserEvent(_wfs_result* lpEvent) {
  static const Kind kind{
      "CDeviceUserEventThread", "OnUserEvent",
      "CDeviceUserEventThread OnUserEvent it->hService=%d, lp->hService=%d",
      "CDeviceUserEventThread::OnUserEvent arrRegHwndItems size=0! lpEvent=%d hService=%d", false,
      false, "DeviceUserEventThread", 91, &CDevice::OnUserEvent};
  Deliver(lpEvent, kind);
}

void CDeviceSystemEventThread::OnSystemEvent(_wfs_result* lpEvent) {
  static const Kind kind{
      "CDeviceSystemEventThread", "OnSystemEvent",
      "CDeviceSystemEventThread OnSystemEvent it->hService=%d, lp->hService=%d",
      "CDeviceSystemEventThread::OnSystemEvent arrRegHwndItems size=0! lpEvent=%d hService=%d",
      false, false, "DeviceSystemEventThread", 92, &CDevice::OnSystemEvent};
  Deliver(lpEvent, kind);
}
