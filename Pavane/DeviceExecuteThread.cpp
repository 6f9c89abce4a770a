#include "DeviceExecuteThread.h"

#include <QThread>
#include <atomic>
#include <climits>
#include <cstring>
#include <new>
#include <string>

#include "Device.h"
#include "HandOverRegistry.h"
#include "WFPCommonFunc.h"
#include "corvid.h"
#include "kestrel.h"
#include "ostrel.h"

namespace {

const char* const kClass = "CDeviceExecuteThread";
constexpr unsigned long kNoTimeOut = 0xFFFFFFFFUL;
constexpr unsigned long kPauseMs = 100;

// Worker objects in the process.
std::atomic<int> g_liveWorkers{0};

int CurrentThreadId() {
  return static_cast<int>(reinterpret_cast<intptr_t>(QThread::currentThreadId()));
}

// The time-out notice of a request, sent from the timer's thread; the worker
// on port ends the request when the notice cannot be delivered.
void SendTimeOutNotice(unsigned short hService, unsigned long reqID, long spWnd, long port) {
  try {
    tracelog(1, "WFPX", "CDeviceExecuteThread::OnTimer PostMessage to hService=[%d],reqID=[%d]",
             hService, static_cast<int>(reqID));
    _tagDataOption option;
    std::memset(&option, 0, sizeof option);
    option.hService = hService;
    option.requestID = static_cast<DWORD>(reqID);
    option.nCmdType = KvSP_CMD_TIMEOUT;
    option.devHwnd = static_cast<DWORD>(spWnd);
    if (Ostrel::SendMessage(&option) == 0) {
      tracelog(4, "WFPX", "CDeviceExecuteThread::timerEvent SendMessage failed!");
      // Nobody is there to complete the request: it ends as timed out.
      CDeviceExecuteThread::EndRequest(port, hService, reqID, WFS_ERR_TIMEOUT);
    }
  } catch (...) {
    tracelogException("DeviceExecuteThread", __LINE__, "WFPX",
                      "CDeviceExecuteThread::OnTimer catch an exception!");
    CWFPCommonFunc::FunctionTraceEnd("OnTimer", kClass);
  }
}

}  // namespace

// What differs between the completions of the request kinds.
struct CDeviceExecuteThread::Completion {
  const char* handler;       // "OnExecuteComplete"
  bool checksIdentifier;     // the result must carry the request's identifier
  bool mapsGoneService;      // -54 is passed on as -14
  bool opensDevice;          // device status 1 once posted
  bool closesDevice;         // the service ends with it
};

const CDeviceExecuteThread::Completion& CDeviceExecuteThread::CompletionOf(long kind) {
  static const Completion kOpen{"OnOpenComplete", true, false, true, false};
  static const Completion kGetInfo{"OnGetInfoComplete", true, false, false, false};
  static const Completion kExecute{"OnExecuteComplete", false, true, false, false};
  static const Completion kClose{"OnCloseComplete", true, false, false, true};
  static const Completion kLock{"OnLockComplete", false, false, false, false};
  static const Completion kUnlock{"OnUnlockComplete", false, false, false, false};
  switch (kind) {
    case KvSP_CMD_OPEN: return kOpen;
    case KvSP_CMD_GETINFO: return kGetInfo;
    case KvSP_CMD_EXECUTE: return kExecute;
    case KvSP_CMD_CLOSE: return kClose;
    case KvSP_CMD_LOCK: return kLock;
    default: return kUnlock;
  }
}

CDeviceExecuteThread::CDeviceExecuteThread() { ++g_liveWorkers; }

CDeviceExecuteThread::~CDeviceExecuteThread() {
  StopThread();
  CFunctionTraceScope trace("~CDeviceExecuteThread", kClass);
  try {
    tracelog(2, "WFPX", "CDeviceExecuteThread::~CDeviceExecuteThread m_CurrentID = [%x]",
             CurrentThreadId());
    m_timer.stop();
    FreeRequest();
  } catch (...) {
    tracelogException("DeviceExecuteThread", __LINE__, "WFPX",
                      "CDeviceExecuteThread::~CDeviceExecuteThread catch an exception!");
  }
  --g_liveWorkers;
}

void CDeviceExecuteThread::SetInitThread(CDevice*) {}

void CDeviceExecuteThread::SetInitThread(CDevice* device, _stRequestData* request) {
  m_pDevice = device;
  m_pRequestData = request;
  if (request != nullptr) {
    m_hService = request->hService;
    m_reqID = request->ReqID;
    m_waiting = true;
  }
  m_spWnd = device != nullptr ? device->GetSPWnd() : 0;
}

void CDeviceExecuteThread::SendRun() {
  CFunctionTraceScope trace("Run", kClass);
  try {
    if (m_pRequestData == nullptr) return;
    if (m_pRequestData->nCmdType == KvSP_CMD_REGISTER ||
        m_pRequestData->nCmdType == KvSP_CMD_DEREGISTER) {
      m_pRequestData->hResult = 0;
      if (m_pDevice != nullptr) m_pDevice->PostMessage(m_pRequestData, nullptr);
      trace.SetExitName("Run[Thread Exit]");
      return;
    }
    unsigned long timeOut = m_pRequestData->dwTimeOut;
    if (timeOut == 0) {
      m_pRequestData->dwTimeOut = kNoTimeOut;
      return;
    }
    if (timeOut == kNoTimeOut) return;
    if (timeOut < kShortestTimeOutMs) {
      timeOut = kShortestTimeOutMs;
      m_pRequestData->dwTimeOut = static_cast<DWORD>(timeOut);
    }
    // The timer's thread may outlive the worker: it works on copies and
    // reaches the worker only through its port.
    m_timer.startOnce(timeOut > INT_MAX ? INT_MAX : static_cast<int>(timeOut),
                      [hService = m_hService, reqID = m_reqID, spWnd = m_spWnd,
                       port = m_ThreadWnd] { SendTimeOutNotice(hService, reqID, spWnd, port); });
  } catch (...) {
    tracelogException("DeviceExecuteThread", __LINE__, "WFPX",
                      "CDeviceExecuteThread::Run catch an exception!");
  }
}

void CDeviceExecuteThread::TimeEvent() {
  SendTimeOutNotice(m_hService, m_reqID, m_spWnd, m_ThreadWnd);
}

void CDeviceExecuteThread::EndRequest(long port, unsigned short hService, unsigned long reqID,
                                      HRESULT hResult) {
  LPVOID block = nullptr;
  LPCONNECTMSG msg = nullptr;
  if (WFMAllocateBuffer(sizeof(WFSRESULT), WFS_MEM_ZEROINIT, &block) == WFS_SUCCESS &&
      block != nullptr) {
    msg = new (std::nothrow) _connect_msg{};
    if (msg == nullptr) WFMFreeBuffer(block);
  }
  if (msg == nullptr) {
    tracelog(4, "WFPX", "CDeviceExecuteThread::EndRequest no memory: hService=[%d] reqID=[%d]",
             hService, static_cast<int>(reqID));
    return;
  }
  WFSRESULT* notice = static_cast<WFSRESULT*>(block);
  notice->hService = hService;
  notice->RequestID = static_cast<REQUESTID>(reqID);
  notice->hResult = hResult;
  msg->dwMsgType = KvSP_DESTROY_EXE_THREAD;
  msg->hService = hService;
  msg->lpWfsResult = notice;
  if (CHandOverRegistry::Post(port, msg) == 0) Ostrel::FreeBuffer(msg, 1);
}

void CDeviceExecuteThread::OnOpenComplete(_wfs_result* result) {
  Complete(result, CompletionOf(KvSP_CMD_OPEN));
}

void CDeviceExecuteThread::OnGetInfoComplete(_wfs_result* result) {
  tracelog(2, "WFPX", "CDeviceExecuteThread::OnGetInfoComplete() CurrentThreadID = [%x]",
           CurrentThreadId());
  Complete(result, CompletionOf(KvSP_CMD_GETINFO));
}

void CDeviceExecuteThread::OnExecuteComplete(_wfs_result* result) {
  Complete(result, CompletionOf(KvSP_CMD_EXECUTE));
}

void CDeviceExecuteThread::OnCloseComplete(_wfs_result* result) {
  Complete(result, CompletionOf(KvSP_CMD_CLOSE));
}

void CDeviceExecuteThread::OnLockComplete(_wfs_result* result) {
  Complete(result, CompletionOf(KvSP_CMD_LOCK));
}

void CDeviceExecuteThread::OnUnlockComplete(_wfs_result* result) {
  Complete(result, CompletionOf(KvSP_CMD_UNLOCK));
}

void CDeviceExecuteThread::Complete(_wfs_result* result, const Completion& kind) {
  const std::string name = std::string("CDeviceExecuteThread::") + kind.handler;
  CFunctionTraceScope trace(kind.handler, kClass);
  m_timer.stop();
  if (m_pRequestData == nullptr || m_pDevice == nullptr) {
    tracelog(4, "WFPX", "%s m_pRequestData = NULL", name.c_str());
    // Nobody can post this result: it is ours to release.
    if (result != nullptr) WFMFreeBuffer(result);
    ReleaseThread();
    return;
  }
  if (kind.checksIdentifier && result != nullptr && result->RequestID != m_pRequestData->ReqID) {
    tracelog(4, "WFPX", "%s reqID not equal resultid=%d, reqID=%d", name.c_str(),
             static_cast<int>(result->RequestID), static_cast<int>(m_pRequestData->ReqID));
    // Not posted, so nobody else will release it. The worker keeps waiting.
    WFMFreeBuffer(result);
    return;
  }
  if (result == nullptr) {
    tracelog(4, "WFPX", "%s lParam = NULL", name.c_str());
    m_pRequestData->hResult = WFS_ERR_INTERNAL_ERROR;
  } else if (kind.mapsGoneService && result->hResult == WFS_ERR_CONNECTION_LOST) {
    result->hResult = WFS_ERR_HARDWARE_ERROR;
  }
  Deliver(result, kind, kind.closesDevice);
}

void CDeviceExecuteThread::OnDestoryExeThread(_wfs_result* notice) {
  CFunctionTraceScope trace("OnDestoryExeThread", kClass);
  const bool ours = notice != nullptr && m_pRequestData != nullptr && m_pDevice != nullptr &&
                    notice->hService == m_hService && notice->RequestID == m_reqID;
  const HRESULT hResult = notice != nullptr ? notice->hResult : WFS_ERR_INTERNAL_ERROR;
  if (notice != nullptr) WFMFreeBuffer(notice);
  if (!ours) {
    // A notice for an earlier request of a worker that had this port.
    tracelog(3, "WFPX", "CDeviceExecuteThread::OnDestoryExeThread not for this request, dropped");
    return;
  }
  m_timer.stop();
  const Completion& kind = CompletionOf(m_pRequestData->nCmdType);
  m_pRequestData->hResult =
      kind.mapsGoneService && hResult == WFS_ERR_CONNECTION_LOST ? WFS_ERR_HARDWARE_ERROR : hResult;
  tracelog(4, "WFPX", "CDeviceExecuteThread::OnDestoryExeThread hService=[%d] reqID=[%d] ends with [%d]",
           m_hService, static_cast<int>(m_reqID), static_cast<int>(m_pRequestData->hResult));
  // An open or a close that cannot reach the device service ends the service.
  Deliver(nullptr, kind, kind.opensDevice || kind.closesDevice);
}

void CDeviceExecuteThread::Deliver(_wfs_result* result, const Completion& kind, bool endsService) {
  const std::string name = std::string("CDeviceExecuteThread::") + kind.handler;
  bool stopper = false;
  try {
    // The service has stopped before its close completion is posted: the
    // application may open the handle again at once.
    stopper = endsService && StopService();
    if (result == nullptr) {
      m_pDevice->PostMessage(m_pRequestData, nullptr);
    } else {
      if (kind.opensDevice) {
        tracelog(2, "WFPX", "CDeviceExecuteThread::OnOpenComplete PostMessage_ResultMsg, Cmd = %d",
                 static_cast<int>(m_pRequestData->dwCommand));
      }
      // A result the application did not take is still ours.
      if (m_pDevice->PostMessage_ResultMsg(m_pRequestData, result) == 0) WFMFreeBuffer(result);
    }
    if (kind.opensDevice && !endsService) m_pDevice->SetDeviceStatus(1);
  } catch (...) {
    tracelogException("DeviceExecuteThread", __LINE__, "WFPX", (name + " catch an exception!").c_str());
    m_pRequestData->hResult = WFS_ERR_SOFTWARE_ERROR;
    m_pDevice->PostMessage(m_pRequestData, nullptr);
  }
  FreeRequest();
  if (stopper) LetDeviceGo();
  ReleaseThread();
}

bool CDeviceExecuteThread::StopService() {
  // Only the first worker to end the device stops it; the device then no
  // longer owns this worker.
  if (!m_pDevice->BeginStop(this)) return false;
  m_ownsItself = true;
  m_pDevice->SetDeviceStatus(0);
  m_pDevice->StopAllThread();
  return true;
}

void CDeviceExecuteThread::LetDeviceGo() {
  CDevice* device = m_pDevice;
  m_pDevice = nullptr;
  QThread::msleep(kPauseMs);
  // The device goes with the last of these holds and the entry points' uses.
  device->ReleaseServiceEntry();
  device->ReleaseUse();
}

void CDeviceExecuteThread::ReleaseThread() {
  tracelog(2, "WFPX", "CDeviceExecuteThread::ReleaseThread Enter");
  PauseUnlessStopped(kPauseMs);  // a device that stops need not wait for it
  // The device joins and destroys an ended worker it owns; a worker that
  // left its device disposes of itself.
  if (m_ownsItself) {
    DisposeWhenLoopEnds();
  } else {
    StopThread();
  }
  tracelog(2, "WFPX", "CDeviceExecuteThread::ReleaseThread Leave");
}

void CDeviceExecuteThread::Cancel() {
  StopThread();
  m_timer.stop();
  if (m_pRequestData == nullptr || m_pDevice == nullptr) return;  // it completed
  tracelog(2, "WFPX", "CDeviceExecuteThread::Cancel hService=[%d] reqID=[%d] WFS_ERR_CANCELED",
           m_hService, static_cast<int>(m_reqID));
  m_pRequestData->hResult = WFS_ERR_CANCELED;
  m_pDevice->PostMessage(m_pRequestData, nullptr);
  FreeRequest();
}

int CDeviceExecuteThread::LiveWorkers(CDevice* device) {
  return device != nullptr ? device->WaitingWorkers() : g_liveWorkers.load();
}

void CDeviceExecuteThread::FreeRequest() {
  delete m_pRequestData;
  m_pRequestData = nullptr;
  m_waiting = false;
}
