#include "jsonunformatevent_system.h"

#include "codec_dispatch.h"
#include "structcodec.h"
#include "structs_system.h"

namespace events = codec::systemevents;

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

OSTREL_DECODER(JsonUnformatEvent_System, UnformatUndeliverableMsg, events::kUndeliverableMsg)
OSTREL_DECODER(JsonUnformatEvent_System, UnformatHardwareError, events::kHardwareError)
OSTREL_DECODER(JsonUnformatEvent_System, UnformatSoftwareError, events::kHardwareError)
OSTREL_DECODER(JsonUnformatEvent_System, UnformatUserError, events::kHardwareError)
OSTREL_DECODER(JsonUnformatEvent_System, UnformatVersionError, events::kVersionError)
OSTREL_DECODER(JsonUnformatEvent_System, UnformatDeviceStatus, events::kDeviceStatus)
OSTREL_DECODER(JsonUnformatEvent_System, UnformatAppDisconnect, events::kAppDisconnect)

OSTREL_NO_OUTPUT_DECODER(JsonUnformatEvent_System, UnformatLockRequested)
