// The simulator's state and the steps shared by its two halves: the
// public members with the control of listeners and dispatcher
// (simulator.cpp) and the answering of requests (answering.cpp).
#ifndef DEVSIM_SIMULATOR_IMPL_H
#define DEVSIM_SIMULATOR_IMPL_H

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device_class.h"
#include "devsim/simulator.h"
#include "dispatcher.h"
#include "json_util.h"
#include "listener.h"
#include "log_mask.h"
#include "payloads.h"
#include "request.h"
#include "scenario.h"
#include "wire.h"

namespace devsim {

// A frame on its way out, with the log line that tells what it is.
struct Outgoing {
  int port = 0;
  OutgoingFrame frame;
  std::string what;
};

// Lock order: m_control before m_lock; the dispatcher's queue lock is taken
// under either. No lock is held while the log sink runs or a frame is sent.
struct Simulator::Impl {
  struct Service {
    ServiceSpec spec;                           // fixed
    Family family;                              // fixed
    std::unique_ptr<RequestListener> listener;  // m_control
    int port = 0;                               // m_lock: the port bound last
    DeviceState device;                         // m_lock
    // The last request seen (m_lock): where events go by default.
    bool seen = false;
    Json::Int64 lastHService = 0;
    Json::Int64 lastRequestID = 0;
    int lastHWnd = 0;
  };

  // A request that waits for its completion.
  struct Pending {
    size_t service = 0;
    Request request;
    Plan plan;          // decided when the request arrived
    bool held = false;  // arrived while answering was off
  };

  explicit Impl(SimulatorOptions options);

  void Log(const std::string& line) const { m_sink(line); }
  std::string Text(const Json::Value& json) const {
    return m_rawLog ? RenderJson(json) : MaskedText(json);
  }

  void OnText(size_t service, const std::string& text);
  // m_lock held: records what an accepted request sets going; the serial
  // of the pending request whose plan is to begin, 0 for none.
  uint64_t TakeUpLocked(size_t service, const Request& request, std::vector<std::string>* lines);
  // m_lock held: the completion of every pending request that a cancel or
  // a time-out notice names.
  void FinishLocked(size_t service, const Request& notice, int hResult,
                    std::vector<std::string>* lines);
  // m_lock held: starts carrying out the plan of a pending request.
  void BeginLocked(uint64_t serial);
  // Sends the event of the plan of a pending request numbered index.
  void RunEventBefore(uint64_t serial, size_t index);
  void Complete(uint64_t serial);
  // An event the device put off, sent for request when it is still due.
  void SendIfStillDue(size_t service, const EventSpec& event, const Request& request);
  // m_lock held: the frame of one event for the device of service.
  Outgoing EventLocked(Service& service, int msgType, unsigned long id, bool hasPayload,
                       const Json::Value& payload, Json::Int64 hService, Json::Int64 requestID,
                       int port);
  // m_lock held: the frame of an event of a plan or an answer, for request.
  Outgoing EventForLocked(Service& service, const EventSpec& event, const Request& request);
  // m_lock held: the request of service that waits for the keys of the
  // entry of command (a plan that is never answered) is to complete.
  void NoteEntryEndLocked(const Service& service, long command);
  // Completes the requests whose key entries have ended; called after the
  // key that ended them went out.
  void CompleteEndedEntries();
  Outgoing Completion(const Request& request, int hResult, const Json::Value& payload) const;
  // The frame of an envelope for port; one too long for a frame goes out
  // without its lpBuffer.
  Outgoing Framed(Json::Value envelope, int port, const std::string& what) const;
  // Sends every frame in order and logs each.
  void Send(const std::string& service, const std::vector<Outgoing>& frames);
  Service* Find(const std::string& name);
  const Service* Find(const std::string& name) const;
  // Why the services cannot be served; empty when they can.
  std::string ServicesFault() const;
  bool StartListening(std::string* error);
  void StopListening();

  const bool m_rawLog;
  const std::function<void(const std::string&)> m_sink;
  std::vector<std::unique_ptr<Service>> m_services;  // the vector is fixed

  mutable std::mutex m_control;  // Start, Stop, SetListening and the listeners
  bool m_running = false;        // m_control
  Dispatcher m_dispatcher;

  mutable std::mutex m_lock;  // everything below, and the dynamic fields of m_services
  mutable std::condition_variable m_arrived;
  std::vector<ReceivedRequest> m_requests;
  std::map<uint64_t, Pending> m_pending;  // in arrival order
  std::vector<uint64_t> m_endedEntries;   // pending requests whose key entries ended
  uint64_t m_nextSerial = 1;
  Scenario m_scenario;
  bool m_answering = true;
  bool m_listening = true;
};

}  // namespace devsim

#endif
