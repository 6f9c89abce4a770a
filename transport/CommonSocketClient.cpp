#include "CommonSocketClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QtGlobal>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "frame.h"

namespace {

constexpr long kLowestPort = 1;
constexpr long kHighestPort = 65535;

// A connect interrupted by a signal goes on in the background: waits for
// its outcome. The error number it ended with, 0 once connected.
int AwaitConnection(int fd) {
  pollfd wanted{fd, POLLOUT, 0};
  int ready;
  do {
    ready = ::poll(&wanted, 1, -1);
  } while (ready < 0 && errno == EINTR);
  if (ready < 0) return errno;
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) < 0) return errno;
  return error;
}

}  // namespace

CommonSocketClient::~CommonSocketClient() { CloseClient(); }

int CommonSocketClient::InitSocketClient() {
  CloseClient();
  m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (m_socket < 0) {
    qDebug("create socket error: %s(errno: %d)\n", std::strerror(errno), errno);
    return 0;
  }
  return 1;
}

int CommonSocketClient::ConnectServer(int port) {
  if (port < kLowestPort || port > kHighestPort) {
    qDebug("connect error: %s(errno: %d)", std::strerror(EINVAL), EINVAL);
    return 0;
  }
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (::inet_pton(AF_INET, "127.0.0.1", &address.sin_addr) <= 0) {
    qDebug("inet_pton error for 127.0.0.1");
    return 0;
  }
  if (::connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) {
    int error = errno == EINTR ? AwaitConnection(m_socket) : errno;
    if (error != 0) {
      qDebug("connect error: %s(errno: %d)", std::strerror(error), error);
      return 0;
    }
  }
  return 1;
}

int CommonSocketClient::SendData(void* data, int len) {
  return SendData(static_cast<char*>(data), len);
}

int CommonSocketClient::SendData(char* data, int len) {
  int result = 0;
  if (m_socket >= 0 && data != nullptr && len >= 0) {
    // MSG_NOSIGNAL: a peer that has gone away yields a failed write, never a
    // SIGPIPE that would end the host process.
    ssize_t written;
    do {
      written = ::send(m_socket, data, static_cast<size_t>(len), MSG_NOSIGNAL);
    } while (written < 0 && errno == EINTR);
    result = written == len ? 1 : 0;
  }
  if (result == 0) qDebug("write error");
  CloseClient();
  return result;
}

int CommonSocketClient::PostPointerMessage(long port, unsigned long value) {
  char text[32];
  int length = std::snprintf(text, sizeof text, "%ld", static_cast<long>(value));
  return PostTextMessage(port, text, length);
}

int CommonSocketClient::PostTextMessage(long port, const char* text, int len) {
  // The results of the first two steps surface as a failed write.
  InitSocketClient();
  ConnectServer(port >= kLowestPort && port <= kHighestPort ? static_cast<int>(port) : -1);
  std::string frame;
  if (text != nullptr && len >= 0 && len <= transport::kMaxPayload) {
    try {
      frame = transport::EncodeFrame(text, static_cast<size_t>(len));
    } catch (const std::bad_alloc&) {
      frame.clear();
    }
  }
  // A text that cannot be framed fails like a write that did not happen.
  if (frame.empty()) return SendData(static_cast<char*>(nullptr), 0);
  return SendData(&frame[0], static_cast<int>(frame.size()));
}

int CommonSocketClient::CloseClient() {
  if (m_socket >= 0) {
    ::close(m_socket);
    m_socket = -1;
  }
  return 1;
}
