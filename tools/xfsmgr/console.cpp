#include "console.h"

namespace xfsmgr {

void Console::Print(const std::string& text) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_out << text;
  if (text.empty() || text.back() != '\n') m_out << '\n';
  m_out.flush();
}

}  // namespace xfsmgr
