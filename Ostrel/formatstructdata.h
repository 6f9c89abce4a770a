// The request envelope: one JSON text per request, rendered into the
// caller's request buffer.
#ifndef OSTREL_FORMATSTRUCTDATA_H
#define OSTREL_FORMATSTRUCTDATA_H

#include <json/value.h>

#include "ostrel_records.h"

class FormatStructData {
 public:
  // Size of the request buffer each formatter renders into; a text that
  // does not fit is refused.
  static constexpr int kRequestBufferSize = 40960;

  // Each renders the envelope of one request kind into buffer (at least
  // kRequestBufferSize bytes) and stores the text's length, its final line
  // feed included (no NUL is counted). 1 on success, 0 when the request
  // cannot be rendered (a fault caught, or a text longer than the buffer).
  static int FormatOpenData(_tagDataOption* option, char* buffer, int& length);
  static int FormatCloseData(_tagDataOption* option, char* buffer, int& length);
  static int FormatCancelData(_tagDataOption* option, char* buffer, int& length);
  static int FormatLockData(_tagDataOption* option, char* buffer, int& length);
  static int FormatUnlockData(_tagDataOption* option, char* buffer, int& length);
  static int FormatUnloadServiceData(_tagDataOption* option, char* buffer, int& length);
  static int FormatTimeoutData(_tagDataOption* option, char* buffer, int& length);
  // These two add "lpDataBuffer" when the command (category) falls in a
  // device class's range: that class's payload, or null.
  static int FormatExecuteData(_tagDataOption* option, char* buffer, int& length);
  static int FormatGetInfoData(_tagDataOption* option, char* buffer, int& length);

  // The string, or null for a NULL pointer.
  static Json::Value GetLPSTR(char* text);
};

#endif
