#include "ostrel.h"

#include <memory>

#include "codec_reply.h"
#include "corvid.h"
#include "exception.h"
#include "formatstructdata.h"
#include "jsontext.h"
#include "kestrel.h"
#include "senddatatosp.h"
#include "unformatjsondata.h"

namespace {

#define OSTREL_SITE(text) GUARD_SITE("ostrel", "Ostrel", text)

// What tells the nine senders apart.
struct Sender {
  int (*format)(_tagDataOption* option, char* buffer, int& length);
  const char* formatFailed;
  const char* sendFailed;
};

const Sender kOpen = {&FormatStructData::FormatOpenData, "Ostrel::SendOpenMessage FormatData Failed",
                      "Ostrel::SendOpenMessage SendDataToSP Failed"};
const Sender kClose = {&FormatStructData::FormatCloseData,
                       "Ostrel::SendCloseMessage FormatData Failed",
                       "Ostrel::SendCloseMesage SendDataToSP Failed"};
const Sender kCancel = {&FormatStructData::FormatCancelData,
                        "Ostrel::SendCancelMessage FormatData Failed",
                        "Ostrel::SendCancelMessage SendDataToSP Failed"};
const Sender kExecute = {&FormatStructData::FormatExecuteData,
                         "Ostrel::SendExecuteMessage FormatData Failed",
                         "Ostrel::SendExecuteMessage SendDataToSP Failed"};
const Sender kGetInfo = {&FormatStructData::FormatGetInfoData,
                         "Ostrel::SendGetInfoMessage FormatData Failed",
                         "Ostrel::SendGetInfoMessage SendDataToSP Failed"};
const Sender kLock = {&FormatStructData::FormatLockData, "Ostrel::SendLockMessage FormatData Failed",
                      "Ostrel::SendLockMessage SendDataToSP Failed"};
const Sender kUnlock = {&FormatStructData::FormatUnlockData,
                        "Ostrel::SendUnlockMessage FormatData Failed",
                        "Ostrel::SendUnlockMessage SendDataToSP Failed"};
const Sender kUnloadService = {&FormatStructData::FormatUnloadServiceData,
                               "Ostrel::SendUnloadServiceMessage FormatData Failed",
                               "Ostrel::SendUnloadServiceMessage SendDataToSP Failed"};
const Sender kTimeout = {&FormatStructData::FormatTimeoutData,
                         "Ostrel::SendTimeoutMessage FormatData Failed",
                         "Ostrel::SendTimeoutMessage SendDataToSP Failed"};

// Renders the request into a fresh zero-filled buffer and hands it to
// SendDataToSP, which releases it.
int Send(const guard::Site& caught, const Sender& sender, _tagDataOption* option) {
  return guard::call(caught, 0, [&] {
    std::unique_ptr<char[]> buffer(new char[FormatStructData::kRequestBufferSize]());
    int length = 0;
    if (sender.format(option, buffer.get(), length) == 0) {
      buffer.reset();
      tracelog(4, "Ostrel", "%s", sender.formatFailed);
      return 0;
    }
    if (SendDataToSP(static_cast<int>(option->devHwnd), buffer.release(), length, 0) == 1) {
      return 1;
    }
    tracelog(4, "Ostrel", "%s", sender.sendFailed);
    return 0;
  });
}

// The body of FormatResData.
LPCONNECTMSG DecodeReply(char* text) {
  Json::Value root;
  if (!jsontext::Parse(text, &root) || !root.isObject()) {
    tracelog(4, "Ostrel", "Ostrel::FormatResData Input data msg is invalided!");
    return nullptr;
  }
  codec::Decoder envelope("Ostrel::FormatResData", nullptr);
  codec::Object top(&envelope, &root);
  DWORD msgType = static_cast<DWORD>(top.Int("dwMsgType"));
  WORD hService = static_cast<WORD>(top.Int("hService"));
  if (!envelope.ok()) return nullptr;

  std::unique_ptr<_connect_msg> msg(new _connect_msg());
  msg->dwMsgType = msgType;
  msg->hService = hService;
  tracelog(2, "Ostrel", "Ostrel::FormatResData FormatJsonData dwMsgType=%d, hService=%d",
           static_cast<int>(msgType), static_cast<int>(hService));

  LPVOID block = nullptr;
  if (WFMAllocateBuffer(sizeof(WFSRESULT), WFS_MEM_ZEROINIT, &block) != WFS_SUCCESS ||
      block == nullptr) {
    tracelog(4, "Ostrel", "Ostrel::FormatResData allocate buffer failed!");
    return nullptr;
  }
  msg->lpWfsResult = static_cast<LPWFSRESULT>(block);

  int decoded = 0;
  if (UnformatJsonData::IsKnownMsgType(msgType)) {
    decoded = UnformatJsonData::UnformatParsed(msgType, msg->lpWfsResult, root);
  } else {
    tracelog(4, "Ostrel", "Ostrel::FormatResData invalida Msg Type");
  }
  if (decoded == 1) return msg.release();
  Ostrel::FreeBuffer(msg.release(), 1);
  tracelog(4, "Ostrel", "Ostrel::FormatResData FormatJsonData Failed");
  return nullptr;
}

}  // namespace

int Ostrel::SendMessage(_tagDataOption* option) {
  return guard::call(OSTREL_SITE("Ostrel::SendMessag catch Exception"), 0, [&] {
    if (option == nullptr) {
      tracelog(4, "Ostrel", "Ostrel::SendMessag request is NULL");
      return 0;
    }
    tracelog(2, "Ostrel",
             "hService=%d, requestId=%d, hWnd=%d, devHwnd=%d, command=%d, category=%d, "
             "CmdType=%d, timeOut=%d, lType=%d, lpAppId=%s",
             static_cast<int>(option->hService), static_cast<int>(option->requestID),
             static_cast<int>(option->hWnd), static_cast<int>(option->devHwnd),
             static_cast<int>(option->dwCommand), static_cast<int>(option->dwCategory),
             static_cast<int>(option->nCmdType), static_cast<int>(option->dwTimeout),
             static_cast<int>(option->lType),
             option->lpAppId != nullptr ? option->lpAppId : "(null)");
    switch (option->nCmdType) {
      case KvSP_CMD_CANCEL:
        return SendCancelMessage(option);
      case KvSP_CMD_CLOSE:
        return SendCloseMesage(option);
      case KvSP_CMD_EXECUTE:
        return SendExecuteMessage(option);
      case KvSP_CMD_GETINFO:
        return SendGetInfoMessage(option);
      case KvSP_CMD_LOCK:
        return SendLockMessage(option);
      case KvSP_CMD_OPEN:
        return SendOpenMessage(option);
      case KvSP_CMD_UNLOAD_SERVICE:
        return SendUnloadServiceMessage(option);
      case KvSP_CMD_UNLOCK:
        return SendUnlockMessage(option);
      case KvSP_CMD_TIMEOUT:
        return SendTimeoutMessage(option);
      default:
        tracelog(4, "Ostrel", "Ostrel::SendMessag Invalid CmdType = [%d]",
                 static_cast<int>(option->nCmdType));
        return 0;
    }
  });
}

int Ostrel::SendOpenMessage(_tagDataOption* option) {
  return Send(OSTREL_SITE("Ostrel::SendOpenMessage catch an Exception"), kOpen, option);
}

int Ostrel::SendCloseMesage(_tagDataOption* option) {
  return Send(OSTREL_SITE("Ostrel::SendCloseMesage catch an exception"), kClose, option);
}

int Ostrel::SendCancelMessage(_tagDataOption* option) {
  return Send(OSTREL_SITE("Ostrel::SendCancelMessag catch an Exception"), kCancel, option);
}

int Ostrel::SendExecuteMessage(_tagDataOption* option) {
  return Send(OSTREL_SITE("Ostrel::SendExecuteMessage catch an Exception"), kExecute, option);
}

int Ostrel::SendGetInfoMessage(_tagDataOption* option) {
  return Send(OSTREL_SITE("Ostrel::SendGetInfoMessage"), kGetInfo, option);
}

int Ostrel::SendLockMessage(_tagDataOption* option) {
  return Send(OSTREL_SITE("Ostrel::SendLockMessage catch an exception"), kLock, option);
}

int Ostrel::SendUnlockMessage(_tagDataOption* option) {
  return Send(OSTREL_SITE("Ostrel::SendUnlockMessage catch an exception"), kUnlock, option);
}

int Ostrel::SendUnloadServiceMessage(_tagDataOption* option) {
  return Send(OSTREL_SITE("Ostrel::SendUnloadServiceMessage catch an exception"), kUnloadService,
              option);
}

int Ostrel::SendTimeoutMessage(_tagDataOption* option) {
  return Send(OSTREL_SITE("Ostrel::SendTimeoutMessage catch an exception"), kTimeout, option);
}

LPCONNECTMSG Ostrel::FormatResData(char* text) {
  return guard::call(
      OSTREL_SITE("===========================Ostrel::FormatResData catch an exception!"),
      static_cast<LPCONNECTMSG>(nullptr), [&] { return DecodeReply(text); });
}

int Ostrel::FreeBuffer(_connect_msg* msg, int freeResult) {
  if (msg == nullptr || msg->lpWfsResult == nullptr) {
    tracelog(3, "Ostrel", "Ostrel::FreeBuffer pointer is NULL!");
    // A record without a result is still ours to release.
    delete msg;
    return 1;
  }
  return guard::call(OSTREL_SITE("Ostrel::FreeBuffer catch an exception!"), 0, [&] {
    if (freeResult != 0) WFMFreeBuffer(msg->lpWfsResult);
    delete msg;
    return 0;
  });
}
