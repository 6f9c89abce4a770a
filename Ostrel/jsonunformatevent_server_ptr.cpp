#include "jsonunformatevent_server_ptr.h"

#include "codec_dispatch.h"
#include "structcodec.h"
#include "structs_ptr.h"
#include "xfsptr.h"

int JsonUnformatEvent_Server_PTR::UnformatServer(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_SRVE_PTR_MEDIATAKEN, nullptr},
      {WFS_SRVE_PTR_MEDIAPRESENTED, &UnformatMediaPresented},
  };
  return codec::UnformatByCode(
      GUARD_SITE("jsonunformatevent_server_ptr", "Ostrel",
                 "JsonUnformatEvent_Server_PTR::UnformatServer catch an exception!"),
      "JsonUnformatEvent_Server_PTR::UnformatServer invalided ServerEvent ID", kTable, result,
      value);
}

OSTREL_DECODER(JsonUnformatEvent_Server_PTR, UnformatMediaPresented, codec::ptr::kMediaPresented)
