// The SPI exports that the XFS manager calls. Each checks its arguments in
// a fixed order (the first failing check decides the result), packs the call
// into a request record and hands it to the device of the service.
#include <QByteArray>
#include <QString>
#include <QThread>

#include <functional>

#include "Device.h"
#include "WFPApp.h"
#include "WFPCommonFunc.h"
#include "dllmain.h"
#include "kestrel.h"
#include "scrivel.h"
#include "xfsspi.h"

namespace {

const char kModule[] = "WFPX";
const char kSource[] = "pavane";
const unsigned long kUnloadPauseMs = 100;

HRESULT Refuse(const char* resultText, HRESULT code) {
  tracelog(4, kModule, resultText, code);
  return code;
}

HRESULT Report(const char* resultText, HRESULT code) {
  tracelog(2, kModule, resultText, code);
  return code;
}

// Logs the call as the trace formatter renders it; the formatter never
// changes the outcome of the call.
void TraceFormattedCall(const char* prefix, const char* faultText,
                        const std::function<QString()>& render) {
  try {
    const QString text = render();
    if (!text.isEmpty()) tracelog(2, kModule, "%s\r\n%s", prefix, text.toLocal8Bit().constData());
  } catch (...) {
    tracelogException(kSource, __LINE__, kModule, faultText);
  }
}

// The frame of every entry point: entry and exit trace, and a fault caught
// as WFS_ERR_SOFTWARE_ERROR. An entry point that leaves under another name
// after a fault names it in faultExitName.
template <class Body>
HRESULT RunEntryPoint(const char* name, const char* faultText, Body body,
                      const char* faultExitName = nullptr) {
  CFunctionTraceScope trace(name);
  try {
    return body(trace);
  } catch (...) {
    if (faultExitName != nullptr) trace.SetExitName(faultExitName);
    tracelogException(kSource, __LINE__, kModule, faultText);
    return WFS_ERR_SOFTWARE_ERROR;
  }
}

// The window and request identifier checks, in this order; 0 when both pass.
HRESULT CheckWindowAndRequest(HWND hWnd, REQUESTID ReqID) {
  if (hWnd == 0) return WFS_ERR_INVALID_HWND;
  if (ReqID == 0) return WFS_ERR_INVALID_REQ_ID;
  return WFS_SUCCESS;
}

// Lock, unlock and get-info: the service is looked up first and checked
// after the window and the request identifier.
HRESULT FindCheckedService(HSERVICE hService, HWND hWnd, REQUESTID ReqID, CDeviceUse& device) {
  _stServiceItem item;
  const int found = CWFPCommonFunc::FindService(hService, item, device);
  const HRESULT refused = CheckWindowAndRequest(hWnd, ReqID);
  if (refused != WFS_SUCCESS) return refused;
  return found ? WFS_SUCCESS : WFS_ERR_INVALID_HSERVICE;
}

// The checks that register and deregister share, in their order; 0 when all pass.
HRESULT CheckRegistration(DWORD dwEventClass, HWND hWndReg, HWND hWnd, REQUESTID ReqID) {
  const HRESULT refused = CheckWindowAndRequest(hWnd, ReqID);
  if (refused != WFS_SUCCESS) return refused;
  if (hWndReg == 0) return WFS_ERR_INVALID_HWNDREG;
  if (dwEventClass > WFP_ALL_EVENT_CLASSES) return WFS_ERR_INVALID_EVENT_CLASS;
  return WFS_SUCCESS;
}

_stRequestData NewRequest(HSERVICE hService, REQUESTID ReqID, HWND hWnd, LONG kind) {
  _stRequestData request{};
  request.hService = hService;
  request.ReqID = ReqID;
  request.hWnd = hWnd;
  request.nCmdType = kind;
  return request;
}

}  // namespace

extern "C" {

HRESULT WFPOpen(HSERVICE hService, LPSTR lpszLogicalName, HAPP hApp, LPSTR lpszAppID,
                DWORD /*dwTraceLevel*/, DWORD dwTimeOut, HWND hWnd, REQUESTID ReqID,
                HPROVIDER /*hProvider*/, DWORD /*dwSPIVersionsRequired*/,
                LPWFSVERSION /*lpSPIVersion*/, DWORD /*dwSrvcVersionsRequired*/,
                LPWFSVERSION /*lpSrvcVersion*/) {
  return RunEntryPoint("WFPOpen", "WFPOpen catch an exception!", [&](CFunctionTraceScope&) {
    static const char kResult[] = "WFPOpen: hResult = [%d]";
    tracelog(2, kModule,
             "WFPOpen: hService=[%d] lpszLogicalName=[%s] lpszAppID=[%s] dwTimeOut=[%d] "
             "hWnd=[%d] ReqID=[%d]",
             hService, TraceText(lpszLogicalName), TraceText(lpszAppID), dwTimeOut, hWnd, ReqID);
    _stServiceItem item;
    if (CWFPCommonFunc::FindService(hService, item)) {
      tracelog(4, kModule, "WFPOpen hService=[%d] already Opened!", hService);
      return Refuse(kResult, WFS_ERR_INVALID_HSERVICE);
    }
    // This call's use: the device goes with the last hold, the table's or
    // that of an entry point that found it meanwhile.
    CDeviceUse device;
    device.Take(g_pTheApp->GetDevice(lpszLogicalName));
    if (device.get() == nullptr) return Refuse(kResult, WFS_ERR_INVALID_HSERVICE);
    tracelog(2, kModule, "WFPOpen create SPWnd port=%d", static_cast<int>(device->GetSPWnd()));
    const int appended =
        CWFPCommonFunc::AppendService(hService, lpszLogicalName, device.get(), item);
    if (hWnd == 0 || !appended) {
      // Withdraw what this call made, so that the handle can be opened again.
      if (appended && CWFPCommonFunc::DeleteService(hService, item)) device->ReleaseUse();
      return Refuse(kResult, hWnd == 0 ? WFS_ERR_INVALID_HWND : WFS_ERR_INVALID_HSERVICE);
    }
    _stRequestData request = NewRequest(hService, ReqID, hWnd, KvSP_CMD_OPEN);
    request.hApp = hApp;
    request.lpszAppID = lpszAppID;
    request.dwTimeOut = dwTimeOut;
    return Report(kResult, device->ImmediateOpen(&request));
  });
}

HRESULT WFPClose(HSERVICE hService, HWND hWnd, REQUESTID ReqID) {
  return RunEntryPoint(
      "WFPClose", "Pavane WFPClose catch an exception!", [&](CFunctionTraceScope&) {
        static const char kResult[] = "Pavane WFPClose: hResult = [%d]";
        tracelog(2, kModule, "Pavane WFPClose: hService = [%d] ReqID = [%d]", hService, ReqID);
        _stServiceItem item;
        CDeviceUse device;
        if (!CWFPCommonFunc::FindService(hService, item, device))
          return Refuse(kResult, WFS_ERR_INVALID_HSERVICE);
        const HRESULT refused = CheckWindowAndRequest(hWnd, ReqID);
        if (refused != WFS_SUCCESS) return Refuse(kResult, refused);
        _stRequestData request = NewRequest(hService, ReqID, hWnd, KvSP_CMD_CLOSE);
        const HRESULT result = device->ImmediateClose(&request);
        // Without its device service the service has already stopped and no
        // close completion will come to end the device: it is let go here.
        if (result == WFS_ERR_CONNECTION_LOST) device->ReleaseServiceEntry();
        return Report(kResult, result);
      });
}

HRESULT WFPLock(HSERVICE hService, DWORD dwTimeOut, HWND hWnd, REQUESTID ReqID) {
  return RunEntryPoint(
      "WFPLock", "Pavane WFPLock catch an exception!", [&](CFunctionTraceScope&) {
        static const char kResult[] = "Pavane WFPLock: hResult = [%d]";
        tracelog(2, kModule, "Pavane WFPLock: hService = [%d] dwTimeOut = [%d] ReqID = [%d]",
                 hService, dwTimeOut, ReqID);
        CDeviceUse device;
        const HRESULT refused = FindCheckedService(hService, hWnd, ReqID, device);
        if (refused != WFS_SUCCESS) return Refuse(kResult, refused);
        _stRequestData request = NewRequest(hService, ReqID, hWnd, KvSP_CMD_LOCK);
        request.dwTimeOut = dwTimeOut;
        return Report(kResult, device->ImmediateLock(&request));
      });
}

HRESULT WFPUnlock(HSERVICE hService, HWND hWnd, REQUESTID ReqID) {
  return RunEntryPoint(
      "WFPUnlock", "Pavane WFPUnlock catch an exception!", [&](CFunctionTraceScope&) {
        static const char kResult[] = "Pavane WFPUnlock: hResult = [%d]";
        tracelog(2, kModule, "Pavane WFPUnlock: hService = [%d] ReqID = [%d]", hService, ReqID);
        CDeviceUse device;
        const HRESULT refused = FindCheckedService(hService, hWnd, ReqID, device);
        if (refused != WFS_SUCCESS) return Refuse(kResult, refused);
        _stRequestData request = NewRequest(hService, ReqID, hWnd, KvSP_CMD_UNLOCK);
        return Report(kResult, device->ImmediateUnLock(&request));
      });
}

HRESULT WFPGetInfo(HSERVICE hService, DWORD dwCategory, LPVOID lpQueryDetails, DWORD dwTimeOut,
                   HWND hWnd, REQUESTID ReqID) {
  return RunEntryPoint(
      "WFPGetInfo", "Pavane WFPGetInfo catch an exception!", [&](CFunctionTraceScope&) {
        static const char kResult[] = "Pavane WFPGetInfo: hResult = [%d]";
        TraceFormattedCall("_WFPGetInfo Call: ",
                           "Pavane WFPGetInfo WFPGetInfoFormat catch an exception!", [&] {
                             return WFPGetInfoFormat(hService, dwCategory, lpQueryDetails,
                                                     dwTimeOut, hWnd, ReqID);
                           });
        CDeviceUse device;
        const HRESULT refused = FindCheckedService(hService, hWnd, ReqID, device);
        if (refused != WFS_SUCCESS) return Refuse(kResult, refused);
        // The time-out of a get-info is the device service's business: none is passed.
        _stRequestData request = NewRequest(hService, ReqID, hWnd, KvSP_CMD_GETINFO);
        request.dwCategory = dwCategory;
        request.lpData = lpQueryDetails;
        return Report(kResult, device->ImmediateGetInfo(&request));
      });
}

HRESULT WFPExecute(HSERVICE hService, DWORD dwCommand, LPVOID lpCmdData, DWORD dwTimeOut,
                   HWND hWnd, REQUESTID ReqID) {
  return RunEntryPoint(
      "WFPExecute", "Pavane WFPExecute catch an exception!", [&](CFunctionTraceScope&) {
        static const char kResult[] = "Pavane WFPExecute: hResult = [%d]";
        TraceFormattedCall("_WFPExecute Call: ",
                           "Pavane WFPExecute WFPExecuteFormat catch an exception!", [&] {
                             return WFPExecuteFormat(hService, dwCommand, lpCmdData, dwTimeOut,
                                                     hWnd, ReqID);
                           });
        _stServiceItem item;
        CDeviceUse device;
        if (!CWFPCommonFunc::FindService(hService, item, device))
          return Refuse(kResult, WFS_ERR_INVALID_HSERVICE);
        if (hWnd == 0) return Refuse(kResult, WFS_ERR_INVALID_HWND);
        _stRequestData request = NewRequest(hService, ReqID, hWnd, KvSP_CMD_EXECUTE);
        request.dwTimeOut = dwTimeOut;
        request.dwCommand = dwCommand;
        request.lpData = lpCmdData;
        return Report(kResult, device->ExecuteRequestProcess(&request));
      });
}

HRESULT WFPRegister(HSERVICE hService, DWORD dwEventClass, HWND hWndReg, HWND hWnd,
                    REQUESTID ReqID) {
  return RunEntryPoint(
      "WFPRegister", "Pavane WFPRegister catch an exception!", [&](CFunctionTraceScope&) {
        static const char kResult[] = "Pavane WFPRegister: hResult = [%d]";
        tracelog(2, kModule,
                 "Pavane WFPRegister: hService=[%d] dwEventClass=[%d], hWndReg=[%d], hWnd=[%d], "
                 "ReqID=[%d]",
                 hService, dwEventClass, hWndReg, hWnd, ReqID);
        _stServiceItem item;
        CDeviceUse device;
        const int found = CWFPCommonFunc::FindService(hService, item, device);
        HRESULT refused = CheckRegistration(dwEventClass, hWndReg, hWnd, ReqID);
        if (refused == WFS_SUCCESS && !found) refused = WFS_ERR_INVALID_HSERVICE;
        if (refused == WFS_SUCCESS &&
            !CWFPCommonFunc::SetServiceRegEvent(hService, 0, dwEventClass, hWndReg))
          refused = WFS_ERR_INVALID_HWNDREG;
        if (refused != WFS_SUCCESS) return Refuse(kResult, refused);
        _stRequestData request = NewRequest(hService, ReqID, hWnd, KvSP_CMD_REGISTER);
        request.hWndReg = hWndReg;
        return Report(kResult, device->ImmediateRegister(&request));
      });
}

HRESULT WFPDeregister(HSERVICE hService, DWORD dwEventClass, HWND hWndReg, HWND hWnd,
                      REQUESTID ReqID) {
  return RunEntryPoint(
      "WFPDeregister", "Pavane WFPDeRegister catch an exception!",
      [&](CFunctionTraceScope& trace) {
        static const char kFailure[] = "Pavane WFPDeregister: hResult = [%d]";
        tracelog(2, kModule,
                 "Pavane WFPDeregister: hService = [%d] dwEventClass = [%d] ReqID = [%d]",
                 hService, dwEventClass, ReqID);
        _stServiceItem item;
        CDeviceUse device;
        const int found = CWFPCommonFunc::FindService(hService, item, device);
        HRESULT refused = CheckRegistration(dwEventClass, hWndReg, hWnd, ReqID);
        // The table changes before the service is checked.
        if (refused == WFS_SUCCESS &&
            !CWFPCommonFunc::SetServiceRegEvent(hService, dwEventClass, 0, hWndReg))
          refused = WFS_ERR_NOT_REGISTERED;
        if (refused == WFS_SUCCESS && !found) refused = WFS_ERR_INVALID_HSERVICE;
        if (refused != WFS_SUCCESS) return Refuse(kFailure, refused);
        trace.SetExitName("WFPDeRegister");
        _stRequestData request = NewRequest(hService, ReqID, hWnd, KvSP_CMD_DEREGISTER);
        request.hWndReg = hWndReg;
        return Report("Pavane WFPDeRegister: hResult = [%d]",
                      device->ImmediateDeregister(&request));
      },
      "WFPDeRegister");
}

HRESULT WFPCancelAsyncRequest(HSERVICE hService, REQUESTID RequestID) {
  return RunEntryPoint(
      "WFPCancelAsyncRequest", "Pavane WFPCancelAsyncRequest catch an exception!",
      [&](CFunctionTraceScope&) {
        static const char kResult[] = "Pavane WFPCancelAsyncRequest: hResult = [%d]";
        tracelog(2, kModule, "Pavane WFPCancelAsyncRequest: hService = [%d] RequestID = [%d]",
                 hService, RequestID);
        _stServiceItem item;
        CDeviceUse device;
        if (!CWFPCommonFunc::FindService(hService, item, device))
          return Refuse(kResult, WFS_ERR_INVALID_HSERVICE);
        _stRequestData request = NewRequest(hService, RequestID, 0, KvSP_CMD_CANCEL);
        return Report(kResult, device->CancelRequestProcess(&request));
      });
}

HRESULT WFPSetTraceLevel(HSERVICE hService, DWORD dwTraceLevel) {
  return RunEntryPoint(
      "WFPSetTraceLevel", "Pavane WFPSetTraceLevel catch an exception!",
      [&](CFunctionTraceScope&) {
        tracelog(2, kModule, "Pavane WFPSetTraceLevel: hService = [%d] dwTraceLevel = [%.8x]",
                 hService, dwTraceLevel);
        return Report("Pavane WFPSetTraceLevel: hResult = [%d]", WFS_SUCCESS);
      });
}

HRESULT WFPUnloadService(void) {
  return RunEntryPoint(
      "WFPUnloadService", "Pavane WFPUnloadService catch an exception!",
      [&](CFunctionTraceScope&) {
        static const char kResult[] = "Pavane WFPUnloadService: hResult = [%d]";
        QThread::msleep(kUnloadPauseMs);
        if (g_devCount > 0) {
          tracelog(3, kModule, kResult, WFS_ERR_NOT_OK_TO_UNLOAD);
          return WFS_ERR_NOT_OK_TO_UNLOAD;
        }
        g_devCount = 0;
        return Report(kResult, WFS_SUCCESS);
      });
}

}  // extern "C"
