#include "e2e_harness.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "CommonSocketClient.h"
#include "xfsspi.h"

namespace e2e {

const char kCardReader[] = "CardReader";
const char kPinPad[] = "PinPad";
const char kPrinter[] = "ReceiptPrinter";
const char kDispenser[] = "CardDispenser";

namespace {

char kAppId[] = "E2E";

// The test process's configuration directory; removed when the process ends.
testsupport::TempDir& configDir() {
  static testsupport::TempDir dir;
  return dir;
}

std::vector<devsim::ServiceSpec> writeConfiguration() {
  std::vector<devsim::ServiceSpec> services = {
      {kCardReader, "IDC", testsupport::FreePort()},
      {kPinPad, "PIN", testsupport::FreePort()},
      {kPrinter, "PTR", testsupport::FreePort()},
      {kDispenser, "CRD_S", testsupport::FreePort()},
  };
  std::ofstream ini(configDir().file("wfp.ini"));
  for (const devsim::ServiceSpec& service : services) {
    ini << "[" << service.name << "]\nclass=" << service.deviceClass
        << "\nport=" << service.port << "\n\n";
  }
  ini.close();
  ::setenv("WFP_CONFIG_DIR", (configDir().path() + "/").c_str(), 1);
  return services;
}

std::set<std::string> ownSocketInodes() {
  std::set<std::string> inodes;
  DIR* fds = ::opendir("/proc/self/fd");
  if (fds == nullptr) return inodes;
  while (dirent* entry = ::readdir(fds)) {
    char target[PATH_MAX];
    std::string link = std::string("/proc/self/fd/") + entry->d_name;
    ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    if (n <= 0) continue;
    std::string text(target, static_cast<size_t>(n));
    if (text.rfind("socket:[", 0) == 0) inodes.insert(text.substr(8, text.size() - 9));
  }
  ::closedir(fds);
  return inodes;
}

}  // namespace

const std::vector<devsim::ServiceSpec>& ConfiguredServices() {
  static const std::vector<devsim::ServiceSpec> services = writeConfiguration();
  return services;
}

ResultHeader HeaderOf(const TakenMessage& taken) {
  ResultHeader header;
  if (!taken.result) return header;
  const WFSRESULT& result = *taken.result;
  header.RequestID = result.RequestID;
  header.hService = result.hService;
  header.hResult = result.hResult;
  header.dwCommandCode = result.u.dwCommandCode;
  header.dwEventID = result.u.dwEventID;
  header.lpBuffer = result.lpBuffer;
  header.wYear = result.tsTimestamp.wYear;
  return header;
}

std::string ConfigDirectory() {
  ConfiguredServices();
  return configDir().path() + "/";
}

bool SendFrame(int port, const std::string& text) {
  CommonSocketClient client;
  return client.PostTextMessage(port, text.data(), static_cast<int>(text.size())) == 1;
}

std::string ReplyText(int msgType, HSERVICE hService, REQUESTID requestId, HRESULT hResult,
                      DWORD code, const Json::Value& lpBuffer) {
  Json::Value result;
  result["hService"] = hService;
  result["requestID"] = requestId;
  result["hResult"] = hResult;
  result[msgType >= WFS_EXECUTE_EVENT ? "dwEventID" : "dwCommandCode"] = code;
  result["lpBuffer"] = lpBuffer;
  Json::Value envelope;
  envelope["dwMsgType"] = msgType;
  envelope["hService"] = hService;
  envelope["lpWfsResult"] = result;
  return Json::FastWriter().write(envelope);
}

int CountListeningSockets() {
  std::set<std::string> own = ownSocketInodes();
  int listening = 0;
  for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
    std::ifstream in(table);
    std::string line;
    std::getline(in, line);  // column names
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
      fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
          timeout >> inode;
      if (state == "0A" && own.count(inode) != 0) ++listening;
    }
  }
  return listening;
}

void PipelineTest::SetUp() {
  m_trace = std::make_unique<testsupport::TraceCapture>();
  devsim::SimulatorOptions options;
  options.services = ConfiguredServices();
  options.log = [](const std::string&) {};
  m_sim = std::make_unique<devsim::Simulator>(options);
  std::string error;
  ASSERT_TRUE(m_sim->Start(&error)) << error;
  ASSERT_NE(m_app.Handle(), 0u);
}

void PipelineTest::TearDown() {
  if (m_sim) {
    m_sim->ClearScenario();
    m_sim->SetAnswering(true);
  }
  std::vector<HSERVICE> opened = m_opened;
  for (HSERVICE hService : opened) Close(hService, false);
  EXPECT_TRUE(testsupport::WaitUntil([] { return WFPUnloadService() == WFS_SUCCESS; }, kWaitMs))
      << "a device is still open after the test";
  if (m_sim) m_sim->Stop();
  m_others.clear();
}

void PipelineTest::Open(HSERVICE hService, const std::string& name) {
  REQUESTID id = NextId();
  std::string logicalName = name;
  WFSVERSION spiVersion{};
  WFSVERSION serviceVersion{};
  ASSERT_EQ(WFPOpen(hService, &logicalName[0], nullptr, kAppId, 0, 0, m_app.Handle(), id, nullptr,
                    0, &spiVersion, 0, &serviceVersion),
            WFS_SUCCESS);
  m_opened.push_back(hService);
  std::optional<TakenMessage> done = Await(WFS_OPEN_COMPLETE, id);
  ASSERT_TRUE(done) << "no WFS_OPEN_COMPLETE for " << name;
  ASSERT_EQ(HeaderOf(*done).hResult, WFS_SUCCESS);
}

void PipelineTest::Close(HSERVICE hService, bool lastOne) {
  REQUESTID id = NextId();
  ASSERT_EQ(WFPClose(hService, m_app.Handle(), id), WFS_SUCCESS);
  std::optional<TakenMessage> done = Await(WFS_CLOSE_COMPLETE, id);
  ASSERT_TRUE(done) << "no WFS_CLOSE_COMPLETE for service " << hService;
  for (auto it = m_opened.begin(); it != m_opened.end(); ++it) {
    if (*it == hService) {
      m_opened.erase(it);
      break;
    }
  }
  if (lastOne) {
    ASSERT_TRUE(testsupport::WaitUntil([] { return WFPUnloadService() == WFS_SUCCESS; }, kWaitMs));
  }
}

std::optional<TakenMessage> PipelineTest::Await(UINT message, REQUESTID id, int timeoutMs) {
  return AwaitOn(m_app, message, id, timeoutMs);
}

std::optional<TakenMessage> PipelineTest::AwaitOn(ResultWindow& window, UINT message,
                                                  REQUESTID id, int timeoutMs) {
  return window.WaitForCompletion(message, id, timeoutMs,
                                  [this](TakenMessage&& other) { m_others.push_back(std::move(other)); });
}

std::optional<TakenMessage> PipelineTest::Next(ResultWindow& window, int timeoutMs) {
  return window.Take(timeoutMs);
}

std::vector<Json::Value> PipelineTest::RequestsOfKind(int kind) const {
  std::vector<Json::Value> found;
  for (const devsim::ReceivedRequest& received : m_sim->Requests()) {
    const Json::Value& request = received.request;
    if (request.isObject() && request["nCmdType"].isInt() && request["nCmdType"].asInt() == kind) {
      found.push_back(request);
    }
  }
  return found;
}

bool PipelineTest::WaitForRequestsOfKind(int kind, size_t count, int timeoutMs) const {
  return testsupport::WaitUntil([&] { return RequestsOfKind(kind).size() >= count; }, timeoutMs);
}

int PipelineTest::ReplyPort(HSERVICE hService) const {
  int port = 0;
  for (const devsim::ReceivedRequest& received : m_sim->Requests()) {
    const Json::Value& request = received.request;
    if (request.isObject() && request["hService"].isInt() &&
        request["hService"].asInt() == hService && request["hWnd"].isInt()) {
      port = request["hWnd"].asInt();
    }
  }
  return port;
}

std::vector<int> PipelineTest::ThreadPorts() const {
  static const char kStarted[] = "CWFPThread::StartThread m_ThreadWnd=[";
  std::vector<int> ports;
  for (const testsupport::TraceLine& line : m_trace->lines()) {
    std::string::size_type at = line.text.find(kStarted);
    if (at != std::string::npos) {
      ports.push_back(std::atoi(line.text.c_str() + at + sizeof kStarted - 1));
    }
  }
  return ports;
}

void PipelineTest::SendEvent(const std::string& service, int kind, unsigned long id,
                             const Json::Value& payload, long requestId) {
  devsim::EventOrder order;
  order.service = service;
  order.kind = kind;
  order.id = id;
  order.lpBuffer = payload;
  order.requestID = requestId;
  std::string error;
  ASSERT_TRUE(m_sim->SendEvent(order, &error)) << error;
}

}  // namespace e2e
