// Ostrel, the JSON bridge between the service provider and the device service.
#ifndef OSTREL_OSTREL_H
#define OSTREL_OSTREL_H

#include "ostrel_records.h"

class Ostrel {
 public:
  // Renders the request and writes it to the device service; 1 when the
  // whole text was written, 0 on any failure.
  static int SendMessage(_tagDataOption* option);

  static int SendOpenMessage(_tagDataOption* option);
  static int SendCloseMesage(_tagDataOption* option);
  static int SendCancelMessage(_tagDataOption* option);
  static int SendExecuteMessage(_tagDataOption* option);
  static int SendGetInfoMessage(_tagDataOption* option);
  static int SendLockMessage(_tagDataOption* option);
  static int SendUnlockMessage(_tagDataOption* option);
  static int SendUnloadServiceMessage(_tagDataOption* option);
  static int SendTimeoutMessage(_tagDataOption* option);

  // Decodes one NUL-terminated reply text; NULL on any failure. The caller
  // owns the record and releases it with FreeBuffer.
  static LPCONNECTMSG FormatResData(char* text);
  // Releases the record, and first its result when freeResult is non-zero.
  // 1 when the record or its result is NULL (a record without a result is
  // released, nothing else), else 0.
  static int FreeBuffer(_connect_msg* msg, int freeResult);
};

#endif
