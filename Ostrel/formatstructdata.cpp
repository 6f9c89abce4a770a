#include "formatstructdata.h"

#include <cstring>

#include "classcodecs.h"
#include "codec_request.h"
#include "exception.h"
#include "jsontext.h"
#include "kestrel.h"

namespace {

enum class Payload { kNone, kInfo, kExecute };

// The class payload under "lpDataBuffer" when the code falls in a class range.
void AddPayload(const _tagDataOption& request, Payload payload, Json::Value* root) {
  unsigned int code = 0;
  if (payload == Payload::kExecute) {
    tracelog(2, "Ostrel", "FormatStructData::FormatExecuteData Cmd = %d",
             static_cast<int>(request.dwCommand));
    code = request.dwCommand & 0xFFFFu;
  } else {
    code = request.dwCategory & 0xFFFFu;
  }
  const classcodecs::ClassCodec* device = classcodecs::ForCode(code);
  if (device == nullptr) return;
  classcodecs::PayloadFormatter format = device->InfoFormat;
  if (payload == Payload::kExecute) {
    format = device->ExeFormat;
    if (device->serviceClass == WFS_SERVICE_CLASS_IDC) {
      tracelog(1, "Ostrel", "FormatStructData::FormatExecuteData ServiceType == WFS_SERVICE_CLASS_IDC");
    }
  }
  (*root)["lpDataBuffer"] =
      format != nullptr ? format(code, static_cast<unsigned char*>(request.lpDataBuffer))
                        : Json::Value();
}

int Render(const char* name, _tagDataOption* option, char* buffer, int& length, Payload payload) {
  if (option == nullptr || buffer == nullptr) {
    tracelog(4, "Ostrel", "%s request or buffer is NULL", name);
    return 0;
  }
  // The caller's record and its application identifier are read before
  // anything is allocated, so a bad pointer there costs nothing.
  const _tagDataOption request = *option;
  Json::Value appId = FormatStructData::GetLPSTR(request.lpAppId);

  Json::Value root(Json::objectValue);
  root["hService"] = codec::Int(request.hService);
  root["lpAppId"] = appId;
  root["requestID"] = codec::Int(request.requestID);
  root["nCmdType"] = codec::Int(request.nCmdType);
  root["dwTimeout"] = codec::Int(request.dwTimeout);
  root["dwCategory"] = codec::Int(request.dwCategory);
  root["dwCommand"] = codec::Int(request.dwCommand);
  root["lType"] = codec::Int(request.lType);
  root["hWnd"] = codec::Int(request.hWnd);
  if (payload != Payload::kNone) AddPayload(request, payload, &root);

  std::string text = jsontext::Render(root);
  if (text.size() > static_cast<size_t>(FormatStructData::kRequestBufferSize)) {
    tracelog(4, "Ostrel", "%s request of %zu bytes does not fit the %d-byte buffer", name,
             text.size(), FormatStructData::kRequestBufferSize);
    return 0;
  }
  std::memcpy(buffer, text.data(), text.size());
  length = static_cast<int>(text.size());
  return 1;
}

// Runs one formatter inside its guarded frame.
int Guarded(const guard::Site& caught, const char* name, _tagDataOption* option, char* buffer,
            int& length, Payload payload) {
  return guard::call(caught, 0, [&] { return Render(name, option, buffer, length, payload); });
}

}  // namespace

#define FORMAT_SITE(text) GUARD_SITE("formatstructdata", "Ostrel", text)

int FormatStructData::FormatOpenData(_tagDataOption* option, char* buffer, int& length) {
  return Guarded(FORMAT_SITE("FormatStructData::FormatOpenData catch an Exception"),
                 "FormatStructData::FormatOpenData", option, buffer, length, Payload::kNone);
}

int FormatStructData::FormatCloseData(_tagDataOption* option, char* buffer, int& length) {
  return Guarded(FORMAT_SITE("FormatStructData::FormatCloseData catch an Exception"),
                 "FormatStructData::FormatCloseData", option, buffer, length, Payload::kNone);
}

int FormatStructData::FormatCancelData(_tagDataOption* option, char* buffer, int& length) {
  return Guarded(FORMAT_SITE("FormatStructData::FormatCancelData catch an Exception"),
                 "FormatStructData::FormatCancelData", option, buffer, length, Payload::kNone);
}

int FormatStructData::FormatLockData(_tagDataOption* option, char* buffer, int& length) {
  return Guarded(FORMAT_SITE("FormatStructData::FormatLockData catch an Exception"),
                 "FormatStructData::FormatLockData", option, buffer, length, Payload::kNone);
}

int FormatStructData::FormatUnlockData(_tagDataOption* option, char* buffer, int& length) {
  return Guarded(FORMAT_SITE("FormatStructData::FormatUnlockData catch an Exception"),
                 "FormatStructData::FormatUnlockData", option, buffer, length, Payload::kNone);
}

int FormatStructData::FormatUnloadServiceData(_tagDataOption* option, char* buffer, int& length) {
  return Guarded(FORMAT_SITE("FormatStructData::FormatUnloadServiceData catch an Exception"),
                 "FormatStructData::FormatUnloadServiceData", option, buffer, length, Payload::kNone);
}

int FormatStructData::FormatTimeoutData(_tagDataOption* option, char* buffer, int& length) {
  return Guarded(FORMAT_SITE("FormatStructData::FormatTimeoutData catch an Exception"),
                 "FormatStructData::FormatTimeoutData", option, buffer, length, Payload::kNone);
}

int FormatStructData::FormatExecuteData(_tagDataOption* option, char* buffer, int& length) {
  return Guarded(FORMAT_SITE("FormatStructData::FormatExecuteData catch an Exception"),
                 "FormatStructData::FormatExecuteData", option, buffer, length, Payload::kExecute);
}

int FormatStructData::FormatGetInfoData(_tagDataOption* option, char* buffer, int& length) {
  return Guarded(FORMAT_SITE("FormatStructData::FormatGetInfoData catch an Exception"),
                 "FormatStructData::FormatGetInfoData", option, buffer, length, Payload::kInfo);
}

Json::Value FormatStructData::GetLPSTR(char* text) { return codec::OptionalString(text); }
