#include "bufferformat_ptr.h"

#include <json/value.h>

#include "codec_dispatch.h"
#include "codec_request.h"
#include "kestrel.h"
#include "structcodec.h"
#include "structs_ptr.h"
#include "xfsptr.h"

Json::Value BufferFormat_PTR::InfoFormat(unsigned int category, unsigned char* data) {
  static const codec::FormatEntry kTable[] = {
      {WFS_INF_PTR_STATUS, nullptr, nullptr},
      {WFS_INF_PTR_CAPABILITIES, nullptr, nullptr},
      {WFS_INF_PTR_FORM_LIST, nullptr, nullptr},
      {WFS_INF_PTR_MEDIA_LIST, nullptr, nullptr},
  };
  return codec::FormatByCode(
      GUARD_SITE("bufferformat_ptr", "Ostrel", "BufferFormat_PTR::InfoFormat catch an Exception"),
      "BufferFormat_PTR::InfoFormat invalid INFO CMD", kTable, category, data);
}

Json::Value BufferFormat_PTR::ExeFormat(unsigned int command, unsigned char* data) {
  static const codec::FormatEntry kTable[] = {
      {WFS_CMD_PTR_CONTROL_MEDIA, &FormatControlMedia, nullptr},
      {WFS_CMD_PTR_PRINT_FORM, nullptr, nullptr},
      {WFS_CMD_PTR_RAW_DATA, &FormatRawData, nullptr},
      {WFS_CMD_PTR_RESET, &FormatReset, nullptr},
  };
  return codec::FormatByCode(
      GUARD_SITE("bufferformat_ptr", "Ostrel", "BufferFormat_PTR::ExeFormat catch an Exception"),
      "BufferFormat_PTR::ExeFormat invalid EXE CMD", kTable, command, data);
}

Json::Value BufferFormat_PTR::GetLPSTR(char* text) { return codec::OptionalString(text); }

OSTREL_FORMATTER(BufferFormat_PTR, FormatControlMedia, codec::ptr::kMediaControl)

Json::Value BufferFormat_PTR::FormatRawData(unsigned char* data) {
  const WFSPTRRAWDATA* raw = reinterpret_cast<const WFSPTRRAWDATA*>(data);
  // Receipts carry customer data: the sizes only.
  tracelog(4, "Ostrel", "BufferFormat_PTR::FormatRawData wInputData= %d",
           static_cast<int>(raw->wInputData));
  tracelog(4, "Ostrel", "BufferFormat_PTR::FormatRawData ulsize= %d",
           static_cast<int>(raw->ulSize));
  return codec::Format(codec::ptr::kRawData, data);
}

OSTREL_FORMATTER(BufferFormat_PTR, FormatReset, codec::ptr::kReset)
