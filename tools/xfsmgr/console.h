// Standard output shared by the main thread and the simulator's threads:
// every line is written whole.
#ifndef XFSMGR_CONSOLE_H
#define XFSMGR_CONSOLE_H

#include <mutex>
#include <ostream>
#include <string>

namespace xfsmgr {

class Console {
 public:
  explicit Console(std::ostream& out) : m_out(out) {}
  // Writes text (one or more lines; a final line feed is added when missing).
  void Print(const std::string& text);

 private:
  std::mutex m_lock;  // guards m_out
  std::ostream& m_out;
};

}  // namespace xfsmgr

#endif
