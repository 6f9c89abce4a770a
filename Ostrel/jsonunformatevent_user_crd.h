// Payloads of the card dispenser's (CRD) user events, built below the result
// from the event's "lpBuffer".
#ifndef OSTREL_JSONUNFORMATEVENT_USER_CRD_H
#define OSTREL_JSONUNFORMATEVENT_USER_CRD_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformatEvent_User_CRD {
 public:
  // Chooses the decoder by u.dwEventID. 1 for an unknown identifier (after
  // its line, lpBuffer NULL); 0 after a caught fault; else the decoder's
  // result.
  static int UnformatUser(LPWFSRESULT result, Json::Value* value);

  // WFSCRDCARDUNIT, the unit that reached its threshold; 1 on success, 0
  // after its failure line.
  static int UnformatCardUnitthreshold(LPWFSRESULT result, Json::Value* value);
};

#endif
