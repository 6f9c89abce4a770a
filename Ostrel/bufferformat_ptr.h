// Request side of the printer (PTR): the input structures of its execute
// requests as the value of the envelope's "lpDataBuffer".
#ifndef OSTREL_BUFFERFORMAT_PTR_H
#define OSTREL_BUFFERFORMAT_PTR_H

namespace Json {
class Value;
}

class BufferFormat_PTR {
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
  static Json::Value FormatControlMedia(unsigned char* data);  // DWORD media-control word
  // WFSPTRRAWDATA; its data always travel (the empty text for none). The
  // log shows the data's size, never the data.
  static Json::Value FormatRawData(unsigned char* data);
  static Json::Value FormatReset(unsigned char* data);  // WFSPTRRESET
};

#endif
