// The request operations of a device, its command data list, the process
// check and the stopping of a service.
#include "Device.h"

#include <QByteArray>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

#include "DeviceEventThread.h"
#include "DeviceExecuteThread.h"
#include "LockGuard.h"
#include "WFPCommonFunc.h"
#include "WFPMsgWnd.h"
#include "dllmain.h"
#include "kestrel.h"
#include "ostrel.h"

namespace {

const char kModule[] = "WFPX";
const char kSource[] = "Device";
const unsigned long kSettlePauseMs = 100;
const DWORD kNoTimeLimit = 0xFFFFFFFFu;

unsigned int CurrentThreadNumber() {
  return static_cast<unsigned int>(reinterpret_cast<std::uintptr_t>(QThread::currentThreadId()));
}

QByteArray FaultText(const char* operation) {
  return QByteArray("CDevice::") + operation + " catch an exception!";
}

// Stops, destroys and forgets one event thread.
template <class Thread>
void StopEventThread(Thread*& thread, unsigned short hService, const char* stoppedText) {
  if (thread == nullptr) return;
  thread->StopThread();
  delete thread;
  thread = nullptr;
  tracelog(2, kModule, stoppedText, hService);
}

template <class Thread>
Thread* StartEventThread(CDevice* device) {
  Thread* thread = new Thread;
  thread->SetInitThread(device);
  thread->StartThread();  // a thread that cannot start does not fail the open
  return thread;
}

}  // namespace

// How one of the requests that a worker completes (open, close, lock,
// unlock, get-info, execute) differs from the others.
struct CDevice::WorkerRequest {
  const char* name;             // operation name in the log texts
  LONG kind;
  bool startsTimeOut;           // execute: the worker runs the time-out
  bool stopsOnMissingProcess;   // close: the service ends with its device service
  const char* startFailedText;
  const char* sendingText;      // with the service handle and worker port; or NULL
  int sendingLevel;             // trace level of sendingText
};

CDevice::CDevice(const char* logicalName, int serviceClass) : m_nServiceClass(serviceClass) {
  std::memset(m_szLogicalName, 0, sizeof(m_szLogicalName));
  std::memset(m_szExecutable, 0, sizeof(m_szExecutable));
  std::memset(m_szLibName, 0, sizeof(m_szLibName));
  if (logicalName != nullptr)
    std::strncpy(m_szLogicalName, logicalName, sizeof(m_szLogicalName) - 1);
}

CDevice::~CDevice() {
  CFunctionTraceScope trace("~CDevice", "CDevice");
  try {
    CDevice::ImmediateUnloadService(nullptr);
    StopAllThread();
    delete[] m_pAppID;
    m_pAppID = nullptr;
    CLockGuard guard(m_csCommandData);
    m_listCommandData.clear();  // pending entries are dropped
  } catch (...) {
    tracelogException(kSource, __LINE__, kModule, "CDevice::~CDevice catch an exception!");
  }
}

void CDevice::SetSPWnd(long port) { m_SPWnd = port; }
long CDevice::GetSPWnd() const { return m_SPWnd; }
void CDevice::SetDeviceStatus(int status) { m_nDeviceStatus = status; }
int CDevice::GetDeviceStatus() const { return m_nDeviceStatus; }

int CDevice::OnCheckDeviceStatus() { return 0; }

int CDevice::ImmediateSetTraceLevel(_stRequestData* /*request*/) { return 0; }

_stRequestData* CDevice::CopyRequest(const _stRequestData* request) const {
  _stRequestData* copy = new _stRequestData(*request);
  copy->lType = m_nServiceClass;
  return copy;
}

void CDevice::FillDataOption(const _stRequestData* request, int kind,
                             _tagDataOption& option) const {
  option = _tagDataOption{};
  option.hService = request->hService;
  option.requestID = request->ReqID;
  option.hWnd = static_cast<DWORD>(m_replyPort.load());
  option.devHwnd = static_cast<DWORD>(m_SPWnd);
  option.nCmdType = static_cast<DWORD>(kind);
  option.dwTimeout = request->dwTimeOut;
  option.lType = m_nServiceClass;
  option.lpszLogicalName = const_cast<char*>(m_szLogicalName);
  option.lpAppId = m_pAppID;
  if (kind == KvSP_CMD_GETINFO) {
    option.dwCategory = request->dwCategory;
    option.lpDataBuffer = request->lpData;
  } else if (kind == KvSP_CMD_EXECUTE || kind == KvSP_CMD_CANCEL ||
             kind == KvSP_CMD_UNLOAD_SERVICE) {
    option.dwCommand = request->dwCommand;
    option.lpDataBuffer = request->lpData;
  }
}

void CDevice::StartEventThreads() {
  tracelog(2, kModule, "CDevice::ImmediateOpen start EXE EVENT.");
  m_pExecuteEventThread = StartEventThread<CDeviceExecuteEventThread>(this);
  tracelog(2, kModule, "CDevice::ImmediateOpen start USER EVENT.");
  m_pUserEventThread = StartEventThread<CDeviceUserEventThread>(this);
  tracelog(2, kModule, "CDevice::ImmediateOpen start SRV EVENT.");
  m_pServiceEventThread = StartEventThread<CDeviceServiceEventThread>(this);
  tracelog(2, kModule, "CDevice::ImmediateOpen start SYS EVENT.");
  m_pSystemEventThread = StartEventThread<CDeviceSystemEventThread>(this);
}

void CDevice::StopEventThreads(unsigned short hService) {
  StopEventThread(m_pExecuteEventThread, hService, "hServie[%d] Stop ExeEventMonitor Thread.");
  StopEventThread(m_pUserEventThread, hService, "hServie[%d] Stop UserEventMonitor Thread.");
  StopEventThread(m_pServiceEventThread, hService, "hServie[%d] Stop ServiceEventMonitor Thread.");
  StopEventThread(m_pSystemEventThread, hService, "hServie[%d] Stop SystemEventMonitor Thread.");
}

int CDevice::ImmediateOpen(_stRequestData* request) {
  static const WorkerRequest kOpen{"ImmediateOpen", KvSP_CMD_OPEN, false, false,
                                   "CDevice::ImmediateOpen StartThread Failed!",
                                   "CDevice::ImmediateOpen PostMessage to SP", 2};
  CFunctionTraceScope trace("ImmediateOpen", "CDevice");
  try {
    if (request->dwTimeOut == 0) request->dwTimeOut = kNoTimeLimit;
    if (request->lpszAppID != nullptr) {
      delete[] m_pAppID;
      m_pAppID = nullptr;
      const std::size_t length = std::strlen(request->lpszAppID);
      m_pAppID = new char[length + 1]();
      std::memcpy(m_pAppID, request->lpszAppID, length);
    }
    {
      CLockGuard guard(m_csCommandData);
      m_hService = request->hService;
      m_open = true;
    }
    ++g_devCount;  // the device counts as opened even when its worker fails

    tracelog(2, kModule, "CDevice::ImmediateOpen start SPMsgWnd. CurrentThreadID = [%x]",
             CurrentThreadNumber());
    m_pMsgWnd = new WFPMsgWnd(this);
    m_pMsgWnd->CreateThreadWindow();  // a window that cannot start does not fail the open
    m_replyPort = m_pMsgWnd->m_hThreadWnd;
    StartEventThreads();

    tracelog(2, kModule, "CDevice::ImmediateOpen start EXECUTE Thread.");
    const int result = Dispatch(request, kOpen);
    tracelog(2, kModule, "CDevice::ImmediateOpen hResult=[%d]", result);
    return result;
  } catch (...) {
    tracelogException(kSource, __LINE__, kModule, "CDevice::ImmediateOpen catch an exception!");
    return WFS_ERR_SOFTWARE_ERROR;
  }
}

int CDevice::RunWorkerRequest(_stRequestData* request, const WorkerRequest& spec) {
  CFunctionTraceScope trace(spec.name, "CDevice");
  try {
    if (!IsModuleExist()) {
      tracelog(4, kModule, "CDevice::%s FindModule %s Failed", spec.name, m_szExecutable);
      request->hResult = WFS_ERR_CONNECTION_LOST;
      if (spec.stopsOnMissingProcess) StopAllThread();
      tracelog(1, kModule, "CDevice::%s hResult=[%d]", spec.name, WFS_ERR_CONNECTION_LOST);
      return WFS_ERR_CONNECTION_LOST;
    }
    const int result = Dispatch(request, spec);
    tracelog(1, kModule, "CDevice::%s hResult=[%d]", spec.name, result);
    return result;
  } catch (...) {
    tracelogException(kSource, __LINE__, kModule, FaultText(spec.name).constData());
    return WFS_ERR_SOFTWARE_ERROR;
  }
}

int CDevice::Dispatch(_stRequestData* request, const WorkerRequest& spec) {
  ReapEndedWorkers();
  std::unique_ptr<CDeviceExecuteThread> worker(new CDeviceExecuteThread);
  if (!worker->StartThread()) {
    tracelog(4, kModule, "%s", spec.startFailedText);
    request->hResult = WFS_ERR_INTERNAL_ERROR;
    return WFS_ERR_INTERNAL_ERROR;
  }
  if (spec.kind == KvSP_CMD_OPEN) QThread::msleep(kSettlePauseMs);
  const long threadWnd = worker->m_ThreadWnd;
  AddCommandData(request->hWnd, request->hService, request->ReqID, threadWnd);
  std::unique_ptr<_stRequestData> copy(CopyRequest(request));
  worker->SetInitThread(this, copy.release());
  if (spec.startsTimeOut) worker->SendRun();
  if (!Enlist(worker.get())) {
    // The service stopped meanwhile: the request is refused, nothing is sent.
    tracelog(3, kModule, "CDevice::%s the service has stopped", spec.name);
    RemoveCommandDataOf(threadWnd);
    request->hResult = WFS_ERR_INVALID_HSERVICE;
    return WFS_ERR_INVALID_HSERVICE;
  }
  // The device's from here on: a stop may end it at any time, so only its
  // port is used below.
  worker.release();
  _tagDataOption option;
  FillDataOption(request, spec.kind, option);
  if (spec.sendingText != nullptr)
    tracelog(spec.sendingLevel, kModule, spec.sendingText, request->hService,
             static_cast<int>(threadWnd));
  if (!Ostrel::SendMessage(&option)) {
    tracelog(4, kModule, "CDevice::%s SendMessage failed!", spec.name);
    // No completion can come from the device service: the request ends at
    // once, through its worker.
    RemoveCommandDataOf(threadWnd);
    CDeviceExecuteThread::EndRequest(threadWnd, request->hService, request->ReqID,
                                     WFS_ERR_CONNECTION_LOST);
  }
  return WFS_SUCCESS;
}

int CDevice::ExecuteRequestProcess(_stRequestData* request) {
  static const WorkerRequest kExecute{"ExecuteRequestProcess", KvSP_CMD_EXECUTE, true, false,
                                      "CDevice::ExecuteRequestProcess StartThread Failed!",
                                      nullptr, 1};
  return RunWorkerRequest(request, kExecute);
}

int CDevice::ImmediateGetInfo(_stRequestData* request) {
  static const WorkerRequest kGetInfo{
      "ImmediateGetInfo", KvSP_CMD_GETINFO, false, false,
      "CDevice::ImmediateGetInfo StartThread Failed",
      "CDevice::ImmediateGetInfo PostMessage wparam[hService]=[%d];lparam[dwPageIndex]=[%d]", 1};
  return RunWorkerRequest(request, kGetInfo);
}

int CDevice::ImmediateClose(_stRequestData* request) {
  static const WorkerRequest kClose{"ImmediateClose", KvSP_CMD_CLOSE, false, true,
                                    "CDevice::ImmediateClose StartThread Failed!",
                                    "CDevice::ImmediateClose PostMessage hService=[%d]", 1};
  return RunWorkerRequest(request, kClose);
}

int CDevice::ImmediateLock(_stRequestData* request) {
  static const WorkerRequest kLock{"ImmediateLock", KvSP_CMD_LOCK, false, false,
                                   "CDevice::ImmediateLock StartThread Failed!",
                                   "CDevice::ImmediateLock PostMessage wparam[hService]=[%d]", 1};
  return RunWorkerRequest(request, kLock);
}

int CDevice::ImmediateUnLock(_stRequestData* request) {
  static const WorkerRequest kUnlock{"ImmediateUnLock", KvSP_CMD_UNLOCK, false, false,
                                     "CDevice::ImmediateUnLock StartThread Failed",
                                     "CDevice::ImmediateUnLock PostMessage wparam[hService]=[%d]", 1};
  return RunWorkerRequest(request, kUnlock);
}

int CDevice::CancelRequestProcess(_stRequestData* request) {
  CFunctionTraceScope trace("CancelRequestProcess", "CDevice");
  try {
    // Nothing pending changes here: the cancelled request ends with its completion.
    _tagDataOption option;
    FillDataOption(request, KvSP_CMD_CANCEL, option);
    if (!Ostrel::SendMessage(&option))
      tracelog(4, kModule, "CDevice::CancelRequestProcess SendMessage failed!");
    request->hResult = WFS_SUCCESS;
    return WFS_SUCCESS;
  } catch (...) {
    tracelogException(kSource, __LINE__, kModule,
                      "CDevice::CancelRequestProcess catch an exception!");
    return WFS_ERR_SOFTWARE_ERROR;
  }
}

int CDevice::CompleteRegistration(_stRequestData* request, const char* resultText,
                                  const char* faultText) {
  // The entry point has already changed the registration table: the
  // completion is posted at once and nothing goes to the device service.
  try {
    std::unique_ptr<_stRequestData> copy(CopyRequest(request));
    copy->hResult = WFS_SUCCESS;
    PostMessage(copy.get(), nullptr);
    tracelog(1, kModule, resultText, WFS_SUCCESS);
    return WFS_SUCCESS;
  } catch (...) {
    tracelogException(kSource, __LINE__, kModule, faultText);
    return WFS_ERR_SOFTWARE_ERROR;
  }
}

int CDevice::ImmediateRegister(_stRequestData* request) {
  return CompleteRegistration(request, "CDevice::ImmediateRegister hResult=[%d]",
                              "CDevice::ImmediateRegister catch an exception!");
}

int CDevice::ImmediateDeregister(_stRequestData* request) {
  return CompleteRegistration(request, "CDevice::ImmediateDeregister hResult=[%d]",
                              "CDevice::ImmediateDeregister catch an exception!");
}

int CDevice::ImmediateUnloadService(_stRequestData* request) {
  try {
    if (IsModuleExist()) return WFS_SUCCESS;
    if (request != nullptr) {
      _tagDataOption option;
      FillDataOption(request, KvSP_CMD_UNLOAD_SERVICE, option);
      if (!Ostrel::SendMessage(&option))
        tracelog(4, kModule, "CDevice::ImmediateUnloadService SendMessage failed!");
    }
    StopAllThread();
    return WFS_SUCCESS;
  } catch (...) {
    tracelog(4, kModule, "ImmediateUnloadService catch an exception,GetLastError()=[%d]", errno);
    return WFS_ERR_INTERNAL_ERROR;
  }
}

int CDevice::AddCommandData(long hWnd, unsigned short hService, unsigned long reqID,
                            long threadWnd) {
  CLockGuard guard(m_csCommandData);
  m_listCommandData.push_back(_stCommandData{static_cast<HWND>(hWnd), hService,
                                             static_cast<REQUESTID>(reqID),
                                             static_cast<LONG>(threadWnd)});
  return 1;
}

int CDevice::GetThreadIDAndRemoveCommandData(unsigned short hService, unsigned long reqID,
                                             long& threadWnd) {
  CLockGuard guard(m_csCommandData);
  tracelog(1, kModule, "GetThreadIDAndRemoveCommandData size=%d",
           static_cast<int>(m_listCommandData.size()));
  int matches = 0;
  for (auto it = m_listCommandData.begin(); it != m_listCommandData.end();) {
    tracelog(1, kModule,
             "GetThreadIDAndRemoveCommandData cycle it->hService=%d it->reqID=%d it->threadWnd=%d",
             it->hService, it->reqID, it->threadWnd);
    if (it->hService != hService || it->reqID != static_cast<REQUESTID>(reqID)) {
      ++it;
      continue;
    }
    if (++matches > 1)
      tracelog(3, kModule,
               "CDevice::GetThreadIDAndRemoveCommandData hService[%d] reqID[%d]  get another",
               hService, static_cast<int>(reqID));
    threadWnd = it->threadWnd;  // the last match wins
    it = m_listCommandData.erase(it);
  }
  return matches > 0 ? 1 : 0;
}

int CDevice::GetCommandDataCount() {
  CLockGuard guard(m_csCommandData);
  return static_cast<int>(m_listCommandData.size());
}

int CDevice::IsModuleExist() {
  const char* slash = std::strrchr(m_szExecutable, '/');
  const char* program = slash != nullptr ? slash + 1 : m_szExecutable;
  return CWFPCommonFunc::GetPIDbyName_Wrapper(program) != -1 ? 1 : 0;
}

void CDevice::StopAllThread() {
  CFunctionTraceScope trace("StopAllThread", "CDevice");
  try {
    unsigned short hService = 0;
    std::list<CDeviceExecuteThread*> workers;
    {
      // Once: from here on the device takes no request.
      CLockGuard guard(m_csCommandData);
      hService = m_hService;
      if (hService != 0) {
        m_hService = 0;
        m_open = false;
        workers.swap(m_workers);
      }
    }
    if (hService == 0) {
      tracelog(2, kModule, "CDevice::StopAllThread m_hService is NULL");
      return;
    }
    _stServiceItem item;
    if (CWFPCommonFunc::DeleteService(hService, item)) {
      m_stopHold = true;  // the table's hold, until ReleaseServiceEntry
    } else {
      tracelog(4, kModule, "CDevice::StopAllThread DeleteService %d Failed", hService);
    }
    --g_devCount;
    // The window goes first: its pump reaches the event threads and the
    // workers through this device, and no completion can come after it.
    delete m_pMsgWnd;
    m_pMsgWnd = nullptr;
    m_replyPort = 0;
    // No event comes after the window; those still on their way (their
    // registrations are gone) wait for nothing while their threads stop.
    m_eventOrder.Close();
    StopEventThreads(hService);
    // Requests still waiting complete as cancelled.
    for (CDeviceExecuteThread* worker : workers) {
      worker->Cancel();
      delete worker;
    }
    CLockGuard guard(m_csCommandData);
    m_listCommandData.clear();
  } catch (...) {
    tracelogException(kSource, __LINE__, kModule, "CDevice::StopAllThread catch an exception!");
  }
}

void CDevice::AddUse() { m_holds.fetch_add(1); }

void CDevice::ReleaseUse() {
  if (m_holds.fetch_sub(1) == 1) delete this;
}

void CDevice::ReleaseServiceEntry() {
  if (m_stopHold.exchange(false)) ReleaseUse();
}

bool CDevice::Enlist(CDeviceExecuteThread* worker) {
  CLockGuard guard(m_csCommandData);
  if (!m_open) return false;
  m_workers.push_back(worker);
  return true;
}

bool CDevice::BeginStop(CDeviceExecuteThread* worker) {
  {
    CLockGuard guard(m_csCommandData);
    auto found = std::find(m_workers.begin(), m_workers.end(), worker);
    if (!m_open || found == m_workers.end()) return false;
    m_workers.erase(found);
    m_open = false;
  }
  AddUse();
  return true;
}

int CDevice::WaitingWorkers() {
  CLockGuard guard(m_csCommandData);
  return static_cast<int>(std::count_if(m_workers.begin(), m_workers.end(),
                                        [](CDeviceExecuteThread* w) { return w->Waiting(); }));
}

void CDevice::ReapEndedWorkers() {
  std::list<CDeviceExecuteThread*> ended;
  {
    CLockGuard guard(m_csCommandData);
    for (auto it = m_workers.begin(); it != m_workers.end();) {
      if ((*it)->LoopEnded()) {
        ended.push_back(*it);
        it = m_workers.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (CDeviceExecuteThread* worker : ended) delete worker;
}

void CDevice::RemoveCommandDataOf(long threadWnd) {
  CLockGuard guard(m_csCommandData);
  m_listCommandData.remove_if(
      [threadWnd](const _stCommandData& entry) { return entry.threadWnd == threadWnd; });
}

void CDeviceUse::Take(CDevice* device) {
  Reset();
  if (device != nullptr) device->AddUse();
  m_device = device;
}

void CDeviceUse::Adopt(CDevice* device) {
  Reset();
  m_device = device;
}

void CDeviceUse::Reset() {
  CDevice* device = m_device;
  m_device = nullptr;
  if (device != nullptr) device->ReleaseUse();
}
