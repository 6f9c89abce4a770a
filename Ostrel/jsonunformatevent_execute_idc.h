// Payloads of the card reader's (IDC) execute events, built below the result
// from the event's "lpBuffer".
#ifndef OSTREL_JSONUNFORMATEVENT_EXECUTE_IDC_H
#define OSTREL_JSONUNFORMATEVENT_EXECUTE_IDC_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformatEvent_Execute_IDC {
 public:
  // Chooses the decoder by u.dwEventID. 1 for an event without payload
  // (lpBuffer NULL) and for an unknown identifier (after its line); 0 after a
  // caught fault; else the decoder's result.
  static int UnformatExecute(LPWFSRESULT result, Json::Value* value);

  // WFSIDCTRACKEVENT; 1 on success, 0 after its failure line.
  static int UnformatInvalidTrackData(LPWFSRESULT result, Json::Value* value);
};

#endif
