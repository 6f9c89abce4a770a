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

#include "ThreadLock.h"
#include "WFPRecords.h"

class WFPMsgWnd;
class CDeviceExecuteEventThread;
class CDeviceUserEventThread;
class CDeviceServiceEventThread;
class CDeviceSystemEventThread;
struct DeviceClassTraits;
struct _tagDataOption;

#define WFP_NAME_LEN 260

class CDevice : public QObject {
  Q_OBJECT

 public:
  // Stores the logical name (cut to 259 bytes) and the XFS service class.
  CDevice(const char* logicalName, int serviceClass);
  // Unloads the service when its device service is gone, stops it and drops
  // pending entries.
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
  WFPMsgWnd* GetMsgWnd() const { return m_pMsgWnd; }
  CDeviceExecuteEventThread* GetExecuteEventThread() const { return m_pExecuteEventThread; }
  CDeviceUserEventThread* GetUserEventThread() const { return m_pUserEventThread; }
  CDeviceServiceEventThread* GetServiceEventThread() const { return m_pServiceEventThread; }
  CDeviceSystemEventThread* GetSystemEventThread() const { return m_pSystemEventThread; }

  // Command data list.
  int AddCommandData(long hWnd, unsigned short hService, unsigned long reqID, long threadWnd);
  // Removes every entry of (hService, reqID); the last one's worker port goes
  // to threadWnd. 1 when one matched, else 0.
  int GetThreadIDAndRemoveCommandData(unsigned short hService, unsigned long reqID,
                                      long& threadWnd);
  int GetCommandDataCount();

  // 1 when the device service process runs (or cannot be looked for).
  int IsModuleExist();
  // Ends the service: service entry and registrations, message window,
  // event threads; nothing for a device that is not open.
  void StopAllThread();

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
  int CompleteRegistration(_stRequestData* request, const char* resultText,
                           const char* faultText);
  void FillDataOption(const _stRequestData* request, int kind, _tagDataOption& option) const;
  _stRequestData* CopyRequest(const _stRequestData* request) const;
  void StartEventThreads();
  void StopEventThreads();

  // Threads: the request operations run on the SPI callers' threads, the
  // completions on worker threads, the events on the event threads.
  char m_szLogicalName[WFP_NAME_LEN];  // fixed at construction
  // Written by open (the SPI thread) and by StopAllThread, which stops the
  // message window first and then the event threads before forgetting them;
  // the window's pump reads the thread pointers only while it runs.
  WFPMsgWnd* m_pMsgWnd = nullptr;
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
  unsigned short m_hService = 0; // set by open, cleared by StopAllThread
  std::list<_stCommandData> m_listCommandData;  // under m_csCommandData
  CThreadLock m_csCommandData;
};

#endif
