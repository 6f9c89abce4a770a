#include "jsonunformat_idc.h"

#include "codec_dispatch.h"
#include "codec_reply.h"
#include "structcodec.h"
#include "structs_idc.h"
#include "xfsidc.h"

int JsonUnformat_IDC::UnformatInfo(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_INF_IDC_STATUS, &UnformatStatus},
      {WFS_INF_IDC_CAPABILITIES, &UnformatCapabilities},
      {WFS_INF_IDC_FORM_LIST, &UnformatFormList},
      {WFS_INF_IDC_QUERY_FORM, &UnformatQueryForm},
      {WFS_INF_IDC_QUERY_IFM_IDENTIFIER, &UnformatQueryIfmIdentifier},
  };
  return codec::UnformatByCode(GUARD_SITE("jsonunformat_idc", "Ostrel",
                                          "JsonUnformat_IDC::UnformatInfo catch an exception!"),
                               "JsonUnformat_IDC::UnformatInfo invalid INFO CMD", kTable, result,
                               value);
}

int JsonUnformat_IDC::UnformatExecute(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_CMD_IDC_READ_TRACK, &UnformatReadTrack},
      {WFS_CMD_IDC_WRITE_TRACK, nullptr},
      {WFS_CMD_IDC_EJECT_CARD, &UnformatEjectCard},
      {WFS_CMD_IDC_RETAIN_CARD, &UnformatRetainCard},
      {WFS_CMD_IDC_RESET_COUNT, nullptr},
      {WFS_CMD_IDC_SETKEY, &UnformatSetkey},
      {WFS_CMD_IDC_READ_RAW_DATA, &UnformatReadRawData},
      {WFS_CMD_IDC_WRITE_RAW_DATA, nullptr},
      {WFS_CMD_IDC_CHIP_IO, &UnformatChipIO},
      {WFS_CMD_IDC_RESET, nullptr},
      {WFS_CMD_IDC_CHIP_POWER, &UnformatChipPower},
      {WFS_CMD_IDC_PARSE_DATA, &UnformatParseData},
      {WFS_CMD_IDC_SET_GUIDANCE_LIGHT, nullptr},
      {WFS_CMD_IDC_POWER_SAVE_CONTROL, nullptr},
  };
  return codec::UnformatByCode(GUARD_SITE("jsonunformat_idc", "Ostrel",
                                          "JsonUnformat_IDC::UnformatExecute catch an exception!"),
                               "JsonUnformat_IDC::UnformatExecute invalid EXE CMD", kTable, result,
                               value);
}

OSTREL_DECODER(JsonUnformat_IDC, UnformatStatus, codec::idc::kStatus)
OSTREL_DECODER(JsonUnformat_IDC, UnformatCapabilities, codec::idc::kCapabilities)

int JsonUnformat_IDC::UnformatFormList(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformat_IDC::UnformatFormList", result);
  codec::Array names = decoder.InputArray(value);
  if (!names) return 0;
  if (names.size() == 0) {
    decoder.Fail(" size <= 0");
    return 0;
  }
  LPSTR list = decoder.StringList(names, 1);
  if (list != nullptr) result->lpBuffer = list;
  return decoder.Result();
}

OSTREL_DECODER(JsonUnformat_IDC, UnformatQueryForm, codec::idc::kForm)
OSTREL_DECODER(JsonUnformat_IDC, UnformatQueryIfmIdentifier, codec::idc::kIfmIdentifier)

int JsonUnformat_IDC::UnformatReadTrack(LPWFSRESULT result, Json::Value* value) {
  return codec::UnformatTextValue("JsonUnformat_IDC::UnformatReadTrack", 0, result, value);
}

OSTREL_DECODER(JsonUnformat_IDC, UnformatEjectCard, codec::idc::kEjectCard)
OSTREL_DECODER(JsonUnformat_IDC, UnformatRetainCard, codec::idc::kRetainCard)
OSTREL_DECODER(JsonUnformat_IDC, UnformatSetkey, codec::idc::kSetkey)

int JsonUnformat_IDC::UnformatReadRawData(LPWFSRESULT result, Json::Value* value) {
  codec::UnformatOptions options;
  options.element = codec::AllocPoint::Text(" allocate buffer failed1!");
  return codec::UnformatArray("JsonUnformat_IDC::UnformatReadRawData", codec::idc::kCardData,
                              result, value, options);
}

OSTREL_DECODER(JsonUnformat_IDC, UnformatChipIO, codec::idc::kChipIo)

int JsonUnformat_IDC::UnformatChipPower(LPWFSRESULT result, Json::Value* value) {
  // A power-off, for one, answers without data.
  if (codec::NoInput(value)) return 1;
  codec::Decoder decoder("JsonUnformat_IDC::UnformatChipPower", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSIDCCHIPPOWEROUT* chip = decoder.Output<WFSIDCCHIPPOWEROUT>();
  if (chip == nullptr) return 0;
  chip->ulChipDataLength = static_cast<ULONG>(in.Int("ulChipDataLength"));
  if (!in.Has("ulChipDataLength")) return decoder.Result();
  // With a length the block is there, zero-filled unless the data match it.
  if (in.Has("lpbChipData")) {
    chip->lpbChipData = in.BinaryBlockFirst("lpbChipData", chip->ulChipDataLength, 1);
  } else if (chip->ulChipDataLength > 0 && chip->ulChipDataLength <= codec::kLargestBinary) {
    chip->lpbChipData = decoder.Allocate<BYTE>(1, chip->ulChipDataLength);
  }
  return decoder.Result();
}

int JsonUnformat_IDC::UnformatParseData(LPWFSRESULT result, Json::Value* value) {
  return codec::UnformatTextValue("JsonUnformat_IDC::UnformatParseData", codec::AllocPoint::First(),
                                  result, value);
}
