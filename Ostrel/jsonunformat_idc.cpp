#include "jsonunformat_idc.h"

#include "codec_dispatch.h"
#include "codec_reply.h"
#include "xfsidc.h"

namespace {

// A reply whose value is a text itself (the track data, the parsed card
// data): a copy of it becomes lpBuffer.
int UnformatText(const char* name, codec::AllocPoint point, LPWFSRESULT result,
                 const Json::Value* value) {
  codec::Decoder decoder(name, result);
  if (!decoder.HasInput(value)) return 0;
  LPSTR text = decoder.String(*value, "lpBuffer", point);
  if (text != nullptr) result->lpBuffer = text;
  return decoder.Result();
}

// One element of a card-data array. The data block takes the declared
// length first and receives the bytes only when they match it.
void FillCardData(const codec::Object& in, WFSIDCCARDDATA* card) {
  card->wDataSource = static_cast<WORD>(in.Int("wDataSource"));
  card->wStatus = static_cast<WORD>(in.Int("wStatus"));
  card->ulDataLength = static_cast<ULONG>(in.Int("ulDataLength"));
  card->lpbData = in.BinaryBlockFirst("lpbData", card->ulDataLength, codec::AllocPoint::First());
  card->fwWriteMethod = static_cast<WORD>(in.Int("fwWriteMethod"));
}

}  // namespace

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

int JsonUnformat_IDC::UnformatStatus(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformat_IDC::UnformatStatus", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSIDCSTATUS* status = decoder.Output<WFSIDCSTATUS>();
  if (status == nullptr) return 0;
  status->fwDevice = static_cast<WORD>(in.Int("fwDevice"));
  status->fwMedia = static_cast<WORD>(in.Int("fwMedia"));
  status->fwRetainBin = static_cast<WORD>(in.Int("fwRetainBin"));
  status->fwSecurity = static_cast<WORD>(in.Int("fwSecurity"));
  status->usCards = static_cast<USHORT>(in.Int("usCards"));
  status->fwChipPower = static_cast<WORD>(in.Int("fwChipPower"));
  status->lpszExtra = in.Extra("lpszExtra", 1);
  in.Fixed("dwGuidLights", &status->dwGuidLights);
  status->fwChipModule = static_cast<WORD>(in.Int("fwChipModule"));
  status->fwMagReadModule = static_cast<WORD>(in.Int("fwMagReadModule"));
  status->fwMagWriteModule = static_cast<WORD>(in.Int("fwMagWriteModule"));
  status->fwFrontImageModule = static_cast<WORD>(in.Int("fwFrontImageModule"));
  status->fwBackImageModule = static_cast<WORD>(in.Int("fwBackImageModule"));
  status->wDevicePosition = static_cast<WORD>(in.Int("wDevicePosition"));
  status->usPowerSaveRecoveryTime = static_cast<USHORT>(in.Int("usPowerSaveRecoveryTime"));
  return decoder.Result();
}

int JsonUnformat_IDC::UnformatCapabilities(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformat_IDC::UnformatCapabilities", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSIDCCAPS* caps = decoder.Output<WFSIDCCAPS>();
  if (caps == nullptr) return 0;
  caps->wClass = static_cast<WORD>(in.Int("wClass"));
  caps->fwType = static_cast<WORD>(in.Int("fwType"));
  caps->bCompound = in.Bool("bCompound");
  caps->fwReadTracks = static_cast<WORD>(in.Int("fwReadTracks"));
  caps->fwWriteTracks = static_cast<WORD>(in.Int("fwWriteTracks"));
  caps->fwChipProtocols = static_cast<WORD>(in.Int("fwChipProtocols"));
  caps->usCards = static_cast<USHORT>(in.Int("usCards"));
  caps->fwSecType = static_cast<WORD>(in.Int("fwSecType"));
  caps->fwPowerOnOption = static_cast<WORD>(in.Int("fwPowerOnOption"));
  caps->fwPowerOffOption = static_cast<WORD>(in.Int("fwPowerOffOption"));
  caps->bFluxSensorProgrammable = in.Bool("bFluxSensorProgrammable");
  caps->bReadWriteAccessFollowingEject = in.Bool("bReadWriteAccessFollowingEject");
  caps->fwWriteMode = static_cast<WORD>(in.Int("fwWriteMode"));
  caps->fwChipPower = static_cast<WORD>(in.Int("fwChipPower"));
  caps->lpszExtra = in.Extra("lpszExtra", 1);
  caps->fwDIPMode = static_cast<WORD>(in.Int("fwDIPMode"));
  caps->lpwMemoryChipProtocols = in.WordList("lpwMemoryChipProtocols", 2);
  in.Fixed("dwGuidLights", &caps->dwGuidLights);
  caps->fwEjectPosition = static_cast<WORD>(in.Int("fwEjectPosition"));
  caps->bPowerSaveControl = static_cast<BOOL>(in.Int("bPowerSaveControl"));
  return decoder.Result();
}

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

int JsonUnformat_IDC::UnformatQueryForm(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformat_IDC::UnformatQueryForm", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSIDCFORM* form = decoder.Output<WFSIDCFORM>();
  if (form == nullptr) return 0;
  // The form name is always there: an empty one when the reply has none.
  form->lpszFormName =
      in.Has("lpszFormName") ? in.String("lpszFormName", 1) : decoder.CopyText("", 0, 1);
  form->cFieldSeparatorTrack1 = static_cast<CHAR>(in.Byte("cFieldSeparatorTrack1"));
  form->cFieldSeparatorTrack2 = static_cast<CHAR>(in.Byte("cFieldSeparatorTrack2"));
  form->cFieldSeparatorTrack3 = static_cast<CHAR>(in.Byte("cFieldSeparatorTrack3"));
  form->fwAction = static_cast<WORD>(in.Int("fwAction"));
  form->lpszTracks = in.String("lpszTracks", 2);
  form->bSecure = in.Bool("bSecure");
  form->lpszTrack1Fields = in.String("lpszTrack1Fields", 3);
  form->lpszTrack2Fields = in.String("lpszTrack2Fields", 4);
  form->lpszTrack3Fields = in.String("lpszTrack3Fields", 5);
  return decoder.Result();
}

int JsonUnformat_IDC::UnformatQueryIfmIdentifier(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformat_IDC::UnformatQueryIfmIdentifier", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSIDCIFMIDENTIFIER* identifier = decoder.Output<WFSIDCIFMIDENTIFIER>();
  if (identifier == nullptr) return 0;
  identifier->wIFMAuthority = static_cast<WORD>(in.Int("wIFMAuthority"));
  identifier->lpszIFMIdentifier = in.String("lpszIFMIdentifier", 5);
  return decoder.Result();
}

int JsonUnformat_IDC::UnformatReadTrack(LPWFSRESULT result, Json::Value* value) {
  return UnformatText("JsonUnformat_IDC::UnformatReadTrack", 0, result, value);
}

int JsonUnformat_IDC::UnformatEjectCard(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformat_IDC::UnformatEjectCard", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WORD* position = decoder.Output<WORD>();
  if (position == nullptr) return 0;
  *position = static_cast<WORD>(in.Int("wEjectPosition"));
  return decoder.Result();
}

int JsonUnformat_IDC::UnformatRetainCard(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformat_IDC::UnformatRetainCard", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSIDCRETAINCARD* retain = decoder.Output<WFSIDCRETAINCARD>();
  if (retain == nullptr) return 0;
  retain->usCount = static_cast<USHORT>(in.Int("usCount"));
  retain->fwPosition = static_cast<WORD>(in.Int("fwPosition"));
  return decoder.Result();
}

int JsonUnformat_IDC::UnformatSetkey(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformat_IDC::UnformatSetkey", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSIDCSETKEY* key = decoder.Output<WFSIDCSETKEY>();
  if (key == nullptr) return 0;
  key->usKeyLen = static_cast<USHORT>(in.Int("usKeyLen"));
  if (!in.Has("lpbKeyValue")) return decoder.Result();
  bool matched = false;
  key->lpbKeyValue = in.BinaryBlockFirst("lpbKeyValue", key->usKeyLen, 1, &matched);
  // A key of another length than the one declared is refused.
  if (decoder.ok() && !matched) decoder.Fail(" vect.size() !=lpBuffer->usKeyLen!");
  return decoder.Result();
}

int JsonUnformat_IDC::UnformatReadRawData(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformat_IDC::UnformatReadRawData", result);
  codec::Array cards = decoder.InputArray(value);
  if (!cards) return 0;
  LPWFSIDCCARDDATA* list = decoder.PointerArray<WFSIDCCARDDATA>(
      cards, codec::AllocPoint::First(), codec::AllocPoint::Text(" allocate buffer failed1!"),
      FillCardData);
  if (list != nullptr) result->lpBuffer = list;
  return decoder.Result();
}

int JsonUnformat_IDC::UnformatChipIO(LPWFSRESULT result, Json::Value* value) {
  codec::Decoder decoder("JsonUnformat_IDC::UnformatChipIO", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSIDCCHIPIO* chip = decoder.Output<WFSIDCCHIPIO>();
  if (chip == nullptr) return 0;
  chip->wChipProtocol = static_cast<WORD>(in.Int("wChipProtocol"));
  chip->ulChipDataLength = static_cast<ULONG>(in.Int("ulChipDataLength"));
  chip->lpbChipData = in.BinaryBlockFirst("lpbChipData", chip->ulChipDataLength, 1);
  return decoder.Result();
}

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
  return UnformatText("JsonUnformat_IDC::UnformatParseData", codec::AllocPoint::First(), result,
                      value);
}
