#include "jsonunformatevent_system.h"

#include "codec_dispatch.h"
#include "structcodec.h"
#include "structs_system.h"

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
  return codec::Unformat("JsonUnformatEvent_System::UnformatUndeliverableMsg",
                         codec::systemevents::kUndeliverableMsg, result, value);
}

int JsonUnformatEvent_System::UnformatHardwareError(LPWFSRESULT result, Json::Value* value) {
  return codec::Unformat("JsonUnformatEvent_System::UnformatHardwareError",
                         codec::systemevents::kHardwareError, result, value);
}

int JsonUnformatEvent_System::UnformatSoftwareError(LPWFSRESULT result, Json::Value* value) {
  return codec::Unformat("JsonUnformatEvent_System::UnformatSoftwareError",
                         codec::systemevents::kHardwareError, result, value);
}

int JsonUnformatEvent_System::UnformatUserError(LPWFSRESULT result, Json::Value* value) {
  return codec::Unformat("JsonUnformatEvent_System::UnformatUserError",
                         codec::systemevents::kHardwareError, result, value);
}

int JsonUnformatEvent_System::UnformatVersionError(LPWFSRESULT result, Json::Value* value) {
  return codec::Unformat("JsonUnformatEvent_System::UnformatVersionError",
                         codec::systemevents::kVersionError, result, value);
}

int JsonUnformatEvent_System::UnformatDeviceStatus(LPWFSRESULT result, Json::Value* value) {
  return codec::Unformat("JsonUnformatEvent_System::UnformatDeviceStatus",
                         codec::systemevents::kDeviceStatus, result, value);
}

int JsonUnformatEvent_System::UnformatAppDisconnect(LPWFSRESULT result, Json::Value* value) {
  return codec::Unformat("JsonUnformatEvent_System::UnformatAppDisconnect",
                         codec::systemevents::kAppDisconnect, result, value);
}

int JsonUnformatEvent_System::UnformatLockRequested(LPWFSRESULT result, Json::Value*) {
  if (result != nullptr) result->lpBuffer = nullptr;
  return 1;
}
