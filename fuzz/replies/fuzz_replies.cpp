// Arbitrary text handed to the reply decoder, as the message window hands
// over whatever the device service sent. Every record that comes back is
// released with FreeBuffer(msg, 1); afterwards no Corvid block may be left,
// and no fault may have been caught on the way (a caught fault would hide a
// crash behind a failure return).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "corvid.h"
#include "kestrel.h"
#include "ostrel.h"
#include "timer_signal.h"

namespace {

// A caught fault is logged as "<source unit>(<line>): <text>"; other lines
// start with a qualified name, and may quote member names of the input.
bool IsCaughtFault(const char* text) {
  const char* cursor = text;
  while ((*cursor >= 'a' && *cursor <= 'z') || *cursor == '_') ++cursor;
  if (cursor == text || *cursor != '(') return false;
  ++cursor;
  const char* digits = cursor;
  while (*cursor >= '0' && *cursor <= '9') ++cursor;
  return cursor != digits && cursor[0] == ')' && cursor[1] == ':';
}

void AbortOnCaughtFault(void*, const char*, int level, const char* text) {
  if (level < 4 || text == nullptr || !IsCaughtFault(text)) return;
  std::fprintf(stderr, "fault caught while decoding: %s\n", text);
  std::abort();
}

// The message window never hands over more than its receive buffer holds.
constexpr size_t kLargestText = 40959;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("KESTREL_TRACE_LEVEL", "9", 1);  // keep the trace quiet
  KestrelSetCaptureHook(&AbortOnCaughtFault, nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kLargestText) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  long before = CorvidLiveBlocks();
  {
    TimerSignalHeldBack heldBack;  // until the record is released
    LPCONNECTMSG msg = Ostrel::FormatResData(&text[0]);
    if (msg != nullptr) {
      if (msg->lpWfsResult == nullptr) {
        std::fprintf(stderr, "record without a result\n");
        std::abort();
      }
      Ostrel::FreeBuffer(msg, 1);
    }
  }
  if (CorvidLiveBlocks() != before) {
    std::fprintf(stderr, "Corvid blocks left: %ld\n", CorvidLiveBlocks() - before);
    std::abort();
  }
  return 0;
}
