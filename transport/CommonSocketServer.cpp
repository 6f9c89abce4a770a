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
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "frame.h"
#include "kestrel.h"
#include "wiredump.h"

namespace {
const char* const kModule = "WFPX";
constexpr int kListenBacklog = 10;
constexpr int kDestroyWaitMs = 400;
}  // namespace

// Everything the accept and receive threads touch. The server and each of
// its threads hold a reference, so the state outlives the server object
// until the last thread has let go of it.
struct CommonSocketServer::State {
  std::mutex lock;  // guards queue and connections
  std::condition_variable queued;
  std::deque<char*> queue;
  std::set<int> connections;  // descriptors being read, woken at teardown
  std::atomic<int> count{0};
  std::atomic<bool> stop{false};

  // Owned by the thread that starts and stops the server.
  int listenFd = 0;
  std::thread acceptThread;

  ~State() { drain(); }

  int readFrame(int fd, char* buf);
  void acceptLoop(const std::shared_ptr<State>& self);
  void serve(int fd);
  int append(char* text);
  void drain();
  void stopThreads();
};

int CommonSocketServer::State::readFrame(int fd, char* buf) {
  char header[16] = {};
  ssize_t got;
  do {
    got = ::read(fd, header, transport::kFrameHeaderSize);
  } while (got < 0 && errno == EINTR);
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
    ssize_t n = ::read(fd, buf + offset, static_cast<size_t>(need));
    if (n < 0 && errno == EINTR) continue;
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

void CommonSocketServer::State::acceptLoop(const std::shared_ptr<State>& self) {
  qDebug("CommonSocketServer::AcceptClient Enter [%d]", listenFd);
  while (!stop.load()) {
    sockaddr_in peer;
    socklen_t peerLength = sizeof peer;
    int fd = ::accept4(listenFd, reinterpret_cast<sockaddr*>(&peer), &peerLength, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno != EINTR && !stop.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      continue;
    }
    {
      std::lock_guard<std::mutex> guard(lock);
      if (stop.load()) {
        ::close(fd);
        break;
      }
      connections.insert(fd);
    }
    try {
      std::thread([self, fd] { self->serve(fd); }).detach();
    } catch (const std::system_error& e) {
      tracelog(4, kModule, "CommonSocketServer::AcceptClient receive thread failed: %s", e.what());
      std::lock_guard<std::mutex> guard(lock);
      connections.erase(fd);
      ::close(fd);
    }
  }
  qDebug("CommonSocketServer::AcceptClient Leave [%d]", listenFd);
}

void CommonSocketServer::State::serve(int fd) {
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
  if (ok == 0 || append(text) == 0) delete[] text;
  {
    std::lock_guard<std::mutex> guard(lock);
    connections.erase(fd);
  }
  ::close(fd);
}

int CommonSocketServer::State::append(char* text) {
  {
    std::lock_guard<std::mutex> guard(lock);
    if (stop.load()) return 0;
    queue.push_back(text);
    count.fetch_add(1);
  }
  queued.notify_all();
  return 1;
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
  if (listenFd > 0) ::shutdown(listenFd, SHUT_RDWR);
  if (acceptThread.joinable()) acceptThread.join();
  {
    std::lock_guard<std::mutex> guard(lock);
    for (int fd : connections) ::shutdown(fd, SHUT_RDWR);
  }
  queued.notify_all();
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
  if (state.listenFd > 0 || state.stop.load()) return 0;

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
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) {
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

  state.listenFd = fd;
  tracelog(2, kModule, "CommonSocketServer::InitSocketServer waiting for client's request port=[%d]",
           port);
  std::shared_ptr<State> self = m_state;
  try {
    state.acceptThread = std::thread([self] { self->acceptLoop(self); });
  } catch (const std::system_error& e) {
    tracelog(4, kModule, "CommonSocketServer::InitSocketServer accept thread failed: %s", e.what());
    CloseServer();
    return 0;
  }
  return 1;
}

int CommonSocketServer::GetMessageSize() { return m_state->count.load(); }

int CommonSocketServer::WaitMessage(int timeoutMs) {
  State& state = *m_state;
  std::unique_lock<std::mutex> guard(state.lock);
  return state.queued.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                               [&] { return !state.queue.empty() || state.stop.load(); }) &&
                 !state.queue.empty()
             ? 1
             : 0;
}

int CommonSocketServer::GetHeadMessage(char* dst) {
  State& state = *m_state;
  std::lock_guard<std::mutex> guard(state.lock);
  if (state.queue.empty()) return 0;
  char* text = state.queue.front();
  state.queue.pop_front();
  state.count.fetch_sub(1);
  std::memcpy(dst, text, std::strlen(text));
  delete[] text;
  return 1;
}

int CommonSocketServer::AppendMessage(char* text) {
  if (m_state->append(text) == 0) delete[] text;
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
  if (state.listenFd > 0) {
    ::close(state.listenFd);
    state.listenFd = 0;
  }
  return 1;
}

void CommonSocketServer::DestoryServer() {
  tracelog(2, kModule, "DestoryServer start");
  m_state->stopThreads();
  m_state->drain();
  CloseServer();
  std::this_thread::sleep_for(std::chrono::milliseconds(kDestroyWaitMs));
  tracelog(2, kModule, "DestoryServer end");
}
