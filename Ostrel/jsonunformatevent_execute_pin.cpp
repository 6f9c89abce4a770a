#include "jsonunformatevent_execute_pin.h"

#include "codec_dispatch.h"
#include "structcodec.h"
#include "structs_pin.h"
#include "xfspin.h"

int JsonUnformatEvent_Execute_PIN::UnformatExecute(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_EXEE_PIN_KEY, &UnformatKey},
      {WFS_EXEE_PIN_ENTERDATA, &UnformatEnterData},
  };
  return codec::UnformatByCode(
      GUARD_SITE("jsonunformatevent_execute_pin", "Ostrel",
                 "JsonUnformatEvent_Execute_PIN::UnformatExecute catch an exception!"),
      "JsonUnformatEvent_Execute_PIN::UnformatExecute invalid ExecuteEvent ID", kTable, result,
      value);
}

OSTREL_DECODER(JsonUnformatEvent_Execute_PIN, UnformatKey, codec::pin::kKey)
OSTREL_NO_OUTPUT_DECODER(JsonUnformatEvent_Execute_PIN, UnformatEnterData)
