// Placeholder until the bridge lands: every request fails and no reply decodes.
#include "ostrel.h"

int Ostrel::SendMessage(_tagDataOption*) { return 0; }
int Ostrel::SendOpenMessage(_tagDataOption*) { return 0; }
int Ostrel::SendCloseMesage(_tagDataOption*) { return 0; }
int Ostrel::SendCancelMessage(_tagDataOption*) { return 0; }
int Ostrel::SendExecuteMessage(_tagDataOption*) { return 0; }
int Ostrel::SendGetInfoMessage(_tagDataOption*) { return 0; }
int Ostrel::SendLockMessage(_tagDataOption*) { return 0; }
int Ostrel::SendUnlockMessage(_tagDataOption*) { return 0; }
int Ostrel::SendUnloadServiceMessage(_tagDataOption*) { return 0; }
int Ostrel::SendTimeoutMessage(_tagDataOption*) { return 0; }
LPCONNECTMSG Ostrel::FormatResData(char*) { return nullptr; }
int Ostrel::FreeBuffer(_connect_msg*, int) { return 1; }
