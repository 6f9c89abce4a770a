#include "jsonunformatevent_user_ptr.h"

#include "codec_dispatch.h"
#include "structcodec.h"
#include "structs_ptr.h"
#include "xfsptr.h"

int JsonUnformatEvent_User_PTR::UnformatUser(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_USRE_PTR_INKTHRESHOLD, &UnformatInkThreshold},
  };
  return codec::UnformatByCode(
      GUARD_SITE("jsonunformatevent_user_ptr", "Ostrel",
                 "JsonUnformatEvent_User_PTR::UnformatUser catch an exception!"),
      "JsonUnformatEvent_User_PTR::UnformatUser invalid ExecuteEvent ID", kTable, result, value);
}

OSTREL_DECODER(JsonUnformatEvent_User_PTR, UnformatInkThreshold, codec::ptr::kInkThreshold)
