#include "bufferformat_idc.h"

#include <json/value.h>

#include "codec_dispatch.h"
#include "codec_request.h"
#include "structcodec.h"
#include "structs_idc.h"
#include "kestrel.h"
#include "xfsidc.h"

Json::Value BufferFormat_IDC::InfoFormat(unsigned int category, unsigned char* data) {
  static const codec::FormatEntry kTable[] = {
      {WFS_INF_IDC_STATUS, nullptr, nullptr},
      {WFS_INF_IDC_CAPABILITIES, nullptr, nullptr},
      {WFS_INF_IDC_FORM_LIST, nullptr, nullptr},
      {WFS_INF_IDC_QUERY_FORM, &codec::BareText, nullptr},
      {WFS_INF_IDC_QUERY_IFM_IDENTIFIER, nullptr, nullptr},
  };
  return codec::FormatByCode(
      GUARD_SITE("bufferformat_idc", "Ostrel", "BufferFormat_IDC::InfoFormat catch an Exception"),
      "BufferFormat_IDC::InfoFormat invalid INFO CMD", kTable, category, data);
}

Json::Value BufferFormat_IDC::ExeFormat(unsigned int command, unsigned char* data) {
  static const codec::FormatEntry kTable[] = {
      {WFS_CMD_IDC_READ_TRACK, &codec::BareText, nullptr},
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
  Json::Value object = codec::Format(codec::idc::kWriteTrack, data);
  tracelog(1, "Ostrel", "BufferFormat_IDC::FormatWriteTrack ");
  return object;
}

OSTREL_FORMATTER(BufferFormat_IDC, FormatEjectCard, codec::idc::kEjectCard)

Json::Value BufferFormat_IDC::FormatRetainCard() { return Json::Value(); }

Json::Value BufferFormat_IDC::FormatResetCount() { return Json::Value(); }

OSTREL_FORMATTER(BufferFormat_IDC, FormatSetkey, codec::idc::kSetkey)
OSTREL_FORMATTER(BufferFormat_IDC, FormatReadRawData, codec::idc::kReadData)

Json::Value BufferFormat_IDC::FormatWriteRawData(unsigned char* data) {
  return codec::FormatArray(codec::idc::kCardData, data);
}

OSTREL_FORMATTER(BufferFormat_IDC, FormatChipIO, codec::idc::kChipIo)

Json::Value BufferFormat_IDC::FormatReset(unsigned char* data) {
  return codec::BareInteger<WORD>(data);
}

Json::Value BufferFormat_IDC::FormatChipPower(unsigned char* data) {
  return codec::BareInteger<WORD>(data);
}

Json::Value BufferFormat_IDC::FormatParseData(unsigned char* data) {
  tracelog(1, "Ostrel", "BufferFormat_IDC::FormatParseData enter!");
  return codec::Format(codec::idc::kParseData, data);
}

OSTREL_FORMATTER(BufferFormat_IDC, FormatSetGuidanceLight, codec::idc::kSetGuidanceLight)
OSTREL_FORMATTER(BufferFormat_IDC, FormatPowerSaveControl, codec::idc::kPowerSaveControl)
