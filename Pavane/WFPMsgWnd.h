// The message window of one device: the listener, on a port of its own, to
// which the device service sends every reply and event of the device. Its
// pump thread decodes each text and routes the decoded message: completions
// to the worker thread that waits for the request, events to the device's
// event thread of their kind.
#ifndef PAVANE_WFPMSGWND_H
#define PAVANE_WFPMSGWND_H

#include <pthread.h>

#include <QObject>
#include <atomic>

#include "CommonSocketServer.h"

class CDevice;

// Threads: construction, CreateThreadWindow and destruction run on the
// device's thread; MsgWndLoop and HandleMessage on the pump thread. The pump
// reads the ports of the device's event threads, so the device destroys its
// window before it stops and forgets those threads.
class WFPMsgWnd : public QObject {
  Q_OBJECT

 public:
  // How long a completion is held back after an execute event was routed.
  static constexpr int kExecuteEventHoldMs = 500;

  explicit WFPMsgWnd(CDevice* device);
  // Stops and joins the pump thread, then closes the server (queued texts
  // are freed).
  ~WFPMsgWnd() override;

  // Binds the server to a random port of 36000 to 45998 (m_hThreadWnd) and
  // starts the pump thread; 1 on success, 0 on failure.
  int CreateThreadWindow();

  // Entry of the pump thread; `window` is the WFPMsgWnd.
  static void* MsgWndLoop(void* window);

  // Routes one decoded message: message is its dwMsgType, wParam the
  // address of the _connect_msg, lParam the address of its WFSRESULT. The
  // message is handed on or released.
  void HandleMessage(unsigned long message, unsigned long wParam, unsigned long lParam);

  // Hand msg (a _connect_msg address) to the worker thread on port
  // threadWnd, or to the device's execute-event, service-event, user-event
  // or system-event thread of the window whose address `window` carries;
  // an event is numbered in the order of the device's events (EventOrder.h).
  // On failure msg is released. The unnamed arguments are not used.
  static void PostExecuteMessage(long, unsigned long threadWnd, unsigned long, unsigned long msg);
  static void PostExecuteEventMessage(unsigned long window, unsigned long, unsigned long msg);
  static void PostServiceEventMessage(unsigned long window, unsigned long, unsigned long msg);
  static void PostUserEventMessage(unsigned long window, unsigned long, unsigned long msg);
  static void PostSystemEventMessage(unsigned long window, unsigned long, unsigned long msg);

  // The owning device.
  CDevice* Device() const { return m_pDevice; }

  // Port of the server; 0 until CreateThreadWindow has bound one. Written
  // before the pump thread starts.
  long m_hThreadWnd = 0;

 private:
  void RunLoop();
  // HandleMessage without its trace and fault containment.
  void Route(unsigned long message, unsigned long wParam, unsigned long lParam);
  // Hands a completion to the worker waiting for it, or releases it when no
  // request is pending; holdAfterEvent: held back after an execute event.
  void RouteCompletion(unsigned long msg, unsigned long lParam, bool holdAfterEvent);
  // Hands an event to the device's event thread of its kind.
  void RouteEvent(unsigned long message, unsigned long msg, unsigned long lParam);

  std::atomic<bool> m_stop{false};  // written by the destructor, read by the pump
  CDevice* m_pDevice;               // the owning device (not owned)
  bool m_executeEventWait = false;  // pump thread only
  CommonSocketServer m_server;      // owned
  pthread_t m_thread{};             // valid while m_threadStarted
  bool m_threadStarted = false;     // device's thread only
};

#endif
