#include "rig.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "CommonSocketClient.h"
#include "corvid.h"
#include "ostrel.h"
#include "test_support.h"

namespace rig {

PeerService::PeerService() : m_thread([this] { serve(); }) {}

PeerService::~PeerService() {
  m_stop = true;
  m_thread.join();
}

void PeerService::serve() {
  std::string text;
  while (!m_stop) {
    if (!m_listener.Receive(&text, 20)) continue;
    Json::Value request = ostreltest::Parse(text);
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

std::string Completion(int msgType, int hService, unsigned long requestID, int hResult,
                       int commandCode) {
  Json::Value result(Json::objectValue);
  result["hResult"] = hResult;
  result["hService"] = hService;
  result["requestID"] = static_cast<Json::UInt>(requestID);
  result["dwCommandCode"] = commandCode;
  result["lpBuffer"] = Json::Value();
  return ostreltest::Write(ostreltest::Envelope(msgType, result, hService));
}

std::string Event(int msgType, int hService, unsigned long eventId, unsigned long requestID,
                  const Json::Value& lpBuffer) {
  Json::Value result(Json::objectValue);
  result["hResult"] = 0;
  result["hService"] = hService;
  result["requestID"] = static_cast<Json::UInt>(requestID);
  result["dwEventID"] = static_cast<Json::UInt>(eventId);
  result["lpBuffer"] = lpBuffer;
  return ostreltest::Write(ostreltest::Envelope(msgType, result, hService));
}

LPCONNECTMSG Decoded(const std::string& text) { return ostreltest::Decode(text).release(); }

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

WFSRESULT* AppWindow::expect(UINT expected) {
  UINT msg = 0;
  WFSRESULT* result = nullptr;
  EXPECT_TRUE(take(&msg, &result)) << "no message " << expected;
  EXPECT_EQ(msg, expected);
  return result;
}

bool AppWindow::quiet(int timeoutMs) {
  UINT msg = 0;
  return !take(&msg, nullptr, timeoutMs);
}

long ElapsedMs(std::chrono::steady_clock::time_point since) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now() - since)
                               .count());
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
