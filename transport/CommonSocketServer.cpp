#include "CommonSocketServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <list>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "frame.h"
#include "kestrel.h"
#include "wiredump.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* const kModule = "WFPX";
// Connections wait here while the serve thread is busy. A full queue drops
// the peer's handshake: it stalls for a second before retrying, and a
// connection that keeps being dropped is lost after its sender was told the
// write succeeded. Ten, the traditional figure, fills within a burst of a
// dozen replies or hand-overs.
constexpr int kListenBacklog = SOMAXCONN;
constexpr int kHighestPort = 65535;
constexpr int kServeLoopError = 177;
constexpr int kNoSocket = -1;
// A failing accept or poll (descriptors exhausted, for one) is retried after
// this pause.
constexpr auto kRetryPause = std::chrono::milliseconds(1);
// Connections taken in one round of the serve loop: a stream of them must
// not keep the loop from its other work (or from stopping).
constexpr int kAcceptsPerRound = 64;

ssize_t readRetrying(int fd, void* buf, size_t length) {
  ssize_t got;
  do {
    got = ::read(fd, buf, length);
  } while (got < 0 && errno == EINTR);
  return got;
}

bool wouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

// One frame read from a connection, one read call at a time: the 8-byte
// header in a single read (a header that arrives in pieces is refused),
// then the payload as it comes.
class FrameReader {
 public:
  enum Step { kProgress, kWaiting, kDone, kRefused };

  // Reads into text (zero-filled, 40960 bytes) when one is given; otherwise
  // into an array of its own, made once the header has been read.
  explicit FrameReader(char* text = nullptr) : m_text(text) {}

  // One read call. kWaiting: nothing to read yet (non-blocking descriptor).
  Step Read(int fd) { return m_need < 0 ? ReadHeader(fd) : ReadPayload(fd); }
  // A byte of the frame has been read.
  bool Started() const { return m_need >= 0; }
  // The array of its own, handed over (NULL when the text went elsewhere).
  char* TakeText() { return m_owned.release(); }

 private:
  Step ReadHeader(int fd) {
    char header[16] = {};
    ssize_t got = readRetrying(fd, header, transport::kFrameHeaderSize);
    if (got < 0 && wouldBlock(errno)) return kWaiting;
    qDebug("CommonSocketServer::ReadFromClient read1 nReadLen=[%d], err=[%d]",
           static_cast<int>(got), errno);
    if (got < 0) return Failed();
    if (got != transport::kFrameHeaderSize) return kRefused;
    int need = std::atoi(header);
    qDebug("nNeedReadLen =[%d]", need);
    if (need < 0 || need > transport::kMaxPayload) {
      tracelog(3, kModule, "CommonSocketServer::ReadFromClient refused frame length=[%d]", need);
      return kRefused;
    }
    if (m_text == nullptr) {
      m_owned.reset(new char[transport::kTextBufferSize]());
      m_text = m_owned.get();
    }
    m_need = need;
    return need < 1 ? kDone : kProgress;
  }

  Step ReadPayload(int fd) {
    ssize_t n = readRetrying(fd, m_text + m_offset, static_cast<size_t>(m_need));
    if (n < 0 && wouldBlock(errno)) return kWaiting;
    qDebug("CommonSocketServer::ReadFromClient read2 nReadLen=[%d], err=[%d]",
           static_cast<int>(n), errno);
    if (n == m_need) {
      qDebug("read over!");
      return kDone;
    }
    if (n == 0) {
      qDebug("read over2!");  // the peer closed early: what came is the text
      return kDone;
    }
    if (n < 0) {
      qDebug("read over, len=%d", static_cast<int>(n));
      return Failed();
    }
    m_need -= static_cast<int>(n);
    m_offset += static_cast<int>(n);
    return kProgress;
  }

  Step Failed() {
    const int error = errno;
    tracelog(4, kModule, "CommonSocketServer::ReadFromClient read failed: %s(errno: %d)",
             std::strerror(error), error);
    return kRefused;
  }

  char* m_text;
  std::unique_ptr<char[]> m_owned;
  int m_need = -1;  // payload bytes still to read; -1 before the header
  int m_offset = 0;
};

// One accepted connection of the serve thread.
struct Connection {
  Connection(int descriptor, Clock::time_point due) : fd(descriptor), deadline(due) {}
  int fd;
  Clock::time_point deadline;  // a complete frame by then, or the connection goes
  // Holds its place in the queue order: texts of later connections wait for
  // it. Given up by a connection that had sent nothing when a later one was
  // accepted: its text is queued when it is complete.
  bool holdsPlace = true;
  bool finished = false;              // the descriptor is closed
  std::unique_ptr<char[]> text;       // the text read, once finished with one
  FrameReader reader;
};

}  // namespace

// Everything the serve thread touches. The serve thread is joined before
// the state goes.
struct CommonSocketServer::State {
  std::mutex lock;                 // guards queue
  std::condition_variable queued;  // a text was appended
  std::deque<char*> queue;         // owned texts, oldest first
  std::atomic<int> count{0};       // size of queue, for GetMessageSize
  std::atomic<bool> stop{false};   // set once by the tearing-down thread

  // Owned by the thread that starts and stops the server; read by the serve
  // thread, which ends before they are closed or changed.
  int listenFd = kNoSocket;
  int wakeFd = kNoSocket;          // eventfd: written to wake the serve thread
  int frameDeadlineMs = CommonSocketServer::kFrameDeadlineMs;
  int maxConnections = CommonSocketServer::kMaxConnections;
  std::thread serveThread;

  // Serve thread only: connections in the order they were accepted; a
  // finished one stays until the texts before it are queued.
  std::list<Connection> connections;
  int openConnections = 0;

  ~State() { drain(); }

  void serve();
  void serveOnce(std::vector<pollfd>& fds, std::vector<Connection*>& polled);
  int pollTimeoutMs() const;
  void acceptAll();
  void giveUpIdlePlaces();
  void readConnection(Connection& connection);
  void finish(Connection& connection, bool withText);
  void expire();
  void queueInOrder();
  void closeAll();
  bool append(char* text);
  void drain();
  void stopThread();
};

void CommonSocketServer::State::serve() {
  qDebug("CommonSocketServer::AcceptClient Enter [%d]", listenFd);
  std::vector<pollfd> fds;
  std::vector<Connection*> polled;
  while (!stop.load()) {
    try {
      serveOnce(fds, polled);
    } catch (const std::exception& e) {
      qDebug("error = %d", kServeLoopError);
      tracelog(4, kModule, "CommonSocketServer::AcceptClient failed: %s", e.what());
      std::this_thread::sleep_for(kRetryPause);
    }
  }
  closeAll();
  qDebug("CommonSocketServer::AcceptClient Leave [%d]", listenFd);
}

void CommonSocketServer::State::serveOnce(std::vector<pollfd>& fds,
                                          std::vector<Connection*>& polled) {
  fds.clear();
  polled.clear();
  fds.push_back(pollfd{wakeFd, POLLIN, 0});
  fds.push_back(pollfd{listenFd, POLLIN, 0});
  for (Connection& connection : connections) {
    if (connection.finished) continue;
    fds.push_back(pollfd{connection.fd, POLLIN, 0});
    polled.push_back(&connection);
  }
  int ready = ::poll(fds.data(), fds.size(), pollTimeoutMs());
  if (ready < 0 && errno != EINTR) std::this_thread::sleep_for(kRetryPause);
  if (ready <= 0 || stop.load()) {
    expire();
    queueInOrder();
    return;
  }
  // What the open connections bring first: a connection that has sent its
  // bytes before a later one arrived is then seen to have started.
  for (size_t i = 0; i < polled.size(); ++i) {
    if (fds[i + 2].revents != 0) readConnection(*polled[i]);
  }
  if (fds[1].revents != 0) acceptAll();
  expire();
  queueInOrder();
}

int CommonSocketServer::State::pollTimeoutMs() const {
  bool any = false;
  Clock::time_point earliest{};
  for (const Connection& connection : connections) {
    if (connection.finished) continue;
    if (!any || connection.deadline < earliest) earliest = connection.deadline;
    any = true;
  }
  if (!any) return -1;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(earliest - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count() + 1, 0));
}

void CommonSocketServer::State::acceptAll() {
  for (int taken = 0; taken < kAcceptsPerRound && !stop.load(); ++taken) {
    int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
      if (errno == EINTR) continue;
      if (!wouldBlock(errno)) std::this_thread::sleep_for(kRetryPause);
      return;
    }
    if (openConnections >= maxConnections) {
      tracelog(4, kModule,
               "CommonSocketServer::AcceptClient [%d] connections open, a new one is closed",
               openConnections);
      ::close(fd);
      continue;
    }
    giveUpIdlePlaces();
    connections.emplace_back(fd, Clock::now() + std::chrono::milliseconds(frameDeadlineMs));
    ++openConnections;
    // A peer writes right after connecting: its frame is usually there
    // already, and the connection is done before the next one is taken.
    readConnection(connections.back());
  }
}

void CommonSocketServer::State::giveUpIdlePlaces() {
  for (Connection& connection : connections) {
    if (connection.finished || !connection.holdsPlace || connection.reader.Started()) continue;
    int pending = 0;
    if (::ioctl(connection.fd, FIONREAD, &pending) == 0 && pending == 0)
      connection.holdsPlace = false;
  }
}

void CommonSocketServer::State::readConnection(Connection& connection) {
  FrameReader::Step step;
  try {
    do {
      step = connection.reader.Read(connection.fd);
    } while (step == FrameReader::kProgress);
  } catch (const std::bad_alloc&) {
    tracelog(4, kModule, "CommonSocketServer::ReadFromClient no memory for a text, dropped");
    step = FrameReader::kRefused;
  }
  if (step != FrameReader::kWaiting) finish(connection, step == FrameReader::kDone);
}

void CommonSocketServer::State::finish(Connection& connection, bool withText) {
  if (withText) {
    connection.text.reset(connection.reader.TakeText());
    const char* text = connection.text.get();
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    if (transport::kRawWireDump) {
      qDebug("Thread len=%d data = %s [%d %d %d %d] ", static_cast<int>(std::strlen(text)), text,
             bytes[0], bytes[1], bytes[2], bytes[3]);
    } else {
      qDebug("Thread len=%d data = [%d %d %d %d] ", static_cast<int>(std::strlen(text)), bytes[0],
             bytes[1], bytes[2], bytes[3]);
    }
  }
  ::close(connection.fd);
  connection.fd = kNoSocket;
  connection.finished = true;
  --openConnections;
  if (!connection.holdsPlace) {
    // It takes its place now, behind every connection accepted so far.
    connection.holdsPlace = true;
    for (auto it = connections.begin(); it != connections.end(); ++it) {
      if (&*it == &connection) {
        connections.splice(connections.end(), connections, it);
        break;
      }
    }
  }
}

void CommonSocketServer::State::expire() {
  const Clock::time_point now = Clock::now();
  for (Connection& connection : connections) {
    if (connection.finished || connection.deadline > now) continue;
    tracelog(3, kModule,
             "CommonSocketServer::ReadFromClient no complete frame within [%d] ms, connection "
             "closed",
             frameDeadlineMs);
    finish(connection, false);
  }
}

void CommonSocketServer::State::queueInOrder() {
  for (auto it = connections.begin(); it != connections.end();) {
    if (it->finished) {
      char* text = it->text.release();
      if (text != nullptr && !append(text)) delete[] text;
      it = connections.erase(it);
    } else if (it->holdsPlace) {
      return;  // later texts wait for this one
    } else {
      ++it;
    }
  }
}

void CommonSocketServer::State::closeAll() {
  for (Connection& connection : connections) {
    if (!connection.finished) ::close(connection.fd);
  }
  connections.clear();
  openConnections = 0;
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

void CommonSocketServer::State::stopThread() {
  {
    std::lock_guard<std::mutex> guard(lock);
    stop.store(true);
  }
  queued.notify_all();  // a waiting consumer returns at once
  if (wakeFd != kNoSocket) {
    const uint64_t one = 1;
    while (::write(wakeFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
  }
  if (serveThread.joinable()) serveThread.join();
}

CommonSocketServer::CommonSocketServer() : m_state(new State) {}

CommonSocketServer::~CommonSocketServer() {
  tracelog(2, kModule, "~CommonSocketServer() call");
  m_state->stopThread();
  m_state->drain();
  CloseServer();
}

void CommonSocketServer::SetLimits(int frameDeadlineMs, int maxConnections) {
  m_state->frameDeadlineMs = frameDeadlineMs;
  m_state->maxConnections = maxConnections;
}

int CommonSocketServer::InitSocketServer(int port) {
  State& state = *m_state;
  if (state.listenFd != kNoSocket || state.stop.load()) {
    tracelog(3, kModule, "CommonSocketServer::InitSocketServer port=[%d] refused: %s", port,
             state.stop.load() ? "server stopped" : "already listening");
    return 0;
  }

  const char* failure = nullptr;
  int wake = kNoSocket;
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
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
      } else if ((wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) < 0) {
        failure = "CommonSocketServer::InitSocketServer wake event error: %s(errno: %d)\n";
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
  state.listenFd = fd;
  state.wakeFd = wake;
  try {
    state.serveThread = std::thread([&state] { state.serve(); });
  } catch (const std::exception& e) {
    tracelog(4, kModule, "CommonSocketServer::InitSocketServer serve thread failed: %s", e.what());
    ::close(fd);
    ::close(wake);
    state.listenFd = kNoSocket;
    state.wakeFd = kNoSocket;
    return 0;
  }
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
  state.queued.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                        [&] { return !state.queue.empty() || state.stop.load(); });
  return state.queue.empty() ? 0 : 1;
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
  FrameReader reader(static_cast<char*>(buf));
  FrameReader::Step step;
  do {
    step = reader.Read(fd);
  } while (step == FrameReader::kProgress && !m_state->stop.load());
  return step == FrameReader::kDone || step == FrameReader::kProgress ? 1 : 0;
}

int CommonSocketServer::CloseClient(int fd) {
  if (fd > 0) ::close(fd);
  return 1;
}

int CommonSocketServer::CloseServer() {
  State& state = *m_state;
  if (state.serveThread.joinable()) state.stopThread();
  for (int* fd : {&state.listenFd, &state.wakeFd}) {
    if (*fd != kNoSocket) ::close(*fd);
    *fd = kNoSocket;
  }
  return 1;
}

void CommonSocketServer::DestoryServer() {
  tracelog(2, kModule, "DestoryServer start");
  m_state->stopThread();
  m_state->drain();
  CloseServer();
  tracelog(2, kModule, "DestoryServer end");
}
