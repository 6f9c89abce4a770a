#include "jsonunformatevent_server_crd.h"

#include "codec_dispatch.h"
#include "structcodec.h"
#include "structs_crd.h"
#include "xfscrd.h"

int JsonUnformatEvent_Server_CRD::UnformatServer(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_SRVE_CRD_MEDIAREMOVED, &UnformatMediaRemoved},
      {WFS_SRVE_CRD_CARDUNITINFOCHANGED, &UnformatCardUnitInfoChanged},
      {WFS_SRVE_CRD_MEDIADETECTED, &UnformatMediaDeteted},
  };
  return codec::UnformatByCode(
      GUARD_SITE("jsonunformatevent_server_crd", "Ostrel",
                 "JsonUnformatEvent_Server_CRD::UnformatServer catch an exception!"),
      "JsonUnformatEvent_Server_CRD::UnformatServer invalid ServerEvent ID", kTable, result,
      value);
}

OSTREL_NO_OUTPUT_DECODER(JsonUnformatEvent_Server_CRD, UnformatMediaRemoved)

OSTREL_DECODER(JsonUnformatEvent_Server_CRD, UnformatMediaDeteted, codec::crd::kMediaDetected)
OSTREL_DECODER_AS(JsonUnformatEvent_Server_CRD, UnformatCardUnitInfoChanged,
                  "JsonUnformatEvent_Server_CRD::UnformatCardUnitInfoChanged", codec::crd::kCardUnit,
                  codec::crd::CardUnitEventOptions())
