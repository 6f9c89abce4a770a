// The plain-socket side of the benchmarks' raw hops: a listener on a free
// loopback port, and one text sent over a fresh connection.
#ifndef BENCH_SUPPORT_BENCH_LOOPBACK_H
#define BENCH_SUPPORT_BENCH_LOOPBACK_H

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace bench {

// A listening socket on 127.0.0.1 at a port the system picks; its address
// goes to *address. -1 on failure.
inline int OpenLoopbackListener(sockaddr_in* address) {
  int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  std::memset(address, 0, sizeof *address);
  address->sin_family = AF_INET;
  address->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof *address;
  if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(address), length) != 0 ||
      ::listen(listener, SOMAXCONN) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(address), &length) != 0) {
    if (listener >= 0) ::close(listener);
    return -1;
  }
  return listener;
}

// Connects to address, sends text whole and closes; false when any step fails.
inline bool SendOverFreshConnection(const sockaddr_in& address, const std::string& text) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  bool sent = fd >= 0 &&
              ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
              ::send(fd, text.data(), text.size(), MSG_NOSIGNAL) ==
                  static_cast<ssize_t>(text.size());
  if (fd >= 0) ::close(fd);
  return sent;
}

}  // namespace bench

#endif
