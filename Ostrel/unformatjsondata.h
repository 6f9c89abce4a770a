// The reply envelope: one decoder per message type fills the WFSRESULT
// header from "lpWfsResult" and hands "lpBuffer" to the class decoder.
#ifndef OSTREL_UNFORMATJSONDATA_H
#define OSTREL_UNFORMATJSONDATA_H

#include <json/value.h>

#include "ostrel_records.h"

class UnformatJsonData {
 public:
  // Each parses the reply text and decodes it into result (zero-filled,
  // allocated by the caller with WFMAllocateBuffer). 1 when the header was
  // filled; 0 when the text does not parse, "lpWfsResult" is missing or a
  // header member has a wrong JSON type. The class decoder's own result
  // does not change the outcome.
  static int UnformatOpenComplete(LPWFSRESULT result, char* text);
  static int UnformatCloseComplete(LPWFSRESULT result, char* text);
  static int UnformatGetInfoComplete(LPWFSRESULT result, char* text);
  static int UnformatExecuteComplete(LPWFSRESULT result, char* text);
  static int UnformatLockComplete(LPWFSRESULT result, char* text);
  static int UnformatUnlockComplete(LPWFSRESULT result, char* text);
  static int UnformatExecuteEvent(LPWFSRESULT result, char* text);
  static int UnformatServiceEvent(LPWFSRESULT result, char* text);
  static int UnformatUserEvent(LPWFSRESULT result, char* text);
  static int UnformatSystemEvent(LPWFSRESULT result, char* text);

  // For a reply already parsed: whether a decoder serves msgType, and that
  // decoder run over root (an object, which the class decoders may read but
  // nothing changes). Unknown types give 0.
  static bool IsKnownMsgType(DWORD msgType);
  static int UnformatParsed(DWORD msgType, LPWFSRESULT result, Json::Value& root);
};

#endif
