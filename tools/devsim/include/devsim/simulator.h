// A device service process for the service provider to talk to: it listens
// on the port of every logical service, reads one JSON request per
// connection, and answers with framed replies and events on the port that
// the request names as "hWnd". Built-in replies can be overridden by a
// scenario; events can be sent at any time.
#ifndef DEVSIM_SIMULATOR_H
#define DEVSIM_SIMULATOR_H

#include <json/json.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devsim/services.h"

namespace devsim {

struct SimulatorOptions {
  std::vector<ServiceSpec> services;
  bool rawLog = false;  // true: log card and PIN data unmasked
  // A receipt or a card presented to the customer is taken this long after
  // (media-taken or media-removed event); 0: only when the console says so.
  int takenAfterMs = 3000;
  // One line per call; empty = standard error. Called from the simulator's
  // threads (and the callers of its members), possibly from several at once,
  // never while the simulator holds a lock of its own: it may ask the
  // simulator (Requests, PendingCount, Port, ...) but not Stop it or switch
  // its listening, which wait for the very threads that log.
  std::function<void(const std::string&)> log;
};

// A request as received, parsed (request is JSON null when the text was not JSON).
struct ReceivedRequest {
  std::string service;  // logical service name the connection came in on
  std::string text;     // the raw text
  Json::Value request;  // parsed request
};

// An unsolicited event to send now.
struct EventOrder {
  std::string service;   // which service sends it
  int kind = 0;          // 1044 execute, 1045 service, 1046 user, 1047 system event
  unsigned long id = 0;  // dwEventID, e.g. 203 (card inserted), 401 (PIN key)
  Json::Value lpBuffer;  // payload; JSON null = the built-in default for that id
  // The request the event belongs to. 0: for an execute event the newest
  // execute of the service still waiting for its completion, else the last
  // request seen; other events carry 0.
  long requestID = 0;
  int hWnd = 0;      // port to send to; 0 = the reply port of the last request seen
  int hService = 0;  // 0 = the service handle of the last request seen
};

class Simulator {
 public:
  explicit Simulator(SimulatorOptions options);
  ~Simulator();  // stops everything; joins every thread
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  bool Start(std::string* error);  // binds every service's port (127.0.0.1)
  void Stop();
  int Port(const std::string& serviceName) const;  // actual port, -1 unknown
  // The services served, with their actual ports once started.
  std::vector<ServiceSpec> Services() const;

  bool LoadScenarioFile(const std::string& path, std::string* error);
  bool LoadScenarioText(const std::string& json, std::string* error);
  void ClearScenario();

  // Sends the event at once from the calling thread; false with *error when
  // it cannot be built or written.
  bool SendEvent(const EventOrder& order, std::string* error);
  void SetAnswering(bool on);  // off: requests are held unanswered; on: held ones are answered
  void SetListening(bool on);  // off: ports closed (a dead device service); on: reopened
  bool Answering() const;
  bool Listening() const;

  std::vector<ReceivedRequest> Requests() const;  // every request so far, in order
  // Waits until at least count requests have arrived (true) or timeoutMs passed (false).
  bool WaitForRequests(size_t count, int timeoutMs) const;
  // Requests received but not completed yet (held, delayed or never answered).
  size_t PendingCount() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> m_impl;
};

// Command-line / test control: "card", "key K", "take", "ink N", "hwerror", "event ...",
// "answer on|off", "listen on|off", "scenario FILE", "status", "help", "quit". Returns
// the reply text.
class ControlConsole {
 public:
  explicit ControlConsole(Simulator& sim);
  std::string Execute(const std::string& line);
  bool QuitRequested() const;
  // What "help" answers.
  static std::string HelpText();

 private:
  Simulator& m_sim;
  bool m_quit = false;
};

}  // namespace devsim

#endif
