#include "jsonunformatevent_system.h"

#include "codec_dispatch.h"
#include "codec_reply.h"

namespace {

// Hardware, software and user errors share one structure and one decoder.
int UnformatError(const char* name, LPWFSRESULT result, const Json::Value* value) {
  codec::Decoder decoder(name, result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSHWERROR* error = decoder.Output<WFSHWERROR>();
  if (error == nullptr) return 0;
  error->lpszLogicalName = in.String("lpszLogicalName", 1);
  error->lpszPhysicalName = in.String("lpszPhysicalName", 2);
  error->lpszWorkstationName = in.String("lpszWorkstationName", 3);
  error->lpszAppID = in.String("lpszAppID", 4);
  error->dwAction = static_cast<DWORD>(in.Int("dwAction"));
  error->dwSize = static_cast<DWORD>(in.Int("dwSize"));
  error->lpbDescription = in.BinaryMatchFirst("lpbDescription", error->dwSize, 5);
  return decoder.Result();
}

}  // namespace

int JsonUnformatEvent_System::UnformatSystem(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_SYSE_UNDELIVERABLE_MSG, &UnformatUndeliverableMsg},
      {WFS_SYSE_HARDWARE_ERROR, &UnformatHardwareError},
      {WFS_SYSE_VERSION_ERROR, &UnformatVersionError},
      {WFS_SYSE_DEVICE_STATUS, &UnformatDeviceStatus},
      {WFS_SYSE_APP_DISCONNECT, &UnformatAppDisconnect},
      {WFS_SYSE_SOFTWARE_ERROR, &UnformatSoftwareError},
      {WFS_SYSE_USER_ERROR, &UnformatUserError},
      {WFS_SYSE_LOCK_REQUESTED, &UnformatLockRequested},
  };
  return codec::UnformatByCode(
      GUARD_SITE("jsonunformatevent_system", "Ostrel",
                 "JsonUnformatEvent_System::UnformatSystem catch an exception!"),
      "JsonUnformatEvent_System::UnformatSystem invalid SystemEvent ID", kTable, result, value);
}

int JsonUnformatEvent_System::UnformatUndeliverableMsg(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformatEvent_System::UnformatUndeliverableMsg", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSUNDEVMSG* message = decoder.Output<WFSUNDEVMSG>();
  if (message == nullptr) return 0;
  message->lpszLogicalName = in.String("lpszLogicalName", 1);
  message->lpszWorkstationName = in.String("lpszWorkstationName", 2);
  message->lpszAppID = in.String("lpszAppID", 3);
  message->dwSize = static_cast<DWORD>(in.Int("dwSize"));
  message->lpbDescription = in.BinaryMatchFirst("lpbDescription", message->dwSize, 4);
  message->dwMsg = static_cast<DWORD>(in.Int("dwMsg"));
  codec::Object inner = in.Child("lpWFSResult");
  if (inner) {
    LPWFSRESULT undelivered = decoder.Allocate<WFSRESULT>(5);
    if (undelivered != nullptr) {
      undelivered->RequestID = static_cast<REQUESTID>(inner.Int("requestID"));
      undelivered->hService = static_cast<HSERVICE>(inner.Int("hService"));
      undelivered->hResult = static_cast<HRESULT>(inner.Int("hResult"));
      undelivered->u.dwEventID = static_cast<DWORD>(inner.Int("dwEventID"));
      message->lpWFSResult = undelivered;
    }
  }
  return decoder.Result();
}

int JsonUnformatEvent_System::UnformatHardwareError(LPWFSRESULT result, Json::Value* value) {
  return UnformatError("JsonUnformatEvent_System::UnformatHardwareError", result, value);
}

int JsonUnformatEvent_System::UnformatSoftwareError(LPWFSRESULT result, Json::Value* value) {
  return UnformatError("JsonUnformatEvent_System::UnformatSoftwareError", result, value);
}

int JsonUnformatEvent_System::UnformatUserError(LPWFSRESULT result, Json::Value* value) {
  return UnformatError("JsonUnformatEvent_System::UnformatUserError", result, value);
}

int JsonUnformatEvent_System::UnformatVersionError(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformatEvent_System::UnformatVersionError", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSVRSNERROR* error = decoder.Output<WFSVRSNERROR>();
  if (error == nullptr) return 0;
  error->lpszLogicalName = in.String("lpszLogicalName", 1);
  error->lpszWorkstationName = in.String("lpszWorkstationName", 2);
  error->lpszAppID = in.String("lpszAppID", 3);
  error->dwSize = static_cast<DWORD>(in.Int("dwSize"));
  error->lpbDescription = in.BinaryMatchFirst("lpbDescription", error->dwSize, 4);
  codec::Object version = in.Child("lpWFSVersion");
  if (version) {
    LPWFSVERSION block = decoder.Allocate<WFSVERSION>(5);
    if (block != nullptr) {
      block->wVersion = static_cast<WORD>(version.Int("wVersion"));
      block->wLowVersion = static_cast<WORD>(version.Int("wLowVersion"));
      block->wHighVersion = static_cast<WORD>(version.Int("wHighVersion"));
      version.FixedText("szDescription", &block->szDescription);
      version.FixedText("szSystemStatus", &block->szSystemStatus);
      error->lpWFSVersion = block;
    }
  }
  return decoder.Result();
}

int JsonUnformatEvent_System::UnformatDeviceStatus(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformatEvent_System::UnformatDeviceStatus", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSDEVSTATUS* status = decoder.Output<WFSDEVSTATUS>();
  if (status == nullptr) return 0;
  status->lpszPhysicalName = in.String("lpszPhysicalName", 1);
  status->lpszWorkstationName = in.String("lpszWorkstationName", 2);
  status->dwState = static_cast<DWORD>(in.Int("dwState"));
  return decoder.Result();
}

int JsonUnformatEvent_System::UnformatAppDisconnect(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformatEvent_System::UnformatAppDisconnect", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSAPPDISC* disconnect = decoder.Output<WFSAPPDISC>();
  if (disconnect == nullptr) return 0;
  disconnect->lpszLogicalName = in.String("lpszLogicalName", 1);
  disconnect->lpszWorkstationName = in.String("lpszWorkstationName", 2);
  disconnect->lpszAppID = in.String("lpszAppID", 3);
  return decoder.Result();
}

int JsonUnformatEvent_System::UnformatLockRequested(LPWFSRESULT result, Json::Value*) {
  if (result != nullptr) result->lpBuffer = nullptr;
  return 1;
}
