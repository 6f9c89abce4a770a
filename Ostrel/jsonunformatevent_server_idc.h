// Payloads of the card reader's (IDC) service events, built below the result
// from the event's "lpBuffer". Their lines carry the name of the execute-event
// class, JsonUnformatEvent_Execute_IDC, as those of the execute events do.
#ifndef OSTREL_JSONUNFORMATEVENT_SERVER_IDC_H
#define OSTREL_JSONUNFORMATEVENT_SERVER_IDC_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformatEvent_Server_IDC {
 public:
  // Chooses the decoder by u.dwEventID. 1 for an event without payload
  // (lpBuffer NULL) and for an unknown identifier (after its line); 0 after a
  // caught fault; else the decoder's result.
  static int UnformatServer(LPWFSRESULT result, Json::Value* value);

  // Each builds its payload in result->lpBuffer; 1 on success, 0 after its
  // failure line.
  static int UnformatCardAction(LPWFSRESULT result, Json::Value* value);  // WFSIDCCARDACT
  // WORD: the reset-out position, which is the event's value itself.
  static int UnformatMediaDetected(LPWFSRESULT result, Json::Value* value);
  static int UnformatDevicePosition(LPWFSRESULT result, Json::Value* value);   // WORD position
  static int UnformatPowerSaveChange(LPWFSRESULT result, Json::Value* value);  // USHORT time
};

#endif
