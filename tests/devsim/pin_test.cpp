// The simulated PIN pad: key entries and their key events, PIN blocks, key
// check values and data, and what its log keeps to itself.
#include <gtest/gtest.h>

#include <string>

#include "BASE64_API.h"
#include "devsim/simulator.h"
#include "harness.h"
#include "ostrel_records.h"
#include "test_support.h"
#include "xfspin.h"

namespace {

using devsimtest::Catcher;
using devsimtest::Harness;
using devsimtest::Result;

// A PIN pad request with payload; waits for its completion, the frame
// after `frames` frames, and returns its "lpBuffer".
struct PinPad {
  Harness harness;
  Catcher catcher;
  long next = 1;

  void Send(int kind, long code, const Json::Value& payload) {
    Json::Value request =
        devsimtest::MakeRequest(kind, catcher.port(), next++, code, WFS_SERVICE_CLASS_PIN, 7);
    request["lpDataBuffer"] = payload;
    harness.Send(request, "Pin");
  }
  Json::Value Frame(size_t index) {
    EXPECT_TRUE(catcher.WaitFor(index + 1));
    return catcher.count() > index ? catcher.json(index) : Json::Value();
  }
  std::string Bytes(const Json::Value& xdata) {
    std::vector<unsigned char> bytes = base64_decode(xdata["lpbData"].asString());
    EXPECT_EQ(bytes.size(), xdata["usLength"].asUInt());
    return std::string(bytes.begin(), bytes.end());
  }
};

Json::Value Block(const char* customerData, const char* key) {
  Json::Value block(Json::objectValue);
  block["lpsCustomerData"] = customerData;
  block["lpsKey"] = key;
  block["wFormat"] = WFS_PIN_FORMISO0;
  return block;
}

TEST(DevsimPin, GetPinSendsItsKeysBeforeItsCompletionAndThePinBlockFollowsFromThem) {
  PinPad pad;
  Json::Value getPin(Json::objectValue);
  getPin["usMinLen"] = 4;
  getPin["usMaxLen"] = 6;
  getPin["bAutoEnd"] = 0;
  pad.Send(KvSP_CMD_EXECUTE, WFS_CMD_PIN_GET_PIN, getPin);
  for (size_t i = 0; i < 5; ++i) {
    Json::Value key = pad.Frame(i);
    ASSERT_EQ(key["dwMsgType"].asInt(), WFS_EXECUTE_EVENT) << i;
    EXPECT_EQ(Result(key)["dwEventID"].asInt(), WFS_EXEE_PIN_KEY);
    EXPECT_EQ(Result(key)["requestID"].asInt(), 1);
    const Json::Value& payload = Result(key)["lpBuffer"];
    // The digits of a PIN stay in the pad.
    EXPECT_EQ(payload["ulDigit"].asUInt(), i < 4 ? 0u : WFS_PIN_FK_ENTER);
    EXPECT_EQ(payload["wCompletion"].asInt(), i < 4 ? WFS_PIN_COMPCONTINUE : WFS_PIN_COMPENTER);
  }
  Json::Value done = Result(pad.Frame(5));
  EXPECT_EQ(done["dwCommandCode"].asInt(), WFS_CMD_PIN_GET_PIN);
  EXPECT_EQ(done["lpBuffer"]["usDigits"].asInt(), 4);
  EXPECT_EQ(done["lpBuffer"]["wCompletion"].asInt(), WFS_PIN_COMPENTER);

  pad.Send(KvSP_CMD_EXECUTE, WFS_CMD_PIN_GET_PINBLOCK, Block("4761739001010119", "PINKEY"));
  pad.Send(KvSP_CMD_EXECUTE, WFS_CMD_PIN_GET_PINBLOCK, Block("4761739001010119", "PINKEY"));
  pad.Send(KvSP_CMD_EXECUTE, WFS_CMD_PIN_GET_PINBLOCK, Block("5413330089010434", "PINKEY"));
  std::string first = pad.Bytes(Result(pad.Frame(6))["lpBuffer"]);
  EXPECT_EQ(first.size(), 8u);
  EXPECT_EQ(pad.Bytes(Result(pad.Frame(7))["lpBuffer"]), first) << "deterministic";
  EXPECT_NE(pad.Bytes(Result(pad.Frame(8))["lpBuffer"]), first) << "bound to the card";

  // Neither the block nor the digits reach the log.
  EXPECT_TRUE(pad.harness.WaitForLine("requestID=4 hResult=0"));
  EXPECT_EQ(pad.harness.LinesWith(Result(pad.Frame(6))["lpBuffer"]["lpbData"].asString()), 0);
  EXPECT_EQ(pad.harness.LinesWith("4761739001010119"), 0);
  EXPECT_EQ(pad.harness.LinesWith("\"ulDigit\":\"<masked>\""), 5);
}

TEST(DevsimPin, KeysFromAScenarioOrFromTheConsole) {
  PinPad pad;
  std::string error;
  ASSERT_TRUE(pad.harness.sim().LoadScenarioText(R"({"rules": [
      {"kind": "execute", "code": 408, "times": 1, "eventsBefore": [
          {"kind": "execute", "id": 401, "lpBuffer": {"ulDigit": 32, "wCompletion": 6}},
          {"kind": "execute", "id": 401, "lpBuffer": {"ulDigit": 1024, "wCompletion": 1}}]},
      {"kind": "execute", "code": 405, "never": true}]})",
                                                 &error))
      << error;
  // Data entry tells its digits.
  pad.Send(KvSP_CMD_EXECUTE, WFS_CMD_PIN_GET_DATA, Json::Value(Json::objectValue));
  EXPECT_EQ(Result(pad.Frame(0))["lpBuffer"]["ulDigit"].asInt(), WFS_PIN_FK_5);
  Json::Value data = Result(pad.Frame(2))["lpBuffer"];
  EXPECT_EQ(data["usKeys"].asInt(), 2);
  EXPECT_EQ(data["lpPinKeys"][0]["ulDigit"].asInt(), WFS_PIN_FK_5);
  EXPECT_EQ(data["wCompletion"].asInt(), WFS_PIN_COMPENTER);

  // A PIN entry that waits for the operator ends with the operator's ENTER.
  Json::Value getPin(Json::objectValue);
  getPin["usMaxLen"] = 12;
  pad.Send(KvSP_CMD_EXECUTE, WFS_CMD_PIN_GET_PIN, getPin);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return pad.harness.sim().PendingCount() == 1; }, 5000));
  devsim::ControlConsole console(pad.harness.sim());
  for (const char* key : {"key 0x80 6", "key 0x100 6", "key 0x2000 8", "key 0x200 6"}) {
    EXPECT_EQ(console.Execute(key), "sent event 401 from Pin");
  }
  EXPECT_FALSE(pad.catcher.WaitFor(8, 100)) << "no completion before ENTER";
  EXPECT_EQ(console.Execute("key 0x400 1"), "sent event 401 from Pin");
  Json::Value enter = pad.Frame(7);
  EXPECT_EQ(Result(enter)["lpBuffer"]["ulDigit"].asUInt(), WFS_PIN_FK_ENTER);
  Json::Value done = Result(pad.Frame(8));
  EXPECT_EQ(done["dwCommandCode"].asInt(), WFS_CMD_PIN_GET_PIN);
  EXPECT_EQ(done["lpBuffer"]["usDigits"].asInt(), 2) << "7, 8, backspace, 9";
  EXPECT_EQ(pad.harness.sim().PendingCount(), 0u);
}

TEST(DevsimPin, KeysChecksAndData) {
  PinPad pad;
  Json::Value import(Json::objectValue);
  import["lpsKey"] = "NEWKEY";
  import["fwUse"] = WFS_PIN_USECRYPT;
  import["lpxValue"]["usLength"] = 16;
  import["lpxValue"]["lpbData"] = "MDEyMzQ1Njc4OUFCQ0RFRg==";
  pad.Send(KvSP_CMD_EXECUTE, WFS_CMD_PIN_IMPORT_KEY, import);
  std::string kcv = pad.Bytes(Result(pad.Frame(0))["lpBuffer"]);
  EXPECT_EQ(kcv.size(), 3u);
  Json::Value generate(Json::objectValue);
  generate["lpsKey"] = "NEWKEY";
  pad.Send(KvSP_CMD_EXECUTE, WFS_CMD_PIN_GENERATE_KCV, generate);
  EXPECT_EQ(pad.Bytes(Result(pad.Frame(1))["lpBuffer"]["lpxKCV"]), kcv);

  pad.Send(KvSP_CMD_GETINFO, WFS_INF_PIN_KEY_DETAIL, Json::Value(Json::objectValue));
  Json::Value keys = Result(pad.Frame(2))["lpBuffer"];
  ASSERT_TRUE(keys.isArray());
  EXPECT_EQ(keys[keys.size() - 1]["lpsKeyName"].asString(), "NEWKEY");
  pad.Send(KvSP_CMD_GETINFO, WFS_INF_PIN_KEY_DETAIL_EX, "PINKEY");
  Json::Value ex = Result(pad.Frame(3))["lpBuffer"];
  ASSERT_EQ(ex.size(), 1u);
  EXPECT_EQ(ex[0]["dwuse"].asUInt(), WFS_PIN_USEFUNCTION);

  Json::Value crypt(Json::objectValue);
  crypt["wMode"] = WFS_PIN_MODEENCRYPT;
  crypt["lpsKey"] = "NEWKEY";
  crypt["lpxCryptData"]["usLength"] = 5;
  crypt["lpxCryptData"]["lpbData"] = "aGVsbG8=";
  pad.Send(KvSP_CMD_EXECUTE, WFS_CMD_PIN_CRYPT, crypt);
  std::string sealed = pad.Bytes(Result(pad.Frame(4))["lpBuffer"]);
  EXPECT_EQ(sealed.size(), 5u);
  EXPECT_NE(sealed, "hello");
  EXPECT_EQ(pad.harness.LinesWith("MDEyMzQ1Njc4OUFCQ0RFRg=="), 0) << "no key value in the log";
}

}  // namespace
