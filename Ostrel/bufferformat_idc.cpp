#include "bufferformat_idc.h"

#include <json/value.h>

#include <cstring>

#include "codec_dispatch.h"
#include "codec_request.h"
#include "kestrel.h"
#include "xfsidc.h"

namespace {

// A form name passed as the input itself (the READ_TRACK and QUERY_FORM
// inputs): the bare string.
Json::Value FormatFormName(unsigned char* data) {
  return Json::Value(reinterpret_cast<const char*>(data));
}

// One card-data element, as WRITE_RAW_DATA and PARSE_DATA send them. The
// data travels as base64 and only when there is some.
Json::Value FormatCardData(const WFSIDCCARDDATA* card) {
  Json::Value object(Json::objectValue);
  object["wDataSource"] = codec::Int(card->wDataSource);
  object["wStatus"] = codec::Int(card->wStatus);
  object["ulDataLength"] = codec::Int(card->ulDataLength);
  if (!codec::SetBinary(object, "lpbData", card->lpbData, card->ulDataLength)) {
    codec::CannotFormat("lpbData");
  }
  object["fwWriteMethod"] = codec::Int(card->fwWriteMethod);
  return object;
}

Json::Value FormatCardDataList(const LPWFSIDCCARDDATA* list) {
  return codec::ArrayOf(list, FormatCardData);
}

// A WORD passed as the input itself.
WORD WordInput(const unsigned char* data) {
  WORD value = 0;
  std::memcpy(&value, data, sizeof value);
  return value;
}

}  // namespace

Json::Value BufferFormat_IDC::InfoFormat(unsigned int category, unsigned char* data) {
  static const codec::FormatEntry kTable[] = {
      {WFS_INF_IDC_STATUS, nullptr, nullptr},
      {WFS_INF_IDC_CAPABILITIES, nullptr, nullptr},
      {WFS_INF_IDC_FORM_LIST, nullptr, nullptr},
      {WFS_INF_IDC_QUERY_FORM, &FormatFormName, nullptr},
      {WFS_INF_IDC_QUERY_IFM_IDENTIFIER, nullptr, nullptr},
  };
  return codec::FormatByCode(
      GUARD_SITE("bufferformat_idc", "Ostrel", "BufferFormat_IDC::InfoFormat catch an Exception"),
      "BufferFormat_IDC::InfoFormat invalid INFO CMD", kTable, category, data);
}

Json::Value BufferFormat_IDC::ExeFormat(unsigned int command, unsigned char* data) {
  static const codec::FormatEntry kTable[] = {
      {WFS_CMD_IDC_READ_TRACK, &FormatFormName, nullptr},
      {WFS_CMD_IDC_WRITE_TRACK, &FormatWriteTrack,
       "BufferFormat_IDC::ExeFormat cmd = WFS_CMD_IDC_WRITE_TRACK"},
      {WFS_CMD_IDC_EJECT_CARD, &FormatEjectCard, nullptr},
      {WFS_CMD_IDC_RETAIN_CARD, [](unsigned char*) { return FormatRetainCard(); }, nullptr},
      {WFS_CMD_IDC_RESET_COUNT, [](unsigned char*) { return FormatResetCount(); }, nullptr},
      {WFS_CMD_IDC_SETKEY, &FormatSetkey, nullptr},
      {WFS_CMD_IDC_READ_RAW_DATA, &FormatReadRawData, nullptr},
      {WFS_CMD_IDC_WRITE_RAW_DATA, &FormatWriteRawData, nullptr},
      {WFS_CMD_IDC_CHIP_IO, &FormatChipIO, nullptr},
      {WFS_CMD_IDC_RESET, &FormatReset, nullptr},
      {WFS_CMD_IDC_CHIP_POWER, &FormatChipPower, nullptr},
      {WFS_CMD_IDC_PARSE_DATA, &FormatParseData, nullptr},
      {WFS_CMD_IDC_SET_GUIDANCE_LIGHT, &FormatSetGuidanceLight, nullptr},
      {WFS_CMD_IDC_POWER_SAVE_CONTROL, &FormatPowerSaveControl, nullptr},
  };
  return codec::FormatByCode(
      GUARD_SITE("bufferformat_idc", "Ostrel", "BufferFormat_IDC::ExeForma catch an Exception"),
      "BufferFormat_IDC::ExeFormat invalid EXE CMD", kTable, command, data);
}

Json::Value BufferFormat_IDC::GetLPSTR(char* text) { return codec::OptionalString(text); }

Json::Value BufferFormat_IDC::FormatWriteTrack(unsigned char* data) {
  const WFSIDCWRITETRACK* write = reinterpret_cast<const WFSIDCWRITETRACK*>(data);
  Json::Value object(Json::objectValue);
  object["lpstrFormName"] = GetLPSTR(write->lpstrFormName);
  object["lpstrTrackData"] = codec::RequiredString("lpstrTrackData", write->lpstrTrackData);
  object["fwWriteMethod"] = codec::Int(write->fwWriteMethod);
  tracelog(1, "Ostrel", "BufferFormat_IDC::FormatWriteTrack ");
  return object;
}

Json::Value BufferFormat_IDC::FormatEjectCard(unsigned char* data) {
  const WFSIDCEJECTCARD* eject = reinterpret_cast<const WFSIDCEJECTCARD*>(data);
  Json::Value object(Json::objectValue);
  object["wEjectPosition"] = codec::Int(eject->wEjectPosition);
  return object;
}

Json::Value BufferFormat_IDC::FormatRetainCard() { return Json::Value(); }

Json::Value BufferFormat_IDC::FormatResetCount() { return Json::Value(); }

Json::Value BufferFormat_IDC::FormatSetkey(unsigned char* data) {
  const WFSIDCSETKEY* key = reinterpret_cast<const WFSIDCSETKEY*>(data);
  Json::Value object(Json::objectValue);
  object["usKeyLen"] = codec::Int(key->usKeyLen);
  if (!codec::SetBinary(object, "lpbKeyValue", key->lpbKeyValue, key->usKeyLen)) {
    codec::CannotFormat("lpbKeyValue");
  }
  return object;
}

Json::Value BufferFormat_IDC::FormatReadRawData(unsigned char* data) {
  Json::Value object(Json::objectValue);
  object["lpwReadData"] = codec::Int(WordInput(data));
  return object;
}

Json::Value BufferFormat_IDC::FormatWriteRawData(unsigned char* data) {
  return FormatCardDataList(reinterpret_cast<const LPWFSIDCCARDDATA*>(data));
}

Json::Value BufferFormat_IDC::FormatChipIO(unsigned char* data) {
  const WFSIDCCHIPIO* chip = reinterpret_cast<const WFSIDCCHIPIO*>(data);
  Json::Value object(Json::objectValue);
  object["wChipProtocol"] = codec::Int(chip->wChipProtocol);
  object["ulChipDataLength"] = codec::Int(chip->ulChipDataLength);
  if (!codec::SetBinary(object, "lpbChipData", chip->lpbChipData, chip->ulChipDataLength)) {
    codec::CannotFormat("lpbChipData");
  }
  return object;
}

Json::Value BufferFormat_IDC::FormatReset(unsigned char* data) {
  return codec::Int(WordInput(data));
}

Json::Value BufferFormat_IDC::FormatChipPower(unsigned char* data) {
  return codec::Int(WordInput(data));
}

Json::Value BufferFormat_IDC::FormatParseData(unsigned char* data) {
  tracelog(1, "Ostrel", "BufferFormat_IDC::FormatParseData enter!");
  const WFSIDCPARSEDATA* parse = reinterpret_cast<const WFSIDCPARSEDATA*>(data);
  Json::Value object(Json::objectValue);
  object["lpstrFormName"] = codec::RequiredString("lpstrFormName", parse->lpstrFormName);
  object["lppCardData"] = FormatCardDataList(parse->lppCardData);
  return object;
}

Json::Value BufferFormat_IDC::FormatSetGuidanceLight(unsigned char* data) {
  const WFSIDCSETGUIDLIGHT* light = reinterpret_cast<const WFSIDCSETGUIDLIGHT*>(data);
  Json::Value object(Json::objectValue);
  object["wGuidLight"] = codec::Int(light->wGuidLight);
  object["dwCommand"] = codec::Unsigned(light->dwCommand);
  return object;
}

Json::Value BufferFormat_IDC::FormatPowerSaveControl(unsigned char* data) {
  const WFSIDCPOWERSAVECONTROL* control = reinterpret_cast<const WFSIDCPOWERSAVECONTROL*>(data);
  Json::Value object(Json::objectValue);
  object["usMaxPowerSaveRecoveryTime"] = codec::Int(control->usMaxPowerSaveRecoveryTime);
  return object;
}
