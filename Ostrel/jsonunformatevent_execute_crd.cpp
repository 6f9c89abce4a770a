#include "jsonunformatevent_execute_crd.h"

#include "codec_dispatch.h"
#include "structcodec.h"
#include "structs_crd.h"
#include "xfscrd.h"

int JsonUnformatEvent_Execute_CRD::UnformatExecute(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_EXEE_CRD_CARDUNITERROR, &UnformatCardUnitError},
  };
  return codec::UnformatByCode(
      GUARD_SITE("jsonunformatevent_execute_crd", "Ostrel",
                 "JsonUnformatEvent_Execute_CRD::UnformatExecute catch an exception!"),
      "JsonUnformatEvent_Execute_CRD::UnformatExecute invalid ExecuteEvent ID", kTable, result,
      value);
}

OSTREL_DECODER_AS(JsonUnformatEvent_Execute_CRD, UnformatCardUnitError,
                  "JsonUnformatEvent_Execute_CRD::UnformatCardUnitError", codec::crd::kCardUnitError,
                  codec::crd::CardUnitEventOptions())
