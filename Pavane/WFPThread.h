// The base of every provider thread that receives decoded messages: a server
// on a port of its own and a loop thread that hands each message posted to
// that port to the virtual handler of its message number.
#ifndef PAVANE_WFPTHREAD_H
#define PAVANE_WFPTHREAD_H

#include <pthread.h>

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "CommonSocketServer.h"
#include "ostrel_records.h"

class CDevice;

// Threads: StartThread, StopThread and destruction run on the owner's thread
// (for an object that disposes of itself: on its own loop thread, see
// DisposeWhenLoopEnds); the handlers run one at a time on the loop thread,
// which may also call StopThread to end its own loop.
class CWFPThread : public QObject {
  Q_OBJECT

 public:
  // Message number of OnDestoryExeThread.
  enum { KvSP_DESTROY_EXE_THREAD = 32 };

  CWFPThread();
  // Performs StopThread when it has not run. Derived classes call StopThread
  // first in their own destructors, so no handler runs on a part-destroyed
  // object.
  ~CWFPThread() override;

  // Binds the server to a random port of 13000 to 32998 (m_ThreadWnd) and
  // starts the loop thread; 1 on success, 0 on failure.
  int StartThread();
  // Sets the stop flag, waits for the loop thread (so a handler under way
  // finishes first), closes the server and the mailbox of its port (messages
  // posted and not yet taken are released). After it the object is only
  // destroyed. On the loop thread itself (a handler that ends its thread)
  // it does not wait: the loop ends when the handler returns, and the owner
  // joins it later with another StopThread.
  void StopThread();
  // The loop thread has left its loop (or never ran).
  bool LoopEnded() const { return m_loopEnded.load(); }

  // Entry of the loop thread; `thread` is the CWFPThread.
  static void* MsgEventLoop(void* thread);

  // Joins the loop threads of objects that have disposed of themselves.
  // Runs when a thread starts and when the library is unloaded.
  static void JoinEndedThreads();

  // Port of the thread's server; 0 until StartThread has bound one. Written
  // only by StartThread, before the loop thread starts.
  long m_ThreadWnd = 0;

  // Handlers by message number. Each owns the result it is given; these
  // versions release it, as nobody else will.
  virtual void OnExecuteEvent(_wfs_result* result);
  virtual void OnServiceEvent(_wfs_result* result);
  virtual void OnUserEvent(_wfs_result* result);
  virtual void OnSystemEvent(_wfs_result* result);
  virtual void OnOpenComplete(_wfs_result* result);
  virtual void OnGetInfoComplete(_wfs_result* result);
  virtual void OnExecuteComplete(_wfs_result* result);
  virtual void OnCloseComplete(_wfs_result* result);
  virtual void OnLockComplete(_wfs_result* result);
  virtual void OnUnlockComplete(_wfs_result* result);
  virtual void OnDestoryExeThread(_wfs_result* result);
  virtual void SetInitThread(CDevice* device) = 0;

 protected:
  // Called on the loop thread, from a handler: the loop ends when the
  // handler returns, and the object is destroyed on the loop thread; its
  // thread is joined later by JoinEndedThreads. Nothing may use the object
  // once the handler has returned.
  void DisposeWhenLoopEnds();
  // True on the object's own loop thread.
  bool OnLoopThread() const;
  // Waits ms milliseconds, or less when StopThread is called meanwhile.
  void PauseUnlessStopped(unsigned long ms);

 private:
  void RunLoop();
  void Dispatch(LPCONNECTMSG msg);

  CommonSocketServer m_server;    // owned; used by the loop thread and StopThread
  pthread_t m_thread{};           // valid while m_threadStarted
  bool m_threadStarted = false;   // written by StartThread and by StopThread off the loop thread
  // Server and mailbox are closed once, by the loop thread when a handler
  // ends its thread or by the owner, whichever comes first.
  std::once_flag m_closeOnce;
  std::atomic<int> m_stopFlag{0}; // written by the stopping thread, read by the loop
  std::mutex m_stopLock;          // with m_stopSet: wakes PauseUnlessStopped
  std::condition_variable m_stopSet;
  std::atomic<bool> m_disposeOnExit{false};  // set on the loop thread only
  std::atomic<bool> m_loopEnded{true};       // false while the loop runs
};

#endif
