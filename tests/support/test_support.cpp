#include "test_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "kestrel.h"

namespace testsupport {

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
                        "/wfp-test-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  m_path = buffer.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

TraceCapture::TraceCapture() { KestrelSetCaptureHook(&TraceCapture::hook, this); }

TraceCapture::~TraceCapture() { KestrelSetCaptureHook(nullptr, nullptr); }

void TraceCapture::hook(void* context, const char* module, int level, const char* text) {
  auto* self = static_cast<TraceCapture*>(context);
  std::lock_guard<std::mutex> guard(self->m_lock);
  self->m_lines.push_back(TraceLine{module, level, text});
}

std::vector<TraceLine> TraceCapture::lines() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_lines;
}

int TraceCapture::count(const std::string& part, int level) const {
  std::lock_guard<std::mutex> guard(m_lock);
  int found = 0;
  for (const TraceLine& line : m_lines) {
    if ((level == 0 || line.level == level) && line.text.find(part) != std::string::npos) ++found;
  }
  return found;
}

int TraceCapture::countExact(const std::string& text, int level) const {
  std::lock_guard<std::mutex> guard(m_lock);
  int found = 0;
  for (const TraceLine& line : m_lines) {
    if ((level == 0 || line.level == level) && line.text == text) ++found;
  }
  return found;
}

void TraceCapture::clear() {
  std::lock_guard<std::mutex> guard(m_lock);
  m_lines.clear();
}

int FreePort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) < 0) {
    ::close(fd);
    throw std::runtime_error("bind failed");
  }
  ::close(fd);
  return ntohs(address.sin_port);
}

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!pred()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

std::vector<std::string> LeakForms(const std::string& data) {
  static const char kUpper[] = "0123456789ABCDEF";
  static const char kLower[] = "0123456789abcdef";
  static const char kBase64[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string upper;
  std::string lower;
  for (unsigned char c : data) {
    upper += {kUpper[c >> 4], kUpper[c & 15]};
    lower += {kLower[c >> 4], kLower[c & 15]};
  }
  std::vector<std::string> forms = {data, upper, lower};
  for (size_t skip = 0; skip < 3 && skip < data.size(); ++skip) {
    // Whole groups of three bytes only: their text does not depend on what follows.
    std::string base64;
    for (size_t i = skip; i + 3 <= data.size(); i += 3) {
      unsigned group = static_cast<unsigned char>(data[i]) << 16 |
                       static_cast<unsigned char>(data[i + 1]) << 8 |
                       static_cast<unsigned char>(data[i + 2]);
      for (int shift = 18; shift >= 0; shift -= 6) base64 += kBase64[(group >> shift) & 63];
    }
    if (!base64.empty()) forms.push_back(base64);
  }
  return forms;
}

std::string LeakIn(const std::string& text, const std::string& data) {
  for (const std::string& form : LeakForms(data)) {
    if (text.find(form) != std::string::npos) return form;
  }
  return std::string();
}

}  // namespace testsupport
