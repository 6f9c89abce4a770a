#include "listener.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

namespace devsim {

namespace {

// A request longer than this is not one of ours.
constexpr size_t kMaxRequest = 1 << 20;
// A connection that neither sends nor closes for this long is dropped.
constexpr auto kIdleLimit = std::chrono::seconds(10);
constexpr int kPollMs = 500;

struct Connection {
  int fd;
  std::string text;
  std::chrono::steady_clock::time_point lastData;
};

void CloseFd(int* fd) {
  if (*fd >= 0) ::close(*fd);
  *fd = -1;
}

}  // namespace

RequestListener::RequestListener(TextHandler onText, ProblemHandler onProblem)
    : m_onText(std::move(onText)), m_onProblem(std::move(onProblem)) {}

RequestListener::~RequestListener() { Stop(); }

bool RequestListener::Start(int port, std::string* error) {
  Stop();
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    *error = std::string("cannot create a socket: ") + std::strerror(errno);
    return false;
  }
  int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0 ||
      ::listen(fd, SOMAXCONN) < 0) {
    int code = errno;
    ::close(fd);
    *error = code == EADDRINUSE
                 ? "port " + std::to_string(port) + " is in use"
                 : "cannot listen on port " + std::to_string(port) + ": " + std::strerror(code);
    return false;
  }
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) < 0) {
    *error = std::string("cannot create a pipe: ") + std::strerror(errno);
    ::close(fd);
    return false;
  }
  m_listenFd = fd;
  m_wakeRead = wake[0];
  m_wakeWrite = wake[1];
  m_port = ntohs(address.sin_port);
  m_thread = std::thread(&RequestListener::Run, this);
  return true;
}

void RequestListener::Stop() {
  if (!m_thread.joinable()) return;
  char byte = 0;
  while (::write(m_wakeWrite, &byte, 1) < 0 && errno == EINTR) {
  }
  m_thread.join();
  CloseFd(&m_listenFd);
  CloseFd(&m_wakeRead);
  CloseFd(&m_wakeWrite);
  m_port = 0;
}

void RequestListener::Run() {
  std::vector<Connection> connections;
  for (;;) {
    std::vector<pollfd> fds;
    fds.push_back(pollfd{m_wakeRead, POLLIN, 0});
    fds.push_back(pollfd{m_listenFd, POLLIN, 0});
    for (const Connection& connection : connections) {
      fds.push_back(pollfd{connection.fd, POLLIN, 0});
    }
    int ready = ::poll(fds.data(), fds.size(), kPollMs);
    if (ready < 0 && errno != EINTR) {
      m_onProblem(std::string("poll failed: ") + std::strerror(errno));
      break;
    }
    if (fds[0].revents != 0) break;
    auto now = std::chrono::steady_clock::now();
    // Connections first, so that the indexes of fds still match.
    for (size_t i = connections.size(); i-- > 0;) {
      Connection& connection = connections[i];
      bool done = false;
      if (fds[i + 2].revents != 0) {
        char buffer[4096];
        ssize_t n = ::read(connection.fd, buffer, sizeof buffer);
        if (n > 0) {
          connection.text.append(buffer, static_cast<size_t>(n));
          connection.lastData = now;
          if (connection.text.size() > kMaxRequest) {
            m_onProblem("a request of more than " + std::to_string(kMaxRequest) +
                        " bytes was dropped");
            done = true;
          }
        } else if (n == 0) {
          if (connection.text.empty()) {
            m_onProblem("a connection closed without sending a request");
          } else {
            m_onText(connection.text);
          }
          done = true;
        } else if (errno != EINTR && errno != EAGAIN) {
          m_onProblem(std::string("a request connection failed: ") + std::strerror(errno));
          done = true;
        }
      } else if (now - connection.lastData > kIdleLimit) {
        m_onProblem("a request connection sent nothing more for 10 s and was dropped (" +
                    std::to_string(connection.text.size()) + " bytes read)");
        done = true;
      }
      if (done) {
        ::close(connection.fd);
        connections.erase(connections.begin() + static_cast<long>(i));
      }
    }
    if (fds[1].revents != 0) {
      int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd >= 0) connections.push_back(Connection{fd, std::string(), now});
    }
  }
  for (Connection& connection : connections) ::close(connection.fd);
}

}  // namespace devsim
