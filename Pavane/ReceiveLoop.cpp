#include "ReceiveLoop.h"

#include <cstring>

#include "CommonSocketServer.h"
#include "frame.h"
#include "kestrel.h"
#include "ostrel.h"

bool NextText(CommonSocketServer& server, char* buffer) {
  std::memset(buffer, 0, transport::kTextBufferSize);
  return server.WaitMessage(kReceivePollMs) == 1 && server.GetHeadMessage(buffer) == 1;
}

bool UsableMessage(LPCONNECTMSG msg, const char* nullText) {
  if (msg != nullptr && msg->dwMsgType != 0) return true;
  tracelog(3, "WFPX", "%s", nullText);
  if (msg != nullptr) Ostrel::FreeBuffer(msg, 1);
  return false;
}
