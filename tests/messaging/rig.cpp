#include "rig.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "CommonSocketClient.h"
#include "corvid.h"
#include "ostrel.h"
#include "test_support.h"

namespace rig {

PeerService::PeerService() {
  m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  int yes = 1;
  ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::listen(m_listener, 64) == 0) {
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
  }
  m_thread = std::thread([this] { serve(); });
}

PeerService::~PeerService() {
  m_stop = true;
  m_thread.join();
  ::close(m_listener);
}

void PeerService::serve() {
  while (!m_stop) {
    pollfd waiting{m_listener, POLLIN, 0};
    if (::poll(&waiting, 1, 20) <= 0) continue;
    int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::string text;
    char chunk[4096];
    for (;;) {
      pollfd readable{fd, POLLIN, 0};
      if (::poll(&readable, 1, 2000) <= 0) break;
      ssize_t n = ::read(fd, chunk, sizeof chunk);
      if (n <= 0) break;
      text.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value request;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &request, &errors)) continue;
    {
      std::lock_guard<std::mutex> guard(m_lock);
      m_requests.push_back(request);
    }
    m_arrived.notify_all();
  }
}

std::vector<Json::Value> PeerService::requests() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_requests;
}

int PeerService::countRequests(int nCmdType) const {
  std::lock_guard<std::mutex> guard(m_lock);
  int count = 0;
  for (const Json::Value& request : m_requests)
    if (request["nCmdType"].asInt() == nCmdType) ++count;
  return count;
}

bool PeerService::waitForRequest(int nCmdType, Json::Value* request, int timeoutMs, int nth) const {
  std::unique_lock<std::mutex> guard(m_lock);
  return m_arrived.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] {
    int seen = 0;
    for (const Json::Value& candidate : m_requests) {
      if (candidate["nCmdType"].asInt() != nCmdType) continue;
      if (seen++ == nth) {
        if (request != nullptr) *request = candidate;
        return true;
      }
    }
    return false;
  });
}

bool SendText(long port, const std::string& text) {
  CommonSocketClient client;
  return client.PostTextMessage(port, text.data(), static_cast<int>(text.size())) == 1;
}

namespace {

std::string Write(const Json::Value& value) {
  Json::FastWriter writer;
  return writer.write(value);
}

Json::Value Envelope(int msgType, int hService, const Json::Value& result) {
  Json::Value root(Json::objectValue);
  root["dwMsgType"] = msgType;
  root["hService"] = hService;
  root["lpWfsResult"] = result;
  return root;
}

}  // namespace

std::string Completion(int msgType, int hService, unsigned long requestID, int hResult,
                       int commandCode) {
  Json::Value result(Json::objectValue);
  result["hResult"] = hResult;
  result["hService"] = hService;
  result["requestID"] = static_cast<Json::UInt>(requestID);
  result["dwCommandCode"] = commandCode;
  result["lpBuffer"] = Json::Value();
  return Write(Envelope(msgType, hService, result));
}

std::string Event(int msgType, int hService, unsigned long eventId, unsigned long requestID,
                  const Json::Value& lpBuffer) {
  Json::Value result(Json::objectValue);
  result["hResult"] = 0;
  result["hService"] = hService;
  result["requestID"] = static_cast<Json::UInt>(requestID);
  result["dwEventID"] = static_cast<Json::UInt>(eventId);
  result["lpBuffer"] = lpBuffer;
  return Write(Envelope(msgType, hService, result));
}

LPCONNECTMSG Decoded(const std::string& text) {
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  return Ostrel::FormatResData(copy.data());
}

AppWindow::AppWindow() : m_hwnd(CorvidCreateWindow()) {}

AppWindow::~AppWindow() {
  release();
  CorvidDestroyWindow(m_hwnd);
}

void AppWindow::release() {
  if (m_last != nullptr) WFMFreeBuffer(m_last);
  m_last = nullptr;
}

bool AppWindow::take(UINT* msg, WFSRESULT** result, int timeoutMs) {
  release();
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  UINT taken = 0;
  if (CorvidGetMessage(m_hwnd, &taken, &wParam, &lParam, static_cast<DWORD>(timeoutMs)) != WFS_SUCCESS)
    return false;
  m_last = reinterpret_cast<WFSRESULT*>(static_cast<intptr_t>(lParam));
  if (msg != nullptr) *msg = taken;
  if (result != nullptr) *result = m_last;
  return true;
}

bool AppWindow::quiet(int timeoutMs) {
  UINT msg = 0;
  return !take(&msg, nullptr, timeoutMs);
}

int ThreadCount() {
  int count = 0;
  DIR* tasks = ::opendir("/proc/self/task");
  if (tasks == nullptr) return -1;
  while (dirent* entry = ::readdir(tasks))
    if (entry->d_name[0] != '.') ++count;
  ::closedir(tasks);
  return count;
}

bool ThreadsBackTo(int count, int timeoutMs) {
  return testsupport::WaitUntil([&] { return ThreadCount() <= count; }, timeoutMs);
}

namespace {

// Socket inodes of this process.
std::set<std::string> OwnSockets() {
  std::set<std::string> inodes;
  DIR* fds = ::opendir("/proc/self/fd");
  if (fds == nullptr) return inodes;
  while (dirent* entry = ::readdir(fds)) {
    if (entry->d_name[0] == '.') continue;
    char target[256] = {};
    std::string path = std::string("/proc/self/fd/") + entry->d_name;
    ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0) continue;
    std::string link(target, static_cast<size_t>(n));
    if (link.rfind("socket:[", 0) == 0) inodes.insert(link.substr(8, link.size() - 9));
  }
  ::closedir(fds);
  return inodes;
}

}  // namespace

int ListeningSockets() {
  const std::set<std::string> own = OwnSockets();
  std::ifstream table("/proc/net/tcp");
  std::string line;
  std::getline(table, line);  // header
  int count = 0;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
    fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >>
        inode;
    if (state == "0A" && own.count(inode) != 0) ++count;  // TCP_LISTEN
  }
  return count;
}

}  // namespace rig
