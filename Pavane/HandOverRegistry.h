// The hand-over of decoded messages between the provider's own threads.
//
// A thread that receives hand-overs owns a server on a port of its own and
// opens a mailbox for that port. A poster records the message in the
// mailbox and sends its address, as a decimal text, to the port. The
// receiving thread acts on a text only when the mailbox of its port holds
// that value, and takes it out as it does so: an address that this process
// did not post to this thread is never followed. Closing a mailbox releases
// every message still recorded in it.
//
// All members are thread-safe; the registry lock is held only for one
// lookup or change, never across a send or a release.
#ifndef PAVANE_HANDOVERREGISTRY_H
#define PAVANE_HANDOVERREGISTRY_H

#include "ostrel_records.h"

class CHandOverRegistry {
 public:
  // The thread listening on port starts taking hand-overs.
  static void OpenMailbox(long port);
  // The thread listening on port has stopped taking hand-overs: every
  // message posted to it and not taken is released with its result.
  static void CloseMailbox(long port);

  // Records msg for port and sends its address there. 1 when msg no longer
  // belongs to the caller (sent, or released with a mailbox closed
  // meanwhile); 0 when it was not handed over (no open mailbox on port, or
  // the send failed): the caller still owns it.
  static int Post(long port, LPCONNECTMSG msg);

  // The message whose address `text` carries, when that address was posted
  // to port and not yet taken; it is taken out and belongs to the caller.
  // Any other text yields NULL and, unless it is "0", is traced at level 3.
  static LPCONNECTMSG Take(long port, const char* text);

  // Messages recorded for port and not yet taken (0 for a closed mailbox).
  static int Pending(long port);
};

#endif
