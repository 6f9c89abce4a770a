// Arbitrary text decoded as a reply, then rendered for the trace as the
// service provider renders every result it posts, with the shipped name
// file, so that each decoded structure goes through its renderer; then
// released.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ostrel.h"
#include "scrivel.h"
#include "timer_signal.h"

namespace {

// The message a decoded reply is posted under.
int PostedMessage(DWORD msgType) {
  switch (msgType) {
    case KvSP_CMD_OPEN: return WFS_OPEN_COMPLETE;
    case KvSP_CMD_CLOSE: return WFS_CLOSE_COMPLETE;
    case KvSP_CMD_LOCK: return WFS_LOCK_COMPLETE;
    case KvSP_CMD_UNLOCK: return WFS_UNLOCK_COMPLETE;
    case KvSP_CMD_GETINFO: return WFS_GETINFO_COMPLETE;
    case KvSP_CMD_EXECUTE: return WFS_EXECUTE_COMPLETE;
    default: return static_cast<int>(msgType);  // the events
  }
}

constexpr size_t kLargestText = 40959;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("KESTREL_TRACE_LEVEL", "9", 1);  // keep the trace quiet
  InitConfigFileName(WFP_NAME_FILE);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kLargestText) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  TimerSignalHeldBack heldBack;  // until the record is released
  LPCONNECTMSG msg = Ostrel::FormatResData(&text[0]);
  if (msg != nullptr) {
    // A result always renders at least its fixed members.
    if (WFSResultFormat(msg->lpWfsResult, PostedMessage(msg->dwMsgType)).isEmpty()) std::abort();
    Ostrel::FreeBuffer(msg, 1);
  }
  return 0;
}
