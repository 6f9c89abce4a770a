#include "xfs_session.h"

#include <chrono>
#include <thread>

#include "name_file.h"
#include "result_printer.h"

namespace xfsmgr {

namespace {

// Versions a 3.x application asks for: 3.00 to 3.30.
constexpr DWORD kVersionsRequired = 0x1E030003;
char kAppId[] = "xfsmgr";

using Clock = std::chrono::steady_clock;

std::string codeText(DWORD code, const std::string& name) {
  return std::to_string(code) + (name.empty() ? "" : " " + name);
}

// The name of a category or command, or the call and its number.
std::string label(const std::string& call, DWORD code, const std::string& name) {
  return name.empty() ? call + " " + std::to_string(code) : name;
}

}  // namespace

bool Succeeded(const std::string& what, const StepOutcome& outcome, std::string* why) {
  if (!outcome.completed) {
    *why = what + ": " + outcome.failure;
    return false;
  }
  if (outcome.hResult == WFS_SUCCESS) return true;
  DWORD code = outcome.taken.result ? outcome.taken.result->u.dwCommandCode : 0;
  *why = what + " completed with hResult " + ResultText(outcome.hResult, code);
  return false;
}

XfsSession::XfsSession(SpiLibrary& spi, Console& console, HSERVICE hService, int waitMs,
                       bool showCardData)
    : m_spi(spi),
      m_console(console),
      m_hService(hService),
      m_waitMs(waitMs),
      m_showCardData(showCardData) {}

PendingRequest XfsSession::started(UINT completion, std::string call, std::string label,
                                   HRESULT result, std::shared_ptr<void> input, REQUESTID id) {
  m_console.Print("-> " + DescribeCall(call, result));
  ++m_stats.requests;
  PendingRequest request;
  request.id = id;
  request.completion = completion;
  request.call = std::move(call);
  request.label = std::move(label);
  request.callResult = result;
  request.input = std::move(input);
  request.calledAt = m_calledAt;
  return request;
}

PendingRequest XfsSession::StartOpen(const std::string& logicalName, DWORD timeOut) {
  REQUESTID id = beginRequest();
  std::string name = logicalName;
  HRESULT result = m_spi.Open(m_hService, &name[0], nullptr, kAppId, 0, timeOut, Window(), id,
                              nullptr, kVersionsRequired, &m_spiVersion, kVersionsRequired,
                              &m_serviceVersion);
  return started(WFS_OPEN_COMPLETE,
                 "WFPOpen(hService=" + std::to_string(m_hService) + ", \"" + logicalName +
                     "\", dwTimeOut=" + std::to_string(timeOut) + ", ReqID=" + std::to_string(id) +
                     ")",
                 "WFPOpen", result, nullptr, id);
}

PendingRequest XfsSession::StartClose() {
  REQUESTID id = beginRequest();
  HRESULT result = m_spi.Close(m_hService, Window(), id);
  return started(WFS_CLOSE_COMPLETE, "WFPClose(ReqID=" + std::to_string(id) + ")", "WFPClose",
                 result, nullptr, id);
}

PendingRequest XfsSession::StartLock(DWORD timeOut) {
  REQUESTID id = beginRequest();
  HRESULT result = m_spi.Lock(m_hService, timeOut, Window(), id);
  return started(WFS_LOCK_COMPLETE,
                 "WFPLock(dwTimeOut=" + std::to_string(timeOut) + ", ReqID=" + std::to_string(id) +
                     ")",
                 "WFPLock", result, nullptr, id);
}

PendingRequest XfsSession::StartUnlock() {
  REQUESTID id = beginRequest();
  HRESULT result = m_spi.Unlock(m_hService, Window(), id);
  return started(WFS_UNLOCK_COMPLETE, "WFPUnlock(ReqID=" + std::to_string(id) + ")", "WFPUnlock",
                 result, nullptr, id);
}

PendingRequest XfsSession::StartRegister(DWORD eventClasses) {
  REQUESTID id = beginRequest();
  HRESULT result = m_spi.Register(m_hService, eventClasses, Window(), Window(), id);
  return started(WFS_REGISTER_COMPLETE,
                 "WFPRegister(dwEventClass=" + std::to_string(eventClasses) +
                     ", ReqID=" + std::to_string(id) + ")",
                 "WFPRegister", result, nullptr, id);
}

PendingRequest XfsSession::StartDeregister(DWORD eventClasses) {
  REQUESTID id = beginRequest();
  HRESULT result = m_spi.Deregister(m_hService, eventClasses, Window(), Window(), id);
  return started(WFS_DEREGISTER_COMPLETE,
                 "WFPDeregister(dwEventClass=" + std::to_string(eventClasses) +
                     ", ReqID=" + std::to_string(id) + ")",
                 "WFPDeregister", result, nullptr, id);
}

PendingRequest XfsSession::StartGetInfo(DWORD category, std::shared_ptr<void> input) {
  REQUESTID id = beginRequest();
  std::string name = CategoryName(category);
  std::string call = "WFPGetInfo(" + codeText(category, name) + (input ? "" : ", no input") +
                     ", ReqID=" + std::to_string(id) + ")";
  HRESULT result = m_spi.GetInfo(m_hService, category, input.get(), 0, Window(), id);
  return started(WFS_GETINFO_COMPLETE, std::move(call), label("WFPGetInfo", category, name),
                 result, std::move(input), id);
}

PendingRequest XfsSession::StartExecute(DWORD command, std::shared_ptr<void> input,
                                        DWORD timeOut) {
  REQUESTID id = beginRequest();
  std::string name = CommandName(command);
  std::string call = "WFPExecute(" + codeText(command, name) + (input ? "" : ", no input") +
                     ", dwTimeOut=" + std::to_string(timeOut) + ", ReqID=" + std::to_string(id) +
                     ")";
  HRESULT result = m_spi.Execute(m_hService, command, input.get(), timeOut, Window(), id);
  return started(WFS_EXECUTE_COMPLETE, std::move(call), label("WFPExecute", command, name),
                 result, std::move(input), id);
}

StepOutcome XfsSession::Finish(const PendingRequest& request) {
  StepOutcome outcome;
  if (request.callResult != WFS_SUCCESS) {
    outcome.hResult = request.callResult;
    outcome.failure = DescribeCall(request.call, request.callResult);
    return outcome;
  }
  std::optional<TakenMessage> completion = m_window.WaitForCompletion(
      request.completion, request.id, m_waitMs,
      [this](TakenMessage&& other) { ShowUnawaited(other); });
  if (!completion) {
    outcome.failure = "no " + MessageText(request.completion) + " for " + request.call +
                      " within " + std::to_string(m_waitMs) + " ms";
    return outcome;
  }
  Show(*completion);
  Clock::duration roundTrip = completion->at - request.calledAt;
  if (roundTrip > m_stats.slowest || m_stats.slowestLabel.empty()) {
    m_stats.slowest = roundTrip;
    m_stats.slowestLabel = request.label;
  }
  outcome.completed = true;
  outcome.hResult = completion->result->hResult;
  if (request.completion == WFS_OPEN_COMPLETE && outcome.hResult == WFS_SUCCESS) m_open = true;
  // The close completion ends the device whatever its result.
  if (request.completion == WFS_CLOSE_COMPLETE) m_open = false;
  outcome.taken = std::move(*completion);
  return outcome;
}

StepOutcome XfsSession::Cancel(const PendingRequest& request) {
  HRESULT result = m_spi.CancelAsyncRequest(m_hService, request.id);
  std::string call = "WFPCancelAsyncRequest(RequestID=" + std::to_string(request.id) + ")";
  m_console.Print("-> " + DescribeCall(call, result));
  if (result != WFS_SUCCESS) {
    StepOutcome outcome;
    outcome.hResult = result;
    outcome.failure = DescribeCall(call, result);
    return outcome;
  }
  return Finish(request);
}

StepOutcome XfsSession::WaitEvent(int timeoutMs, DWORD eventId) {
  StepOutcome outcome;
  for (auto it = m_unawaitedEvents.begin(); it != m_unawaitedEvents.end(); ++it) {
    if (eventId == 0 || *it == eventId) {
      m_console.Print("(event " + std::to_string(*it) + " came during an earlier step)");
      m_unawaitedEvents.erase(it);
      outcome.completed = true;
      return outcome;
    }
  }
  std::optional<TakenMessage> event = m_window.WaitFor(
      [eventId](const TakenMessage& taken) {
        return IsEventMessage(taken.message) &&
               (eventId == 0 || (taken.result && taken.result->u.dwEventID == eventId));
      },
      timeoutMs, [this](TakenMessage&& other) { ShowUnawaited(other); });
  if (!event) {
    std::string name = EventName(eventId);
    outcome.failure = (eventId == 0 ? std::string("no event")
                                    : "no event " + std::to_string(eventId) +
                                          (name.empty() ? "" : " (" + name + ")")) +
                      " within " + std::to_string(timeoutMs) + " ms";
    return outcome;
  }
  Show(*event);
  outcome.completed = true;
  outcome.hResult = event->result ? event->result->hResult : WFS_SUCCESS;
  outcome.taken = std::move(*event);
  return outcome;
}

HRESULT XfsSession::Unload(int patienceMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(patienceMs);
  HRESULT result = m_spi.UnloadService();
  if (result == WFS_ERR_NOT_OK_TO_UNLOAD) {
    m_console.Print("-> " + DescribeCall("WFPUnloadService()", result) +
                    ": a device is still open or stopping; asking again");
    while (result == WFS_ERR_NOT_OK_TO_UNLOAD && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      result = m_spi.UnloadService();
    }
  }
  m_console.Print("-> " + DescribeCall("WFPUnloadService()", result));
  return result;
}

void XfsSession::CloseIfOpen() {
  if (!m_open) return;
  m_console.Print("the service is still open: closing it");
  StepOutcome outcome = Finish(StartClose());
  if (!outcome.completed) m_console.Print("warning: " + outcome.failure);
}

void XfsSession::ShowUnawaited(const TakenMessage& taken) {
  Show(taken);
  if (IsEventMessage(taken.message) && taken.result) {
    DWORD eventId = taken.result->u.dwEventID;  // a copy: the record is packed
    m_unawaitedEvents.push_back(eventId);
  }
}

void XfsSession::Show(const TakenMessage& taken) {
  ++(IsEventMessage(taken.message) ? m_stats.events : m_stats.completions);
  m_console.Print(DescribeMessage(taken, m_showCardData));
}

}  // namespace xfsmgr
