#include "PortBinder.h"

#include <mutex>
#include <random>

#include "CommonSocketServer.h"

namespace {

// One generator for the process, seeded once: threads that start in the
// same millisecond still try different ports.
int RandomOffset(int span) {
  static std::mutex lock;
  static std::mt19937 generator{std::random_device{}()};
  std::lock_guard<std::mutex> guard(lock);
  return std::uniform_int_distribution<int>(0, span - 1)(generator);
}

}  // namespace

int BindRandomPort(CommonSocketServer& server, PortRange range) {
  for (int attempt = 0; attempt < kBindAttempts; ++attempt) {
    int port = range.lowest + RandomOffset(range.span);
    if (server.InitSocketServer(port) == 1) return port;
  }
  return 0;
}
