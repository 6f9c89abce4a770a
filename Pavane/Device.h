// The service provider's object for one opened logical service: it turns
// each SPI request into a request for the device service, keeps the list of
// pending requests, owns the message window and the four event threads, and
// posts completions to the application's windows.
#ifndef PAVANE_DEVICE_H
#define PAVANE_DEVICE_H

#include <QObject>
#include <QString>

#include <atomic>
#include <list>

#include "EventOrder.h"
#include "ThreadLock.h"
#include "WFPRecords.h"

class WFPMsgWnd;
class CDeviceExecuteThread;
class CDeviceExecuteEventThread;
class CDeviceUserEventThread;
class CDeviceServiceEventThread;
class CDeviceSystemEventThread;
struct DeviceClassTraits;
struct _tagDataOption;

#define WFP_NAME_LEN 260

// Life: the service table holds an opened device from WFPOpen on, and an
// entry point that finds it in the table holds a use of it until it returns
// (CDeviceUse). The device stops once (close completion, an open or close
// that cannot reach the device service, unload, device service gone):
// StopAllThread removes its service entry and takes the table's hold over,
// ReleaseServiceEntry lets go of that hold, and the device destroys itself
// when the last hold is let go, on the thread that lets it go. None of the
// device's own threads holds it: the device joins them before it goes.
class CDevice : public QObject {
  Q_OBJECT

 public:
  // Stores the logical name (cut to 259 bytes) and the XFS service class.
  CDevice(const char* logicalName, int serviceClass);
  // Unloads the service when its device service is gone, stops it, ends
  // its workers and drops pending entries.
  ~CDevice() override;
  CDevice(const CDevice&) = delete;
  CDevice& operator=(const CDevice&) = delete;

  // Requests. Each takes the entry point's record and returns the HRESULT
  // the entry point returns; the completion follows on a worker thread.
  virtual int ExecuteRequestProcess(_stRequestData* request);
  virtual int CancelRequestProcess(_stRequestData* request);
  virtual int OnCheckDeviceStatus();

  // Events of the device service, filtered by the device class. Each takes
  // ownership of lpEvent: it is posted to the registered window or freed.
  // 0 when handled (posted or refused), -1 for a NULL event or a fault.
  virtual int OnExecuteEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) = 0;
  virtual int OnUserEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) = 0;
  virtual int OnServiceEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) = 0;
  virtual int OnSystemEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) = 0;

  virtual int ImmediateOpen(_stRequestData* request);
  virtual int ImmediateGetInfo(_stRequestData* request);
  virtual int ImmediateClose(_stRequestData* request);
  virtual int ImmediateSetTraceLevel(_stRequestData* request);
  // request may be NULL (teardown): then nothing is sent.
  virtual int ImmediateUnloadService(_stRequestData* request);
  virtual int ImmediateLock(_stRequestData* request);
  virtual int ImmediateUnLock(_stRequestData* request);
  virtual int ImmediateRegister(_stRequestData* request);
  virtual int ImmediateDeregister(_stRequestData* request);

  void SetSPWnd(long port);
  long GetSPWnd() const;
  void SetDeviceStatus(int status);
  int GetDeviceStatus() const;

  const char* GetLogicalName() const { return m_szLogicalName; }
  int GetServiceClass() const { return m_nServiceClass; }
  unsigned short GetServiceHandle() const { return m_hService; }
  const char* GetAppID() const { return m_pAppID; }  // NULL when open gave none
  const char* GetExecutableName() const { return m_szExecutable; }
  const char* GetLibraryName() const { return m_szLibName; }

  // What the device owns at run time; NULL before open and after stop.
  // (Only the device's own threads may follow these pointers.)
  WFPMsgWnd* GetMsgWnd() const { return m_pMsgWnd; }
  CDeviceExecuteEventThread* GetExecuteEventThread() const { return m_pExecuteEventThread; }
  CDeviceUserEventThread* GetUserEventThread() const { return m_pUserEventThread; }
  CDeviceServiceEventThread* GetServiceEventThread() const { return m_pServiceEventThread; }
  CDeviceSystemEventThread* GetSystemEventThread() const { return m_pSystemEventThread; }
  // The order of the device's events: numbered by the window's pump, waited
  // for by the event threads.
  CEventOrder& EventOrder() { return m_eventOrder; }

  // Command data list.
  int AddCommandData(long hWnd, unsigned short hService, unsigned long reqID, long threadWnd);
  // Removes every entry of (hService, reqID); the last one's worker port goes
  // to threadWnd. 1 when one matched, else 0.
  int GetThreadIDAndRemoveCommandData(unsigned short hService, unsigned long reqID,
                                      long& threadWnd);
  int GetCommandDataCount();

  // 1 when the device service process runs (or cannot be looked for).
  int IsModuleExist();
  // Ends the service, once: service entry (whose hold the device keeps for
  // ReleaseServiceEntry) and registrations, device count, message window,
  // event threads, and the workers still waiting, whose requests complete
  // with WFS_ERR_CANCELED. Nothing for a device that is not open.
  void StopAllThread();

  // Holds. AddUse may run under the service table's lock (it takes no
  // lock); ReleaseUse destroys the device when it lets go of the last hold.
  void AddUse();
  void ReleaseUse();
  // Lets go of the table's hold that StopAllThread took over; nothing when
  // it took none or it has been let go already.
  void ReleaseServiceEntry();

  // Workers. The device owns a worker from Enlist on: false when the
  // service has stopped (the caller keeps the worker). BeginStop is the
  // close of the device beginning on worker: true for the first, which
  // leaves the list, holds a use and must stop the service; false when the
  // service is stopping already.
  bool Enlist(CDeviceExecuteThread* worker);
  bool BeginStop(CDeviceExecuteThread* worker);
  // Enlisted workers whose request has not ended.
  int WaitingWorkers();

  // Reads the device service's library and executable names through the
  // XFS manager's configuration; the argument is not used. Returns 0.
  int GetSPWindowName(long unused);
  // The absolute path of the first regular file below `directory` whose name
  // matches `fileName`; empty when there is none.
  static QString GetFilePath(QString directory, QString fileName);

  // Posting to the application's windows.
  //
  // A completion built from the request alone (register, deregister, a
  // failure decided here); lpBuffer is NULL for every caller. The record is
  // freed when it cannot be posted.
  void PostMessage(_stRequestData* request, void* lpBuffer);
  // The decoded result of a completion, restamped; the application owns it
  // once posted. 1 posted; 0 not, and the record is still the caller's.
  int PostMessage_ResultMsg(_stRequestData* request, void* lpResult);
  // Traces and posts one message, up to five attempts; 1 posted, 0 not.
  static int PostMessage_WFSRESULT(long hWnd, unsigned int message, unsigned int wParam,
                                   long lParam);
  // The local time now; wDayOfWeek is left as it is.
  static void GetLocalTime(SYSTEMTIME* time);

  // Event delivery to a registered window. Non-zero when the event now
  // belongs to the application, 0 when the caller still owns it.
  int PollingSendMsg(void* lpEvent, const _stRegHwndItem* item, unsigned short msg);
  // An event of the device's own making to the first registered window of
  // the service that takes the class of msg.
  int SendSysEventMsg(unsigned int msg, unsigned int eventId);

 protected:
  // The event filter shared by the device classes: lets the identifiers of
  // the class's set through to PollingSendMsg, frees every other event.
  int FilterEvent(const DeviceClassTraits& traits, int kind, WFSRESULT* lpEvent,
                  const _stRegHwndItem* item);

 private:
  struct WorkerRequest;
  int RunWorkerRequest(_stRequestData* request, const WorkerRequest& spec);
  int Dispatch(_stRequestData* request, const WorkerRequest& spec);
  void RemoveCommandDataOf(long threadWnd);
  // Joins and destroys the enlisted workers whose loop has ended.
  void ReapEndedWorkers();
  int CompleteRegistration(_stRequestData* request, const char* resultText,
                           const char* faultText);
  void FillDataOption(const _stRequestData* request, int kind, _tagDataOption& option) const;
  _stRequestData* CopyRequest(const _stRequestData* request) const;
  void StartEventThreads();
  void StopEventThreads(unsigned short hService);

  // Threads: the request operations run on the SPI callers' threads, the
  // completions on worker threads, the events on the event threads.
  char m_szLogicalName[WFP_NAME_LEN];  // fixed at construction
  // Written by open (the SPI thread) and by StopAllThread, which stops the
  // message window first and then the event threads before forgetting them;
  // the window's pump reads the thread pointers only while it runs. Other
  // threads read the window's port from m_replyPort.
  WFPMsgWnd* m_pMsgWnd = nullptr;
  std::atomic<long> m_replyPort{0};   // the window's port; 0 before open and after stop
  CDeviceExecuteEventThread* m_pExecuteEventThread = nullptr;
  CDeviceUserEventThread* m_pUserEventThread = nullptr;
  CDeviceServiceEventThread* m_pServiceEventThread = nullptr;
  CDeviceSystemEventThread* m_pSystemEventThread = nullptr;
  std::atomic<int> m_nDeviceStatus{0};  // written by the open and close completions
  const int m_nServiceClass;
  char* m_pAppID = nullptr;      // owned; written by open only, before any thread starts
  // Written by GetSPWindowName, which runs before the device serves requests.
  char m_szExecutable[WFP_NAME_LEN];
  char m_szLibName[WFP_NAME_LEN];
  long m_SPWnd = 0;              // set before open, then only read
  // Set by open, cleared by StopAllThread (both under m_csCommandData).
  std::atomic<unsigned short> m_hService{0};
  std::atomic<int> m_holds{0};            // the table's, the stopper's and the entry points'
  std::atomic<bool> m_stopHold{false};    // StopAllThread holds the table's hold
  // Under m_csCommandData: the pending requests, the workers the device
  // owns, and whether it takes requests (from open until it stops).
  std::list<_stCommandData> m_listCommandData;
  std::list<CDeviceExecuteThread*> m_workers;
  bool m_open = false;
  CThreadLock m_csCommandData;
  // Thread-safe under its own lock: the pump numbers the events, the event
  // threads wait for their turn; closed by StopAllThread.
  CEventOrder m_eventOrder;
};

// One use of a device: the device is not destroyed while the use is held.
class CDeviceUse {
 public:
  CDeviceUse() = default;
  ~CDeviceUse() { Reset(); }
  CDeviceUse(const CDeviceUse&) = delete;
  CDeviceUse& operator=(const CDeviceUse&) = delete;

  // Takes a new use of device (NULL: none).
  void Take(CDevice* device);
  // Takes over a use already added to device.
  void Adopt(CDevice* device);
  // Lets go of the use held.
  void Reset();
  CDevice* operator->() const { return m_device; }
  CDevice* get() const { return m_device; }

 private:
  CDevice* m_device = nullptr;
};

#endif
