// Payloads of the card dispenser's (CRD) service events, built below the
// result from the event's "lpBuffer".
#ifndef OSTREL_JSONUNFORMATEVENT_SERVER_CRD_H
#define OSTREL_JSONUNFORMATEVENT_SERVER_CRD_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformatEvent_Server_CRD {
 public:
  // Chooses the decoder by u.dwEventID. 1 for an unknown identifier (after
  // its line, lpBuffer NULL); 0 after a caught fault; else the decoder's
  // result.
  static int UnformatServer(LPWFSRESULT result, Json::Value* value);

  // No payload: lpBuffer stays NULL, 1.
  static int UnformatMediaRemoved(LPWFSRESULT result, Json::Value* value);
  // Each builds its payload in result->lpBuffer; 1 on success, 0 after its
  // failure line.
  static int UnformatMediaDeteted(LPWFSRESULT result, Json::Value* value);  // WFSCRDMEDIADETECTED
  static int UnformatCardUnitInfoChanged(LPWFSRESULT result,
                                         Json::Value* value);  // WFSCRDCARDUNIT
};

#endif
