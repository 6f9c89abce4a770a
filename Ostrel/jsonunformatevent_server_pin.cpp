#include "jsonunformatevent_server_pin.h"

#include "codec_dispatch.h"
#include "structcodec.h"
#include "structs_pin.h"
#include "xfspin.h"

namespace pin = codec::pin;

int JsonUnformatEvent_Server_PIN::UnformatServer(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_SRVE_PIN_INITIALIZED, &UnformatInitialized},
      {WFS_SRVE_PIN_ILLEGAL_KEY_ACCESS, &UnformatIllegalKeyAccess},
      {WFS_SRVE_PIN_OPT_REQUIRED, &UnformatOptRequired},
      {WFS_SRVE_PIN_HSM_TDATA_CHANGED, &UnformatHsmTdataChanged},
      {WFS_SRVE_PIN_CERTIFICATE_CHANGE, &UnformatCertificateChange},
      {WFS_SRVE_PIN_HSM_CHANGED, &UnformatHsmChanged},
      {WFS_SRVE_PIN_DEVICEPOSITION, &UnformatDevicePosition},
      {WFS_SRVE_PIN_POWER_SAVE_CHANGE, &UnformatPowerSaveChange},
  };
  return codec::UnformatByCode(
      GUARD_SITE("jsonunformatevent_server_pin", "Ostrel",
                 "JsonUnformatEvent_Server_PIN::UnformatServer catch an exception!"),
      "JsonUnformatServer_Execute_PIN::UnformatServer invalided ServerEvent ID", kTable, result,
      value);
}

OSTREL_DECODER(JsonUnformatEvent_Server_PIN, UnformatInitialized, pin::kInit)
OSTREL_DECODER(JsonUnformatEvent_Server_PIN, UnformatIllegalKeyAccess, pin::kIllegalKeyAccess)
OSTREL_DECODER(JsonUnformatEvent_Server_PIN, UnformatOptRequired, pin::kHsmIdentifier)
OSTREL_DECODER(JsonUnformatEvent_Server_PIN, UnformatHsmTdataChanged, pin::kXData)
OSTREL_VALUE_DECODER(JsonUnformatEvent_Server_PIN, UnformatCertificateChange,
                     codec::UnformatWordValue)
OSTREL_DECODER(JsonUnformatEvent_Server_PIN, UnformatHsmChanged, pin::kHsmIdentifier)
OSTREL_DECODER(JsonUnformatEvent_Server_PIN, UnformatDevicePosition, pin::kDevicePosition)
OSTREL_DECODER(JsonUnformatEvent_Server_PIN, UnformatPowerSaveChange, pin::kPowerSaveChange)
