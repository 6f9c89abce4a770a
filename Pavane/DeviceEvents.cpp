// Delivery of events to the application's registered windows.
#include <cstdint>
#include <cstring>
#include <list>

#include "Device.h"
#include "LockGuard.h"
#include "WFPApp.h"
#include "WFPCommonFunc.h"
#include "corvid.h"
#include "dllmain.h"
#include "kestrel.h"

namespace {

// The event class bit of an event message; 0 for any other number.
DWORD EventClassOf(unsigned int msg) {
  switch (msg) {
    case WFS_EXECUTE_EVENT: return EXECUTE_EVENTS;
    case WFS_SERVICE_EVENT: return SERVICE_EVENTS;
    case WFS_USER_EVENT: return USER_EVENTS;
    case WFS_SYSTEM_EVENT: return SYSTEM_EVENTS;
    default: return 0;
  }
}

int TraceInt(const void* pointer) { return static_cast<int>(reinterpret_cast<intptr_t>(pointer)); }

// A copy of text in a block of `size` bytes (at least strlen + 1) chained to
// root; NULL when it cannot be allocated.
LPSTR CopyChained(const char* text, std::size_t size, LPVOID root) {
  LPVOID block = nullptr;
  if (WFMAllocateMore(static_cast<ULONG>(size), root, &block) != WFS_SUCCESS || block == nullptr)
    return nullptr;
  std::memset(block, 0, size);
  std::memcpy(block, text, std::strlen(text));
  return static_cast<LPSTR>(block);
}

// The lpszAppID member of a system event's structure, for the events that
// carry one; NULL for the others.
LPSTR* AppIdMember(WFSRESULT* lpEvent) {
  switch (lpEvent->u.dwEventID) {
    case WFS_SYSE_UNDELIVERABLE_MSG:
      return &static_cast<LPWFSUNDEVMSG>(lpEvent->lpBuffer)->lpszAppID;
    case WFS_SYSE_VERSION_ERROR:
      return &static_cast<LPWFSVRSNERROR>(lpEvent->lpBuffer)->lpszAppID;
    case WFS_SYSE_APP_DISCONNECT:
      return &static_cast<LPWFSAPPDISC>(lpEvent->lpBuffer)->lpszAppID;
    case WFS_SYSE_HARDWARE_ERROR:
    case WFS_SYSE_SOFTWARE_ERROR:
    case WFS_SYSE_USER_ERROR:
      return &static_cast<LPWFSHWERROR>(lpEvent->lpBuffer)->lpszAppID;
    default:
      return nullptr;
  }
}

}  // namespace

int CDevice::PollingSendMsg(void* lpEvent, const _stRegHwndItem* item, unsigned short msg) {
  CFunctionTraceScope trace("PollingSendMsg", "CDevice");
  try {
    const DWORD classBit = EventClassOf(msg);
    WFSRESULT* event = static_cast<WFSRESULT*>(lpEvent);
    if (event == nullptr) {
      tracelog(4, "WFPX", "CDevice::PollingSendMsg Event Data is NULL");
      return 0;
    }
    tracelog(1, "WFPX", "CDevice::PollingSendMsg pos1");
    if (item == nullptr || (item->dwEventClass & classBit) == 0) return 0;
    tracelog(1, "WFPX", "CDevice::PollingSendMsg pos2");
    if (item->hService != m_hService) return 0;
    tracelog(1, "WFPX", "CDevice::PollingSendMsg pos3");
    const long lParam = reinterpret_cast<long>(event);
    if (classBit == EXECUTE_EVENTS) {
      tracelog(1, "WFPX", "CDevice::PollingSendMsg pos4");
      if (event->hService != m_hService) {
        tracelog(3, "WFPX",
                 "CDevice::PollingSendMsg PostMessage msg[%d] to hWndReg[%d] lparam=[%d] "
                 "lpEvent->hService!= m_hService",
                 msg, static_cast<int>(item->hWndReg), TraceInt(event));
        return 0;
      }
      tracelog(1, "WFPX", "CDevice::PollingSendMsg PostMessage msg[%d] to hWndReg[%d] lparam=[%d]",
               msg, static_cast<int>(item->hWndReg), TraceInt(event));
      return PostMessage_WFSRESULT(item->hWndReg, msg, 0, lParam);
    }
    if (classBit == SYSTEM_EVENTS) {
      tracelog(1, "WFPX", "CDevice::PollingSendMsg pos5");
      LPSTR* appId = event->lpBuffer != nullptr && m_pAppID != nullptr ? AppIdMember(event) : nullptr;
      if (appId != nullptr) {
        // Left unchanged when the copy cannot be allocated.
        LPSTR copy = CopyChained(m_pAppID, std::strlen(m_pAppID) + 1, event);
        if (copy != nullptr) *appId = copy;
      }
    }
    tracelog(1, "WFPX", "CDevice::PollingSendMsg pos6");
    event->hService = m_hService;
    tracelog(1, "WFPX", "CDevice::PollingSendMsg pos7");
    int result = PostMessage_WFSRESULT(item->hWndReg, msg, 0, lParam);
    tracelog(1, "WFPX", "CDevice::PollingSendMsg pos8");
    return result;
  } catch (...) {
    tracelogException("Device", 1496, "WFPX", "CDevice::PollingSendMsg catch an exception!");
    return 0;
  }
}

int CDevice::SendSysEventMsg(unsigned int msg, unsigned int eventId) {
  CFunctionTraceScope trace("SendSysEventMsg", "CDevice");
  try {
    const DWORD classBit = EventClassOf(msg);
    std::list<_stRegHwndItem> registrations;
    {
      CLockGuard guard(g_csRegHwndLock);
      registrations = g_listRegHwndItems;
    }
    const _stRegHwndItem* target = nullptr;
    for (const _stRegHwndItem& item : registrations) {
      if ((item.dwEventClass & classBit) != 0 && item.hService == m_hService) {
        target = &item;
        break;
      }
    }
    if (target == nullptr) {
      tracelog(4, "WFPX", "CDevice::SendSysEventMsg Failed[Can't Find RegHWnd]");
      return 0;
    }

    LPVOID record = nullptr;
    HRESULT hResult = WFMAllocateBuffer(sizeof(WFSRESULT), WFS_MEM_ZEROINIT, &record);
    WFSRESULT* result = hResult == WFS_SUCCESS ? static_cast<WFSRESULT*>(record) : nullptr;
    LPVOID names = nullptr;
    if (result != nullptr) hResult = WFMAllocateMore(sizeof(WFSAPPDISC), result, &names);
    LPWFSAPPDISC disc = result != nullptr && hResult == WFS_SUCCESS ? static_cast<LPWFSAPPDISC>(names)
                                                                    : nullptr;
    if (disc != nullptr) {
      std::memset(disc, 0, sizeof(WFSAPPDISC));
      const char* workstation = g_pTheApp != nullptr ? g_pTheApp->GetWorkstationName() : "";
      disc->lpszWorkstationName = CopyChained(workstation, WFP_WORKSTATION_NAME_LEN + 1, result);
      disc->lpszLogicalName = CopyChained(m_szLogicalName, WFP_NAME_LEN + 1, result);
      if (m_pAppID != nullptr) disc->lpszAppID = CopyChained(m_pAppID, std::strlen(m_pAppID) + 1, result);
    }
    if (disc == nullptr || disc->lpszWorkstationName == nullptr || disc->lpszLogicalName == nullptr ||
        (m_pAppID != nullptr && disc->lpszAppID == nullptr)) {
      // Nothing half-built is posted.
      if (result != nullptr) WFMFreeBuffer(result);
      tracelog(4, "WFPX", "CDevice::SendSysEventMsg Failed: hResult = [%d]",
               hResult != WFS_SUCCESS ? hResult : WFS_ERR_OUT_OF_MEMORY);
      return 0;
    }
    result->lpBuffer = disc;
    result->hService = m_hService;
    GetLocalTime(&result->tsTimestamp);
    result->u.dwEventID = eventId;
    tracelog(1, "WFPX", "CDevice::SendSysEventMsg PostMessage msg[%d] to hWndReg[%d];lparam=[%d]",
             static_cast<int>(msg), static_cast<int>(target->hWndReg), TraceInt(result));
    int posted = PostMessage_WFSRESULT(target->hWndReg, msg, 0, reinterpret_cast<long>(result));
    // An event that could not be posted is still ours.
    if (posted == 0) WFMFreeBuffer(result);
    return posted;
  } catch (...) {
    tracelogException("Device", 1651, "WFPX", "CDevice::SendSysEventMsg catch an exception!");
    return 0;
  }
}
