// Feeds arbitrary bytes as the whole stream of one connection to the frame
// reader, then moves an accepted text through the queue. Checks that nothing
// lands past the receive array and that an accepted text is exactly the
// payload bytes that followed the header.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "CommonSocketServer.h"
#include "frame.h"

namespace {

// Inputs up to this size fit the socket buffer, so the whole stream is
// written before the reader starts and every run reads it the same way.
constexpr size_t kLongestStream = 64 * 1024;

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_LOGGING_RULES", "*.debug=false", 1);
  setenv("KESTREL_TRACE_LEVEL", "5", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CommonSocketServer server;  // never started: its reader and queue only
  if (size > kLongestStream) size = kLongestStream;

  int pair[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return 0;
  int buffer = 2 * kLongestStream;
  setsockopt(pair[0], SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
  size_t written = 0;
  while (written < size) {
    ssize_t n = send(pair[0], data + written, size - written, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  shutdown(pair[0], SHUT_WR);

  std::unique_ptr<char[]> text(new char[transport::kTextBufferSize]());
  int ok = server.ReadFromClient(pair[1], text.get());
  close(pair[0]);
  close(pair[1]);

  check(text[transport::kMaxPayload] == '\0');
  if (ok == 0) return 0;
  check(written >= static_cast<size_t>(transport::kFrameHeaderSize));
  size_t length = std::strlen(text.get());
  check(length <= written - transport::kFrameHeaderSize);
  check(std::memcmp(text.get(), data + transport::kFrameHeaderSize, length) == 0);

  server.AppendMessage(text.release());
  std::unique_ptr<char[]> taken(new char[transport::kTextBufferSize]());
  check(server.GetHeadMessage(taken.get()) == 1);
  check(std::strlen(taken.get()) == length);
  check(std::memcmp(taken.get(), data + transport::kFrameHeaderSize, length) == 0);
  check(server.GetMessageSize() == 0);
  return 0;
}
