#include "unformatjsondata.h"


#include "classcodecs.h"
#include "codec_reply.h"
#include "exception.h"
#include "jsonunformatevent_system.h"
#include "jsontext.h"
#include "kestrel.h"

namespace {

// Who builds lpBuffer for a message type.
enum class Payload { kNone, kInfo, kExecute, kExecuteEvent, kServiceEvent, kUserEvent, kSystemEvent };

struct Envelope {
  DWORD msgType;
  const char* name;         // qualified decoder name, prefix of its lines
  const char* parseFailed;  // the text does not parse
  const char* caught;       // a fault caught in the decoder
  const char* codeMember;   // "dwCommandCode", "dwEventID" or NULL
  Payload payload;
};

const Envelope kOpen = {KvSP_OPEN_COMPLETE, "UnformatJsonData::UnformatOpenComplete",
                        "Ostrel::UnformatOpenComplete Input data msg is invalided!",
                        "UnformatJsonData::UnformatOpenComplete catch an exception", nullptr,
                        Payload::kNone};
const Envelope kGetInfo = {KvSP_GETINFO_COMPLETE, "UnformatJsonData::UnformatGetInfoComplete",
                           "Ostrel::UnformatGetInfoComplete Input data msg is invalided!",
                           "UnformatJsonData::UnformatGetInfoComplete catch an exception",
                           "dwCommandCode", Payload::kInfo};
const Envelope kExecute = {KvSP_EXECUTE_COMPLETE, "UnformatJsonData::UnformatExecuteComplete",
                           "Ostrel::UnformatExecuteComplete Input data msg is invalided!",
                           "UnformatJsonData::UnformatExecuteComplete catch an exception",
                           "dwCommandCode", Payload::kExecute};
const Envelope kClose = {KvSP_CLOSE_COMPLETE, "UnformatJsonData::UnformatCloseComplete",
                         "Ostrel::UnformatCloseComplete Input data msg is invalided!",
                         "UnformatJsonData::UnformatCloseComplete catch an exception", nullptr,
                         Payload::kNone};
const Envelope kLock = {KvSP_LOCK_COMPLETE, "UnformatJsonData::UnformatLockComplete",
                        "Ostrel::UnformatLockComplete Input data msg is invalided!",
                        "UnformatJsonData::UnformatLockComplete catch an exception",
                        "dwCommandCode", Payload::kNone};
const Envelope kUnlock = {KvSP_UNLOCK_COMPLETE, "UnformatJsonData::UnformatUnlockComplete",
                          "Ostrel::UnformatUnlockComplete Input data msg is invalided!",
                          "UnformatJsonData::UnformatUnlockComplete catch an exception",
                          "dwCommandCode", Payload::kNone};
const Envelope kExecuteEvent = {WFS_EXECUTE_EVENT, "UnformatJsonData::UnformatExecuteEvent",
                                "Ostrel::UnformatExecuteEvent Input data msg is invalided!",
                                "UnformatJsonData::UnformatExecuteEvent catch an exception",
                                "dwEventID", Payload::kExecuteEvent};
const Envelope kServiceEvent = {WFS_SERVICE_EVENT, "UnformatJsonData::UnformatServiceEvent",
                                "Ostrel::UnformatServiceEvent Input data msg is invalided!",
                                "UnformatJsonData::UnformatServiceEvent catch an exception",
                                "dwEventID", Payload::kServiceEvent};
const Envelope kUserEvent = {WFS_USER_EVENT, "UnformatJsonData::UnformatUserEvent",
                             "Ostrel::UnformatUserEvent Input data msg is invalided!",
                             "UnformatJsonData::UnformatUserEvent catch an exception",
                             "dwEventID", Payload::kUserEvent};
const Envelope kSystemEvent = {WFS_SYSTEM_EVENT, "UnformatJsonData::UnformatSystemEvent",
                               "Ostrel::UnformatSystemEvent Input data msg is invalided!",
                               "UnformatJsonData::UnformatSystemEvent catch an exception",
                               "dwEventID", Payload::kSystemEvent};

const Envelope* const kEnvelopes[] = {&kOpen,      &kGetInfo,      &kExecute,
                                      &kClose,     &kLock,         &kUnlock,
                                      &kExecuteEvent, &kServiceEvent, &kUserEvent,
                                      &kSystemEvent};

const Envelope* ForMsgType(DWORD msgType) {
  for (const Envelope* envelope : kEnvelopes) {
    if (envelope->msgType == msgType) return envelope;
  }
  return nullptr;
}

// The class decoder for the payload of this kind, chosen by the result's code.
codec::Unformatter PayloadDecoder(Payload payload, DWORD code) {
  if (payload == Payload::kSystemEvent) return &JsonUnformatEvent_System::UnformatSystem;
  const classcodecs::ClassCodec* device = classcodecs::ForCode(code);
  if (device == nullptr) return nullptr;
  switch (payload) {
    case Payload::kInfo:
      return device->UnformatInfo;
    case Payload::kExecute:
      return device->UnformatExecute;
    case Payload::kExecuteEvent:
      return device->UnformatExecuteEvent;
    case Payload::kServiceEvent:
      return device->UnformatServiceEvent;
    case Payload::kUserEvent:
      return device->UnformatUserEvent;
    default:
      return nullptr;
  }
}

// The header from "lpWfsResult", then the payload. root is an object.
int DecodeEnvelope(const Envelope& envelope, LPWFSRESULT result, Json::Value& root) {
  if (result == nullptr) {
    tracelog(4, "Ostrel", "%s result is NULL", envelope.name);
    return 0;
  }
  codec::Decoder decoder(envelope.name, result);
  codec::Object top(&decoder, &root);
  codec::Object wfsResult = top.Child("lpWfsResult");
  if (!decoder.ok()) return 0;
  if (!wfsResult) {
    decoder.Fail(" wfsResult == NULL");
    return 0;
  }
  result->hResult = static_cast<HRESULT>(wfsResult.Int("hResult"));
  result->hService = static_cast<HSERVICE>(wfsResult.Int("hService"));
  result->RequestID = static_cast<REQUESTID>(wfsResult.Int("requestID"));
  if (envelope.codeMember != nullptr) {
    result->u.dwCommandCode = static_cast<DWORD>(wfsResult.Int(envelope.codeMember));
  }
  codec::Object timestamp = wfsResult.Child("tsTimestamp");
  result->tsTimestamp.wYear = static_cast<WORD>(timestamp.Int("year"));
  result->tsTimestamp.wMonth = static_cast<WORD>(timestamp.Int("month"));
  result->tsTimestamp.wDayOfWeek = static_cast<WORD>(timestamp.Int("day_of_week"));
  result->tsTimestamp.wDay = static_cast<WORD>(timestamp.Int("day"));
  result->tsTimestamp.wHour = static_cast<WORD>(timestamp.Int("hour"));
  result->tsTimestamp.wMinute = static_cast<WORD>(timestamp.Int("minute"));
  result->tsTimestamp.wSecond = static_cast<WORD>(timestamp.Int("second"));
  result->tsTimestamp.wMilliseconds = static_cast<WORD>(timestamp.Int("milli_seconds"));
  if (!decoder.ok()) return 0;

  result->lpBuffer = nullptr;
  codec::Unformatter unformat = PayloadDecoder(envelope.payload, result->u.dwCommandCode);
  if (unformat != nullptr) {
    const Json::Value& buffer = wfsResult.Get("lpBuffer");
    // The root belongs to the caller and is not const; only the lookup is.
    unformat(result, buffer.isNull() ? nullptr : const_cast<Json::Value*>(&buffer));
  }
  return 1;
}

int RunGuarded(const Envelope& envelope, LPWFSRESULT result, Json::Value& root) {
  return guard::call(GUARD_SITE("unformatjsondata", "Ostrel", envelope.caught), 0,
                     [&] { return DecodeEnvelope(envelope, result, root); });
}

int ParseAndDecode(const Envelope& envelope, LPWFSRESULT result, char* text) {
  return guard::call(GUARD_SITE("unformatjsondata", "Ostrel", envelope.caught), 0, [&] {
    Json::Value root;
    if (!jsontext::Parse(text, &root) || !root.isObject()) {
      tracelog(4, "Ostrel", "%s", envelope.parseFailed);
      return 0;
    }
    return DecodeEnvelope(envelope, result, root);
  });
}

}  // namespace

int UnformatJsonData::UnformatOpenComplete(LPWFSRESULT result, char* text) {
  return ParseAndDecode(kOpen, result, text);
}

int UnformatJsonData::UnformatCloseComplete(LPWFSRESULT result, char* text) {
  return ParseAndDecode(kClose, result, text);
}

int UnformatJsonData::UnformatGetInfoComplete(LPWFSRESULT result, char* text) {
  return ParseAndDecode(kGetInfo, result, text);
}

int UnformatJsonData::UnformatExecuteComplete(LPWFSRESULT result, char* text) {
  return ParseAndDecode(kExecute, result, text);
}

int UnformatJsonData::UnformatLockComplete(LPWFSRESULT result, char* text) {
  return ParseAndDecode(kLock, result, text);
}

int UnformatJsonData::UnformatUnlockComplete(LPWFSRESULT result, char* text) {
  return ParseAndDecode(kUnlock, result, text);
}

int UnformatJsonData::UnformatExecuteEvent(LPWFSRESULT result, char* text) {
  return ParseAndDecode(kExecuteEvent, result, text);
}

int UnformatJsonData::UnformatServiceEvent(LPWFSRESULT result, char* text) {
  return ParseAndDecode(kServiceEvent, result, text);
}

int UnformatJsonData::UnformatUserEvent(LPWFSRESULT result, char* text) {
  return ParseAndDecode(kUserEvent, result, text);
}

int UnformatJsonData::UnformatSystemEvent(LPWFSRESULT result, char* text) {
  return ParseAndDecode(kSystemEvent, result, text);
}

bool UnformatJsonData::IsKnownMsgType(DWORD msgType) { return ForMsgType(msgType) != nullptr; }

int UnformatJsonData::UnformatParsed(DWORD msgType, LPWFSRESULT result, Json::Value& root) {
  const Envelope* envelope = ForMsgType(msgType);
  if (envelope == nullptr) return 0;
  return RunGuarded(*envelope, result, root);
}
