#include "jsonunformat_ptr.h"

#include "codec_dispatch.h"
#include "structcodec.h"
#include "structs_ptr.h"
#include "xfsptr.h"

int JsonUnformat_PTR::UnformatInfo(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_INF_PTR_STATUS, &UnformatStatus},
      {WFS_INF_PTR_CAPABILITIES, &UnformatCapabilities},
  };
  return codec::UnformatByCode(GUARD_SITE("jsonunformat_ptr", "Ostrel",
                                          "JsonUnformat_PTR::UnformatInfo catch an exception!"),
                               "JsonUnformat_PTR::UnformatInfo invalid INFO CMD", kTable, result,
                               value);
}

int JsonUnformat_PTR::UnformatExecute(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_CMD_PTR_CONTROL_MEDIA, nullptr},
      {WFS_CMD_PTR_RAW_DATA, &UnformatRawData},
      {WFS_CMD_PTR_RESET, nullptr},
  };
  return codec::UnformatByCode(GUARD_SITE("jsonunformat_ptr", "Ostrel",
                                          "JsonUnformat_PTR::UnformatExecute catch an exception!"),
                               "JsonUnformat_PTR::UnformatExecute invalid EXE CMD", kTable, result,
                               value);
}

OSTREL_DECODER(JsonUnformat_PTR, UnformatStatus, codec::ptr::kStatus)
OSTREL_DECODER(JsonUnformat_PTR, UnformatCapabilities, codec::ptr::kCapabilities)
OSTREL_DECODER(JsonUnformat_PTR, UnformatRawData, codec::ptr::kRawDataIn)
