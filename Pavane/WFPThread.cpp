#include "WFPThread.h"

#include <QThread>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

#include "HandOverRegistry.h"
#include "PortBinder.h"
#include "ReceiveLoop.h"
#include "frame.h"
#include "kestrel.h"
#include "corvid.h"
#include "ostrel.h"

namespace {

// Loop threads of objects that disposed of themselves (a worker that ended
// its device), waiting to be joined. A departing thread is counted from the moment it commits to
// disposing of itself until its handle is here, so that unloading the
// library waits for it to leave the library's code.
class Graveyard {
 public:
  void Depart() {
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_departing;
  }
  void Bury(pthread_t thread) {
    {
      std::lock_guard<std::mutex> guard(m_lock);
      m_ended.push_back(thread);
      --m_departing;
    }
    m_changed.notify_all();
  }
  void JoinEnded() {
    std::vector<pthread_t> ended;
    {
      std::lock_guard<std::mutex> guard(m_lock);
      ended.swap(m_ended);
    }
    for (pthread_t thread : ended) pthread_join(thread, nullptr);
  }
  // At unload: waits (bounded) for the departing threads, then joins all.
  ~Graveyard() {
    {
      std::unique_lock<std::mutex> guard(m_lock);
      m_changed.wait_for(guard, std::chrono::seconds(5), [this] { return m_departing == 0; });
    }
    JoinEnded();
  }

 private:
  std::mutex m_lock;
  std::condition_variable m_changed;
  std::vector<pthread_t> m_ended;  // under m_lock
  int m_departing = 0;             // under m_lock
};

Graveyard& TheGraveyard() {
  static Graveyard graveyard;
  return graveyard;
}

// The CWFPThread whose loop runs on this thread.
thread_local const CWFPThread* t_loopOwner = nullptr;

}  // namespace

// Made with the first thread, so that it is destroyed, and waits for the
// departing threads, before the library's earlier objects go.
CWFPThread::CWFPThread() { TheGraveyard(); }

CWFPThread::~CWFPThread() { StopThread(); }

int CWFPThread::StartThread() {
  JoinEndedThreads();
  int port = BindRandomPort(m_server, kThreadPorts);
  if (port == 0) {
    tracelog(4, "WFPX", "CWFPThread::StartThread m_ThreadWnd failed!");
    return 0;
  }
  m_ThreadWnd = port;
  tracelog(2, "WFPX", "CWFPThread::StartThread m_ThreadWnd=[%d]", port);
  CHandOverRegistry::OpenMailbox(port);
  // Set before the loop starts, which may read it when it disposes of itself.
  m_threadStarted = true;
  m_loopEnded = false;
  int error = pthread_create(&m_thread, nullptr, &CWFPThread::MsgEventLoop, this);
  if (error != 0) {
    m_threadStarted = false;
    m_loopEnded = true;
    tracelog(4, "WFPX", "CWFPThread::StartThread create m_ThreadId failed=[%d]!", error);
    CHandOverRegistry::CloseMailbox(port);
    m_server.CloseServer();
    m_ThreadWnd = 0;
    return 0;
  }
  return 1;
}

void CWFPThread::StopThread() {
  {
    std::lock_guard<std::mutex> guard(m_stopLock);
    m_stopFlag = 1;
  }
  m_stopSet.notify_all();
  // Closing the server also wakes the loop from its wait. Once: a worker
  // that ends itself and the device that cancels it may both get here.
  std::call_once(m_closeOnce, [this] {
    // The mailbox goes first: once the server has released the port, a new
    // thread may bind it and open a mailbox of its own under the same port.
    if (m_ThreadWnd != 0) CHandOverRegistry::CloseMailbox(m_ThreadWnd);
    m_server.CloseServer();
  });
  if (m_threadStarted && !OnLoopThread()) {
    pthread_join(m_thread, nullptr);
    m_threadStarted = false;
    tracelog(2, "WFPX", "CWFPThread::~CWFPThread pthread_join");
  }
}

void* CWFPThread::MsgEventLoop(void* thread) {
  if (thread == nullptr) {
    tracelog(4, "WFPX", "MsgEventLoop break by Point is NULL");
    tracelog(4, "WFPX", "MsgEventLoop return!");
    return nullptr;
  }
  static_cast<CWFPThread*>(thread)->RunLoop();
  return nullptr;
}

void CWFPThread::RunLoop() {
  t_loopOwner = this;
  char buffer[transport::kTextBufferSize];
  while (m_stopFlag == 0) {
    if (!NextText(m_server, buffer)) continue;
    LPCONNECTMSG msg = nullptr;  // held by the loop until dispatched
    try {
      tracelog(1, "WFPX", "MsgEventLoop Post");
      msg = CHandOverRegistry::Take(m_ThreadWnd, buffer);
      if (!UsableMessage(msg, "MsgEventLoop msg is null")) continue;
      tracelog(1, "WFPX", "MsgEventLoop pmsg=[%d] dwMsgType=[%d] hService=[%d]",
               static_cast<int>(reinterpret_cast<intptr_t>(msg)), static_cast<int>(msg->dwMsgType),
               msg->lpWfsResult != nullptr ? msg->lpWfsResult->hService : 0);
      LPCONNECTMSG dispatched = msg;
      msg = nullptr;
      Dispatch(dispatched);
    } catch (...) {
      tracelogException("WFPThread", __LINE__, "WFPX", "CWFPThread::MsgEventLoop catch an exception!");
      if (msg != nullptr) Ostrel::FreeBuffer(msg, 1);
    }
  }
  tracelog(4, "WFPX", "MsgEventLoop break CWFPThread=%d",
           static_cast<int>(reinterpret_cast<intptr_t>(this)));
  if (m_disposeOnExit) {
    pthread_t self = pthread_self();
    // The owner of its own thread: StopThread here does not wait for itself.
    m_threadStarted = false;
    delete this;
    TheGraveyard().Bury(self);
    return;
  }
  m_loopEnded = true;
}

void CWFPThread::Dispatch(LPCONNECTMSG msg) {
  void (CWFPThread::*handler)(_wfs_result*) = nullptr;
  switch (msg->dwMsgType) {
    case KvSP_OPEN_COMPLETE: handler = &CWFPThread::OnOpenComplete; break;
    case KvSP_GETINFO_COMPLETE: handler = &CWFPThread::OnGetInfoComplete; break;
    case KvSP_EXECUTE_COMPLETE: handler = &CWFPThread::OnExecuteComplete; break;
    case KvSP_CLOSE_COMPLETE: handler = &CWFPThread::OnCloseComplete; break;
    case KvSP_LOCK_COMPLETE: handler = &CWFPThread::OnLockComplete; break;
    case KvSP_UNLOCK_COMPLETE: handler = &CWFPThread::OnUnlockComplete; break;
    case KvSP_DESTROY_EXE_THREAD: handler = &CWFPThread::OnDestoryExeThread; break;
    case WFS_EXECUTE_EVENT: handler = &CWFPThread::OnExecuteEvent; break;
    case WFS_SERVICE_EVENT: handler = &CWFPThread::OnServiceEvent; break;
    case WFS_USER_EVENT: handler = &CWFPThread::OnUserEvent; break;
    case WFS_SYSTEM_EVENT: handler = &CWFPThread::OnSystemEvent; break;
    default: break;
  }
  if (handler == nullptr) {
    // Nobody takes the result of an unknown message.
    Ostrel::FreeBuffer(msg, 1);
    return;
  }
  _wfs_result* result = msg->lpWfsResult;
  // The envelope goes first: a handler may end the thread's life.
  Ostrel::FreeBuffer(msg, 0);
  try {
    (this->*handler)(result);
  } catch (...) {
    tracelogException("WFPThread", __LINE__, "WFPX", "CWFPThread::MsgEventLoop catch an exception!");
  }
}

void CWFPThread::DisposeWhenLoopEnds() {
  TheGraveyard().Depart();
  m_disposeOnExit = true;
  m_stopFlag = 1;
}

bool CWFPThread::OnLoopThread() const {
  return t_loopOwner == this;
}

void CWFPThread::PauseUnlessStopped(unsigned long ms) {
  std::unique_lock<std::mutex> guard(m_stopLock);
  m_stopSet.wait_for(guard, std::chrono::milliseconds(ms), [this] { return m_stopFlag != 0; });
}

void CWFPThread::JoinEndedThreads() { TheGraveyard().JoinEnded(); }

namespace {

// A message this thread does not handle: its result is released here, as
// the handler owns it and nobody else will.
void Release(_wfs_result* result) {
  if (result != nullptr) WFMFreeBuffer(result);
}

}  // namespace

void CWFPThread::OnExecuteEvent(_wfs_result* result) { Release(result); }
void CWFPThread::OnServiceEvent(_wfs_result* result) { Release(result); }
void CWFPThread::OnUserEvent(_wfs_result* result) { Release(result); }
void CWFPThread::OnSystemEvent(_wfs_result* result) { Release(result); }
void CWFPThread::OnOpenComplete(_wfs_result* result) { Release(result); }
void CWFPThread::OnGetInfoComplete(_wfs_result* result) { Release(result); }
void CWFPThread::OnExecuteComplete(_wfs_result* result) { Release(result); }
void CWFPThread::OnCloseComplete(_wfs_result* result) { Release(result); }
void CWFPThread::OnLockComplete(_wfs_result* result) { Release(result); }
void CWFPThread::OnUnlockComplete(_wfs_result* result) { Release(result); }
void CWFPThread::OnDestoryExeThread(_wfs_result* result) { Release(result); }
