#include "jsonunformatevent_server_idc.h"

#include "codec_dispatch.h"
#include "codec_reply.h"
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
  codec::Decoder decoder("JsonUnformatEvent_Execute_IDC::UnformatCardAction", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSIDCCARDACT* action = decoder.Output<WFSIDCCARDACT>();
  if (action == nullptr) return 0;
  action->wAction = static_cast<WORD>(in.Int("wAction"));
  action->wPosition = static_cast<WORD>(in.Int("wPosition"));
  return decoder.Result();
}

int JsonUnformatEvent_Server_IDC::UnformatMediaDetected(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformatEvent_Execute_IDC::UnformatMediaDetected", result);
  if (!decoder.HasInput(value)) return 0;
  WORD position = static_cast<WORD>(decoder.Int(*value, "lpBuffer"));
  if (!decoder.ok()) return 0;
  WORD* block = decoder.Output<WORD>();
  if (block != nullptr) *block = position;
  return decoder.Result();
}

int JsonUnformatEvent_Server_IDC::UnformatDevicePosition(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformatEvent_Execute_IDC::UnformatDevicePosition", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSIDCDEVICEPOSITION* position = decoder.Output<WFSIDCDEVICEPOSITION>();
  if (position == nullptr) return 0;
  position->wPosition = static_cast<WORD>(in.Int("wPosition"));
  return decoder.Result();
}

int JsonUnformatEvent_Server_IDC::UnformatPowerSaveChange(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformatEvent_Execute_IDC::UnformatPowerSaveChange", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSIDCPOWERSAVECHANGE* change = decoder.Output<WFSIDCPOWERSAVECHANGE>();
  if (change == nullptr) return 0;
  change->usPowerSaveRecoveryTime = static_cast<USHORT>(in.Int("usPowerSaveRecoveryTime"));
  return decoder.Result();
}
