// The control console: events now, the answering and listening switches,
// scenarios, status, and what it says to bad commands.
#include <gtest/gtest.h>

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

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

// A simulator whose card reader and PIN pad have each seen an open from
// the catcher's port, so events know where to go.
struct Opened {
  Harness harness;
  Catcher catcher;
  devsim::ControlConsole console{harness.sim()};
  Opened() {
    harness.Send(MakeRequest(KvSP_CMD_OPEN, catcher.port(), 1, 0, 2, 5));
    harness.Send(MakeRequest(KvSP_CMD_OPEN, catcher.port(), 2, 0, 4, 6), "Pin");
    EXPECT_TRUE(catcher.WaitFor(2));
  }
  Json::Value Next(size_t index) {
    EXPECT_TRUE(catcher.WaitFor(index + 1));
    return catcher.json(index);
  }
};

TEST(DevsimConsole, CardKeyAndHardwareErrorSendTheirEvents) {
  Opened opened;
  std::string error;
  ASSERT_TRUE(opened.harness.sim().LoadScenarioText(
      R"({"rules": [{"kind": "execute", "never": true}]})", &error));
  opened.harness.Send(
      MakeRequest(KvSP_CMD_EXECUTE, opened.catcher.port(), 44, WFS_CMD_IDC_READ_TRACK, 2, 5));
  ASSERT_TRUE(
      testsupport::WaitUntil([&] { return opened.harness.sim().PendingCount() == 1; }, 5000));
  EXPECT_EQ(opened.console.Execute("card"), "sent event 203 from CardReader");
  Json::Value card = opened.Next(2);
  EXPECT_EQ(card["dwMsgType"].asInt(), WFS_EXECUTE_EVENT);
  EXPECT_EQ(card["hService"].asInt(), 5);
  EXPECT_EQ(Result(card)["dwEventID"].asInt(), WFS_EXEE_IDC_MEDIAINSERTED);
  // The event belongs to the read that waits for the card.
  EXPECT_EQ(Result(card)["requestID"].asInt(), 44);

  EXPECT_EQ(opened.console.Execute("key 0x2A 010"), "sent event 401 from Pin");
  Json::Value key = opened.Next(3);
  EXPECT_EQ(key["hService"].asInt(), 6);
  EXPECT_EQ(Result(key)["lpBuffer"]["ulDigit"].asInt(), 0x2A);
  EXPECT_EQ(Result(key)["lpBuffer"]["wCompletion"].asInt(), 10);

  EXPECT_EQ(opened.console.Execute("hwerror @Pin"), "sent event 2 from Pin");
  Json::Value hw = opened.Next(4);
  EXPECT_EQ(hw["dwMsgType"].asInt(), WFS_SYSTEM_EVENT);
  EXPECT_EQ(Result(hw)["dwEventID"].asInt(), WFS_SYSE_HARDWARE_ERROR);
  EXPECT_EQ(Result(hw)["lpBuffer"]["lpszLogicalName"].asString(), "Pin");
  // Unsolicited: it belongs to no request.
  EXPECT_EQ(Result(hw)["requestID"].asInt(), 0);

  EXPECT_EQ(
      opened.console.Execute("event service 205 {\"wAction\": 3, \"wPosition\": 2} @CardReader"),
      "sent event 205 from CardReader");
  Json::Value action = opened.Next(5);
  EXPECT_EQ(action["dwMsgType"].asInt(), WFS_SERVICE_EVENT);
  EXPECT_EQ(Result(action)["lpBuffer"]["wAction"].asInt(), 3);
  EXPECT_EQ(opened.console.Execute("event 1045 209"), "sent event 209 from CardReader");
  EXPECT_EQ(Result(opened.Next(6))["lpBuffer"].asInt(), WFS_IDC_CARDRETAINED);

  // The card is in the reader now.
  opened.harness.Send(
      MakeRequest(KvSP_CMD_GETINFO, opened.catcher.port(), 45, WFS_INF_IDC_STATUS, 2, 5));
  EXPECT_EQ(Result(opened.Next(7))["lpBuffer"]["fwMedia"].asInt(), WFS_IDC_MEDIAPRESENT);
}

TEST(DevsimConsole, TheKeyPayloadOfTheConsoleIsTheDefaultPayload) {
  Opened opened;
  std::string error;
  ASSERT_TRUE(
      opened.harness.sim().SendEvent(devsimtest::Order("Pin", WFS_EXECUTE_EVENT, 401), &error))
      << error;
  EXPECT_EQ(opened.console.Execute("key 00 0"), "sent event 401 from Pin");
  EXPECT_EQ(Result(opened.Next(2))["lpBuffer"], Result(opened.Next(3))["lpBuffer"]);
}

TEST(DevsimConsole, SwitchesScenarioAndStatus) {
  Opened opened;
  devsim::ControlConsole& console = opened.console;
  EXPECT_EQ(console.Execute("answer off"), "answer off");
  opened.harness.Send(MakeRequest(KvSP_CMD_CLOSE, opened.catcher.port(), 3, 0, 2, 5));
  std::string status = console.Execute("status");
  EXPECT_NE(status.find("CardReader (IDC) port " + std::to_string(opened.harness.port())),
            std::string::npos)
      << status;
  EXPECT_NE(status.find("answering off, listening on, 3 requests received, 1 waiting"),
            std::string::npos)
      << status;
  EXPECT_EQ(console.Execute("answer on"), "answer on");
  EXPECT_EQ(opened.Next(2)["dwMsgType"].asInt(), KvSP_CLOSE_COMPLETE);

  EXPECT_EQ(console.Execute("listen off"), "listen off");
  EXPECT_FALSE(devsimtest::SendRaw(opened.harness.port(), "{}"));
  EXPECT_EQ(console.Execute("listen on"), "listen on");
  EXPECT_TRUE(devsimtest::SendRaw(opened.harness.port(), "{}"));

  testsupport::TempDir dir;
  std::ofstream(dir.file("s.json")) << R"({"rules": [{"kind": "lock", "hResult": -32}]})";
  EXPECT_EQ(console.Execute("scenario " + dir.file("s.json")),
            "scenario " + dir.file("s.json") + " loaded");
  opened.harness.Send(MakeRequest(KvSP_CMD_LOCK, opened.catcher.port(), 4, 0, 2, 5));
  EXPECT_EQ(Result(opened.Next(3))["hResult"].asInt(), WFS_ERR_LOCKED);
  EXPECT_EQ(console.Execute("scenario clear"), "scenario cleared");
  opened.harness.Send(MakeRequest(KvSP_CMD_LOCK, opened.catcher.port(), 5, 0, 2, 5));
  EXPECT_EQ(Result(opened.Next(4))["hResult"].asInt(), 0);

  EXPECT_FALSE(console.QuitRequested());
  EXPECT_EQ(console.Execute("quit"), "bye");
  EXPECT_TRUE(console.QuitRequested());
}

TEST(DevsimConsole, BadCommandsAreAnsweredWithAnError) {
  Harness harness;
  devsim::ControlConsole console(harness.sim());
  EXPECT_NE(console.Execute("help").find("listen on|off"), std::string::npos);
  EXPECT_EQ(console.Execute(""), "");
  const char* const bad[] = {
      "fly",
      "answer maybe",
      "key",
      "key x",
      "key 4294967296",
      "key 1 2 3",
      "event",
      "event bogus 2",
      "event user x",
      "event system 2 {nope",
      "card extra",
      "card @Nobody",
      "scenario",
      "scenario /no/such/file.json",
  };
  for (const char* command : bad) {
    EXPECT_TRUE(StartsWith(console.Execute(command), "error: ")) << command;
  }
  // No request yet: the simulator does not know where to send.
  std::string reply = console.Execute("card");
  EXPECT_NE(reply.find("has had no request yet"), std::string::npos) << reply;

  devsim::SimulatorOptions options;
  options.services = {{"Printer", "PTR", 0}};
  options.log = [](const std::string&) {};
  devsim::Simulator printerOnly(options);
  devsim::ControlConsole printerConsole(printerOnly);
  EXPECT_EQ(printerConsole.Execute("card"), "error: no IDC service; name one with @SERVICE");
  EXPECT_EQ(printerConsole.Execute("ink x"), "error: usage: ink [LEVEL] [@SERVICE]");
  EXPECT_EQ(printerConsole.Execute("take now"), "error: take takes no argument but @SERVICE");
}

}  // namespace
