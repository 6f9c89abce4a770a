// Request side of the card dispenser (CRD): the input structures of its
// execute requests as the value of the envelope's "lpDataBuffer".
#ifndef OSTREL_BUFFERFORMAT_CRD_H
#define OSTREL_BUFFERFORMAT_CRD_H

namespace Json {
class Value;
}

class BufferFormat_CRD {
 public:
  // The payload of a get-info request (lpQueryDetails) or an execute request
  // (lpCmdData) by its code; null when data is NULL, when the code sends no
  // input, for an unknown code (after its line) and for input that cannot
  // be formatted (after the caught-fault line).
  static Json::Value InfoFormat(unsigned int category, unsigned char* data);
  static Json::Value ExeFormat(unsigned int command, unsigned char* data);

  // An optional string: the text, or null for NULL.
  static Json::Value GetLPSTR(char* text);

  // One formatter per input structure; data is never NULL.
  static Json::Value FormatDispenseCard(unsigned char* data);  // WFSCRDDISPENSE
  static Json::Value FormatRetainCard(unsigned char* data);    // WFSCRDRETAINCARD
  static Json::Value FormatReset(unsigned char* data);         // WFSCRDRESET
  // WFSCRDCUINFO: exactly usCount units, every one of which must be there.
  static Json::Value FormatSetCardUnitInfo(unsigned char* data);
  // The requests that send no input: null.
  static Json::Value FormatStatus(unsigned char* data);
  static Json::Value FormatCapabilities(unsigned char* data);
  static Json::Value FormatCardUnitInfo(unsigned char* data);
  static Json::Value FormatEjectCard(unsigned char* data);
};

#endif
