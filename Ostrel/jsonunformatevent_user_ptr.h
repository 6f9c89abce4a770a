// Payloads of the printer's (PTR) user events, built below the result from
// the event's "lpBuffer".
#ifndef OSTREL_JSONUNFORMATEVENT_USER_PTR_H
#define OSTREL_JSONUNFORMATEVENT_USER_PTR_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformatEvent_User_PTR {
 public:
  // Chooses the decoder by u.dwEventID. 1 for an unknown identifier (after
  // its line, lpBuffer NULL); 0 after a caught fault; else the decoder's
  // result.
  static int UnformatUser(LPWFSRESULT result, Json::Value* value);

  // WORD: the ink threshold from "lpwInkThreshold"; 1 on success, 0 after
  // its failure line.
  static int UnformatInkThreshold(LPWFSRESULT result, Json::Value* value);
};

#endif
