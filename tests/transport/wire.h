// Helpers of the transport tests: raw loopback connections, the debug lines
// of the transport, and taking texts from a server's queue.
#ifndef TESTS_TRANSPORT_WIRE_H
#define TESTS_TRANSPORT_WIRE_H

#include <mutex>
#include <string>
#include <vector>

class CommonSocketServer;

namespace wire {

// Receives the Qt debug lines while it lives (one capture at a time). Debug
// lines are enabled for the whole test program and dropped outside captures.
class DebugCapture {
 public:
  DebugCapture();
  ~DebugCapture();
  DebugCapture(const DebugCapture&) = delete;
  DebugCapture& operator=(const DebugCapture&) = delete;

  std::vector<std::string> lines() const;
  int count(const std::string& part) const;
  // Waits until `times` lines contain `part`.
  bool waitFor(const std::string& part, int timeoutMs, int times = 1) const;

  void add(const std::string& line);

 private:
  mutable std::mutex m_lock;
  std::vector<std::string> m_lines;
};

// A connected loopback socket to 127.0.0.1:port (or another local address),
// with Nagle off so that every write leaves at once; -1 on failure.
int Connect(int port, const char* address = "127.0.0.1");
// Writes all bytes (errors ignored: the peer may refuse early).
void WriteAll(int fd, const std::string& bytes);
// Half-closes fd and waits until the server has closed its end, then closes
// fd. Once it returns, the server has queued or dropped what it read.
bool AwaitServerClose(int fd, int timeoutMs = 10000);
// Waits until the server has closed its end of fd, without closing ours
// first; then closes fd.
bool ServerClosed(int fd, int timeoutMs = 10000);
// Sends bytes on a fresh connection and waits for the server to close it.
bool SendAndAwaitClose(int port, const std::string& bytes);

std::string Frame(const std::string& payload);
// A header of exactly these 8 bytes.
std::string Header(const std::string& digits);

// Waits up to timeoutMs for a text and moves it into *text.
bool Take(CommonSocketServer& server, std::string* text, int timeoutMs = 10000);

// Number of descriptors the process has open.
int OpenDescriptors();

}  // namespace wire

#endif
