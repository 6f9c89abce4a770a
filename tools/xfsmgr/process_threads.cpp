#include "process_threads.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

namespace xfsmgr {

int CountThreads() {
  std::error_code error;
  int count = 0;
  for (std::filesystem::directory_iterator it("/proc/self/task", error), end; !error && it != end;
       it.increment(error)) {
    ++count;
  }
  return error ? -1 : count;
}

bool WaitForThreadCount(int count, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int now = CountThreads();
    if (now >= 0 && now <= count) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace xfsmgr
