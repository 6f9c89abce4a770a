#include "jsonunformatevent_server_idc.h"

#include "codec_dispatch.h"
#include "structcodec.h"
#include "structs_idc.h"
#include "xfsidc.h"

int JsonUnformatEvent_Server_IDC::UnformatServer(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_SRVE_IDC_MEDIAREMOVED, nullptr},
      {WFS_SRVE_IDC_CARDACTION, &UnformatCardAction},
      {WFS_SRVE_IDC_MEDIADETECTED, &UnformatMediaDetected},
      {WFS_SRVE_IDC_RETAINBININSERTED, nullptr},
      {WFS_SRVE_IDC_RETAINBINREMOVED, nullptr},
      {WFS_SRVE_IDC_DEVICEPOSITION, &UnformatDevicePosition},
      {WFS_SRVE_IDC_POWER_SAVE_CHANGE, &UnformatPowerSaveChange},
  };
  return codec::UnformatByCode(
      GUARD_SITE("jsonunformatevent_server_idc", "Ostrel",
                 "JsonUnformatEvent_Execute_IDC::UnformatServer catch an exception!"),
      "JsonUnformatEvent_Execute_IDC::UnformatServer invalid ServerEvent ID", kTable, result,
      value);
}

// The card reader's service events log under its execute events' name.
#define IDC_SERVICE_EVENT_DECODER(Function, structure)                               \
  OSTREL_DECODER_AS(JsonUnformatEvent_Server_IDC, Function,                         \
                    "JsonUnformatEvent_Execute_IDC::" #Function, structure,         \
                    codec::UnformatOptions())

IDC_SERVICE_EVENT_DECODER(UnformatCardAction, codec::idc::kCardAction)
IDC_SERVICE_EVENT_DECODER(UnformatDevicePosition, codec::idc::kDevicePosition)
IDC_SERVICE_EVENT_DECODER(UnformatPowerSaveChange, codec::idc::kPowerSaveChange)

int JsonUnformatEvent_Server_IDC::UnformatMediaDetected(LPWFSRESULT result, Json::Value* value) {
  return codec::UnformatWordValue("JsonUnformatEvent_Execute_IDC::UnformatMediaDetected", result,
                                  value);
}
