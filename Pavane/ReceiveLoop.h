// Steps shared by the loops that drain a server's queue: the message window's
// pump and every provider thread's loop.
#ifndef PAVANE_RECEIVELOOP_H
#define PAVANE_RECEIVELOOP_H

#include "ostrel_records.h"

class CommonSocketServer;

// How long a loop waits for a text before it looks at its stop flag again.
constexpr int kReceivePollMs = 50;

// Zero-fills buffer (40960 bytes) and moves the next queued text into it,
// waiting up to kReceivePollMs for one; false when none came.
bool NextText(CommonSocketServer& server, char* buffer);

// True when msg can be acted on: not NULL and with a message number.
// Otherwise the line nullText is traced at level 3 and msg is released.
bool UsableMessage(LPCONNECTMSG msg, const char* nullText);

#endif
