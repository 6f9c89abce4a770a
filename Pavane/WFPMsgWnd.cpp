#include "WFPMsgWnd.h"

#include <QThread>
#include <QtGlobal>
#include <cstring>

#include "Device.h"
#include "DeviceEventThread.h"
#include "EventOrder.h"
#include "HandOverRegistry.h"
#include "PortBinder.h"
#include "ReceiveLoop.h"
#include "WFPCommonFunc.h"
#include "frame.h"
#include "kestrel.h"
#include "ostrel.h"
#include "wiredump.h"

namespace {

LPCONNECTMSG AsMessage(unsigned long value) { return reinterpret_cast<LPCONNECTMSG>(value); }

// Hands msg to the thread on port, or releases it when that fails; true
// when handed over.
bool HandOver(long port, unsigned long msg) {
  if (CHandOverRegistry::Post(port, AsMessage(msg)) == 1) return true;
  tracelog(3, "WFPX", "WFPMsgWnd post to port=[%ld] failed, free msg", port);
  Ostrel::FreeBuffer(AsMessage(msg), 1);
  return false;
}

// Hands an event to one of the device's event threads, numbered in the
// order of the device's events; an event that is not handed over gives up
// its number.
template <typename Thread>
void HandOverEvent(unsigned long window, Thread* (CDevice::*thread)() const, unsigned long msg) {
  const WFPMsgWnd* msgWnd = reinterpret_cast<const WFPMsgWnd*>(window);
  CDevice* device = msgWnd != nullptr ? msgWnd->Device() : nullptr;
  Thread* eventThread = device != nullptr ? (device->*thread)() : nullptr;
  const _wfs_result* event = msg != 0 ? AsMessage(msg)->lpWfsResult : nullptr;
  CEventStamp stamp(device != nullptr ? &device->EventOrder() : nullptr, event);
  if (HandOver(eventThread != nullptr ? eventThread->m_ThreadWnd : 0, msg)) stamp.HandedOver();
}

}  // namespace

WFPMsgWnd::WFPMsgWnd(CDevice* device) : m_pDevice(device) {
  CWFPCommonFunc::FunctionTraceBegin("WFPMsgWnd", "WFPMsgWnd");
  CWFPCommonFunc::FunctionTraceEnd("WFPMsgWnd", "WFPMsgWnd");
}

WFPMsgWnd::~WFPMsgWnd() {
  CFunctionTraceScope trace("~WFPMsgWnd", "WFPMsgWnd");
  try {
    m_stop = true;
    m_server.CloseServer();  // also wakes the pump from its wait
    if (m_threadStarted) {
      pthread_join(m_thread, nullptr);
      m_threadStarted = false;
      tracelog(2, "WFPX", "WFPMsgWnd::~WFPMsgWnd pthread_join");
    }
  } catch (...) {
    tracelogException("WFPMsgWnd", 91, "WFPX", "WFPMsgWnd::~WFPMsgWnd catch an exception!");
  }
}

int WFPMsgWnd::CreateThreadWindow() {
  try {
    int port = BindRandomPort(m_server, kWindowPorts);
    if (port == 0) {
      tracelog(4, "WFPX", "WFPMsgWnd::CreateThreadWindow failed!");
      return 0;
    }
    m_hThreadWnd = port;
    tracelog(2, "WFPX", "WFPMsgWnd::CreateThreadWindow m_hThreadWnd=[%d]", port);
    int error = pthread_create(&m_thread, nullptr, &WFPMsgWnd::MsgWndLoop, this);
    if (error != 0) {
      tracelog(4, "WFPX", "WFPMsgWnd::CreateThreadWindow create thread failed=[%d]!", error);
      // Nobody would take what arrives: the port is given up.
      m_server.CloseServer();
      m_hThreadWnd = 0;
      return 0;
    }
    m_threadStarted = true;
    return 1;
  } catch (...) {
    tracelogException("WFPMsgWnd", 150, "WFPX", "WFPMsgWnd::CreateThreadWindow catch an exception");
    return 0;
  }
}

void* WFPMsgWnd::MsgWndLoop(void* window) {
  if (window != nullptr) static_cast<WFPMsgWnd*>(window)->RunLoop();
  tracelog(4, "WFPX", "WFPMsgWnd MsgWndLoop return!");
  return nullptr;
}

void WFPMsgWnd::RunLoop() {
  char buffer[transport::kTextBufferSize];
  while (!m_stop) {
    if (!NextText(m_server, buffer)) continue;
    if (transport::kRawWireDump) {
      qDebug("GetHeadMessage getMessage=[%s]", buffer);
    } else {
      qDebug("GetHeadMessage getMessage=[%d bytes]", static_cast<int>(std::strlen(buffer)));
    }
    LPCONNECTMSG msg = Ostrel::FormatResData(buffer);
    if (!UsableMessage(msg, "MsgLoop msg is null")) continue;
    tracelog(2, "WFPX", "MsgWndLoop get msg hService=[%d] type=[%d]", msg->hService,
             static_cast<int>(msg->dwMsgType));
    HandleMessage(msg->dwMsgType, reinterpret_cast<unsigned long>(msg),
                  reinterpret_cast<unsigned long>(msg->lpWfsResult));
  }
}

void WFPMsgWnd::HandleMessage(unsigned long message, unsigned long wParam, unsigned long lParam) {
  tracelog(2, "WFPX", "[HandleMessage] message=[%d], wParam=[%ld], lParam=[%ld]",
           static_cast<int>(message), static_cast<long>(wParam), static_cast<long>(lParam));
  try {
    Route(message, wParam, lParam);
  } catch (...) {
    // Every route hands the message on last, and a hand-over does not throw
    // once the message has left: a fault leaves it with the pump.
    tracelogException("WFPMsgWnd", __LINE__, "WFPX", "WFPMsgWnd::HandleMessage catch an exception!");
    Ostrel::FreeBuffer(AsMessage(wParam), 1);
  }
}

void WFPMsgWnd::Route(unsigned long message, unsigned long wParam, unsigned long lParam) {
  switch (message) {
    case KvSP_OPEN_COMPLETE:
    case KvSP_EXECUTE_COMPLETE:
    case KvSP_CLOSE_COMPLETE:
    case KvSP_LOCK_COMPLETE:
    case KvSP_UNLOCK_COMPLETE:
      RouteCompletion(wParam, lParam, true);
      break;
    case KvSP_GETINFO_COMPLETE:
      tracelog(2, "WFPX", "CreateThreadFunc message = [KvSP_GETINFO_COMPLETE] wparam=[%d];lParam=[%d]",
               static_cast<int>(wParam), static_cast<int>(lParam));
      RouteCompletion(wParam, lParam, false);
      break;
    case WFS_EXECUTE_EVENT:
    case WFS_SERVICE_EVENT:
    case WFS_USER_EVENT:
    case WFS_SYSTEM_EVENT:
      RouteEvent(message, wParam, lParam);
      break;
    default:
      tracelog(3, "WFPX", "WFPMsgWnd::HandleMessage unknown message=[%d], free",
               static_cast<int>(message));
      Ostrel::FreeBuffer(AsMessage(wParam), 1);
      break;
  }
}

void WFPMsgWnd::RouteEvent(unsigned long message, unsigned long msg, unsigned long lParam) {
  struct Route {
    unsigned long message;
    const char* text;
    void (*post)(unsigned long window, unsigned long, unsigned long msg);
  };
  static const Route kRoutes[] = {
      {WFS_EXECUTE_EVENT, "CreateThreadFunc message = [WFS_EXECUTE_EVENT] wparam=[%d] lParam=[%d]",
       &WFPMsgWnd::PostExecuteEventMessage},
      {WFS_SERVICE_EVENT, "CreateThreadFunc message = [WFS_SERVICE_EVENT]] wparam=[%d] lParam=[%d]",
       &WFPMsgWnd::PostServiceEventMessage},
      {WFS_USER_EVENT, "CreateThreadFunc message = [WFS_USER_EVENT] wparam=[%d] lParam=[%d]",
       &WFPMsgWnd::PostUserEventMessage},
      {WFS_SYSTEM_EVENT, "CreateThreadFunc message = [WFS_SYSTEM_EVENT] wparam=[%d] lParam=[%d]",
       &WFPMsgWnd::PostSystemEventMessage},
  };
  for (const Route& route : kRoutes) {
    if (route.message != message) continue;
    // The next completion waits until this event has had its head start.
    if (message == WFS_EXECUTE_EVENT) m_executeEventWait = true;
    tracelog(1, "WFPX", route.text, static_cast<int>(msg), static_cast<int>(lParam));
    route.post(reinterpret_cast<unsigned long>(this), 0, msg);
  }
}

void WFPMsgWnd::RouteCompletion(unsigned long msg, unsigned long lParam, bool holdAfterEvent) {
  const _wfs_result* result = reinterpret_cast<const _wfs_result*>(lParam);
  if (result == nullptr) {
    tracelog(3, "WFPX", "WFPMsgWnd::HandleMessage completion without result, free");
    Ostrel::FreeBuffer(AsMessage(msg), 1);
    return;
  }
  if (holdAfterEvent) {
    tracelog(1, "WFPX", "CreateThreadFunc hServie=[%d] reqestID=[%d]", result->hService,
             static_cast<int>(result->RequestID));
  }
  long threadWnd = 0;
  if (m_pDevice == nullptr ||
      m_pDevice->GetThreadIDAndRemoveCommandData(result->hService, result->RequestID, threadWnd) ==
          0) {
    tracelog(4, "WFPX", holdAfterEvent ? "CreateThreadFunc Can't find cmd form CommandData Array"
                                       : "CreateThreadFunc Can't find Info form CommandData Array");
    Ostrel::FreeBuffer(AsMessage(msg), 1);
    return;
  }
  if (holdAfterEvent && m_executeEventWait) {
    tracelog(2, "WFPX", "WFPMsgWnd::HandleMessage exe event wait!");
    m_executeEventWait = false;
    QThread::msleep(kExecuteEventHoldMs);
  }
  PostExecuteMessage(0, static_cast<unsigned long>(threadWnd), 0, msg);
  if (holdAfterEvent) {
    tracelog(2, "WFPX", "WFPMsgWnd::PostExecuteMessage end, threadWnd=[%d]",
             static_cast<int>(threadWnd));
  }
}

void WFPMsgWnd::PostExecuteMessage(long, unsigned long threadWnd, unsigned long, unsigned long msg) {
  HandOver(static_cast<long>(threadWnd), msg);
}

void WFPMsgWnd::PostExecuteEventMessage(unsigned long window, unsigned long, unsigned long msg) {
  HandOverEvent(window, &CDevice::GetExecuteEventThread, msg);
}

void WFPMsgWnd::PostServiceEventMessage(unsigned long window, unsigned long, unsigned long msg) {
  HandOverEvent(window, &CDevice::GetServiceEventThread, msg);
}

void WFPMsgWnd::PostUserEventMessage(unsigned long window, unsigned long, unsigned long msg) {
  HandOverEvent(window, &CDevice::GetUserEventThread, msg);
}

void WFPMsgWnd::PostSystemEventMessage(unsigned long window, unsigned long, unsigned long msg) {
  HandOverEvent(window, &CDevice::GetSystemEventThread, msg);
}
