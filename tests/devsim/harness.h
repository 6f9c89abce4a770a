// A simulator started in-process, a raw request sender and a raw reply
// catcher: the tests talk to the simulator over real loopback sockets, as
// the service provider does, without the service provider.
#ifndef TESTS_DEVSIM_HARNESS_H
#define TESTS_DEVSIM_HARNESS_H

#include <json/json.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "devsim/simulator.h"

namespace devsimtest {

// Listens on a free port and keeps the bytes of every connection.
class Catcher {
 public:
  Catcher();
  ~Catcher();
  Catcher(const Catcher&) = delete;
  Catcher& operator=(const Catcher&) = delete;

  int port() const { return m_port; }
  // Waits until count connections have ended; false after timeoutMs.
  bool WaitFor(size_t count, int timeoutMs = 5000) const;
  std::vector<std::string> raw() const;
  size_t count() const;
  // The payload of frame i, checked to be a sound frame, parsed as JSON.
  Json::Value json(size_t i) const;

 private:
  void Run();
  int m_fd = -1;
  int m_port = 0;
  mutable std::mutex m_lock;  // guards m_frames
  mutable std::condition_variable m_arrived;
  std::vector<std::string> m_frames;
  std::thread m_thread;
};

// Sends text to 127.0.0.1:port as one request (no header, closed after).
bool SendRaw(int port, const std::string& text);

// A request as the bridge renders it ("lpDataBuffer" null for an execute
// or get-info of a class code).
Json::Value MakeRequest(int kind, int replyPort, long requestID, long code = 0, int lType = 2,
                        int hService = 1);
std::string Render(const Json::Value& json);
// The "lpWfsResult" of a reply or event envelope.
const Json::Value& Result(const Json::Value& envelope);
// An event of service with the built-in payload.
devsim::EventOrder Order(const std::string& service, int kind, unsigned long id);

// A simulator with a card reader "CardReader" and a PIN pad "Pin" on free
// ports, logging into lines.
class Harness {
 public:
  explicit Harness(bool rawLog = false);
  ~Harness();

  devsim::Simulator& sim() { return *m_sim; }
  int port(const std::string& service = "CardReader") { return m_sim->Port(service); }
  // Sends json to the service and waits until the simulator has read it.
  void Send(const Json::Value& json, const std::string& service = "CardReader");
  void SendText(const std::string& text, const std::string& service = "CardReader");
  std::vector<std::string> lines() const;
  // Log lines that contain part.
  int LinesWith(const std::string& part) const;
  bool WaitForLine(const std::string& part, int timeoutMs = 5000) const;

 private:
  mutable std::mutex m_lock;  // guards m_lines
  std::vector<std::string> m_lines;
  std::unique_ptr<devsim::Simulator> m_sim;
};

}  // namespace devsimtest

#endif
