// The simulator as the service provider sees it: requests over raw
// connections, framed replies and events back on the "hWnd" port.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

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

std::string Decode64(const std::string& text) {
  static const std::string alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  unsigned group = 0;
  int bits = 0;
  for (char c : text) {
    size_t at = alphabet.find(c);
    if (at == std::string::npos) break;
    group = (group << 6) | static_cast<unsigned>(at);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes += static_cast<char>((group >> bits) & 0xFF);
    }
  }
  return bytes;
}

struct KindCase {
  int kind;
  long code;
  int msgType;
  bool carriesCode;
};

TEST(DevsimProtocol, EveryAnsweredKindGetsItsMessageTypeAndEnvelope) {
  Harness harness;
  Catcher catcher;
  const KindCase cases[] = {
      {KvSP_CMD_OPEN, 0, KvSP_OPEN_COMPLETE, false},
      {KvSP_CMD_CLOSE, 0, KvSP_CLOSE_COMPLETE, false},
      {KvSP_CMD_LOCK, 0, KvSP_LOCK_COMPLETE, true},
      {KvSP_CMD_UNLOCK, 0, KvSP_UNLOCK_COMPLETE, true},
      {KvSP_CMD_GETINFO, WFS_INF_IDC_STATUS, KvSP_GETINFO_COMPLETE, true},
      {KvSP_CMD_EXECUTE, WFS_CMD_IDC_EJECT_CARD, KvSP_EXECUTE_COMPLETE, true},
  };
  long requestID = 40;
  for (const KindCase& c : cases) {
    SCOPED_TRACE(c.kind);
    size_t before = catcher.count();
    harness.Send(MakeRequest(c.kind, catcher.port(), ++requestID, c.code, 2, 7));
    ASSERT_TRUE(catcher.WaitFor(before + 1));
    Json::Value reply = catcher.json(before);
    EXPECT_EQ(reply["dwMsgType"].asInt(), c.msgType);
    EXPECT_EQ(reply["hService"].asInt(), 7);
    const Json::Value& result = Result(reply);
    EXPECT_EQ(result["hService"].asInt(), 7);
    EXPECT_EQ(result["requestID"].asInt64(), requestID);
    EXPECT_EQ(result["hResult"].asInt(), 0);
    EXPECT_EQ(result.isMember("dwCommandCode"), c.carriesCode);
    if (c.carriesCode) {
      EXPECT_EQ(result["dwCommandCode"].asInt64(), c.code);
    }
    EXPECT_TRUE(result.isMember("lpBuffer"));
    const Json::Value& stamp = result["tsTimestamp"];
    for (const char* member :
         {"year", "month", "day_of_week", "day", "hour", "minute", "second", "milli_seconds"}) {
      EXPECT_TRUE(stamp[member].isInt()) << member;
    }
    EXPECT_GE(stamp["year"].asInt(), 2024);
  }
}

TEST(DevsimProtocol, RequestsAreRecordedAsReceived) {
  Harness harness;
  Catcher catcher;
  Json::Value request = MakeRequest(KvSP_CMD_OPEN, catcher.port(), 1);
  harness.Send(request);
  harness.SendText("no json here", "Pin");
  std::vector<devsim::ReceivedRequest> requests = harness.sim().Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].service, "CardReader");
  EXPECT_EQ(requests[0].text, devsimtest::Render(request));
  EXPECT_EQ(requests[0].request, request);
  EXPECT_EQ(requests[1].service, "Pin");
  EXPECT_TRUE(requests[1].request.isNull());
  EXPECT_FALSE(harness.sim().WaitForRequests(3, 50));
}

TEST(DevsimProtocol, CardReaderDefaultsAreRealistic) {
  Harness harness;
  Catcher catcher;
  auto ask = [&](int kind, long code, const Json::Value& data) {
    size_t before = catcher.count();
    Json::Value request = MakeRequest(kind, catcher.port(), 9, code);
    request["lpDataBuffer"] = data;
    harness.Send(request);
    EXPECT_TRUE(catcher.WaitFor(before + 1));
    return Result(catcher.json(before))["lpBuffer"];
  };
  Json::Value status = ask(KvSP_CMD_GETINFO, WFS_INF_IDC_STATUS, Json::Value());
  EXPECT_EQ(status["fwDevice"].asInt(), WFS_IDC_DEVONLINE);
  EXPECT_EQ(status["fwMedia"].asInt(), WFS_IDC_MEDIANOTPRESENT);
  EXPECT_EQ(status["dwGuidLights"].size(), static_cast<unsigned>(WFS_IDC_GUIDLIGHTS_SIZE));
  Json::Value caps = ask(KvSP_CMD_GETINFO, WFS_INF_IDC_CAPABILITIES, Json::Value());
  EXPECT_EQ(caps["wClass"].asInt(), WFS_SERVICE_CLASS_IDC);
  EXPECT_EQ(caps["fwReadTracks"].asInt(), WFS_IDC_TRACK1 | WFS_IDC_TRACK2 | WFS_IDC_TRACK3);
  Json::Value forms = ask(KvSP_CMD_GETINFO, WFS_INF_IDC_FORM_LIST, Json::Value());
  ASSERT_TRUE(forms.isArray());
  EXPECT_FALSE(forms.empty());
  EXPECT_TRUE(ask(KvSP_CMD_EXECUTE, WFS_CMD_IDC_READ_TRACK, "ISO_TRACK2").isString());

  Json::Value readData(Json::objectValue);
  readData["lpwReadData"] = WFS_IDC_TRACK2 | WFS_IDC_CHIP | WFS_IDC_SECURITY;
  Json::Value raw = ask(KvSP_CMD_EXECUTE, WFS_CMD_IDC_READ_RAW_DATA, readData);
  ASSERT_EQ(raw.size(), 3u);
  EXPECT_EQ(raw[0]["wDataSource"].asInt(), WFS_IDC_TRACK2);
  EXPECT_EQ(raw[1]["wDataSource"].asInt(), WFS_IDC_CHIP);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(raw[i]["wStatus"].asInt(), WFS_IDC_DATAOK);
    EXPECT_EQ(Decode64(raw[i]["lpbData"].asString()).size(), raw[i]["ulDataLength"].asUInt());
  }
  EXPECT_EQ(raw[2]["wDataSource"].asInt(), WFS_IDC_SECURITY);
  EXPECT_EQ(raw[2]["wStatus"].asInt(), WFS_IDC_DATASRCNOTSUPP);
  EXPECT_FALSE(raw[2].isMember("lpbData"));

  Json::Value eject(Json::objectValue);
  eject["wEjectPosition"] = WFS_IDC_TRANSPORTPOSITION;
  EXPECT_EQ(ask(KvSP_CMD_EXECUTE, WFS_CMD_IDC_EJECT_CARD, eject)["wEjectPosition"].asInt(),
            WFS_IDC_TRANSPORTPOSITION);
  Json::Value retain = ask(KvSP_CMD_EXECUTE, WFS_CMD_IDC_RETAIN_CARD, Json::Value());
  EXPECT_EQ(retain["usCount"].asInt(), 1);
  EXPECT_EQ(ask(KvSP_CMD_GETINFO, WFS_INF_IDC_STATUS, Json::Value())["usCards"].asInt(), 1);

  Json::Value io = ask(KvSP_CMD_EXECUTE, WFS_CMD_IDC_CHIP_IO, Json::Value());
  EXPECT_EQ(Decode64(io["lpbChipData"].asString()).size(), io["ulChipDataLength"].asUInt());
  Json::Value power = ask(KvSP_CMD_EXECUTE, WFS_CMD_IDC_CHIP_POWER, WFS_IDC_CHIPPOWERCOLD);
  EXPECT_GT(power["ulChipDataLength"].asUInt(), 0u);
  Json::Value off = ask(KvSP_CMD_EXECUTE, WFS_CMD_IDC_CHIP_POWER, WFS_IDC_CHIPPOWEROFF);
  EXPECT_EQ(off["ulChipDataLength"].asUInt(), 0u);
  EXPECT_FALSE(off.isMember("lpbChipData"));
}

TEST(DevsimProtocol, OtherClassesCompleteWithoutData) {
  Harness harness;
  Catcher catcher;
  // A PIN pad's reset has no output.
  harness.Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 3, 418, WFS_SERVICE_CLASS_PIN), "Pin");
  ASSERT_TRUE(catcher.WaitFor(1));
  EXPECT_EQ(Result(catcher.json(0))["hResult"].asInt(), 0);
  EXPECT_TRUE(Result(catcher.json(0))["lpBuffer"].isNull());
}

// A scenario that leaves every execute unanswered.
void NeverAnswerExecutes(Harness& harness) {
  std::string error;
  ASSERT_TRUE(
      harness.sim().LoadScenarioText(R"({"rules": [{"kind": "execute", "never": true}]})", &error))
      << error;
}

TEST(DevsimProtocol, CancelCompletesThePendingRequestOnItsOwnPort) {
  Harness harness;
  Catcher catcher;
  Catcher other;
  NeverAnswerExecutes(harness);
  harness.Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 11, WFS_CMD_IDC_READ_TRACK));
  harness.Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 12, WFS_CMD_IDC_READ_TRACK));
  ASSERT_TRUE(testsupport::WaitUntil([&] { return harness.sim().PendingCount() == 2; }, 5000));
  harness.Send(MakeRequest(KvSP_CMD_CANCEL, other.port(), 12));
  ASSERT_TRUE(catcher.WaitFor(1));
  Json::Value reply = catcher.json(0);
  EXPECT_EQ(reply["dwMsgType"].asInt(), KvSP_EXECUTE_COMPLETE);
  EXPECT_EQ(Result(reply)["requestID"].asInt(), 12);
  EXPECT_EQ(Result(reply)["hResult"].asInt(), WFS_ERR_CANCELED);
  EXPECT_EQ(Result(reply)["dwCommandCode"].asInt(), WFS_CMD_IDC_READ_TRACK);
  EXPECT_EQ(harness.sim().PendingCount(), 1u);

  // Completed already: nothing more is sent.
  harness.Send(MakeRequest(KvSP_CMD_CANCEL, other.port(), 12));
  EXPECT_TRUE(harness.WaitForLine("cancel of requestID=12: nothing pending"));
  // Request 0 cancels everything pending of the service handle.
  harness.Send(MakeRequest(KvSP_CMD_CANCEL, other.port(), 0));
  ASSERT_TRUE(catcher.WaitFor(2));
  EXPECT_EQ(Result(catcher.json(1))["requestID"].asInt(), 11);
  EXPECT_EQ(Result(catcher.json(1))["hResult"].asInt(), WFS_ERR_CANCELED);
  EXPECT_EQ(other.count(), 0u);
  EXPECT_EQ(catcher.count(), 2u);
}

TEST(DevsimProtocol, TimeOutNoticeCompletesWithTimeoutAndNoProblem) {
  Harness harness;
  Catcher catcher;
  NeverAnswerExecutes(harness);
  harness.Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 21, WFS_CMD_IDC_READ_RAW_DATA));
  // The notice as the worker thread fills it: service, request and kind.
  Json::Value notice(Json::objectValue);
  notice["hService"] = 1;
  notice["requestID"] = 21;
  notice["nCmdType"] = KvSP_CMD_TIMEOUT;
  harness.Send(notice);
  ASSERT_TRUE(catcher.WaitFor(1));
  EXPECT_EQ(Result(catcher.json(0))["hResult"].asInt(), WFS_ERR_TIMEOUT);
  EXPECT_EQ(Result(catcher.json(0))["requestID"].asInt(), 21);
  // The same notice as the bridge renders it: every member, the unset ones 0.
  harness.Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 22, WFS_CMD_IDC_READ_RAW_DATA));
  Json::Value rendered = MakeRequest(KvSP_CMD_TIMEOUT, 0, 22, 0, 0);
  rendered["lpAppId"] = Json::Value();
  rendered["dwTimeout"] = 0;
  harness.Send(rendered);
  ASSERT_TRUE(catcher.WaitFor(2));
  EXPECT_EQ(Result(catcher.json(1))["hResult"].asInt(), WFS_ERR_TIMEOUT);
  EXPECT_EQ(Result(catcher.json(1))["requestID"].asInt(), 22);
  EXPECT_EQ(harness.LinesWith("problem"), 0);
  EXPECT_EQ(harness.sim().PendingCount(), 0u);
}

TEST(DevsimProtocol, UnloadServiceGetsNoReply) {
  Harness harness;
  Catcher catcher;
  harness.Send(MakeRequest(KvSP_CMD_UNLOAD_SERVICE, catcher.port(), 0));
  EXPECT_TRUE(harness.WaitForLine("unload service needs no reply"));
  EXPECT_FALSE(catcher.WaitFor(1, 300));
}

TEST(DevsimProtocol, BadInputIsLoggedAndRefusedWithoutHarm) {
  Harness harness;
  Catcher catcher;
  harness.SendText("{\"nCmdType\": 4, ");
  EXPECT_TRUE(harness.WaitForLine("refused a request that is not JSON"));
  harness.Send(MakeRequest(9, catcher.port(), 1));
  EXPECT_TRUE(harness.WaitForLine("refused a request: unknown request kind 9"));
  Json::Value noPort = MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 2, WFS_CMD_IDC_READ_TRACK);
  noPort.removeMember("hWnd");
  harness.Send(noPort);
  EXPECT_TRUE(harness.WaitForLine("\"hWnd\" is missing"));
  // A bad value may be card data: the log names its type, never the value.
  Json::Value cardData = MakeRequest(KvSP_CMD_OPEN, catcher.port(), 3);
  cardData["hWnd"] = "4000001234567899=2512";
  cardData["nCmdType"] = Json::Value(Json::arrayValue);
  cardData["nCmdType"].append("4000001234567899");
  harness.Send(cardData);
  EXPECT_TRUE(harness.WaitForLine("\"nCmdType\" is a JSON array, not an integer"));
  harness.Send(MakeRequest(KvSP_CMD_OPEN, 0, 4));
  EXPECT_TRUE(harness.WaitForLine("\"hWnd\" 0 is not a port"));
  // The parser names a duplicate key: the name stays out of the log too.
  harness.SendText("{\"4000001234567899\": 1, \"4000001234567899\": 2}");
  EXPECT_TRUE(harness.WaitForLine("Duplicate key: '...'"));
  for (const std::string& line : harness.lines()) {
    EXPECT_EQ(line.find("4000001234567899"), std::string::npos) << line;
  }
  EXPECT_EQ(catcher.count(), 0u);
  // Still serving.
  harness.Send(MakeRequest(KvSP_CMD_OPEN, catcher.port(), 5));
  ASSERT_TRUE(catcher.WaitFor(1));
  EXPECT_EQ(Result(catcher.json(0))["requestID"].asInt(), 5);
}

TEST(DevsimProtocol, WrongMembersOfTheServiceProviderAreReported) {
  Harness harness;
  Catcher catcher;
  Json::Value request = MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 6, WFS_CMD_IDC_EJECT_CARD,
                                    WFS_SERVICE_CLASS_PIN);
  request.removeMember("requestID");
  request["requestId"] = 6;
  harness.Send(request);
  ASSERT_TRUE(catcher.WaitFor(1));
  EXPECT_EQ(harness.LinesWith("problem in execute 203 requestID=0: \"requestID\" is missing"), 1);
  EXPECT_EQ(harness.LinesWith("\"lType\" 4 is not this service's class 2"), 1);

  Json::Value noPayload = MakeRequest(KvSP_CMD_GETINFO, catcher.port(), 7, WFS_INF_IDC_STATUS);
  noPayload.removeMember("lpDataBuffer");
  harness.Send(noPayload);
  Json::Value strayPayload = MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 8, 305);
  strayPayload["lpDataBuffer"] = Json::Value();
  harness.Send(strayPayload);
  ASSERT_TRUE(catcher.WaitFor(3));
  EXPECT_EQ(harness.LinesWith("problem in get-info 201 requestID=7: \"lpDataBuffer\" is missing"),
            1);
  EXPECT_EQ(harness.LinesWith("\"lpDataBuffer\" comes with code 305, which no class has"), 1);
}

TEST(DevsimProtocol, EachRequestAndReplyIsLoggedOnceWithCardDataMasked) {
  Harness harness;
  Catcher catcher;
  Json::Value request = MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 8, WFS_CMD_IDC_READ_RAW_DATA);
  harness.Send(request);
  ASSERT_TRUE(catcher.WaitFor(1));
  ASSERT_TRUE(harness.WaitForLine("sent to port"));
  EXPECT_EQ(harness.LinesWith("received execute 207"), 1);
  EXPECT_EQ(harness.LinesWith("reply 7 (execute)"), 1);
  EXPECT_GT(harness.LinesWith("<masked"), 0);
  std::string track = Result(catcher.json(0))["lpBuffer"][0]["lpbData"].asString();
  ASSERT_FALSE(track.empty());
  EXPECT_EQ(harness.LinesWith(track), 0);

  Harness raw(true);
  Catcher rawCatcher;
  raw.Send(MakeRequest(KvSP_CMD_EXECUTE, rawCatcher.port(), 8, WFS_CMD_IDC_READ_RAW_DATA));
  ASSERT_TRUE(rawCatcher.WaitFor(1));
  EXPECT_TRUE(raw.WaitForLine(track));
}

TEST(DevsimProtocol, PinDataIsMasked) {
  Harness harness;
  Catcher catcher;
  Json::Value request =
      MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 8, 401, WFS_SERVICE_CLASS_PIN);
  request["lpDataBuffer"]["lpsKey"] = "SECRETKEYNAME";
  harness.Send(request, "Pin");
  ASSERT_TRUE(catcher.WaitFor(1));
  devsim::EventOrder key = devsimtest::Order("Pin", WFS_EXECUTE_EVENT, 401);
  key.lpBuffer["ulDigit"] = 987654;
  std::string error;
  ASSERT_TRUE(harness.sim().SendEvent(key, &error)) << error;
  ASSERT_TRUE(catcher.WaitFor(2));
  EXPECT_EQ(catcher.json(1)["lpWfsResult"]["lpBuffer"]["ulDigit"].asInt(), 987654);
  EXPECT_TRUE(harness.WaitForLine("event 1044 id 401"));
  EXPECT_EQ(harness.LinesWith("SECRETKEYNAME"), 0);
  EXPECT_EQ(harness.LinesWith("987654"), 0);
}

TEST(DevsimProtocol, AnsweringOffHoldsRequestsAndKeepsTheirPlans) {
  Harness harness;
  Catcher catcher;
  std::string error;
  ASSERT_TRUE(harness.sim().LoadScenarioText(
      R"({"rules": [{"kind": "execute", "times": 1, "hResult": -14}]})", &error));
  harness.sim().SetAnswering(false);
  harness.Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 31, WFS_CMD_IDC_EJECT_CARD));
  harness.Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 32, WFS_CMD_IDC_EJECT_CARD));
  harness.Send(MakeRequest(KvSP_CMD_OPEN, catcher.port(), 33));
  EXPECT_TRUE(testsupport::WaitUntil([&] { return harness.sim().PendingCount() == 3; }, 5000));
  EXPECT_FALSE(catcher.WaitFor(1, 200));
  // The rule was used up when the first request arrived; a new scenario
  // does not change what the held requests were promised.
  ASSERT_TRUE(harness.sim().LoadScenarioText(
      R"({"rules": [{"kind": "execute", "hResult": -20}, {"kind": "open", "never": true}]})",
      &error));
  harness.sim().SetAnswering(true);
  ASSERT_TRUE(catcher.WaitFor(3));
  std::map<int, int> results;
  for (size_t i = 0; i < 3; ++i) {
    results[Result(catcher.json(i))["requestID"].asInt()] =
        Result(catcher.json(i))["hResult"].asInt();
  }
  EXPECT_EQ(results[31], WFS_ERR_HARDWARE_ERROR);
  EXPECT_EQ(results[32], 0);
  EXPECT_EQ(results[33], 0);
  EXPECT_EQ(harness.sim().PendingCount(), 0u);
}

TEST(DevsimProtocol, ListeningOffClosesThePortsAndOnReopensThem) {
  Harness harness;
  Catcher catcher;
  int port = harness.port();
  harness.sim().SetListening(false);
  EXPECT_FALSE(harness.sim().Listening());
  EXPECT_FALSE(devsimtest::SendRaw(port, "{}"));
  harness.sim().SetListening(true);
  EXPECT_EQ(harness.port(), port);
  harness.Send(MakeRequest(KvSP_CMD_OPEN, catcher.port(), 1));
  ASSERT_TRUE(catcher.WaitFor(1));
}

TEST(DevsimProtocol, ThePortOfAServiceIsKnownAndAPortInUseFailsTheStart) {
  Harness harness;
  EXPECT_GT(harness.port("CardReader"), 0);
  EXPECT_GT(harness.port("Pin"), 0);
  EXPECT_EQ(harness.sim().Port("Nobody"), -1);
  devsim::SimulatorOptions options;
  options.services = {{"Free", "IDC", 0}, {"Taken", "IDC", harness.port()}};
  options.log = [](const std::string&) {};
  devsim::Simulator second(options);
  std::string error;
  EXPECT_FALSE(second.Start(&error));
  EXPECT_NE(error.find("Taken"), std::string::npos) << error;
  EXPECT_NE(error.find("in use"), std::string::npos) << error;
}

TEST(DevsimProtocol, AClassTheServiceProviderDoesNotKnowIsServedAndSaid) {
  Catcher catcher;
  std::vector<std::string> lines;
  std::mutex lock;
  devsim::SimulatorOptions options;
  options.services = {{"Scanner", "SCN", 0}};
  options.log = [&](const std::string& line) {
    std::lock_guard<std::mutex> guard(lock);
    lines.push_back(line);
  };
  devsim::Simulator sim(options);
  std::string error;
  ASSERT_TRUE(sim.Start(&error)) << error;
  ASSERT_TRUE(
      devsimtest::SendRaw(sim.Port("Scanner"),
                          devsimtest::Render(MakeRequest(KvSP_CMD_OPEN, catcher.port(), 1, 0, 9))));
  ASSERT_TRUE(catcher.WaitFor(1));
  EXPECT_EQ(Result(catcher.json(0))["hResult"].asInt(), 0);
  sim.Stop();
  std::lock_guard<std::mutex> guard(lock);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines[0].find("the service provider knows no class \"SCN\""), std::string::npos)
      << lines[0];
}

TEST(DevsimProtocol, TheLogSinkMayCallBackIntoTheSimulator) {
  Catcher catcher;
  devsim::SimulatorOptions options;
  options.services = {{"CardReader", "IDC", 0}};
  std::atomic<devsim::Simulator*> self{nullptr};
  std::atomic<int> calls{0};
  options.log = [&](const std::string&) {
    if (devsim::Simulator* sim = self.load()) {
      sim->PendingCount();
      sim->Requests();
      ++calls;
    }
  };
  devsim::Simulator sim(options);
  self = &sim;
  std::string error;
  ASSERT_TRUE(sim.Start(&error)) << error;
  ASSERT_TRUE(devsimtest::SendRaw(
      sim.Port("CardReader"), devsimtest::Render(MakeRequest(KvSP_CMD_OPEN, catcher.port(), 1))));
  ASSERT_TRUE(catcher.WaitFor(1));
  EXPECT_TRUE(testsupport::WaitUntil([&] { return calls >= 2; }, 5000));
}

TEST(DevsimProtocol, SystemEventsCarryTheirStructures) {
  Harness harness;
  Catcher catcher;
  harness.Send(MakeRequest(KvSP_CMD_OPEN, catcher.port(), 1));
  ASSERT_TRUE(catcher.WaitFor(1));
  // The members each system-event structure is read from.
  const std::map<unsigned long, std::vector<const char*>> members = {
      {WFS_SYSE_UNDELIVERABLE_MSG,
       {"lpszLogicalName", "lpszWorkstationName", "lpszAppID", "dwSize", "lpbDescription", "dwMsg",
        "lpWFSResult"}},
      {WFS_SYSE_HARDWARE_ERROR,
       {"lpszLogicalName", "lpszPhysicalName", "lpszWorkstationName", "lpszAppID", "dwSize",
        "lpbDescription"}},
      {WFS_SYSE_VERSION_ERROR,
       {"lpszLogicalName", "lpszWorkstationName", "lpszAppID", "dwSize", "lpbDescription",
        "lpWFSVersion"}},
      {WFS_SYSE_DEVICE_STATUS, {"lpszPhysicalName", "lpszWorkstationName"}},
      {WFS_SYSE_APP_DISCONNECT, {"lpszLogicalName", "lpszWorkstationName", "lpszAppID"}},
      {WFS_SYSE_SOFTWARE_ERROR, {"lpszLogicalName", "lpszPhysicalName", "dwSize"}},
      {WFS_SYSE_USER_ERROR, {"lpszLogicalName", "lpszPhysicalName", "dwSize"}},
  };
  size_t next = 1;
  for (const auto& entry : members) {
    std::string error;
    ASSERT_TRUE(harness.sim().SendEvent(
        devsimtest::Order("CardReader", WFS_SYSTEM_EVENT, entry.first), &error))
        << error;
    ASSERT_TRUE(catcher.WaitFor(next + 1));
    Json::Value event = catcher.json(next++);
    EXPECT_EQ(event["dwMsgType"].asInt(), WFS_SYSTEM_EVENT);
    EXPECT_EQ(Result(event)["dwEventID"].asUInt(), entry.first);
    const Json::Value& payload = Result(event)["lpBuffer"];
    for (const char* member : entry.second) {
      EXPECT_TRUE(payload.isMember(member)) << entry.first << " " << member;
    }
    if (payload.isMember("dwSize")) {
      EXPECT_EQ(Decode64(payload["lpbDescription"].asString()).size(), payload["dwSize"].asUInt());
    }
  }
  std::string error;
  ASSERT_TRUE(harness.sim().SendEvent(
      devsimtest::Order("CardReader", WFS_SYSTEM_EVENT, WFS_SYSE_LOCK_REQUESTED), &error));
  ASSERT_TRUE(catcher.WaitFor(next + 1));
  EXPECT_TRUE(Result(catcher.json(next))["lpBuffer"].isNull());
}

TEST(DevsimProtocol, EventOrdersThatCannotBeSentSayWhy) {
  Harness harness;
  Catcher catcher;
  devsim::EventOrder order =
      devsimtest::Order("CardReader", WFS_SERVICE_EVENT, WFS_SRVE_IDC_MEDIAREMOVED);
  std::string error;
  EXPECT_FALSE(harness.sim().SendEvent(order, &error));
  EXPECT_NE(error.find("has had no request yet"), std::string::npos) << error;
  order.hWnd = catcher.port();
  order.hService = 9;
  EXPECT_TRUE(harness.sim().SendEvent(order, &error)) << error;
  ASSERT_TRUE(catcher.WaitFor(1));
  EXPECT_EQ(catcher.json(0)["hService"].asInt(), 9);
  order.kind = 1048;
  EXPECT_FALSE(harness.sim().SendEvent(order, &error));
  EXPECT_NE(error.find("1048"), std::string::npos) << error;
  order.kind = WFS_USER_EVENT;
  order.service = "Nobody";
  EXPECT_FALSE(harness.sim().SendEvent(order, &error));
  EXPECT_EQ(error, "no service \"Nobody\"");
  order.service = "CardReader";
  order.hWnd = testsupport::FreePort();
  EXPECT_FALSE(harness.sim().SendEvent(order, &error));
  EXPECT_NE(error.find("nobody listens"), std::string::npos) << error;
}

TEST(DevsimProtocol, AHeldRequestCanBeCancelledAndIsNotAnsweredLater) {
  Harness harness;
  Catcher catcher;
  harness.sim().SetAnswering(false);
  harness.Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 51, WFS_CMD_IDC_EJECT_CARD));
  harness.Send(MakeRequest(KvSP_CMD_CANCEL, catcher.port(), 51));
  ASSERT_TRUE(catcher.WaitFor(1));
  EXPECT_EQ(Result(catcher.json(0))["hResult"].asInt(), WFS_ERR_CANCELED);
  harness.sim().SetAnswering(true);
  EXPECT_TRUE(harness.WaitForLine("0 held requests go ahead"));
  EXPECT_FALSE(catcher.WaitFor(2, 300));
}

TEST(DevsimProtocol, StoppingDropsWhatIsScheduledAndStartsAgain) {
  Catcher catcher;
  auto harness = std::make_unique<Harness>();
  std::string error;
  ASSERT_TRUE(harness->sim().LoadScenarioText(
      R"({"rules": [{"kind": "execute", "delayMs": 600000}]})", &error));
  harness->Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 61, WFS_CMD_IDC_EJECT_CARD));
  int port = harness->port();
  harness->sim().Stop();
  EXPECT_EQ(harness->sim().PendingCount(), 0u);
  EXPECT_FALSE(devsimtest::SendRaw(port, "{}"));
  ASSERT_TRUE(harness->sim().Start(&error)) << error;
  EXPECT_EQ(harness->port(), port);
  harness->Send(MakeRequest(KvSP_CMD_OPEN, catcher.port(), 62));
  ASSERT_TRUE(catcher.WaitFor(1));
  EXPECT_EQ(Result(catcher.json(0))["requestID"].asInt(), 62);
  // Destroyed with a completion ten minutes away: nothing waits for it.
  harness->Send(MakeRequest(KvSP_CMD_EXECUTE, catcher.port(), 63, WFS_CMD_IDC_EJECT_CARD));
  harness.reset();
  EXPECT_EQ(catcher.count(), 1u);
}

}  // namespace
