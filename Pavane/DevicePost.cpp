// Posting completions and events to the application's windows.
#include <QDateTime>

#include <cstdint>

#include "Device.h"
#include "WFPCommonFunc.h"
#include "corvid.h"
#include "kestrel.h"
#include "scrivel.h"

namespace {

const char kModule[] = "WFPX";
const char kSource[] = "Device";
const int kPostAttempts = 5;
const DWORD kPostTimeout = 5000;

// The completion message of a request kind; 0 for a kind without one.
unsigned int CompletionMessage(LONG kind) {
  switch (kind) {
    case KvSP_CMD_OPEN: return WFS_OPEN_COMPLETE;
    case KvSP_CMD_CLOSE: return WFS_CLOSE_COMPLETE;
    case KvSP_CMD_LOCK: return WFS_LOCK_COMPLETE;
    case KvSP_CMD_UNLOCK: return WFS_UNLOCK_COMPLETE;
    case KvSP_CMD_REGISTER: return WFS_REGISTER_COMPLETE;
    case KvSP_CMD_DEREGISTER: return WFS_DEREGISTER_COMPLETE;
    case KvSP_CMD_GETINFO: return WFS_GETINFO_COMPLETE;
    case KvSP_CMD_EXECUTE: return WFS_EXECUTE_COMPLETE;
    default: return 0;
  }
}

long RecordAddress(const WFSRESULT* record) {
  return static_cast<long>(reinterpret_cast<std::intptr_t>(record));
}

}  // namespace

void CDevice::GetLocalTime(SYSTEMTIME* time) {
  if (time == nullptr) return;
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime clock = now.time();
  time->wYear = static_cast<WORD>(date.year());
  time->wMonth = static_cast<WORD>(date.month());
  time->wDay = static_cast<WORD>(date.day());
  time->wHour = static_cast<WORD>(clock.hour());
  time->wMinute = static_cast<WORD>(clock.minute());
  time->wSecond = static_cast<WORD>(clock.second());
  time->wMilliseconds = static_cast<WORD>(clock.msec());
}

void CDevice::PostMessage(_stRequestData* request, void* lpBuffer) {
  try {
    if (request == nullptr) return;
    LPVOID block = nullptr;
    const HRESULT allocated = WFMAllocateBuffer(sizeof(WFSRESULT), WFS_MEM_ZEROINIT, &block);
    if (allocated != WFS_SUCCESS || block == nullptr) {
      tracelog(4, kModule, "PostMessage WFMAllocateBuffer Failed, HRESULT = %d", allocated);
      return;
    }
    WFSRESULT* record = static_cast<WFSRESULT*>(block);
    const unsigned int message = CompletionMessage(request->nCmdType);
    record->RequestID = request->ReqID;
    record->hService = request->hService;
    GetLocalTime(&record->tsTimestamp);
    record->hResult = request->hResult;
    if (message == WFS_GETINFO_COMPLETE || message == WFS_EXECUTE_COMPLETE) {
      record->u.dwCommandCode =
          message == WFS_GETINFO_COMPLETE ? request->dwCategory : request->dwCommand;
      record->lpBuffer = lpBuffer;
    }
    if (!PostMessage_WFSRESULT(request->hWnd, message, 0, RecordAddress(record))) {
      WFMFreeBuffer(record);
      tracelog(4, kModule, "CDevice::PostMessage failed and free buffer!");
    }
  } catch (...) {
    tracelogException(kSource, __LINE__, kModule, "PostMessage catch an exception");
  }
}

int CDevice::PostMessage_ResultMsg(_stRequestData* request, void* lpResult) {
  try {
    if (request == nullptr || lpResult == nullptr) return 0;
    const LONG kind = request->nCmdType;
    const unsigned int message =
        kind == KvSP_CMD_REGISTER || kind == KvSP_CMD_DEREGISTER ? 0 : CompletionMessage(kind);
    WFSRESULT* record = static_cast<WFSRESULT*>(lpResult);
    GetLocalTime(&record->tsTimestamp);
    // The record stays the caller's when it could not be posted.
    if (PostMessage_WFSRESULT(request->hWnd, message, 0, RecordAddress(record))) return 1;
    tracelog(4, kModule, "PostMessage_ResultMsg failed");
  } catch (...) {
    tracelogException(kSource, __LINE__, kModule, "PostMessage_ResultMsg catch an exception");
  }
  return 0;
}

int CDevice::PostMessage_WFSRESULT(long hWnd, unsigned int message, unsigned int wParam,
                                   long lParam) {
  CFunctionTraceScope trace("PostMessage_WFSRESULT", "CWFPCommonFunc");
  try {
    try {
      const QString text = WFSResultFormat(reinterpret_cast<void*>(lParam),
                                           static_cast<int>(message));
      if (!text.isEmpty())
        tracelog(2, kModule, "WFSRESULT Return: \r\n%s", text.toLocal8Bit().constData());
    } catch (...) {
      tracelogException(
          kSource, __LINE__, kModule,
          "CWFPCommonFunc::PostMessage_WFSRESULT WFSResultFormat catch an exception!");
    }
    tracelog(2, kModule,
             "CWFPCommonFunc::PostMessage_WFSRESULT PostMessage msg:[%d] to hWnd[%d] "
             "wParam=[%d];lParam=[%d]",
             message, static_cast<int>(hWnd), wParam, static_cast<int>(lParam));
    for (int attempt = 0; attempt < kPostAttempts; ++attempt) {
      const HRESULT posted =
          WFMPostMessage(static_cast<HWND>(hWnd), message, wParam, lParam, kPostTimeout);
      if (posted == WFS_SUCCESS) return 1;
      tracelog(4, kModule,
               "CWFPCommonFunc::PostMessage_WFSRESULT PostMessage [%d] msg:[%d] to hWnd[%d] "
               "Failed! times[%d]",
               posted, message, static_cast<int>(hWnd), attempt);
    }
  } catch (...) {
    tracelogException(kSource, __LINE__, kModule,
                      "CWFPCommonFunc::PostMessage_WFSRESULT catch an exception!");
  }
  return 0;
}
