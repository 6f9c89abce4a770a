// Requests as the device service receives them: SendMessage through a real
// loopback connection to a listener standing in for the device service.
#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QtGlobal>
#include <algorithm>
#include <cstring>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "formatstructdata.h"
#include "ostrel.h"
#include "ostrel_test_support.h"
#include "test_support.h"
#include "wiredump.h"

namespace {

using ostreltest::Parse;
using ostreltest::RequestListener;

_tagDataOption Request(DWORD kind, int port) {
  _tagDataOption option;
  std::memset(&option, 0, sizeof option);
  option.hService = 3;
  option.requestID = 12;
  option.hWnd = 36000;
  option.devHwnd = static_cast<DWORD>(port);
  option.nCmdType = kind;
  option.dwTimeout = 5000;
  option.lType = WFS_SERVICE_CLASS_IDC;
  option.lpAppId = const_cast<char*>("APP1");
  return option;
}

// Sends option and returns the text the listener received ("" when none).
std::string SendAndReceive(RequestListener& listener, _tagDataOption& option, int* result) {
  *result = Ostrel::SendMessage(&option);
  std::string text;
  if (*result == 1) {
    EXPECT_TRUE(listener.Receive(&text));
  }
  return text;
}

// The nine members, compared with the record they came from.
void ExpectEnvelope(const Json::Value& root, const _tagDataOption& option) {
  EXPECT_EQ(root["hService"].asInt(), static_cast<int>(option.hService));
  EXPECT_EQ(root["requestID"].asInt(), static_cast<int32_t>(option.requestID));
  EXPECT_EQ(root["nCmdType"].asInt(), static_cast<int32_t>(option.nCmdType));
  EXPECT_EQ(root["dwTimeout"].asInt(), static_cast<int32_t>(option.dwTimeout));
  EXPECT_EQ(root["dwCategory"].asInt(), static_cast<int32_t>(option.dwCategory));
  EXPECT_EQ(root["dwCommand"].asInt(), static_cast<int32_t>(option.dwCommand));
  EXPECT_EQ(root["lType"].asInt(), LONG{option.lType});
  EXPECT_EQ(root["hWnd"].asInt(), static_cast<int32_t>(option.hWnd));
  if (option.lpAppId == nullptr) {
    EXPECT_TRUE(root.isMember("lpAppId"));
    EXPECT_TRUE(root["lpAppId"].isNull());
  } else {
    EXPECT_EQ(root["lpAppId"].asString(), std::string(option.lpAppId));
  }
}

// Member names in the order they appear in the text.
std::vector<std::string> MemberOrder(const std::string& text, const Json::Value& root) {
  std::vector<std::pair<size_t, std::string>> found;
  for (const std::string& name : root.getMemberNames()) {
    found.emplace_back(text.find("\"" + name + "\":"), name);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> names;
  for (auto& entry : found) names.push_back(entry.second);
  return names;
}

TEST(RequestEnvelope, EveryRequestKindArrivesAsOneSortedLine) {
  const DWORD kinds[] = {1, 2, 4, 5, 6, 7, 10, 11, 16};
  for (DWORD kind : kinds) {
    SCOPED_TRACE(kind);
    RequestListener listener;
    _tagDataOption option = Request(kind, listener.port());
    option.dwCommand = 305;  // outside every class range
    option.dwCategory = 999;
    int result = 0;
    std::string text = SendAndReceive(listener, option, &result);
    ASSERT_EQ(result, 1);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line";
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_EQ(text.find(' '), std::string::npos);
    Json::Value root = Parse(text);
    ExpectEnvelope(root, option);
    EXPECT_EQ(root.size(), 9u);
    std::vector<std::string> order = MemberOrder(text, root);
    EXPECT_EQ(order, (std::vector<std::string>{"dwCategory", "dwCommand", "dwTimeout", "hService",
                                               "hWnd", "lType", "lpAppId", "nCmdType",
                                               "requestID"}));
  }
}

TEST(RequestEnvelope, LargeValuesAreSignedAndTheServiceHandleZeroExtended) {
  RequestListener listener;
  _tagDataOption option = Request(KvSP_CMD_LOCK, listener.port());
  option.hService = 0xFFFF;
  option.requestID = 2147483648u;
  option.dwTimeout = 0xFFFFFFFFu;
  option.hWnd = 0x80000001u;
  option.lType = -5;
  option.lpAppId = nullptr;
  int result = 0;
  std::string text = SendAndReceive(listener, option, &result);
  ASSERT_EQ(result, 1);
  EXPECT_NE(text.find("\"requestID\":-2147483648"), std::string::npos) << text;
  EXPECT_NE(text.find("\"dwTimeout\":-1"), std::string::npos) << text;
  EXPECT_NE(text.find("\"hService\":65535"), std::string::npos) << text;
  EXPECT_NE(text.find("\"hWnd\":-2147483647"), std::string::npos) << text;
  EXPECT_NE(text.find("\"lpAppId\":null"), std::string::npos) << text;
  ExpectEnvelope(Parse(text), option);
}

TEST(RequestEnvelope, EmptyApplicationIdentifierIsAnEmptyString) {
  RequestListener listener;
  _tagDataOption option = Request(KvSP_CMD_OPEN, listener.port());
  option.lpAppId = const_cast<char*>("");
  int result = 0;
  std::string text = SendAndReceive(listener, option, &result);
  ASSERT_EQ(result, 1);
  EXPECT_NE(text.find("\"lpAppId\":\"\""), std::string::npos) << text;
}

TEST(RequestEnvelope, PayloadMemberFollowsTheClassRanges) {
  testsupport::TraceCapture trace;
  struct Case {
    DWORD kind;
    DWORD code;
    bool hasPayload;
  };
  const Case cases[] = {
      {KvSP_CMD_EXECUTE, 203, true},   {KvSP_CMD_EXECUTE, 305, false},
      {KvSP_CMD_EXECUTE, 102, true},   {KvSP_CMD_EXECUTE, 443, true},
      {KvSP_CMD_EXECUTE, 1402, true},  {KvSP_CMD_EXECUTE, 0x100CB, true},  // low word 203
      {KvSP_CMD_EXECUTE, 1500, false}, {KvSP_CMD_GETINFO, 201, true},
      {KvSP_CMD_GETINFO, 0, false},    {KvSP_CMD_OPEN, 203, false},
  };
  WORD ejectPosition = 1;
  for (const Case& item : cases) {
    SCOPED_TRACE(item.code);
    RequestListener listener;
    _tagDataOption option = Request(item.kind, listener.port());
    if (item.kind == KvSP_CMD_GETINFO) {
      option.dwCategory = item.code;
    } else {
      option.dwCommand = item.code;
    }
    option.lpDataBuffer = &ejectPosition;
    int result = 0;
    std::string text = SendAndReceive(listener, option, &result);
    ASSERT_EQ(result, 1);
    Json::Value root = Parse(text);
    ExpectEnvelope(root, option);
    EXPECT_EQ(root.isMember("lpDataBuffer"), item.hasPayload) << text;
    // The card reader's codec formats the eject input, the PIN pad's the
    // key-press beep mode, a bare WORD (more in tests/idc and tests/pin);
    // the printer's and the dispenser's codes here send no input: null.
    if (item.hasPayload && item.kind == KvSP_CMD_EXECUTE && (item.code & 0xFFFFu) == 203) {
      EXPECT_EQ(root["lpDataBuffer"]["wEjectPosition"], Json::Value(1)) << text;
    } else if (item.code == 443) {
      EXPECT_EQ(root["lpDataBuffer"], Json::Value(1)) << text;
    } else if (item.hasPayload) {
      EXPECT_TRUE(root["lpDataBuffer"].isNull()) << text;
    }
  }
  EXPECT_EQ(trace.countExact("FormatStructData::FormatExecuteData Cmd = 203", 2), 1);
  EXPECT_EQ(trace.countExact(
                "FormatStructData::FormatExecuteData ServiceType == WFS_SERVICE_CLASS_IDC", 1),
            2);
}

TEST(RequestEnvelope, UnknownRequestKindsSendNothing) {
  testsupport::TraceCapture trace;
  RequestListener listener;
  const DWORD kinds[] = {0, 3, 8, 9, 12, 13, 14, 15, 17, 1000, 0xFFFFFFFFu};
  for (DWORD kind : kinds) {
    _tagDataOption option = Request(kind, listener.port());
    EXPECT_EQ(Ostrel::SendMessage(&option), 0) << kind;
  }
  EXPECT_EQ(trace.count("Ostrel::SendMessag Invalid CmdType = [", 4), 11);
  EXPECT_EQ(trace.countExact("Ostrel::SendMessag Invalid CmdType = [9]", 4), 1);
  std::string text;
  EXPECT_FALSE(listener.Receive(&text, 200));
  _tagDataOption* none = nullptr;
  EXPECT_EQ(Ostrel::SendMessage(none), 0);
}

TEST(RequestEnvelope, DeadPortFailsTheRequest) {
  testsupport::TraceCapture trace;
  int port = testsupport::FreePort();
  _tagDataOption option = Request(KvSP_CMD_OPEN, port);
  EXPECT_EQ(Ostrel::SendMessage(&option), 0);
  EXPECT_EQ(trace.countExact("SendDataToSP ConnectServer [" + std::to_string(port) + "] Failed", 4),
            1);
  EXPECT_EQ(trace.countExact("Ostrel::SendOpenMessage SendDataToSP Failed", 4), 1);

  option.nCmdType = KvSP_CMD_CLOSE;
  EXPECT_EQ(Ostrel::SendMessage(&option), 0);
  EXPECT_EQ(trace.countExact("Ostrel::SendCloseMesage SendDataToSP Failed", 4), 1);
}

// Renders the request directly and returns its text.
std::string Render(_tagDataOption& option, int* result) {
  std::vector<char> buffer(FormatStructData::kRequestBufferSize, '\0');
  int length = -1;
  *result = FormatStructData::FormatOpenData(&option, buffer.data(), length);
  if (*result != 1) return std::string();
  EXPECT_EQ(static_cast<size_t>(length), std::strlen(buffer.data()));
  return std::string(buffer.data(), static_cast<size_t>(length));
}

TEST(RequestEnvelope, RequestsLongerThanTheBufferAreRefused) {
  testsupport::TraceCapture trace;
  _tagDataOption option = Request(KvSP_CMD_OPEN, 1);
  option.lpAppId = const_cast<char*>("");
  int result = 0;
  size_t bare = Render(option, &result).size();
  ASSERT_EQ(result, 1);

  // Exactly the buffer's size still goes out.
  RequestListener listener;
  std::string appId(FormatStructData::kRequestBufferSize - bare, 'A');
  option = Request(KvSP_CMD_OPEN, listener.port());
  option.lpAppId = &appId[0];
  std::string text = SendAndReceive(listener, option, &result);
  ASSERT_EQ(result, 1);
  EXPECT_EQ(text.size(), static_cast<size_t>(FormatStructData::kRequestBufferSize));

  // One byte more is refused before anything is written.
  appId += 'A';
  option.lpAppId = &appId[0];
  EXPECT_EQ(Ostrel::SendMessage(&option), 0);
  EXPECT_EQ(trace.count("FormatStructData::FormatOpenData request of 40961 bytes does not fit "
                        "the 40960-byte buffer",
                        4),
            1);
  EXPECT_EQ(trace.countExact("Ostrel::SendOpenMessage FormatData Failed", 4), 1);
  EXPECT_FALSE(listener.Receive(&text, 200));
}

// Debug lines of the bridge while a test runs.
class DebugCapture {
 public:
  DebugCapture() {
    std::lock_guard<std::mutex> guard(Lock());
    Lines().clear();
    m_previousFilter = QLoggingCategory::installFilter(&EnableDebug);
    m_previousHandler = qInstallMessageHandler(&Handle);
  }
  ~DebugCapture() {
    qInstallMessageHandler(m_previousHandler);
    QLoggingCategory::installFilter(m_previousFilter);
  }
  std::vector<std::string> lines() const {
    std::lock_guard<std::mutex> guard(Lock());
    return Lines();
  }

 private:
  static std::mutex& Lock() {
    static std::mutex lock;
    return lock;
  }
  static std::vector<std::string>& Lines() {
    static std::vector<std::string> lines;
    return lines;
  }
  static void EnableDebug(QLoggingCategory* category) { category->setEnabled(QtDebugMsg, true); }
  static void Handle(QtMsgType, const QMessageLogContext&, const QString& text) {
    std::lock_guard<std::mutex> guard(Lock());
    Lines().push_back(text.toStdString());
  }
  QLoggingCategory::CategoryFilter m_previousFilter;
  QtMessageHandler m_previousHandler;
};

TEST(RequestEnvelope, TheSentTextStaysOutOfTheDebugChannel) {
  DebugCapture debug;
  RequestListener listener;
  _tagDataOption option = Request(KvSP_CMD_OPEN, listener.port());
  option.lpAppId = const_cast<char*>("TRACK2-SECRET");
  int result = 0;
  std::string text = SendAndReceive(listener, option, &result);
  ASSERT_EQ(result, 1);
  bool lengthLine = false;
  bool secretSeen = false;
  for (const std::string& line : debug.lines()) {
    if (line == "Senddata = [" + std::to_string(text.size()) + " bytes]") lengthLine = true;
    if (line.find("TRACK2-SECRET") != std::string::npos) secretSeen = true;
  }
  if (transport::kRawWireDump) {
    EXPECT_TRUE(secretSeen);
  } else {
    EXPECT_TRUE(lengthLine);
    EXPECT_FALSE(secretSeen);
  }
}

TEST(RequestEnvelope, BadApplicationIdentifierPointerCostsOnlyTheRequest) {
  testsupport::TraceCapture trace;
  RequestListener listener;
  _tagDataOption option = Request(KvSP_CMD_OPEN, listener.port());
  option.lpAppId = reinterpret_cast<char*>(16);
  option.nCmdType = KvSP_CMD_EXECUTE;
  EXPECT_EQ(Ostrel::SendExecuteMessage(&option), 0);
  EXPECT_EQ(trace.count("FormatStructData::FormatExecuteData catch an Exception", 4), 1);
  EXPECT_EQ(trace.countExact("Ostrel::SendExecuteMessage FormatData Failed", 4), 1);
  std::string text;
  EXPECT_FALSE(listener.Receive(&text, 200));

  // The process carries on: the next request goes out.
  option.lpAppId = const_cast<char*>("APP1");
  int result = 0;
  text = SendAndReceive(listener, option, &result);
  EXPECT_EQ(result, 1);
}

// Threads send at once, each on its own connection, and each text arrives
// whole; replies decode at once on other threads.
TEST(RequestEnvelope, ConcurrentRequestsAndRepliesStayApart) {
  RequestListener listener;
  constexpr int kThreads = 4;
  constexpr int kEach = 10;
  std::vector<std::thread> threads;
  std::vector<int> sent(kThreads, 0);
  std::vector<int> decoded(kThreads, 0);
  std::string reply = ostreltest::SystemEvent(
      WFS_SYSE_DEVICE_STATUS, Parse(R"({"lpszPhysicalName":"P1","dwState":2})"));
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        _tagDataOption option = Request(KvSP_CMD_EXECUTE, listener.port());
        option.requestID = static_cast<DWORD>(t * 1000 + i);
        sent[t] += Ostrel::SendMessage(&option);
        ostreltest::Reply msg = ostreltest::Decode(reply);
        if (msg != nullptr && msg->lpWfsResult->lpBuffer != nullptr) ++decoded[t];
      }
    });
  }
  std::vector<int> ids;
  for (int i = 0; i < kThreads * kEach; ++i) {
    std::string text;
    ASSERT_TRUE(listener.Receive(&text, 20000)) << i;
    ids.push_back(Parse(text)["requestID"].asInt());
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(sent[t], kEach);
    EXPECT_EQ(decoded[t], kEach);
  }
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::unique(ids.begin(), ids.end()), ids.end()) << "every request arrived once";
}

}  // namespace
