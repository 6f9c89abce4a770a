// Payloads of the card dispenser's (CRD) execute events, built below the
// result from the event's "lpBuffer".
#ifndef OSTREL_JSONUNFORMATEVENT_EXECUTE_CRD_H
#define OSTREL_JSONUNFORMATEVENT_EXECUTE_CRD_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformatEvent_Execute_CRD {
 public:
  // Chooses the decoder by u.dwEventID. 1 for an unknown identifier (after
  // its line, lpBuffer NULL); 0 after a caught fault; else the decoder's
  // result.
  static int UnformatExecute(LPWFSRESULT result, Json::Value* value);

  // WFSCRDCUERROR with its card unit, which is always there (all zeros when
  // the event names none); 1 on success, 0 after its failure line.
  static int UnformatCardUnitError(LPWFSRESULT result, Json::Value* value);
};

#endif
