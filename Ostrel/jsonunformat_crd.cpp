#include "jsonunformat_crd.h"

#include "codec_dispatch.h"
#include "structcodec.h"
#include "structs_crd.h"
#include "xfscrd.h"

namespace {

// The card dispenser's structure lines carry a blank before the mark.
constexpr codec::AllocPoint kStructureLine = codec::AllocPoint::Text(" allocate buffer failed !");

codec::UnformatOptions StructureLine() {
  codec::UnformatOptions options;
  options.top = kStructureLine;
  return options;
}

// The card-unit information logs the structure's line for every block.
codec::UnformatOptions EveryBlockOnStructureLine() {
  codec::UnformatOptions options = StructureLine();
  options.uniform = true;
  return options;
}

}  // namespace

int JsonUnformat_CRD::UnformatInfo(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_INF_CRD_STATUS, &UnformatStatus},
      {WFS_INF_CRD_CAPABILITIES, &UnformatCapabilities},
      {WFS_INF_CRD_CARD_UNIT_INFO, &UnformatCardUnitInfo},
  };
  return codec::UnformatByCode(GUARD_SITE("jsonunformat_crd", "Ostrel",
                                          "JsonUnformat_CRD::UnformatInfo catch an exception!"),
                               "JsonUnformat_CRD::UnformatInfo invalid INFO CMD", kTable, result,
                               value);
}

int JsonUnformat_CRD::UnformatExecute(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_CMD_CRD_DISPENSE_CARD, &UnformatDispenseCard},
      {WFS_CMD_CRD_EJECT_CARD, &UnformatEjectCard},
      {WFS_CMD_CRD_RETAIN_CARD, &UnformatRetainCard},
      {WFS_CMD_CRD_RESET, &UnformatReset},
      {WFS_CMD_CRD_SET_CARD_UNIT_INFO, &UnformatSetCardUnitInfo},
  };
  return codec::UnformatByCode(GUARD_SITE("jsonunformat_crd", "Ostrel",
                                          "JsonUnformat_CRD::UnformatExecute catch an exception!"),
                               "JsonUnformat_CRD::UnformatExecute invalid EXE CMD", kTable, result,
                               value);
}

OSTREL_DECODER_AS(JsonUnformat_CRD, UnformatStatus, "JsonUnformat_CRD::UnformatStatus",
                  codec::crd::kStatus, StructureLine())
OSTREL_DECODER_AS(JsonUnformat_CRD, UnformatCapabilities, "JsonUnformat_CRD::UnformatCapabilities",
                  codec::crd::kCapabilities, StructureLine())
OSTREL_DECODER_AS(JsonUnformat_CRD, UnformatCardUnitInfo, "JsonUnformat_CRD::UnformatCardUnitInfo",
                  codec::crd::kCardUnitInfo, EveryBlockOnStructureLine())

OSTREL_NO_OUTPUT_DECODER(JsonUnformat_CRD, UnformatDispenseCard)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_CRD, UnformatEjectCard)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_CRD, UnformatRetainCard)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_CRD, UnformatReset)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_CRD, UnformatSetCardUnitInfo)
