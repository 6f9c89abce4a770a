// Reply side of the card reader (IDC): the output structures of its get-info
// and execute completions, built below the result from the reply's
// "lpBuffer".
#ifndef OSTREL_JSONUNFORMAT_IDC_H
#define OSTREL_JSONUNFORMAT_IDC_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformat_IDC {
 public:
  // Choose the decoder by u.dwCommandCode. 1 for a code without output
  // (lpBuffer NULL) and for an unknown code (after its line); 0 after a
  // caught fault; else the decoder's result.
  static int UnformatInfo(LPWFSRESULT result, Json::Value* value);
  static int UnformatExecute(LPWFSRESULT result, Json::Value* value);

  // Each builds its output in result->lpBuffer; 1 on success, 0 after its
  // failure line (lpBuffer NULL or partly filled, released with the result).
  static int UnformatStatus(LPWFSRESULT result, Json::Value* value);        // WFSIDCSTATUS
  static int UnformatCapabilities(LPWFSRESULT result, Json::Value* value);  // WFSIDCCAPS
  // The form names, each ending in NUL, the list in a second NUL.
  static int UnformatFormList(LPWFSRESULT result, Json::Value* value);
  static int UnformatQueryForm(LPWFSRESULT result, Json::Value* value);  // WFSIDCFORM
  static int UnformatQueryIfmIdentifier(LPWFSRESULT result, Json::Value* value);
  static int UnformatReadTrack(LPWFSRESULT result, Json::Value* value);   // the track text
  static int UnformatEjectCard(LPWFSRESULT result, Json::Value* value);   // WORD position
  static int UnformatRetainCard(LPWFSRESULT result, Json::Value* value);  // WFSIDCRETAINCARD
  static int UnformatSetkey(LPWFSRESULT result, Json::Value* value);      // WFSIDCSETKEY
  // A NULL-terminated array of WFSIDCCARDDATA pointers.
  static int UnformatReadRawData(LPWFSRESULT result, Json::Value* value);
  static int UnformatChipIO(LPWFSRESULT result, Json::Value* value);  // WFSIDCCHIPIO
  // WFSIDCCHIPPOWEROUT; no input is no failure here (lpBuffer NULL, 1).
  static int UnformatChipPower(LPWFSRESULT result, Json::Value* value);
  static int UnformatParseData(LPWFSRESULT result, Json::Value* value);  // the card data text
};

#endif
