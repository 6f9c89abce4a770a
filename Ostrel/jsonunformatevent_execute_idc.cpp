#include "jsonunformatevent_execute_idc.h"

#include "codec_dispatch.h"
#include "structcodec.h"
#include "structs_idc.h"
#include "xfsidc.h"

int JsonUnformatEvent_Execute_IDC::UnformatExecute(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_EXEE_IDC_INVALIDTRACKDATA, &UnformatInvalidTrackData},
      {WFS_EXEE_IDC_MEDIAINSERTED, nullptr},
      {WFS_EXEE_IDC_INVALIDMEDIA, nullptr},
      {WFS_EXEE_IDC_MEDIARETAINED, nullptr},
      {WFS_EXEE_IDC_INSERTCARD, nullptr},
  };
  return codec::UnformatByCode(
      GUARD_SITE("jsonunformatevent_execute_idc", "Ostrel",
                 "JsonUnformatEvent_Execute_IDC::UnformatExecute catch an exception!"),
      "JsonUnformatEvent_Execute_IDC::UnformatExecute invalid ExecuteEvent ID", kTable, result,
      value);
}

OSTREL_DECODER(JsonUnformatEvent_Execute_IDC, UnformatInvalidTrackData, codec::idc::kTrackEvent)
