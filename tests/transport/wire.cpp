#include "wire.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QString>
#include <QtGlobal>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "CommonSocketServer.h"
#include "frame.h"

namespace wire {

namespace {

std::mutex g_captureLock;
DebugCapture* g_capture = nullptr;  // guarded by g_captureLock

void collect(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtDebugMsg) return;
  std::lock_guard<std::mutex> guard(g_captureLock);
  if (g_capture != nullptr) g_capture->add(message.toStdString());
}

// Before main: the transport's debug lines reach collect() whatever the
// environment's logging rules say.
struct DebugLinesOn {
  DebugLinesOn() {
    setenv("QT_LOGGING_RULES", "*.debug=false;default.debug=true", 1);
    qInstallMessageHandler(collect);
  }
} g_debugLinesOn;

}  // namespace

DebugCapture::DebugCapture() {
  std::lock_guard<std::mutex> guard(g_captureLock);
  g_capture = this;
}

DebugCapture::~DebugCapture() {
  std::lock_guard<std::mutex> guard(g_captureLock);
  g_capture = nullptr;
}

void DebugCapture::add(const std::string& line) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_lines.push_back(line);
}

std::vector<std::string> DebugCapture::lines() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_lines;
}

int DebugCapture::count(const std::string& part) const {
  std::lock_guard<std::mutex> guard(m_lock);
  int found = 0;
  for (const std::string& line : m_lines) {
    if (line.find(part) != std::string::npos) ++found;
  }
  return found;
}

bool DebugCapture::waitFor(const std::string& part, int timeoutMs, int times) const {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (count(part) < times) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

int Connect(int port, const char* address) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return -1;
  int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  sockaddr_in peer;
  std::memset(&peer, 0, sizeof peer);
  peer.sin_family = AF_INET;
  peer.sin_port = htons(static_cast<uint16_t>(port));
  ::inet_pton(AF_INET, address, &peer.sin_addr);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer) < 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

bool AwaitServerClose(int fd, int timeoutMs) {
  ::shutdown(fd, SHUT_WR);
  return ServerClosed(fd, timeoutMs);
}

bool ServerClosed(int fd, int timeoutMs) {
  bool closed = false;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!closed && std::chrono::steady_clock::now() < deadline) {
    pollfd waiting = {fd, POLLIN, 0};
    if (::poll(&waiting, 1, 10) <= 0) continue;
    char sink[4096];
    closed = ::recv(fd, sink, sizeof sink, 0) <= 0;
  }
  ::close(fd);
  return closed;
}

bool SendAndAwaitClose(int port, const std::string& bytes) {
  int fd = Connect(port);
  if (fd < 0) return false;
  WriteAll(fd, bytes);
  return AwaitServerClose(fd);
}

std::string Frame(const std::string& payload) {
  return transport::EncodeFrame(payload.data(), payload.size());
}

std::string Header(const std::string& digits) {
  std::string header = digits;
  header.resize(transport::kFrameHeaderSize, '\0');
  return header;
}

bool Take(CommonSocketServer& server, std::string* text, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::vector<char> buffer(transport::kTextBufferSize, '\0');
  while (server.GetHeadMessage(buffer.data()) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    server.WaitMessage(50);
  }
  *text = buffer.data();
  return true;
}

int OpenDescriptors() {
  int count = 0;
  DIR* dir = ::opendir("/proc/self/fd");
  if (dir == nullptr) return -1;
  while (::readdir(dir) != nullptr) ++count;
  ::closedir(dir);
  return count;
}

}  // namespace wire
