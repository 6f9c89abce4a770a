// Answering requests: reading them, planning and sending their
// completions and events, cancel and time-out.
#include <algorithm>
#include <string>
#include <vector>

#include "envelope.h"
#include "ostrel_records.h"
#include "simulator_impl.h"
#include "xfsapi.h"

namespace devsim {

namespace {

// The parser quotes pieces of the text (a key, a bad number) that may be
// card data: they stay out of the log.
std::string WithoutQuotes(const std::string& error) {
  std::string kept;
  bool quoted = false;
  for (char c : error) {
    if (c == '\'') {
      kept += quoted ? "...'" : "'";
      quoted = !quoted;
    } else if (!quoted) {
      kept += c;
    }
  }
  return kept;
}

// Events and the completion each travel on a connection of their own, and
// the service provider takes them as they come: a pause after the last
// event before the completion keeps the completion behind it.
constexpr int kCompletionAfterEventsMs = 100;

// A plan that says nothing of events or of the reply leaves the events
// before the completion to the device (the keys of a PIN entry).
bool LeavesEventsToTheDevice(const Plan& plan) {
  return plan.before.empty() && !plan.never && !plan.hasPayload && plan.raw.empty() &&
         (!plan.hasHResult || plan.hResult == WFS_SUCCESS);
}

}  // namespace

void Simulator::Impl::OnText(size_t index, const std::string& text) {
  const std::string& name = m_services[index]->spec.name;
  Json::Value json;
  std::string parseError;
  bool parsed = ParseJson(text, &json, &parseError);
  RequestReading reading;
  if (parsed) reading = ReadRequest(json, ServiceClassOf(m_services[index]->family));
  std::vector<std::string> lines;
  if (!parsed) {
    lines.push_back(
        name + ": refused a request that is not JSON (" + std::to_string(text.size()) +
        " bytes): " + (m_rawLog ? parseError + ": " + text : WithoutQuotes(parseError)));
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
  uint64_t toBegin = 0;
  {
    // Recorded and taken up at once: whoever sees the request in Requests()
    // also sees it pending (or completed).
    std::lock_guard<std::mutex> guard(m_lock);
    m_requests.push_back(ReceivedRequest{name, text, parsed ? json : Json::Value()});
    if (reading.accepted) toBegin = TakeUpLocked(index, reading.request, &lines);
  }
  m_arrived.notify_all();
  for (const std::string& line : lines) Log(line);
  // After the lines about it, so that the log tells the story in order.
  if (toBegin != 0) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_pending.count(toBegin) != 0) BeginLocked(toBegin);
  }
}

uint64_t Simulator::Impl::TakeUpLocked(size_t index, const Request& request,
                                       std::vector<std::string>* lines) {
  switch (request.kind) {
    case KvSP_CMD_CANCEL:
      FinishLocked(index, request, WFS_ERR_CANCELED, lines);
      return 0;
    case KvSP_CMD_TIMEOUT:
      FinishLocked(index, request, WFS_ERR_TIMEOUT, lines);
      return 0;
    case KvSP_CMD_UNLOAD_SERVICE:
      lines->push_back(m_services[index]->spec.name + ": unload service needs no reply");
      return 0;
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
  std::vector<EventSpec> own = BeginRequest(request, &service.device);
  if (LeavesEventsToTheDevice(pending.plan)) pending.plan.before = own;
  std::string who = KindName(request.kind) + " requestID=" + std::to_string(request.requestID);
  if (!pending.plan.rule.empty()) {
    lines->push_back(service.spec.name + ": " + who + " follows " + pending.plan.rule);
  }
  if (!m_answering) {
    pending.held = true;
    lines->push_back(service.spec.name + ": holding " + who + " (answering is off)");
    return 0;
  }
  if (pending.plan.never) lines->push_back(service.spec.name + ": " + who + " is never answered");
  return serial;
}

void Simulator::Impl::BeginLocked(uint64_t serial) {
  const Pending& pending = m_pending.at(serial);
  // Each event after its own pause, the completion after the last event.
  int at = 0;
  for (size_t i = 0; i < pending.plan.before.size(); ++i) {
    at += pending.plan.before[i].delayMs;
    m_dispatcher.Post(at, [this, serial, i] { RunEventBefore(serial, i); });
  }
  int pause = pending.plan.delayMs;
  if (!pending.plan.before.empty()) pause = std::max(pause, kCompletionAfterEventsMs);
  if (!pending.plan.never) {
    m_dispatcher.Post(at + pause, [this, serial] { Complete(serial); });
  }
}

void Simulator::Impl::RunEventBefore(uint64_t serial, size_t index) {
  std::vector<Outgoing> frames;
  std::string name;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_pending.find(serial);
    if (found == m_pending.end()) return;
    Pending& pending = found->second;
    Service& service = *m_services[pending.service];
    name = service.spec.name;
    frames.push_back(EventForLocked(service, pending.plan.before.at(index), pending.request));
  }
  Send(name, frames);
  CompleteEndedEntries();
}

void Simulator::Impl::Complete(uint64_t serial) {
  std::vector<Outgoing> early;  // the device's own events before the completion
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
    // A scenario's failure stands for the device's answer; its payload
    // replaces the device's.
    DeviceAnswer answer;
    if (plan.hasHResult && plan.hResult != WFS_SUCCESS) {
      answer.hResult = plan.hResult;
    } else {
      answer = AnswerRequest(pending.request, &service.device);
    }
    if (plan.hasPayload) answer.payload = plan.lpBuffer;
    Outgoing reply = Completion(pending.request, answer.hResult, answer.payload);
    for (const EventSpec& event : answer.before) {
      early.push_back(EventForLocked(service, event, pending.request));
    }
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
    std::vector<EventSpec> after = answer.after;
    after.insert(after.end(), plan.after.begin(), plan.after.end());
    for (const EventSpec& event : after) {
      frames.push_back(EventForLocked(service, event, pending.request));
    }
    int pause = early.empty() ? 0 : kCompletionAfterEventsMs;
    for (const EventSpec& event : answer.later) {
      size_t index = pending.service;
      const Request& request = pending.request;
      m_dispatcher.Post(pause + event.delayMs, [this, index, event, request] {
        SendIfStillDue(index, event, request);
      });
    }
  }
  if (early.empty()) {
    Send(name, frames);
  } else {
    // The completion a while after the events before it, as after a plan's.
    Send(name, early);
    m_dispatcher.Post(kCompletionAfterEventsMs, [this, name, frames] { Send(name, frames); });
  }
  CompleteEndedEntries();
}

void Simulator::Impl::SendIfStillDue(size_t index, const EventSpec& event,
                                     const Request& request) {
  std::vector<Outgoing> frames;
  Service& service = *m_services[index];
  {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!EventStillDue(event.id, service.device)) return;
    frames.push_back(EventForLocked(service, event, request));
  }
  Send(service.spec.name, frames);
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

Outgoing Simulator::Impl::EventForLocked(Service& service, const EventSpec& event,
                                         const Request& request) {
  return EventLocked(service, event.msgType, event.id, event.hasPayload, event.lpBuffer,
                     request.hService, request.requestID, request.hWnd);
}

Outgoing Simulator::Impl::EventLocked(Service& service, int msgType, unsigned long id,
                                      bool hasPayload, const Json::Value& payload,
                                      Json::Int64 hService, Json::Int64 requestID, int port) {
  Json::Value data = hasPayload ? payload : DefaultEventPayload(msgType, id, service.device);
  long ended = ApplyEvent(msgType, id, &data, &service.device);
  if (ended != 0) NoteEntryEndLocked(service, ended);
  return Framed(EventEnvelope(msgType, hService, requestID, id, data), port,
                "event " + std::to_string(msgType) + " id " + std::to_string(id) + " hService=" +
                    std::to_string(hService) + " requestID=" + std::to_string(requestID));
}

void Simulator::Impl::NoteEntryEndLocked(const Service& service, long command) {
  for (const auto& entry : m_pending) {
    const Pending& pending = entry.second;
    if (m_services[pending.service].get() == &service && pending.plan.never &&
        pending.request.kind == KvSP_CMD_EXECUTE && pending.request.code == command) {
      m_endedEntries.push_back(entry.first);
    }
  }
}

void Simulator::Impl::CompleteEndedEntries() {
  std::vector<uint64_t> ended;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    ended.swap(m_endedEntries);
  }
  for (uint64_t serial : ended) Complete(serial);
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

}  // namespace devsim
