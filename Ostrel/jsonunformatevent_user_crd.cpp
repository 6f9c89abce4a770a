#include "jsonunformatevent_user_crd.h"

#include "codec_dispatch.h"
#include "structcodec.h"
#include "structs_crd.h"
#include "xfscrd.h"

int JsonUnformatEvent_User_CRD::UnformatUser(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_USRE_CRD_CARDUNITTHRESHOLD, &UnformatCardUnitthreshold},
  };
  return codec::UnformatByCode(
      GUARD_SITE("jsonunformatevent_user_crd", "Ostrel",
                 "JsonUnformatEvent_User_CRD::UnformatUser catch an exception!"),
      "JsonUnformatEvent_User_CRD::UnformatUser invalid ExecuteEvent ID", kTable, result, value);
}

OSTREL_DECODER_AS(JsonUnformatEvent_User_CRD, UnformatCardUnitthreshold,
                  "JsonUnformatEvent_User_CRD::UnformatCardUnitthreshold", codec::crd::kCardUnit,
                  codec::crd::CardUnitEventOptions())
