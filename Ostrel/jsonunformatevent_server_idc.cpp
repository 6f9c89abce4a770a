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

int JsonUnformatEvent_Server_IDC::UnformatCardAction(LPWFSRESULT result, Json::Value* value) {
  return codec::Unformat("JsonUnformatEvent_Execute_IDC::UnformatCardAction",
                         codec::idc::kCardAction, result, value);
}

int JsonUnformatEvent_Server_IDC::UnformatMediaDetected(LPWFSRESULT result, Json::Value* value) {
  return codec::UnformatWordValue("JsonUnformatEvent_Execute_IDC::UnformatMediaDetected", result,
                                  value);
}

int JsonUnformatEvent_Server_IDC::UnformatDevicePosition(LPWFSRESULT result, Json::Value* value) {
  return codec::Unformat("JsonUnformatEvent_Execute_IDC::UnformatDevicePosition",
                         codec::idc::kDevicePosition, result, value);
}

int JsonUnformatEvent_Server_IDC::UnformatPowerSaveChange(LPWFSRESULT result, Json::Value* value) {
  return codec::Unformat("JsonUnformatEvent_Execute_IDC::UnformatPowerSaveChange",
                         codec::idc::kPowerSaveChange, result, value);
}
