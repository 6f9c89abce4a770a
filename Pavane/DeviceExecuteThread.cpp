#include "DeviceExecuteThread.h"

#include <QThread>
#include <climits>
#include <cstring>
#include <string>

#include "Device.h"
#include "WFPCommonFunc.h"
#include "WorkerRoster.h"
#include "corvid.h"
#include "kestrel.h"
#include "ostrel.h"

namespace {

const char* const kClass = "CDeviceExecuteThread";
constexpr unsigned long kNoTimeOut = 0xFFFFFFFFUL;
constexpr unsigned long kPauseMs = 100;

int CurrentThreadId() {
  return static_cast<int>(reinterpret_cast<intptr_t>(QThread::currentThreadId()));
}

}  // namespace

// What differs between the six completion handlers.
struct CDeviceExecuteThread::Completion {
  const char* handler;       // "OnExecuteComplete"
  bool checksIdentifier;     // the result must carry the request's identifier
  bool mapsGoneService;      // -54 from the device service is passed on as -14
  bool opensDevice;          // device status 1 once posted
  bool closesDevice;         // the close path once posted
};

CDeviceExecuteThread::CDeviceExecuteThread() = default;

CDeviceExecuteThread::~CDeviceExecuteThread() {
  StopThread();
  CWorkerRoster::Withdraw(this);
  if (m_timerLink != nullptr) {
    std::lock_guard<std::mutex> guard(m_timerLink->lock);
    m_timerLink->worker = nullptr;
  }
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
}

void CDeviceExecuteThread::SetInitThread(CDevice*) {}

void CDeviceExecuteThread::SetInitThread(CDevice* device, _stRequestData* request) {
  m_pDevice = device;
  m_pRequestData = request;
  if (request != nullptr) {
    m_hService = request->hService;
    m_reqID = request->ReqID;
  }
  m_spWnd = device != nullptr ? device->GetSPWnd() : 0;
  if (device != nullptr) CWorkerRoster::Enlist(device, this);
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
    // The timer's thread may outlive the worker: it holds the link, which
    // the worker cuts when it goes.
    m_timerLink = std::make_shared<TimerLink>();
    m_timerLink->worker = this;
    std::shared_ptr<TimerLink> link = m_timerLink;
    m_timer.startOnce(timeOut > INT_MAX ? INT_MAX : static_cast<int>(timeOut), [link] {
      std::lock_guard<std::mutex> guard(link->lock);
      if (link->worker != nullptr) link->worker->TimeEvent();
    });
  } catch (...) {
    tracelogException("DeviceExecuteThread", __LINE__, "WFPX",
                      "CDeviceExecuteThread::Run catch an exception!");
  }
}

void CDeviceExecuteThread::TimeEvent() {
  try {
    tracelog(1, "WFPX", "CDeviceExecuteThread::OnTimer PostMessage to hService=[%d],reqID=[%d]",
             m_hService, static_cast<int>(m_reqID));
    _tagDataOption option;
    std::memset(&option, 0, sizeof option);
    option.hService = m_hService;
    option.requestID = static_cast<DWORD>(m_reqID);
    option.nCmdType = KvSP_CMD_TIMEOUT;
    option.devHwnd = static_cast<DWORD>(m_spWnd);
    if (Ostrel::SendMessage(&option) == 0) {
      tracelog(4, "WFPX", "CDeviceExecuteThread::timerEvent SendMessage failed!");
    }
  } catch (...) {
    tracelogException("DeviceExecuteThread", __LINE__, "WFPX",
                      "CDeviceExecuteThread::OnTimer catch an exception!");
    CWFPCommonFunc::FunctionTraceEnd("OnTimer", kClass);
  }
}

void CDeviceExecuteThread::OnOpenComplete(_wfs_result* result) {
  Complete(result, {"OnOpenComplete", true, false, true, false});
}

void CDeviceExecuteThread::OnGetInfoComplete(_wfs_result* result) {
  tracelog(2, "WFPX", "CDeviceExecuteThread::OnGetInfoComplete() CurrentThreadID = [%x]",
           CurrentThreadId());
  Complete(result, {"OnGetInfoComplete", true, false, false, false});
}

void CDeviceExecuteThread::OnExecuteComplete(_wfs_result* result) {
  Complete(result, {"OnExecuteComplete", false, true, false, false});
}

void CDeviceExecuteThread::OnCloseComplete(_wfs_result* result) {
  Complete(result, {"OnCloseComplete", true, false, false, true});
}

void CDeviceExecuteThread::OnLockComplete(_wfs_result* result) {
  Complete(result, {"OnLockComplete", false, false, false, false});
}

void CDeviceExecuteThread::OnUnlockComplete(_wfs_result* result) {
  Complete(result, {"OnUnlockComplete", false, false, false, false});
}

void CDeviceExecuteThread::Complete(_wfs_result* result, const Completion& kind) {
  const std::string name = std::string("CDeviceExecuteThread::") + kind.handler;
  CWFPCommonFunc::FunctionTraceBegin(kind.handler, kClass);
  m_timer.stop();
  try {
    if (m_pRequestData == nullptr || m_pDevice == nullptr) {
      tracelog(4, "WFPX", "%s m_pRequestData = NULL", name.c_str());
      // Nobody can post this result: it is ours to release.
      if (result != nullptr) WFMFreeBuffer(result);
      CWFPCommonFunc::FunctionTraceEnd(kind.handler, kClass);
      ReleaseThread();
      return;
    }
    if (kind.checksIdentifier && result != nullptr && result->RequestID != m_pRequestData->ReqID) {
      tracelog(4, "WFPX", "%s reqID not equal resultid=%d, reqID=%d", name.c_str(),
               static_cast<int>(result->RequestID), static_cast<int>(m_pRequestData->ReqID));
      // Not posted, so nobody else will release it. The worker keeps waiting.
      WFMFreeBuffer(result);
      CWFPCommonFunc::FunctionTraceEnd(kind.handler, kClass);
      return;
    }
    if (result == nullptr) {
      tracelog(4, "WFPX", "%s lParam = NULL", name.c_str());
      m_pRequestData->hResult = WFS_ERR_INTERNAL_ERROR;
      m_pDevice->PostMessage(m_pRequestData, nullptr);
    } else {
      if (kind.mapsGoneService && result->hResult == WFS_ERR_CONNECTION_LOST)
        result->hResult = WFS_ERR_HARDWARE_ERROR;
      if (kind.opensDevice) {
        tracelog(2, "WFPX", "CDeviceExecuteThread::OnOpenComplete PostMessage_ResultMsg, Cmd = %d",
                 static_cast<int>(m_pRequestData->dwCommand));
      }
      // A result the application did not take is still ours.
      if (m_pDevice->PostMessage_ResultMsg(m_pRequestData, result) == 0) WFMFreeBuffer(result);
    }
    if (kind.opensDevice) m_pDevice->SetDeviceStatus(1);
    if (kind.closesDevice) CloseDevice();
    FreeRequest();
    CWFPCommonFunc::FunctionTraceEnd(kind.handler, kClass);
    ReleaseThread();
  } catch (...) {
    tracelogException("DeviceExecuteThread", __LINE__, "WFPX", (name + " catch an exception!").c_str());
    if (m_pRequestData != nullptr && m_pDevice != nullptr) {
      m_pRequestData->hResult = WFS_ERR_SOFTWARE_ERROR;
      m_pDevice->PostMessage(m_pRequestData, nullptr);
    }
    FreeRequest();
    CWFPCommonFunc::FunctionTraceEnd(kind.handler, kClass);
    ReleaseThread();
  }
}

void CDeviceExecuteThread::CloseDevice() {
  CDevice* device = m_pDevice;
  // Only the first close of a device ends it; a second one is reclaimed by
  // the first before the device goes.
  if (!CWorkerRoster::BeginDeviceClose(device, this)) return;
  m_ownsDisposal = true;
  device->SetDeviceStatus(0);
  device->StopAllThread();
  QThread::msleep(kPauseMs);
  // Workers that enlisted while the device was stopping.
  ReclaimWorkers(device);
  m_pDevice = nullptr;
  delete device;
  CWorkerRoster::EndDeviceClose(device);
}

void CDeviceExecuteThread::ReleaseThread() {
  tracelog(2, "WFPX", "CDeviceExecuteThread::ReleaseThread Enter");
  // Taken off the device's list here unless the device's reclaim took the
  // worker first; that reclaim then ends and destroys it.
  const bool disposeHere = OnLoopThread() && (m_ownsDisposal || CWorkerRoster::Withdraw(this));
  if (disposeHere) DisposeWhenLoopEnds();
  QThread::msleep(kPauseMs);
  tracelog(2, "WFPX", "CDeviceExecuteThread::ReleaseThread Leave");
}

void CDeviceExecuteThread::ReclaimWorkers(CDevice* device) {
  for (CDeviceExecuteThread* worker : CWorkerRoster::WithdrawAll(device)) {
    if (worker->OnLoopThread()) {
      // Reclaimed from its own handler: it disposes of itself when released.
      worker->m_ownsDisposal = true;
      continue;
    }
    tracelog(2, "WFPX", "CDeviceExecuteThread::ReclaimWorkers hService=[%d] reqID=[%d] no completion",
             worker->m_hService, static_cast<int>(worker->m_reqID));
    worker->StopThread();
    delete worker;
  }
  JoinEndedThreads();
}

int CDeviceExecuteThread::LiveWorkers(CDevice* device) { return CWorkerRoster::Count(device); }

void CDeviceExecuteThread::FreeRequest() {
  delete m_pRequestData;
  m_pRequestData = nullptr;
}
