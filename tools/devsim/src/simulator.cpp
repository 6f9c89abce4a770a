#include "devsim/simulator.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "ostrel_records.h"
#include "simulator_impl.h"
#include "xfsapi.h"

namespace devsim {

namespace {

void WriteToStandardError(const std::string& line) {
  std::string text = line + "\n";
  std::fputs(text.c_str(), stderr);
}

}  // namespace

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
    service->device.takenAfterMs = options.takenAfterMs;
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

std::string Simulator::Impl::ServicesFault() const {
  if (m_services.empty()) return "no service to serve";
  for (size_t i = 0; i < m_services.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      const std::string& name = m_services[i]->spec.name;
      if (m_services[j]->spec.name == name) return "service " + name + " is given twice";
    }
  }
  return std::string();
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
        ") listens on 127.0.0.1:" + std::to_string(service.listener->Port()) +
        (service.family == Family::Unknown
             ? "; the service provider knows no class \"" + service.spec.deviceClass + "\""
             : std::string()));
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
  std::string why = m_impl->ServicesFault();
  if (!why.empty()) {
    if (error != nullptr) *error = why;
    return false;
  }
  // The dispatcher first: a request may arrive as soon as a port is open.
  m_impl->m_dispatcher.Start();
  if (!m_impl->StartListening(&why)) {
    m_impl->m_dispatcher.Stop();
    if (error != nullptr) *error = why;
    return false;
  }
  m_impl->m_running = true;
  std::lock_guard<std::mutex> guard(m_impl->m_lock);
  m_impl->m_listening = true;
  return true;
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
      Json::Int64 requestID = order.requestID;
      if (requestID == 0 && msgType == WFS_EXECUTE_EVENT) {
        requestID = service->lastRequestID;
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
  bool sent = SendBytes(out.port, out.frame.bytes, &why);
  m_impl->Log(order.service +
              (sent ? ": sent to port " + std::to_string(out.port) + " "
                    : ": could not send to port " + std::to_string(out.port) + " (" + why + ") ") +
              out.what);
  // A key that ends an entry has been pressed, whether or not its event
  // could be told.
  m_impl->CompleteEndedEntries();
  if (!sent && error != nullptr) *error = why;
  return sent;
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
