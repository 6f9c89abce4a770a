// Payloads of the PIN pad's (PIN) execute events, built below the result
// from the event's "lpBuffer".
#ifndef OSTREL_JSONUNFORMATEVENT_EXECUTE_PIN_H
#define OSTREL_JSONUNFORMATEVENT_EXECUTE_PIN_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformatEvent_Execute_PIN {
 public:
  // Chooses the decoder by u.dwEventID. 1 for an event without payload
  // (lpBuffer NULL) and for an unknown identifier (after its line); 0 after a
  // caught fault; else the decoder's result.
  static int UnformatExecute(LPWFSRESULT result, Json::Value* value);

  // WFSPINKEY, one pressed key; 1 on success, 0 after its failure line.
  static int UnformatKey(LPWFSRESULT result, Json::Value* value);
  // The enter-data event has no payload: lpBuffer stays NULL; 1.
  static int UnformatEnterData(LPWFSRESULT result, Json::Value* value);
};

#endif
