// Scenario rules over real connections: overridden results, payloads,
// delays, events around the completion and deliberately broken frames.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "harness.h"
#include "ostrel_records.h"
#include "test_support.h"
#include "xfsapi.h"
#include "xfsidc.h"

namespace {

using devsimtest::Catcher;
using devsimtest::Harness;
using devsimtest::MakeRequest;
using devsimtest::Result;

void Load(Harness& harness, const std::string& json) {
  std::string error;
  ASSERT_TRUE(harness.sim().LoadScenarioText(json, &error)) << error;
}

std::string Header(size_t length) {
  std::string header = std::to_string(length);
  header.resize(8, '\0');
  return header;
}

TEST(DevsimScenario, RulesMatchByKindClassServiceAndCodeAndRunOut) {
  Harness harness;
  Catcher catcher;
  Load(harness, R"({"rules": [
      {"kind": "execute", "code": 201, "class": "PIN", "hResult": -1},
      {"kind": "execute", "code": 201, "service": "Pin", "hResult": -2},
      {"kind": "execute", "code": 201, "class": "IDC", "times": 1, "hResult": -14,
       "lpBuffer": {"note": "first"}},
      {"kind": "getinfo", "hResult": -50}]})");
  auto run = [&](int kind, long code) {
    size_t before = catcher.count();
    harness.Send(MakeRequest(kind, catcher.port(), static_cast<long>(before) + 1, code));
    EXPECT_TRUE(catcher.WaitFor(before + 1));
    return Result(catcher.json(before));
  };
  Json::Value first = run(KvSP_CMD_EXECUTE, WFS_CMD_IDC_READ_TRACK);
  EXPECT_EQ(first["hResult"].asInt(), WFS_ERR_HARDWARE_ERROR);
  EXPECT_EQ(first["lpBuffer"]["note"].asString(), "first");
  Json::Value second = run(KvSP_CMD_EXECUTE, WFS_CMD_IDC_READ_TRACK);
  EXPECT_EQ(second["hResult"].asInt(), 0);
  EXPECT_TRUE(second["lpBuffer"].isString());
  EXPECT_EQ(run(KvSP_CMD_EXECUTE, WFS_CMD_IDC_EJECT_CARD)["hResult"].asInt(), 0);
  EXPECT_EQ(run(KvSP_CMD_GETINFO, WFS_INF_IDC_STATUS)["hResult"].asInt(), WFS_ERR_UNSUPP_COMMAND);
  EXPECT_TRUE(harness.WaitForLine("follows rules[2]"));
}

TEST(DevsimScenario, DelayHoldsTheCompletionAndNeverLeavesItPending) {
  Harness harness;
  Catcher catcher;
  Load(harness, R"({"rules": [{"kind": "execute", "code": 203, "delayMs": 300},
                              {"kind": "execute", "code": 201, "never": true}]})");
  auto start = std::chrono::steady_clock::now();
  harness.Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 1, WFS_CMD_IDC_EJECT_CARD));
  harness.Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 2, WFS_CMD_IDC_READ_TRACK));
  harness.Send(MakeRequest(KvSP_CMD_OPEN, catcher.port(), 3));
  ASSERT_TRUE(catcher.WaitFor(1));
  EXPECT_EQ(Result(catcher.json(0))["requestID"].asInt(), 3);
  ASSERT_TRUE(catcher.WaitFor(2));
  EXPECT_EQ(Result(catcher.json(1))["requestID"].asInt(), 1);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_FALSE(catcher.WaitFor(3, 300));
  EXPECT_EQ(harness.sim().PendingCount(), 1u);
  EXPECT_TRUE(harness.WaitForLine("execute requestID=2 is never answered"));
}

TEST(DevsimScenario, EventsGoBeforeAndAfterTheCompletion) {
  Harness harness;
  Catcher catcher;
  Load(harness, R"({"rules": [{"kind": "execute", "code": 201, "delayMs": 50,
      "eventsBefore": [{"kind": "execute", "id": 203}],
      "eventsAfter": [{"kind": "service", "id": 205, "lpBuffer": {"wAction": 2}},
                      {"kind": 1047, "id": 2},
                      {"kind": "user", "id": 206, "lpBuffer": null}]}]})");
  harness.Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 17, WFS_CMD_IDC_READ_TRACK, 2, 4));
  ASSERT_TRUE(catcher.WaitFor(5));
  const int types[] = {WFS_EXECUTE_EVENT, KvSP_EXECUTE_COMPLETE, WFS_SERVICE_EVENT,
                       WFS_SYSTEM_EVENT, WFS_USER_EVENT};
  for (size_t i = 0; i < 5; ++i) {
    Json::Value frame = catcher.json(i);
    EXPECT_EQ(frame["dwMsgType"].asInt(), types[i]) << i;
    EXPECT_EQ(frame["hService"].asInt(), 4);
    EXPECT_EQ(Result(frame)["requestID"].asInt(), 17);
  }
  EXPECT_EQ(Result(catcher.json(0))["dwEventID"].asInt(), WFS_EXEE_IDC_MEDIAINSERTED);
  EXPECT_EQ(Result(catcher.json(2))["lpBuffer"]["wAction"].asInt(), 2);
  Json::Value hwError = Result(catcher.json(3))["lpBuffer"];
  EXPECT_EQ(hwError["lpszLogicalName"].asString(), "CardReader");
  EXPECT_EQ(hwError["lpszAppID"].asString(), "APP1");
  EXPECT_GT(hwError["dwSize"].asInt(), 0);
  EXPECT_TRUE(Result(catcher.json(4))["lpBuffer"].isNull());
}

TEST(DevsimScenario, RawFramesReplaceTheReply) {
  Harness harness;
  Catcher catcher;
  Load(harness, R"({"rules": [{"kind": "execute", "code": 201, "raw": [
      "{\"dwMsgType\": 7, \"hService\": ${hService}, \"lpWfsResult\": {\"requestID\": ${requestID}",
      {"text": "0123456789", "announce": 100},
      {"reply": true, "cut": 20},
      {"text": "abc", "header": "x"},
      {"reply": true, "cut": 5}]}]})");
  harness.Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 77, WFS_CMD_IDC_READ_TRACK, 2, 3));
  ASSERT_TRUE(catcher.WaitFor(5));
  std::vector<std::string> frames = catcher.raw();
  std::string broken = "{\"dwMsgType\": 7, \"hService\": 3, \"lpWfsResult\": {\"requestID\": 77";
  EXPECT_EQ(frames[0], Header(broken.size()) + broken);
  EXPECT_EQ(frames[1], Header(100) + "0123456789");
  ASSERT_EQ(frames[2].size(), 20u);
  EXPECT_EQ(frames[2].substr(8), "{\"dwMsgType\"");
  EXPECT_EQ(frames[3], std::string("x\0\0\0\0\0\0\0abc", 11));
  EXPECT_EQ(frames[4].size(), 5u);
  EXPECT_TRUE(harness.WaitForLine("header announces 100 bytes"));
  EXPECT_EQ(harness.sim().PendingCount(), 0u);
}

TEST(DevsimScenario, BadScenariosSayWhereAndWhatIsWrong) {
  Harness harness;
  struct Bad {
    const char* text;
    const char* what;
  };
  const Bad cases[] = {
      {"{\"rules\": [", "not JSON"},
      {"[]", "scenario is a JSON array, not an object"},
      {R"({"rule": []})", "scenario.rule is not a known member"},
      {R"({"rules": [{"kind": "exec"}]})", "rules[0].kind must be open, close"},
      {R"({"rules": [{"kind": "open", "hresult": 1}]})", "rules[0].hresult is not a known member"},
      {R"({"rules": [{"kind": "open", "code": 3}]})", "rules[0].code applies to getinfo"},
      {R"({"rules": [{"kind": "execute", "delayMs": -1}]})",
       "rules[0].delayMs must be an integer from 0 to 3600000"},
      {R"({"rules": [{"kind": "execute", "code": 2.5}]})",
       "rules[0].code must be an integer of at least 0"},
      {R"({"rules": [{"kind": "execute", "eventsAfter": [{"kind": "x", "id": 1}]}]})",
       "rules[0].eventsAfter[0].kind must be"},
      {R"({"rules": [{"kind": "execute", "raw": [{"text": "a", "reply": true}]}]})",
       "rules[0].raw[0] needs either"},
      {R"({"rules": [{"kind": "execute", "never": true, "hResult": 0}]})",
       "rules[0] is never answered"},
  };
  for (const Bad& bad : cases) {
    std::string error;
    EXPECT_FALSE(harness.sim().LoadScenarioText(bad.text, &error)) << bad.text;
    EXPECT_NE(error.find(bad.what), std::string::npos) << bad.text << " -> " << error;
  }
  testsupport::TempDir dir;
  std::string path = dir.file("scenario.json");
  std::ofstream(path) << R"({"rules": [{"kind": "lock", "class": "ATM"}]})";
  std::string error;
  EXPECT_FALSE(harness.sim().LoadScenarioFile(path, &error));
  EXPECT_EQ(error, path + ": rules[0].class must be IDC, PIN, PTR or CRD");
  EXPECT_FALSE(harness.sim().LoadScenarioFile(dir.file("missing.json"), &error));
  EXPECT_EQ(error, dir.file("missing.json") + ": cannot be read");
}

TEST(DevsimScenario, AFailedLoadKeepsTheRulesAndClearDropsThem) {
  Harness harness;
  Catcher catcher;
  Load(harness, R"({"rules": [{"kind": "open", "hResult": -29}]})");
  std::string error;
  EXPECT_FALSE(harness.sim().LoadScenarioText(R"({"rules": 1})", &error));
  harness.Send(MakeRequest(KvSP_CMD_OPEN, catcher.port(), 1));
  ASSERT_TRUE(catcher.WaitFor(1));
  EXPECT_EQ(Result(catcher.json(0))["hResult"].asInt(), WFS_ERR_INVALID_SERVPROV);
  harness.sim().ClearScenario();
  harness.Send(MakeRequest(KvSP_CMD_OPEN, catcher.port(), 2));
  ASSERT_TRUE(catcher.WaitFor(2));
  EXPECT_EQ(Result(catcher.json(1))["hResult"].asInt(), 0);
}

TEST(DevsimScenario, TheExampleScenariosLoad) {
  Harness harness;
  for (const char* name : {"card-session.json", "broken-replies.json", "pin-session.json"}) {
    std::string error;
    EXPECT_TRUE(harness.sim().LoadScenarioFile(std::string(DEVSIM_EXAMPLES) + "/" + name, &error))
        << error;
  }
}

}  // namespace
