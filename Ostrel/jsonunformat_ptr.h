// Reply side of the printer (PTR): the output structures of its get-info and
// execute completions, built below the result from the reply's "lpBuffer".
#ifndef OSTREL_JSONUNFORMAT_PTR_H
#define OSTREL_JSONUNFORMAT_PTR_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformat_PTR {
 public:
  // Choose the decoder by u.dwCommandCode. 1 for a code without output
  // (lpBuffer NULL) and for an unknown code (after its line); 0 after a
  // caught fault; else the decoder's result.
  static int UnformatInfo(LPWFSRESULT result, Json::Value* value);
  static int UnformatExecute(LPWFSRESULT result, Json::Value* value);

  // Each builds its output in result->lpBuffer; 1 on success, 0 after its
  // failure line (lpBuffer NULL or partly filled, released with the result).
  static int UnformatStatus(LPWFSRESULT result, Json::Value* value);        // WFSPTRSTATUS
  static int UnformatCapabilities(LPWFSRESULT result, Json::Value* value);  // WFSPTRCAPS
  // WFSPTRRAWDATAIN; its data only when they match their size.
  static int UnformatRawData(LPWFSRESULT result, Json::Value* value);
};

#endif
