#include "bufferformat_crd.h"

#include <json/value.h>

#include "codec_dispatch.h"
#include "codec_request.h"
#include "structcodec.h"
#include "structs_crd.h"
#include "xfscrd.h"

Json::Value BufferFormat_CRD::InfoFormat(unsigned int category, unsigned char* data) {
  static const codec::FormatEntry kTable[] = {
      {WFS_INF_CRD_STATUS, &FormatStatus, nullptr},
      {WFS_INF_CRD_CAPABILITIES, &FormatCapabilities, nullptr},
      {WFS_INF_CRD_CARD_UNIT_INFO, &FormatCardUnitInfo, nullptr},
  };
  return codec::FormatByCode(
      GUARD_SITE("bufferformat_crd", "Ostrel", "BufferFormat_CRD::InfoFormat catch an Exception"),
      "BufferFormat_CRD::InfoFormat invalid INFO CMD", kTable, category, data);
}

Json::Value BufferFormat_CRD::ExeFormat(unsigned int command, unsigned char* data) {
  static const codec::FormatEntry kTable[] = {
      {WFS_CMD_CRD_DISPENSE_CARD, &FormatDispenseCard, nullptr},
      {WFS_CMD_CRD_EJECT_CARD, &FormatEjectCard, nullptr},
      {WFS_CMD_CRD_RETAIN_CARD, &FormatRetainCard, nullptr},
      {WFS_CMD_CRD_RESET, &FormatReset, nullptr},
      {WFS_CMD_CRD_SET_CARD_UNIT_INFO, &FormatSetCardUnitInfo, nullptr},
  };
  return codec::FormatByCode(
      GUARD_SITE("bufferformat_crd", "Ostrel", "BufferFormat_CRD::ExeForma catch an Exception"),
      "BufferFormat_CRD::ExeFormat invalid EXE CMD", kTable, command, data);
}

Json::Value BufferFormat_CRD::GetLPSTR(char* text) { return codec::OptionalString(text); }

OSTREL_FORMATTER(BufferFormat_CRD, FormatDispenseCard, codec::crd::kDispense)
OSTREL_FORMATTER(BufferFormat_CRD, FormatRetainCard, codec::crd::kRetainCard)
OSTREL_FORMATTER(BufferFormat_CRD, FormatReset, codec::crd::kReset)
OSTREL_FORMATTER(BufferFormat_CRD, FormatSetCardUnitInfo, codec::crd::kCardUnitInfo)

Json::Value BufferFormat_CRD::FormatStatus(unsigned char*) { return Json::Value(); }
Json::Value BufferFormat_CRD::FormatCapabilities(unsigned char*) { return Json::Value(); }
Json::Value BufferFormat_CRD::FormatCardUnitInfo(unsigned char*) { return Json::Value(); }
Json::Value BufferFormat_CRD::FormatEjectCard(unsigned char*) { return Json::Value(); }
