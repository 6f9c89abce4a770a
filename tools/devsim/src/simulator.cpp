#include "devsim/simulator.h"

#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "device_class.h"
#include "dispatcher.h"
#include "envelope.h"
#include "json_util.h"
#include "listener.h"
#include "log_mask.h"
#include "ostrel_records.h"
#include "payloads.h"
#include "request.h"
#include "scenario.h"
#include "wire.h"
#include "xfsapi.h"

namespace devsim {

namespace {

// A frame on its way out, with the log line that tells what it is.
struct Outgoing {
  int port = 0;
  OutgoingFrame frame;
  std::string what;
};

void WriteToStandardError(const std::string& line) {
  std::string text = line + "\n";
  std::fputs(text.c_str(), stderr);
}

}  // namespace

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
  // m_lock held: what an accepted request sets going.
  void TakeUpLocked(size_t service, const Request& request, std::vector<std::string>* lines);
  // m_lock held: the completion of every pending request that a cancel or
  // a time-out notice names.
  void FinishLocked(size_t service, const Request& notice, int hResult,
                    std::vector<std::string>* lines);
  // m_lock held: starts carrying out the plan of a pending request.
  void BeginLocked(uint64_t serial);
  void RunEventsBefore(uint64_t serial);
  void Complete(uint64_t serial);
  // m_lock held: the frame of one event for the device of service.
  Outgoing EventLocked(Service& service, int msgType, unsigned long id, bool hasPayload,
                       const Json::Value& payload, Json::Int64 hService, Json::Int64 requestID,
                       int port);
  Outgoing Completion(const Request& request, int hResult, const Json::Value& payload) const;
  // The frame of an envelope for port; one too long for a frame goes out
  // without its lpBuffer.
  Outgoing Framed(Json::Value envelope, int port, const std::string& what) const;
  // Sends every frame in order and logs each.
  void Send(const std::string& service, const std::vector<Outgoing>& frames);
  void Emit(const std::vector<std::string>& lines) const {
    for (const std::string& line : lines) Log(line);
  }
  Service* Find(const std::string& name);
  const Service* Find(const std::string& name) const;
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
  uint64_t m_nextSerial = 1;
  Scenario m_scenario;
  bool m_answering = true;
  bool m_listening = true;
};

Simulator::Impl::Impl(SimulatorOptions options)
    : m_rawLog(options.rawLog),
      m_sink(options.log ? options.log
                         : std::function<void(const std::string&)>(WriteToStandardError)) {
  for (const ServiceSpec& spec : options.services) {
    auto service = std::make_unique<Service>();
    service->spec = spec;
    service->family = FamilyOfClassText(spec.deviceClass);
    service->port = spec.port;
    service->device.logicalName = spec.name;
    service->device.family = service->family;
    m_services.push_back(std::move(service));
  }
}

Simulator::Impl::Service* Simulator::Impl::Find(const std::string& name) {
  for (auto& service : m_services) {
    if (service->spec.name == name) return service.get();
  }
  return nullptr;
}

const Simulator::Impl::Service* Simulator::Impl::Find(const std::string& name) const {
  for (const auto& service : m_services) {
    if (service->spec.name == name) return service.get();
  }
  return nullptr;
}

void Simulator::Impl::OnText(size_t index, const std::string& text) {
  const std::string& name = m_services[index]->spec.name;
  Json::Value json;
  std::string parseError;
  bool parsed = ParseJson(text, &json, &parseError);
  RequestReading reading;
  if (parsed) reading = ReadRequest(json, ServiceClassOf(m_services[index]->family));
  std::vector<std::string> lines;
  if (!parsed) {
    for (char& c : parseError) {
      if (c == '\n') c = ' ';
    }
    lines.push_back(name + ": refused a request that is not JSON (" + std::to_string(text.size()) +
                    " bytes): " + parseError + (m_rawLog ? ": " + text : std::string()));
  } else if (!reading.accepted) {
    lines.push_back(name + ": refused a request: " + reading.refusal);
  } else {
    const Request& request = reading.request;
    std::string label = KindName(request.kind) +
                        (request.kind == KvSP_CMD_EXECUTE || request.kind == KvSP_CMD_GETINFO
                             ? " " + std::to_string(request.code)
                             : std::string());
    Log(name + ": received " + label + " hService=" + std::to_string(request.hService) +
        " requestID=" + std::to_string(request.requestID) +
        " hWnd=" + std::to_string(request.hWnd) + ": " + Text(json));
    for (const std::string& problem : reading.problems) {
      Log(name + ": problem in " + label + " requestID=" + std::to_string(request.requestID) +
          ": " + problem);
    }
  }
  {
    // Recorded and taken up at once: whoever sees the request in Requests()
    // also sees it pending (or completed).
    std::lock_guard<std::mutex> guard(m_lock);
    m_requests.push_back(ReceivedRequest{name, text, parsed ? json : Json::Value()});
    if (reading.accepted) TakeUpLocked(index, reading.request, &lines);
  }
  m_arrived.notify_all();
  Emit(lines);
}

void Simulator::Impl::TakeUpLocked(size_t index, const Request& request,
                                   std::vector<std::string>* lines) {
  switch (request.kind) {
    case KvSP_CMD_CANCEL:
      FinishLocked(index, request, WFS_ERR_CANCELED, lines);
      return;
    case KvSP_CMD_TIMEOUT:
      FinishLocked(index, request, WFS_ERR_TIMEOUT, lines);
      return;
    case KvSP_CMD_UNLOAD_SERVICE:
      lines->push_back(m_services[index]->spec.name + ": unload service needs no reply");
      return;
    default:
      break;
  }
  Service& service = *m_services[index];
  service.seen = true;
  service.lastHService = request.hService;
  service.lastRequestID = request.requestID;
  service.lastHWnd = request.hWnd;
  if (!request.appId.empty()) service.device.appId = request.appId;
  uint64_t serial = m_nextSerial++;
  Pending& pending = m_pending[serial];
  pending.service = index;
  pending.request = request;
  pending.plan = m_scenario.PlanFor(service.spec.name, service.family, request);
  std::string who = KindName(request.kind) + " requestID=" + std::to_string(request.requestID);
  if (!pending.plan.rule.empty()) {
    lines->push_back(service.spec.name + ": " + who + " follows " + pending.plan.rule);
  }
  if (!m_answering) {
    pending.held = true;
    lines->push_back(service.spec.name + ": holding " + who + " (answering is off)");
    return;
  }
  if (pending.plan.never) lines->push_back(service.spec.name + ": " + who + " is never answered");
  BeginLocked(serial);
}

void Simulator::Impl::BeginLocked(uint64_t serial) {
  const Pending& pending = m_pending.at(serial);
  if (!pending.plan.before.empty())
    m_dispatcher.Post(0, [this, serial] { RunEventsBefore(serial); });
  if (!pending.plan.never) {
    m_dispatcher.Post(pending.plan.delayMs, [this, serial] { Complete(serial); });
  }
}

void Simulator::Impl::RunEventsBefore(uint64_t serial) {
  std::vector<Outgoing> frames;
  std::string name;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_pending.find(serial);
    if (found == m_pending.end()) return;
    Pending& pending = found->second;
    Service& service = *m_services[pending.service];
    name = service.spec.name;
    for (const EventSpec& event : pending.plan.before) {
      frames.push_back(EventLocked(service, event.msgType, event.id, event.hasPayload,
                                   event.lpBuffer, pending.request.hService,
                                   pending.request.requestID, pending.request.hWnd));
    }
  }
  Send(name, frames);
}

void Simulator::Impl::Complete(uint64_t serial) {
  std::vector<Outgoing> frames;
  std::string name;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_pending.find(serial);
    if (found == m_pending.end()) return;  // cancelled or timed out meanwhile
    Pending pending = found->second;
    m_pending.erase(found);
    Service& service = *m_services[pending.service];
    name = service.spec.name;
    const Plan& plan = pending.plan;
    int hResult = plan.hasHResult ? plan.hResult : WFS_SUCCESS;
    Json::Value payload = plan.hasPayload ? plan.lpBuffer
                          : hResult == WFS_SUCCESS
                              ? DefaultCompletionPayload(pending.request, service.device)
                              : Json::Value();
    Outgoing reply = Completion(pending.request, hResult, payload);
    ApplyCompletion(pending.request, hResult, &service.device);
    if (plan.raw.empty()) {
      frames.push_back(reply);
    } else {
      for (const RawFrameSpec& spec : plan.raw) {
        Outgoing raw;
        raw.port = pending.request.hWnd;
        raw.frame = BuildRawFrame(spec, pending.request, reply.frame.payload);
        raw.what = "raw frame for " + KindName(pending.request.kind) +
                   " requestID=" + std::to_string(pending.request.requestID) + " (" +
                   std::to_string(raw.frame.bytes.size()) + " bytes" +
                   (raw.frame.note.empty() ? std::string() : ", " + raw.frame.note) + ")" +
                   (m_rawLog ? ": " + raw.frame.payload : std::string());
        frames.push_back(raw);
      }
    }
    for (const EventSpec& event : plan.after) {
      frames.push_back(EventLocked(service, event.msgType, event.id, event.hasPayload,
                                   event.lpBuffer, pending.request.hService,
                                   pending.request.requestID, pending.request.hWnd));
    }
  }
  Send(name, frames);
}

void Simulator::Impl::FinishLocked(size_t index, const Request& notice, int hResult,
                                   std::vector<std::string>* lines) {
  std::vector<Outgoing> frames;
  const std::string& name = m_services[index]->spec.name;
  for (auto it = m_pending.begin(); it != m_pending.end();) {
    const Pending& pending = it->second;
    bool named = pending.service == index && pending.request.hService == notice.hService &&
                 (pending.request.requestID == notice.requestID ||
                  (notice.kind == KvSP_CMD_CANCEL && notice.requestID == 0));
    if (!named) {
      ++it;
      continue;
    }
    frames.push_back(Completion(pending.request, hResult, Json::Value()));
    it = m_pending.erase(it);
  }
  if (frames.empty()) {
    lines->push_back(name + ": " + KindName(notice.kind) +
                     " of requestID=" + std::to_string(notice.requestID) + ": nothing pending");
    return;
  }
  // Through the dispatcher, so that it follows what was sent before.
  m_dispatcher.Post(0, [this, name, frames] { Send(name, frames); });
}

Outgoing Simulator::Impl::Framed(Json::Value envelope, int port, const std::string& what) const {
  Outgoing out;
  out.port = port;
  out.what = what;
  std::string error;
  if (!FrameText(RenderJson(envelope), &out.frame, &error)) {
    envelope["lpWfsResult"]["lpBuffer"] = Json::Value();
    FrameText(RenderJson(envelope), &out.frame, &error);
    out.what += " (lpBuffer left out: " + error + ")";
  }
  out.what += ": " + Text(envelope);
  return out;
}

Outgoing Simulator::Impl::Completion(const Request& request, int hResult,
                                     const Json::Value& payload) const {
  return Framed(CompletionEnvelope(request, hResult, payload), request.hWnd,
                "reply " + std::to_string(CompletionTypeOf(request.kind)) + " (" +
                    KindName(request.kind) + ") hService=" + std::to_string(request.hService) +
                    " requestID=" + std::to_string(request.requestID) +
                    " hResult=" + std::to_string(hResult));
}

Outgoing Simulator::Impl::EventLocked(Service& service, int msgType, unsigned long id,
                                      bool hasPayload, const Json::Value& payload,
                                      Json::Int64 hService, Json::Int64 requestID, int port) {
  Json::Value data = hasPayload ? payload : DefaultEventPayload(msgType, id, service.device);
  ApplyEvent(msgType, id, &service.device);
  return Framed(EventEnvelope(msgType, hService, requestID, id, data), port,
                "event " + std::to_string(msgType) + " id " + std::to_string(id) + " hService=" +
                    std::to_string(hService) + " requestID=" + std::to_string(requestID));
}

void Simulator::Impl::Send(const std::string& service, const std::vector<Outgoing>& frames) {
  for (const Outgoing& out : frames) {
    std::string error;
    if (SendBytes(out.port, out.frame.bytes, &error)) {
      Log(service + ": sent to port " + std::to_string(out.port) + " " + out.what);
    } else {
      Log(service + ": could not send to port " + std::to_string(out.port) + " (" + error + ") " +
          out.what);
    }
  }
}

bool Simulator::Impl::StartListening(std::string* error) {
  for (size_t i = 0; i < m_services.size(); ++i) {
    Service& service = *m_services[i];
    int port;
    {
      std::lock_guard<std::mutex> guard(m_lock);
      port = service.port;
    }
    service.listener = std::make_unique<RequestListener>(
        [this, i](const std::string& text) { OnText(i, text); },
        [this, i](const std::string& what) { Log(m_services[i]->spec.name + ": " + what); });
    std::string why;
    if (!service.listener->Start(port, &why)) {
      *error = "service " + service.spec.name + ": " + why;
      StopListening();
      return false;
    }
    {
      std::lock_guard<std::mutex> guard(m_lock);
      service.port = service.listener->Port();
    }
    Log(service.spec.name + " (" + service.spec.deviceClass +
        ") listens on 127.0.0.1:" + std::to_string(service.listener->Port()));
  }
  return true;
}

void Simulator::Impl::StopListening() {
  for (auto& service : m_services) {
    if (service->listener) service->listener->Stop();
    service->listener.reset();
  }
}

Simulator::Simulator(SimulatorOptions options)
    : m_impl(std::make_unique<Impl>(std::move(options))) {}

Simulator::~Simulator() { Stop(); }

bool Simulator::Start(std::string* error) {
  std::lock_guard<std::mutex> control(m_impl->m_control);
  if (m_impl->m_running) return true;
  std::string why;
  if (m_impl->m_services.empty()) {
    why = "no service to serve";
  } else if (m_impl->StartListening(&why)) {
    m_impl->m_dispatcher.Start();
    m_impl->m_running = true;
    std::lock_guard<std::mutex> guard(m_impl->m_lock);
    m_impl->m_listening = true;
    return true;
  }
  if (error != nullptr) *error = why;
  return false;
}

void Simulator::Stop() {
  std::lock_guard<std::mutex> control(m_impl->m_control);
  if (!m_impl->m_running) return;
  m_impl->StopListening();
  m_impl->m_dispatcher.Stop();
  m_impl->m_running = false;
  size_t left;
  {
    std::lock_guard<std::mutex> guard(m_impl->m_lock);
    left = m_impl->m_pending.size();
    m_impl->m_pending.clear();
  }
  if (left > 0) m_impl->Log("stopped with " + std::to_string(left) + " requests unanswered");
}

int Simulator::Port(const std::string& serviceName) const {
  std::lock_guard<std::mutex> guard(m_impl->m_lock);
  const Impl::Service* service = m_impl->Find(serviceName);
  return service != nullptr ? service->port : -1;
}

std::vector<ServiceSpec> Simulator::Services() const {
  std::lock_guard<std::mutex> guard(m_impl->m_lock);
  std::vector<ServiceSpec> services;
  for (const auto& service : m_impl->m_services) {
    ServiceSpec spec = service->spec;
    spec.port = service->port;
    services.push_back(spec);
  }
  return services;
}

bool Simulator::LoadScenarioFile(const std::string& path, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  std::string why;
  if (!file) {
    why = "cannot be read";
  } else {
    std::ostringstream text;
    text << file.rdbuf();
    if (LoadScenarioText(text.str(), &why)) {
      m_impl->Log("scenario " + path + " loaded");
      return true;
    }
  }
  if (error != nullptr) *error = path + ": " + why;
  return false;
}

bool Simulator::LoadScenarioText(const std::string& json, std::string* error) {
  Json::Value root;
  std::string why;
  if (!ParseJson(json, &root, &why)) {
    for (char& c : why) {
      if (c == '\n') c = ' ';
    }
    if (error != nullptr) *error = "not JSON: " + why;
    return false;
  }
  Scenario scenario;
  if (!scenario.Parse(root, &why)) {
    if (error != nullptr) *error = why;
    return false;
  }
  std::lock_guard<std::mutex> guard(m_impl->m_lock);
  m_impl->m_scenario = scenario;
  return true;
}

void Simulator::ClearScenario() {
  std::lock_guard<std::mutex> guard(m_impl->m_lock);
  m_impl->m_scenario.Clear();
}

bool Simulator::SendEvent(const EventOrder& order, std::string* error) {
  std::string why;
  int msgType = EventTypeFromJson(Json::Value(order.kind));
  std::vector<Outgoing> frames;
  {
    std::lock_guard<std::mutex> guard(m_impl->m_lock);
    Impl::Service* service = m_impl->Find(order.service);
    if (service == nullptr) {
      why = "no service \"" + order.service + "\"";
    } else if (msgType == 0) {
      why = "event kind " + std::to_string(order.kind) + " is not 1044 to 1047";
    } else if (order.hWnd == 0 && !service->seen) {
      why = "no port to send to: " + order.service + " has had no request yet";
    } else {
      Json::Int64 requestID = order.requestID != 0 ? order.requestID : service->lastRequestID;
      if (order.requestID == 0 && msgType == WFS_EXECUTE_EVENT) {
        for (const auto& entry : m_impl->m_pending) {
          const Impl::Pending& pending = entry.second;
          if (m_impl->m_services[pending.service].get() == service &&
              pending.request.kind == KvSP_CMD_EXECUTE) {
            requestID = pending.request.requestID;
          }
        }
      }
      frames.push_back(
          m_impl->EventLocked(*service, msgType, order.id, !order.lpBuffer.isNull(), order.lpBuffer,
                              order.hService != 0 ? order.hService : service->lastHService,
                              requestID, order.hWnd != 0 ? order.hWnd : service->lastHWnd));
    }
  }
  if (frames.empty()) {
    if (error != nullptr) *error = why;
    m_impl->Log("event not sent: " + why);
    return false;
  }
  const Outgoing& out = frames.front();
  if (!SendBytes(out.port, out.frame.bytes, &why)) {
    m_impl->Log(order.service + ": could not send to port " + std::to_string(out.port) + " (" +
                why + ") " + out.what);
    if (error != nullptr) *error = why;
    return false;
  }
  m_impl->Log(order.service + ": sent to port " + std::to_string(out.port) + " " + out.what);
  return true;
}

void Simulator::SetAnswering(bool on) {
  size_t resumed = 0;
  {
    std::lock_guard<std::mutex> guard(m_impl->m_lock);
    if (m_impl->m_answering == on) return;
    m_impl->m_answering = on;
    if (on) {
      for (auto& entry : m_impl->m_pending) {
        if (!entry.second.held) continue;
        entry.second.held = false;
        m_impl->BeginLocked(entry.first);
        ++resumed;
      }
    }
  }
  m_impl->Log(on ? "answering again; " + std::to_string(resumed) + " held requests go ahead"
                 : "answering is off: requests are held");
}

void Simulator::SetListening(bool on) {
  std::lock_guard<std::mutex> control(m_impl->m_control);
  {
    std::lock_guard<std::mutex> guard(m_impl->m_lock);
    if (m_impl->m_listening == on) return;
    m_impl->m_listening = on;
  }
  if (!m_impl->m_running) return;
  if (!on) {
    m_impl->StopListening();
    m_impl->Log("listening is off: every port is closed");
    return;
  }
  std::string error;
  if (!m_impl->StartListening(&error)) {
    m_impl->Log("cannot listen again: " + error);
    std::lock_guard<std::mutex> guard(m_impl->m_lock);
    m_impl->m_listening = false;
  }
}

bool Simulator::Answering() const {
  std::lock_guard<std::mutex> guard(m_impl->m_lock);
  return m_impl->m_answering;
}

bool Simulator::Listening() const {
  std::lock_guard<std::mutex> guard(m_impl->m_lock);
  return m_impl->m_listening;
}

std::vector<ReceivedRequest> Simulator::Requests() const {
  std::lock_guard<std::mutex> guard(m_impl->m_lock);
  return m_impl->m_requests;
}

bool Simulator::WaitForRequests(size_t count, int timeoutMs) const {
  std::unique_lock<std::mutex> guard(m_impl->m_lock);
  return m_impl->m_arrived.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                    [&] { return m_impl->m_requests.size() >= count; });
}

size_t Simulator::PendingCount() const {
  std::lock_guard<std::mutex> guard(m_impl->m_lock);
  return m_impl->m_pending.size();
}

}  // namespace devsim
