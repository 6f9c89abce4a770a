// One service as an application uses it: the SPI calls of the loaded
// service provider on one service handle, with one Corvid window that
// receives every completion and event. Prints each call with what it
// returned and each message as it is taken.
#ifndef XFSMGR_XFS_SESSION_H
#define XFSMGR_XFS_SESSION_H

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "console.h"
#include "result_window.h"
#include "session_stats.h"
#include "spi_library.h"
#include "xfsapi.h"

namespace xfsmgr {

// A request that was handed to the service provider.
struct PendingRequest {
  REQUESTID id = 0;
  UINT completion = 0;          // the message that completes it
  std::string call;             // how it was called, for messages
  std::string label;            // what it asked for, short: "WFS_CMD_IDC_READ_RAW_DATA"
  std::chrono::steady_clock::time_point calledAt;
  HRESULT callResult = 0;       // what the SPI call returned; not 0: refused, nothing comes
  std::shared_ptr<void> input;  // the input structure, kept until the completion
};

struct StepOutcome {
  bool completed = false;  // accepted, and its completion (or the awaited event) came
  HRESULT hResult = 0;     // the completion's hResult, or the refused call's result
  std::string failure;     // why it did not complete
  TakenMessage taken;      // the completion or the event, when it came
};

// True when the outcome is a completion (or an awaited event) with
// WFS_SUCCESS; otherwise false with *why saying, after `what`, what did not
// come or which result came.
bool Succeeded(const std::string& what, const StepOutcome& outcome, std::string* why);

// Used from one thread.
class XfsSession {
 public:
  // showCardData: print track data whole instead of masked.
  XfsSession(SpiLibrary& spi, Console& console, HSERVICE hService, int waitMs,
             bool showCardData);

  HWND Window() const { return m_window.Handle(); }

  PendingRequest StartOpen(const std::string& logicalName, DWORD timeOut);
  PendingRequest StartClose();
  PendingRequest StartLock(DWORD timeOut);
  PendingRequest StartUnlock();
  PendingRequest StartRegister(DWORD eventClasses);
  PendingRequest StartDeregister(DWORD eventClasses);
  PendingRequest StartGetInfo(DWORD category, std::shared_ptr<void> input);
  PendingRequest StartExecute(DWORD command, std::shared_ptr<void> input, DWORD timeOut);

  // Waits for the request's completion, printing every other message taken
  // meanwhile, then the completion.
  StepOutcome Finish(const PendingRequest& request);
  // WFPCancelAsyncRequest for the request, then Finish for it.
  StepOutcome Cancel(const PendingRequest& request);
  // Waits for an event message (eventId 0: any event) and prints it. Any
  // event already printed during an earlier wait and not yet awaited counts:
  // it is taken at once.
  StepOutcome WaitEvent(int timeoutMs, DWORD eventId = 0);
  // WFPUnloadService, called again while it answers WFS_ERR_NOT_OK_TO_UNLOAD
  // (a closed device may still be stopping) for up to patienceMs.
  HRESULT Unload(int patienceMs);

  // Requests, completions, events and the slowest round trip so far.
  const SessionStats& Stats() const { return m_stats; }

  // True from a successful open completion until a close completion.
  bool IsOpen() const { return m_open; }
  // Closes a service that is still open and waits for the close completion.
  void CloseIfOpen();

  // Prints a message.
  void Show(const TakenMessage& taken);

 private:
  // Prints a message taken while something else was awaited.
  void ShowUnawaited(const TakenMessage& taken);
  PendingRequest started(UINT completion, std::string call, std::string label, HRESULT result,
                         std::shared_ptr<void> input, REQUESTID id);
  // The next request's id; its round trip starts now.
  REQUESTID beginRequest() {
    m_calledAt = std::chrono::steady_clock::now();
    return m_nextId++;
  }

  SpiLibrary& m_spi;
  Console& m_console;
  HSERVICE m_hService;
  int m_waitMs;
  bool m_showCardData;
  REQUESTID m_nextId = 1;
  std::chrono::steady_clock::time_point m_calledAt;  // of the request being made
  bool m_open = false;
  std::vector<DWORD> m_unawaitedEvents;  // events shown while other things were awaited
  SessionStats m_stats;
  ResultWindow m_window;
  WFSVERSION m_spiVersion{};
  WFSVERSION m_serviceVersion{};
};

}  // namespace xfsmgr

#endif
