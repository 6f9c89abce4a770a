// Reply side of the card dispenser (CRD): the output structures of its
// get-info completions, built below the result from the reply's "lpBuffer".
// Its execute completions carry no output.
#ifndef OSTREL_JSONUNFORMAT_CRD_H
#define OSTREL_JSONUNFORMAT_CRD_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformat_CRD {
 public:
  // Choose the decoder by u.dwCommandCode. 1 for an unknown code (after its
  // line, lpBuffer NULL); 0 after a caught fault; else the decoder's result.
  static int UnformatInfo(LPWFSRESULT result, Json::Value* value);
  static int UnformatExecute(LPWFSRESULT result, Json::Value* value);

  // Each builds its output in result->lpBuffer; 1 on success, 0 after its
  // failure line (lpBuffer NULL or partly filled, released with the result).
  static int UnformatStatus(LPWFSRESULT result, Json::Value* value);        // WFSCRDSTATUS
  static int UnformatCapabilities(LPWFSRESULT result, Json::Value* value);  // WFSCRDCAPS
  // WFSCRDCUINFO: a list only when it holds exactly usCount units.
  static int UnformatCardUnitInfo(LPWFSRESULT result, Json::Value* value);

  // The completions without output: lpBuffer stays NULL, 1.
  static int UnformatDispenseCard(LPWFSRESULT result, Json::Value* value);
  static int UnformatEjectCard(LPWFSRESULT result, Json::Value* value);
  static int UnformatRetainCard(LPWFSRESULT result, Json::Value* value);
  static int UnformatReset(LPWFSRESULT result, Json::Value* value);
  static int UnformatSetCardUnitInfo(LPWFSRESULT result, Json::Value* value);
};

#endif
