// Payloads of the printer's (PTR) service events, built below the result
// from the event's "lpBuffer".
#ifndef OSTREL_JSONUNFORMATEVENT_SERVER_PTR_H
#define OSTREL_JSONUNFORMATEVENT_SERVER_PTR_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformatEvent_Server_PTR {
 public:
  // Chooses the decoder by u.dwEventID. 1 for an event without payload
  // (lpBuffer NULL) and for an unknown identifier (after its line); 0 after a
  // caught fault; else the decoder's result.
  static int UnformatServer(LPWFSRESULT result, Json::Value* value);

  // WFSPTRMEDIAPRESENTED; 1 on success, 0 after its failure line.
  static int UnformatMediaPresented(LPWFSRESULT result, Json::Value* value);
};

#endif
