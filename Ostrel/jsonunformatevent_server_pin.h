// Payloads of the PIN pad's (PIN) service events, built below the result
// from the event's "lpBuffer".
#ifndef OSTREL_JSONUNFORMATEVENT_SERVER_PIN_H
#define OSTREL_JSONUNFORMATEVENT_SERVER_PIN_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformatEvent_Server_PIN {
 public:
  // Chooses the decoder by u.dwEventID. 1 for an unknown identifier (after
  // its line); 0 after a caught fault; else the decoder's result.
  static int UnformatServer(LPWFSRESULT result, Json::Value* value);

  // Each builds its payload in result->lpBuffer; 1 on success, 0 after its
  // failure line.
  static int UnformatInitialized(LPWFSRESULT result, Json::Value* value);       // WFSPININIT
  static int UnformatIllegalKeyAccess(LPWFSRESULT result, Json::Value* value);  // WFSPINACCESS
  static int UnformatOptRequired(LPWFSRESULT result, Json::Value* value);      // WORD serial number
  static int UnformatHsmTdataChanged(LPWFSRESULT result, Json::Value* value);  // WFSXDATA
  // WORD: the certificate state, which is the event's value itself.
  static int UnformatCertificateChange(LPWFSRESULT result, Json::Value* value);
  static int UnformatHsmChanged(LPWFSRESULT result, Json::Value* value);       // WORD serial number
  static int UnformatDevicePosition(LPWFSRESULT result, Json::Value* value);   // WORD position
  static int UnformatPowerSaveChange(LPWFSRESULT result, Json::Value* value);  // USHORT time
};

#endif
