// Pieces shared by the messaging tests: a stand-in for the device service,
// reply and event texts, an application window, and the process's threads.
#ifndef TESTS_MESSAGING_RIG_H
#define TESTS_MESSAGING_RIG_H

#include <json/json.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ostrel_test_support.h"
#include "xfsapi.h"

namespace rig {

constexpr int kHang = 20000;  // ms; reached only when something hangs

using ostreltest::Field;

// The device service: takes every request that arrives, at any time, and
// keeps it parsed.
class PeerService {
 public:
  PeerService();
  ~PeerService();
  PeerService(const PeerService&) = delete;
  PeerService& operator=(const PeerService&) = delete;

  int port() const { return m_listener.port(); }
  std::vector<Json::Value> requests() const;
  // Waits for a request of kind nCmdType (the n-th one, from 0).
  bool waitForRequest(int nCmdType, Json::Value* request, int timeoutMs = kHang, int nth = 0) const;
  int countRequests(int nCmdType) const;

 private:
  void serve();

  ostreltest::RequestListener m_listener;
  std::atomic<bool> m_stop{false};
  mutable std::mutex m_lock;
  mutable std::condition_variable m_arrived;
  std::vector<Json::Value> m_requests;  // under m_lock
  std::thread m_thread;                 // last: it starts with the object
};

// A framed text to 127.0.0.1:port; true when written.
bool SendText(long port, const std::string& text);

// Reply and event texts of the device service.
std::string Completion(int msgType, int hService, unsigned long requestID, int hResult,
                       int commandCode = 0);
std::string Event(int msgType, int hService, unsigned long eventId, unsigned long requestID = 0,
                  const Json::Value& lpBuffer = Json::Value());

// A decoded message made as the message window would hand it over.
LPCONNECTMSG Decoded(const std::string& text);

// An application window made with CorvidCreateWindow, destroyed with the
// messages still queued.
class AppWindow {
 public:
  AppWindow();
  ~AppWindow();
  AppWindow(const AppWindow&) = delete;
  AppWindow& operator=(const AppWindow&) = delete;

  HWND hwnd() const { return m_hwnd; }
  // Takes the next message within timeoutMs; the caller owns *result (freed
  // by the next call or the destructor).
  bool take(UINT* msg, WFSRESULT** result, int timeoutMs = kHang);
  // Takes the next message, which must be `expected`; its result, or NULL.
  WFSRESULT* expect(UINT expected);
  // True when no message arrives within timeoutMs.
  bool quiet(int timeoutMs);
  // Frees the last message taken.
  void release();

 private:
  HWND m_hwnd;
  WFSRESULT* m_last = nullptr;
};

// Milliseconds since `since`.
long ElapsedMs(std::chrono::steady_clock::time_point since);

// Threads of this process (/proc/self/task).
int ThreadCount();
// Waits until the thread count is at most `count`.
bool ThreadsBackTo(int count, int timeoutMs = kHang);
// Sockets of this process that listen on a TCP port of 127.0.0.1 or any address.
int ListeningSockets();

}  // namespace rig

#endif
