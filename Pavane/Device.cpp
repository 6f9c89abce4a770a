// The request operations of a device, its command data list, the process
// check and the stopping of a service.
#include "Device.h"

#include <QByteArray>
#include <QThread>

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

// How one of the worker requests (close, lock, unlock, get-info, execute)
// differs from the others.
struct CDevice::WorkerRequest {
  const char* name;             // operation name in the log texts
  LONG kind;
  bool startsTimeOut;           // execute: the worker runs the time-out
  bool stopsOnMissingProcess;   // close: the service ends with its device service
  const char* startFailedText;
  const char* sendingText;      // level 1, with the service handle and worker port; or NULL
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
    delete[] m_pAppID;
    m_pAppID = nullptr;
    StopAllThread();
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
  option.hWnd = m_pMsgWnd != nullptr ? static_cast<DWORD>(m_pMsgWnd->m_hThreadWnd) : 0;
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

void CDevice::StopEventThreads() {
  StopEventThread(m_pExecuteEventThread, m_hService, "hServie[%d] Stop ExeEventMonitor Thread.");
  StopEventThread(m_pUserEventThread, m_hService, "hServie[%d] Stop UserEventMonitor Thread.");
  StopEventThread(m_pServiceEventThread, m_hService,
                  "hServie[%d] Stop ServiceEventMonitor Thread.");
  StopEventThread(m_pSystemEventThread, m_hService,
                  "hServie[%d] Stop SystemEventMonitor Thread.");
}

int CDevice::ImmediateOpen(_stRequestData* request) {
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
    m_hService = request->hService;

    tracelog(2, kModule, "CDevice::ImmediateOpen start SPMsgWnd. CurrentThreadID = [%x]",
             CurrentThreadNumber());
    m_pMsgWnd = new WFPMsgWnd(this);
    m_pMsgWnd->CreateThreadWindow();  // a window that cannot start does not fail the open
    StartEventThreads();

    int result = WFS_SUCCESS;
    tracelog(2, kModule, "CDevice::ImmediateOpen start EXECUTE Thread.");
    std::unique_ptr<CDeviceExecuteThread> worker(new CDeviceExecuteThread);
    if (!worker->StartThread()) {
      tracelog(4, kModule, "CDevice::ImmediateOpen StartThread Failed!");
      request->hResult = WFS_ERR_INTERNAL_ERROR;
      result = WFS_ERR_INTERNAL_ERROR;
    } else {
      QThread::msleep(kSettlePauseMs);
      AddCommandData(request->hWnd, request->hService, request->ReqID, worker->m_ThreadWnd);
      std::unique_ptr<_stRequestData> copy(CopyRequest(request));
      worker->SetInitThread(this, copy.release());
      worker.release();  // enlisted with this device: it disposes of itself
      _tagDataOption option;
      FillDataOption(request, KvSP_CMD_OPEN, option);
      tracelog(2, kModule, "CDevice::ImmediateOpen PostMessage to SP");
      if (!Ostrel::SendMessage(&option))
        tracelog(4, kModule, "CDevice::ImmediateOpen SendMessage failed!");
    }
    ++g_devCount;  // the device counts as opened even when its worker failed
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
    int result = WFS_SUCCESS;
    if (!IsModuleExist()) {
      tracelog(4, kModule, "CDevice::%s FindModule %s Failed", spec.name, m_szExecutable);
      request->hResult = WFS_ERR_CONNECTION_LOST;
      if (spec.stopsOnMissingProcess) StopAllThread();
      tracelog(1, kModule, "CDevice::%s hResult=[%d]", spec.name, WFS_ERR_CONNECTION_LOST);
      return WFS_ERR_CONNECTION_LOST;
    }
    std::unique_ptr<CDeviceExecuteThread> worker(new CDeviceExecuteThread);
    if (!worker->StartThread()) {
      tracelog(4, kModule, "%s", spec.startFailedText);
      request->hResult = WFS_ERR_INTERNAL_ERROR;
      result = WFS_ERR_INTERNAL_ERROR;
    } else {
      const long threadWnd = worker->m_ThreadWnd;
      AddCommandData(request->hWnd, request->hService, request->ReqID, threadWnd);
      std::unique_ptr<_stRequestData> copy(CopyRequest(request));
      CDeviceExecuteThread* running = worker.release();  // disposes of itself from here on
      running->SetInitThread(this, copy.release());
      if (spec.startsTimeOut) running->SendRun();
      _tagDataOption option;
      FillDataOption(request, spec.kind, option);
      if (spec.sendingText != nullptr)
        tracelog(1, kModule, spec.sendingText, request->hService, static_cast<int>(threadWnd));
      if (!Ostrel::SendMessage(&option))
        tracelog(4, kModule, "CDevice::%s SendMessage failed!", spec.name);
    }
    tracelog(1, kModule, "CDevice::%s hResult=[%d]", spec.name, result);
    return result;
  } catch (...) {
    tracelogException(kSource, __LINE__, kModule, FaultText(spec.name).constData());
    return WFS_ERR_SOFTWARE_ERROR;
  }
}

int CDevice::ExecuteRequestProcess(_stRequestData* request) {
  static const WorkerRequest kExecute{"ExecuteRequestProcess", KvSP_CMD_EXECUTE, true, false,
                                      "CDevice::ExecuteRequestProcess StartThread Failed!",
                                      nullptr};
  return RunWorkerRequest(request, kExecute);
}

int CDevice::ImmediateGetInfo(_stRequestData* request) {
  static const WorkerRequest kGetInfo{
      "ImmediateGetInfo", KvSP_CMD_GETINFO, false, false,
      "CDevice::ImmediateGetInfo StartThread Failed",
      "CDevice::ImmediateGetInfo PostMessage wparam[hService]=[%d];lparam[dwPageIndex]=[%d]"};
  return RunWorkerRequest(request, kGetInfo);
}

int CDevice::ImmediateClose(_stRequestData* request) {
  static const WorkerRequest kClose{"ImmediateClose", KvSP_CMD_CLOSE, false, true,
                                    "CDevice::ImmediateClose StartThread Failed!",
                                    "CDevice::ImmediateClose PostMessage hService=[%d]"};
  return RunWorkerRequest(request, kClose);
}

int CDevice::ImmediateLock(_stRequestData* request) {
  static const WorkerRequest kLock{"ImmediateLock", KvSP_CMD_LOCK, false, false,
                                   "CDevice::ImmediateLock StartThread Failed!",
                                   "CDevice::ImmediateLock PostMessage wparam[hService]=[%d]"};
  return RunWorkerRequest(request, kLock);
}

int CDevice::ImmediateUnLock(_stRequestData* request) {
  static const WorkerRequest kUnlock{"ImmediateUnLock", KvSP_CMD_UNLOCK, false, false,
                                     "CDevice::ImmediateUnLock StartThread Failed",
                                     "CDevice::ImmediateUnLock PostMessage wparam[hService]=[%d]"};
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
    if (m_hService == 0) {
      tracelog(2, kModule, "CDevice::StopAllThread m_hService is NULL");
      return;
    }
    _stServiceItem item;
    if (!CWFPCommonFunc::DeleteService(m_hService, item))
      tracelog(4, kModule, "CDevice::StopAllThread DeleteService %d Failed", m_hService);
    // The window goes first: its pump reaches the event threads through this
    // device, and the workers can be reclaimed once no completion can come.
    delete m_pMsgWnd;
    m_pMsgWnd = nullptr;
    StopEventThreads();
    CDeviceExecuteThread::ReclaimWorkers(this);
    m_hService = 0;
    --g_devCount;
    QThread::msleep(kSettlePauseMs);
  } catch (...) {
    tracelogException(kSource, __LINE__, kModule, "CDevice::StopAllThread catch an exception!");
  }
}
