// The worker thread of one request: it holds a copy of the request, waits on
// its own port for the request's completion, posts the completion to the
// application and then ends. For an execute it also runs the request's
// time-out, which sends a time-out notice to the device service.
#ifndef PAVANE_DEVICEEXECUTETHREAD_H
#define PAVANE_DEVICEEXECUTETHREAD_H

#include <atomic>

#include "WFPThread.h"
#include "sptimer.h"
#include "xfsapi.h"

struct _stRequestData;

// Threads: the creating thread (construction, StartThread, SetInitThread,
// SendRun, until it hands the worker to its device), the loop thread
// (handlers, ReleaseThread) and the timer thread, which works only on
// copies taken at hand-over and reaches the worker only through its port.
//
// Ownership: the device owns its workers (CDevice::Enlist). A worker whose
// completion has been posted ends its loop; its device joins and destroys
// it later. When the device stops, it cancels the workers still waiting
// (Cancel) and destroys them. The one exception is the worker that ends
// its device (a close completion, a failed open or close): it leaves the
// device's list, stops the service, lets the device go and disposes of
// itself when its loop ends.
class CDeviceExecuteThread : public CWFPThread {
  Q_OBJECT

 public:
  // The shortest time-out applied to an execute, in milliseconds.
  static constexpr unsigned long kShortestTimeOutMs = 500;

  CDeviceExecuteThread();
  // Stops the timer and the loop, closes the server, frees the request copy.
  ~CDeviceExecuteThread() override;

  // Does nothing for a worker.
  void SetInitThread(CDevice* device) override;
  // Hand-over: the worker takes ownership of request (a heap copy with
  // lType set); device is the device of the request (not owned).
  void SetInitThread(CDevice* device, _stRequestData* request);
  // Starts the request's time-out (execute requests).
  void SendRun();
  // The time-out: sends a time-out notice for the request to the device
  // service, and the worker keeps waiting for the completion. A notice that
  // cannot be delivered ends the request with WFS_ERR_TIMEOUT.
  void TimeEvent();
  // On the loop thread, after the request has ended: pauses 100 ms and ends
  // the loop once the handler has returned.
  void ReleaseThread();

  void OnOpenComplete(_wfs_result* result) override;
  void OnGetInfoComplete(_wfs_result* result) override;
  void OnExecuteComplete(_wfs_result* result) override;
  void OnCloseComplete(_wfs_result* result) override;
  void OnLockComplete(_wfs_result* result) override;
  void OnUnlockComplete(_wfs_result* result) override;
  // The request ends here with the notice's hResult (see EndRequest); a
  // failed open or close ends the service too.
  void OnDestoryExeThread(_wfs_result* notice) override;

  // Ends the request (hService, reqID) of the worker on port with hResult,
  // on that worker's thread: it posts the completion built from its request.
  // Used when the request cannot reach the device service, from any thread;
  // nothing happens when that worker is gone.
  static void EndRequest(long port, unsigned short hService, unsigned long reqID,
                         HRESULT hResult);

  // The device stops and has taken this worker off its list (another thread
  // than the worker's): waits for a handler under way, then completes a
  // request still waiting with WFS_ERR_CANCELED. Only destruction follows.
  void Cancel();

  // The worker still holds a request that has not ended.
  bool Waiting() const { return m_waiting.load(); }
  // Workers of device whose request has not ended; for NULL, every worker
  // object in the process.
  static int LiveWorkers(CDevice* device);

  CDevice* m_pDevice = nullptr;               // not owned; NULL once let go
  _stRequestData* m_pRequestData = nullptr;   // owned copy; NULL once freed

 private:
  struct Completion;
  static const Completion& CompletionOf(long kind);
  void Complete(_wfs_result* result, const Completion& kind);
  // Posts the completion (result, or one built from the request) and ends
  // the request; endsService: the service stops first.
  void Deliver(_wfs_result* result, const Completion& kind, bool endsService);
  bool StopService();
  void LetDeviceGo();
  void FreeRequest();

  unsigned short m_hService = 0;  // copies taken at hand-over, never changed
  unsigned long m_reqID = 0;
  long m_spWnd = 0;
  sptimer m_timer;
  bool m_ownsItself = false;      // loop thread only: it left its device's list
  std::atomic<bool> m_waiting{false};  // from hand-over until the request is freed
};

#endif
