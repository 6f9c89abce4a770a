// The worker thread of one request: it holds a copy of the request, waits on
// its own port for the request's completion, posts the completion to the
// application and then disposes of itself. For an execute it also runs the
// request's time-out, which sends a time-out notice to the device service.
#ifndef PAVANE_DEVICEEXECUTETHREAD_H
#define PAVANE_DEVICEEXECUTETHREAD_H

#include <memory>
#include <mutex>

#include "WFPThread.h"
#include "sptimer.h"

struct _stRequestData;

// Threads: the creating thread (construction, StartThread, SetInitThread,
// SendRun), the loop thread (handlers, ReleaseThread, disposal) and the
// timer thread (TimeEvent, which reads only the copies taken at hand-over).
// The timer reaches the worker through a link that the destructor cuts, and
// the destructor waits for a TimeEvent under way.
//
// Disposal: a worker ends in one of two ways. After its completion it
// disposes of itself on its own loop thread. When its device stops first
// (close completion, unload), ReclaimWorkers ends and destroys it without
// posting anything. A live worker is enlisted with its device by
// SetInitThread; whoever takes it off that list owns its destruction.
class CDeviceExecuteThread : public CWFPThread {
  Q_OBJECT

 public:
  // The shortest time-out applied to an execute, in milliseconds.
  static constexpr unsigned long kShortestTimeOutMs = 500;

  CDeviceExecuteThread();
  // Stops the timer, frees the request copy, ends the loop and closes the
  // server.
  ~CDeviceExecuteThread() override;

  // Does nothing for a worker.
  void SetInitThread(CDevice* device) override;
  // Hand-over: the worker takes ownership of request (a heap copy with
  // lType set) and enlists with device.
  void SetInitThread(CDevice* device, _stRequestData* request);
  // Starts the request's time-out (execute requests).
  void SendRun();
  // The time-out: sends a time-out notice for the request to the device
  // service. The worker keeps waiting for the completion.
  void TimeEvent();
  // On the loop thread, after a completion was posted: pauses 100 ms and
  // disposes of the worker once its handler has returned.
  void ReleaseThread();

  void OnOpenComplete(_wfs_result* result) override;
  void OnGetInfoComplete(_wfs_result* result) override;
  void OnExecuteComplete(_wfs_result* result) override;
  void OnCloseComplete(_wfs_result* result) override;
  void OnLockComplete(_wfs_result* result) override;
  void OnUnlockComplete(_wfs_result* result) override;

  // Ends and destroys every worker still enlisted with device, without
  // posting anything: their completions can no longer come. Called when the
  // device stops, after its message window has been destroyed. Must not run
  // on the loop thread of one of those workers.
  static void ReclaimWorkers(CDevice* device);
  // Workers enlisted with device (all devices for NULL).
  static int LiveWorkers(CDevice* device);

  CDevice* m_pDevice = nullptr;               // not owned, except on the close path
  _stRequestData* m_pRequestData = nullptr;   // owned copy; NULL once freed

 private:
  struct Completion;
  void Complete(_wfs_result* result, const Completion& kind);
  void CloseDevice();
  void FreeRequest();

  // How the timer's thread reaches the worker: worker is NULL once the
  // worker is going; lock is held while TimeEvent runs.
  struct TimerLink {
    std::mutex lock;
    CDeviceExecuteThread* worker;
  };

  unsigned short m_hService = 0;  // copies taken at hand-over, never changed
  unsigned long m_reqID = 0;
  long m_spWnd = 0;
  sptimer m_timer;
  std::shared_ptr<TimerLink> m_timerLink;  // set by SendRun, shared with the timer's task
  bool m_ownsDisposal = false;    // loop thread only: taken off the device's list
};

#endif
