// The whole pipeline in one process for the end-to-end tests: the service
// provider (linked as an XFS manager would load it), the device-service
// simulator on the ports of a wfp.ini written for the test process, and the
// application's Corvid windows.
#ifndef TESTS_E2E_E2E_HARNESS_H
#define TESTS_E2E_E2E_HARNESS_H

#include <gtest/gtest.h>
#include <json/json.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "devsim/simulator.h"
#include "result_window.h"
#include "test_support.h"
#include "xfsapi.h"

namespace e2e {

using xfsmgr::ResultWindow;
using xfsmgr::TakenMessage;

extern const char kCardReader[];
extern const char kPinPad[];
extern const char kPrinter[];
extern const char kDispenser[];

// The header of a taken message's WFSRESULT, copied out of the packed record
// (whose fields need not be aligned, so tests never bind references to them).
// All zero when the message carried no record.
struct ResultHeader {
  REQUESTID RequestID = 0;
  HSERVICE hService = 0;
  HRESULT hResult = 0;
  DWORD dwCommandCode = 0;
  DWORD dwEventID = 0;
  LPVOID lpBuffer = nullptr;
  WORD wYear = 0;
};
ResultHeader HeaderOf(const TakenMessage& taken);

// Generous bound for anything that must come.
constexpr int kWaitMs = 10000;
// How long a test watches for something that must not come.
constexpr int kQuietMs = 700;

// The services of the test process's wfp.ini, on ports that were free when
// the file was written. WFP_CONFIG_DIR names its directory from the first
// call on.
const std::vector<devsim::ServiceSpec>& ConfiguredServices();
// That directory, ending in "/".
std::string ConfigDirectory();

// Sends one framed text to 127.0.0.1:port as the device service would.
bool SendFrame(int port, const std::string& text);
// A reply envelope of the device service, rendered as JSON text.
std::string ReplyText(int msgType, HSERVICE hService, REQUESTID requestId, HRESULT hResult,
                      DWORD code, const Json::Value& lpBuffer = Json::Value());

// Listening TCP sockets of this process (from /proc/net/tcp and its fds).
int CountListeningSockets();

class PipelineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  devsim::Simulator& Sim() { return *m_sim; }
  ResultWindow& App() { return m_app; }
  testsupport::TraceCapture& Trace() { return *m_trace; }

  REQUESTID NextId() { return m_nextId++; }

  // WFPOpen of hService on `name` with the application window; waits for
  // WFS_OPEN_COMPLETE with WFS_SUCCESS.
  void Open(HSERVICE hService, const std::string& name = kCardReader);
  // WFPClose and its completion; then waits until no device is open
  // (WFPUnloadService gives 0) when `lastOne`.
  void Close(HSERVICE hService, bool lastOne = true);

  // The completion `message` of `id` on the application window; other
  // messages taken meanwhile are kept in Others().
  std::optional<TakenMessage> Await(UINT message, REQUESTID id, int timeoutMs = kWaitMs);
  std::optional<TakenMessage> AwaitOn(ResultWindow& window, UINT message, REQUESTID id,
                                      int timeoutMs = kWaitMs);
  // The next message of `window` whatever it is.
  std::optional<TakenMessage> Next(ResultWindow& window, int timeoutMs = kWaitMs);
  std::vector<TakenMessage>& Others() { return m_others; }

  // Requests of kind nCmdType the simulator has received so far.
  std::vector<Json::Value> RequestsOfKind(int kind) const;
  // Waits until the simulator has received `count` requests of kind nCmdType.
  bool WaitForRequestsOfKind(int kind, size_t count, int timeoutMs = kWaitMs) const;
  // The reply port ("hWnd") that the last request of hService named.
  int ReplyPort(HSERVICE hService) const;
  // Ports of the worker and event threads started since the test began.
  std::vector<int> ThreadPorts() const;

  // Sends an event through the simulator to the reply port of its last request.
  void SendEvent(const std::string& service, int kind, unsigned long id,
                 const Json::Value& payload = Json::Value(), long requestId = 0);

  std::vector<HSERVICE> m_opened;  // services this test opened and has not closed

 private:
  std::unique_ptr<testsupport::TraceCapture> m_trace;
  std::unique_ptr<devsim::Simulator> m_sim;
  ResultWindow m_app;
  std::vector<TakenMessage> m_others;
  REQUESTID m_nextId = 1;
};

}  // namespace e2e

#endif
