#include "CommonSocketServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QtGlobal>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <set>
#include <thread>

#include "frame.h"
#include "kestrel.h"
#include "wiredump.h"

namespace {

const char* const kModule = "WFPX";
// Connections wait here while the accept thread hands the ones before them
// to their receive threads. A full queue drops the peer's handshake: it stalls
// for a second before retrying, and a connection that keeps being dropped is
// lost after its sender was told the write succeeded. Ten, the traditional
// figure, fills within a burst of a dozen replies or hand-overs.
constexpr int kListenBacklog = SOMAXCONN;
constexpr int kHighestPort = 65535;
constexpr int kDestroyWaitMs = 400;
constexpr int kAcceptLoopError = 177;
constexpr int kNoSocket = -1;
// A failing accept (descriptors exhausted, for one) is retried after this pause.
constexpr auto kAcceptRetryPause = std::chrono::milliseconds(1);

ssize_t readRetrying(int fd, void* buf, size_t length) {
  ssize_t got;
  do {
    got = ::read(fd, buf, length);
  } while (got < 0 && errno == EINTR);
  return got;
}

}  // namespace

// Everything the accept and receive threads touch. The server and each of
// its threads hold a reference, so the state outlives the server object
// until the last thread has let go of it.
struct CommonSocketServer::State {
  std::mutex lock;                 // guards queue and receivers
  std::condition_variable queued;  // a text was appended
  std::condition_variable idle;    // the last receive thread has left
  std::deque<char*> queue;         // owned texts, oldest first
  // Descriptors of the running receive threads. A descriptor leaves the set
  // before it is closed, so teardown never shuts down a reused number.
  std::set<int> receivers;
  std::atomic<int> count{0};      // size of queue, for GetMessageSize
  std::atomic<bool> stop{false};  // set once by the tearing-down thread

  // Owned by the thread that starts and stops the server; the accept thread
  // works on its own copy of the descriptor and ends before it is closed.
  int listenFd = kNoSocket;
  std::thread acceptThread;

  ~State() { drain(); }

  int readFrame(int fd, char* buf);
  void acceptLoop(const std::shared_ptr<State>& self, int fd);
  void startReceiver(const std::shared_ptr<State>& self, int fd);
  void receive(int fd);
  void leave(int fd);
  bool append(char* text);
  void drain();
  void stopThreads();
  void waitReceivers(int timeoutMs);
};

int CommonSocketServer::State::readFrame(int fd, char* buf) {
  char header[16] = {};
  ssize_t got = readRetrying(fd, header, transport::kFrameHeaderSize);
  qDebug("CommonSocketServer::ReadFromClient read1 nReadLen=[%d], err=[%d]",
         static_cast<int>(got), errno);
  if (got != transport::kFrameHeaderSize) return 0;

  int need = std::atoi(header);
  qDebug("nNeedReadLen =[%d]", need);
  if (need < 0 || need > transport::kMaxPayload) {
    tracelog(3, kModule, "CommonSocketServer::ReadFromClient refused frame length=[%d]", need);
    return 0;
  }
  int offset = 0;
  while (need >= 1 && !stop.load()) {
    ssize_t n = readRetrying(fd, buf + offset, static_cast<size_t>(need));
    qDebug("CommonSocketServer::ReadFromClient read2 nReadLen=[%d], err=[%d]",
           static_cast<int>(n), errno);
    if (n == need) {
      qDebug("read over!");
      return 1;
    }
    if (n == 0) {
      qDebug("read over2!");
      return 1;
    }
    if (n < 0) {
      qDebug("read over, len=%d", static_cast<int>(n));
      return 0;
    }
    need -= static_cast<int>(n);
    offset += static_cast<int>(n);
  }
  return 1;
}

void CommonSocketServer::State::acceptLoop(const std::shared_ptr<State>& self, int fd) {
  qDebug("CommonSocketServer::AcceptClient Enter [%d]", fd);
  try {
    while (!stop.load()) {
      sockaddr_in peer;
      socklen_t peerLength = sizeof peer;
      int client = ::accept4(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength, SOCK_CLOEXEC);
      if (client >= 0) {
        startReceiver(self, client);
      } else if (errno != EINTR && !stop.load()) {
        std::this_thread::sleep_for(kAcceptRetryPause);
      }
    }
  } catch (...) {
    qDebug("error = %d", kAcceptLoopError);
  }
  qDebug("CommonSocketServer::AcceptClient Leave [%d]", fd);
}

void CommonSocketServer::State::startReceiver(const std::shared_ptr<State>& self, int fd) {
  try {
    {
      std::lock_guard<std::mutex> guard(lock);
      if (stop.load()) {
        ::close(fd);
        return;
      }
      receivers.insert(fd);
    }
    std::thread([self, fd] {
      try {
        self->receive(fd);
      } catch (...) {
        // Out of memory for the text: the connection is dropped.
      }
      self->leave(fd);
    }).detach();
  } catch (const std::exception& e) {
    tracelog(4, kModule, "CommonSocketServer::AcceptClient receive thread failed: %s", e.what());
    leave(fd);
  }
}

void CommonSocketServer::State::receive(int fd) {
  char* text = new char[transport::kTextBufferSize]();
  int ok = readFrame(fd, text);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  if (transport::kRawWireDump) {
    qDebug("Thread len=%d data = %s [%d %d %d %d] ", static_cast<int>(std::strlen(text)), text,
           bytes[0], bytes[1], bytes[2], bytes[3]);
  } else {
    qDebug("Thread len=%d data = [%d %d %d %d] ", static_cast<int>(std::strlen(text)), bytes[0],
           bytes[1], bytes[2], bytes[3]);
  }
  if (ok == 0 || !append(text)) delete[] text;
}

void CommonSocketServer::State::leave(int fd) {
  {
    std::lock_guard<std::mutex> guard(lock);
    receivers.erase(fd);
    if (receivers.empty()) idle.notify_all();
  }
  ::close(fd);
}

bool CommonSocketServer::State::append(char* text) {
  {
    std::lock_guard<std::mutex> guard(lock);
    if (stop.load()) return false;
    try {
      queue.push_back(text);
    } catch (const std::bad_alloc&) {
      return false;
    }
    count.fetch_add(1);
  }
  queued.notify_all();
  return true;
}

void CommonSocketServer::State::drain() {
  std::deque<char*> texts;
  {
    std::lock_guard<std::mutex> guard(lock);
    texts.swap(queue);
    count.store(0);
  }
  for (char* text : texts) delete[] text;
}

void CommonSocketServer::State::stopThreads() {
  stop.store(true);
  // Closing alone would not wake a blocked accept; shutting down does.
  if (listenFd != kNoSocket) ::shutdown(listenFd, SHUT_RDWR);
  if (acceptThread.joinable()) acceptThread.join();
  std::lock_guard<std::mutex> guard(lock);
  for (int fd : receivers) ::shutdown(fd, SHUT_RDWR);
}

void CommonSocketServer::State::waitReceivers(int timeoutMs) {
  std::unique_lock<std::mutex> guard(lock);
  idle.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] { return receivers.empty(); });
}

CommonSocketServer::CommonSocketServer() : m_state(std::make_shared<State>()) {}

CommonSocketServer::~CommonSocketServer() {
  tracelog(2, kModule, "~CommonSocketServer() call");
  m_state->stopThreads();
  m_state->drain();
  CloseServer();
}

int CommonSocketServer::InitSocketServer(int port) {
  State& state = *m_state;
  if (state.listenFd != kNoSocket || state.stop.load()) {
    tracelog(3, kModule, "CommonSocketServer::InitSocketServer port=[%d] refused: %s", port,
             state.stop.load() ? "server stopped" : "already listening");
    return 0;
  }

  const char* failure = nullptr;
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    failure = "CommonSocketServer::InitSocketServer create socket error: %s(errno: %d)\n";
  } else {
    tracelog(2, kModule, "****** CommonSocketServer::InitSocketServer port=[%d]", port);
    int reuse = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    // Every peer is on this machine: nothing else may reach the listener.
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (port < 0 || port > kHighestPort) {
      errno = EINVAL;
      failure = "CommonSocketServer::InitSocketServer bind socket error: %s(errno: %d)";
    } else if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) {
      failure = "CommonSocketServer::InitSocketServer bind socket error: %s(errno: %d)";
    } else {
      qDebug("----bind sucess----");
      if (::listen(fd, kListenBacklog) < 0) {
        failure = "CommonSocketServer::InitSocketServer listen socket error: %s(errno: %d)\n";
      }
    }
  }
  if (failure != nullptr) {
    int error = errno;
    tracelog(4, kModule, failure, std::strerror(error), error);
    if (fd >= 0) ::close(fd);
    return 0;
  }

  tracelog(2, kModule, "CommonSocketServer::InitSocketServer waiting for client's request port=[%d]",
           port);
  std::shared_ptr<State> self = m_state;
  try {
    state.acceptThread = std::thread([self, fd] { self->acceptLoop(self, fd); });
  } catch (const std::exception& e) {
    tracelog(4, kModule, "CommonSocketServer::InitSocketServer accept thread failed: %s", e.what());
    ::close(fd);
    return 0;
  }
  state.listenFd = fd;
  return 1;
}

int CommonSocketServer::GetListenPort() {
  int fd = m_state->listenFd;
  if (fd == kNoSocket) return 0;
  sockaddr_in address;
  socklen_t length = sizeof address;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) < 0) return 0;
  return ntohs(address.sin_port);
}

int CommonSocketServer::GetMessageSize() { return m_state->count.load(); }

int CommonSocketServer::WaitMessage(int timeoutMs) {
  State& state = *m_state;
  std::unique_lock<std::mutex> guard(state.lock);
  bool any = state.queued.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                   [&] { return !state.queue.empty(); });
  return any ? 1 : 0;
}

int CommonSocketServer::GetHeadMessage(char* dst) {
  char* text;
  {
    State& state = *m_state;
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.queue.empty()) return 0;
    text = state.queue.front();
    state.queue.pop_front();
    state.count.fetch_sub(1);
    std::memcpy(dst, text, std::strlen(text));
  }
  delete[] text;
  return 1;
}

int CommonSocketServer::AppendMessage(char* text) {
  if (!m_state->append(text)) delete[] text;
  return 1;
}

int CommonSocketServer::ReadFromClient(int fd, void* buf) {
  return m_state->readFrame(fd, static_cast<char*>(buf));
}

int CommonSocketServer::CloseClient(int fd) {
  if (fd > 0) ::close(fd);
  return 1;
}

int CommonSocketServer::CloseServer() {
  State& state = *m_state;
  if (state.acceptThread.joinable()) state.stopThreads();
  if (state.listenFd != kNoSocket) {
    ::close(state.listenFd);
    state.listenFd = kNoSocket;
  }
  return 1;
}

void CommonSocketServer::DestoryServer() {
  tracelog(2, kModule, "DestoryServer start");
  m_state->stopThreads();
  m_state->drain();
  CloseServer();
  m_state->waitReceivers(kDestroyWaitMs);
  tracelog(2, kModule, "DestoryServer end");
}
