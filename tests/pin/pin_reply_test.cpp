// PIN pad replies and events: the cases where the PIN pad's encodings meet
// the decoders (bytes, dates, key arrays, values that are the datum), the
// codes without output, the dispatch lines, and the numbered allocation
// lines of a few decoders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corvid.h"
#include "idc_test_support.h"
#include "ostrel.h"
#include "ostrel_test_support.h"
#include "test_support.h"
#include "xfspin.h"

namespace {

using idctest::Base64Of;
using idctest::DecoderCase;
using idctest::kFirst;
using idctest::Members;
using idctest::Numbered;
using ostreltest::Field;

Json::Value Array(std::initializer_list<Json::Value> items) {
  Json::Value array(Json::arrayValue);
  for (const Json::Value& item : items) array.append(item);
  return array;
}

class PinReply : public ::testing::Test {
 protected:
  void SetUp() override { m_before = CorvidLiveBlocks(); }
  void TearDown() override {
    m_replies.clear();
    EXPECT_EQ(CorvidLiveBlocks(), m_before);
  }

  // The lpBuffer of the decoded reply, kept until the test ends.
  const void* Buffer(int msgType, DWORD code, const Json::Value& payload) {
    m_replies.push_back(ostreltest::Decode(idctest::Reply(msgType, code, payload)));
    const ostreltest::Reply& msg = m_replies.back();
    EXPECT_NE(msg, nullptr) << "the reply is delivered";
    return msg != nullptr ? Field(msg->lpWfsResult->lpBuffer) : nullptr;
  }
  const void* Execute(DWORD code, const Json::Value& payload) {
    return Buffer(KvSP_EXECUTE_COMPLETE, code, payload);
  }

  testsupport::TraceCapture m_trace;

 private:
  long m_before = 0;
  std::vector<ostreltest::Reply> m_replies;
};

Json::Value Key(WORD completion, ULONG digit) {
  return Members({{"wCompletion", completion}, {"ulDigit", Json::UInt(digit)}});
}

TEST_F(PinReply, GetDataKeysBecomeANullTerminatedArray) {
  Json::Value data = Members({{"usKeys", 3},
                              {"lpPinKeys", Array({Key(WFS_PIN_COMPCONTINUE, WFS_PIN_FK_1),
                                                   Key(WFS_PIN_COMPCONTINUE, WFS_PIN_FK_2),
                                                   Key(WFS_PIN_COMPENTER, WFS_PIN_FK_ENTER)})},
                              {"wCompletion", WFS_PIN_COMPENTER}});
  const auto* out = static_cast<const WFSPINDATA*>(Execute(WFS_CMD_PIN_GET_DATA, data));
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(Field(out->usKeys), 3);
  EXPECT_EQ(Field(out->wCompletion), WFS_PIN_COMPENTER);
  LPWFSPINKEY* keys = Field(out->lpPinKeys);
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(Field(keys[0]->ulDigit), WFS_PIN_FK_1);
  EXPECT_EQ(Field(keys[1]->wCompletion), WFS_PIN_COMPCONTINUE);
  EXPECT_EQ(Field(keys[2]->ulDigit), WFS_PIN_FK_ENTER);
  EXPECT_EQ(keys[3], nullptr);
}

TEST_F(PinReply, KeyDetailExDatesAndBytes) {
  Json::Value key = Members({{"lpsKeyName", "PINKEY"},
                             {"dwuse", Json::UInt(0x80000001u)},
                             {"bGeneration", "Bw=="},
                             {"bVersion", ""},
                             {"bActivatingDate", Base64Of("\x20\x24\x01")},
                             {"bExpiryDate", Base64Of("\x20\x30\x12\x31")},
                             {"bLoaded", true},
                             {"lpxKeyBlockHeader", Members({{"usLength", 2}})}});
  key["lpxKeyBlockHeader"]["lpbData"] = Base64Of("AB");
  const auto* const* list = static_cast<const LPWFSPINKEYDETAILEX*>(
      Buffer(KvSP_GETINFO_COMPLETE, WFS_INF_PIN_KEY_DETAIL_EX, Array({key})));
  ASSERT_NE(list, nullptr);
  const WFSPINKEYDETAILEX* detail = list[0];
  ASSERT_NE(detail, nullptr);
  EXPECT_EQ(list[1], nullptr);
  EXPECT_STREQ(Field(detail->lpsKeyName), "PINKEY");
  EXPECT_EQ(Field(detail->dwUse), 0x80000001u);
  EXPECT_EQ(Field(detail->bGeneration), 7);
  EXPECT_EQ(Field(detail->bVersion), 0) << "no bytes leave the field 0";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(detail->bActivatingDate), 4),
            std::string(4, '\0'))
      << "three bytes are no date";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(detail->bExpiryDate), 4), "\x20\x30\x12\x31");
  EXPECT_EQ(Field(detail->bLoaded), TRUE);
  const WFSXDATA* header = Field(detail->lpxKeyBlockHeader);
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Field(header->lpbData)), 2), "AB");
}

TEST_F(PinReply, ValuesThatAreTheDatum) {
  const void* verified = Execute(WFS_CMD_PIN_LOCAL_DES, Json::Value(true));
  ASSERT_NE(verified, nullptr);
  EXPECT_EQ(*static_cast<const BOOL*>(verified), 1);
  const void* visa = Execute(WFS_CMD_PIN_LOCAL_VISA, Json::Value(false));
  ASSERT_NE(visa, nullptr);
  EXPECT_EQ(*static_cast<const BOOL*>(visa), 0);
  EXPECT_STREQ(static_cast<const char*>(Execute(WFS_CMD_PIN_CREATE_OFFSET, "0472")), "0472");
  const void* state = Buffer(WFS_SERVICE_EVENT, WFS_SRVE_PIN_CERTIFICATE_CHANGE, 2);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(*static_cast<const WORD*>(state), 2);
}

TEST_F(PinReply, SecureMessageDataArrivesUnderItsReplyName) {
  Json::Value reply = Members({{"wProtocol", 1}, {"ulLength", 3}, {"lpbData", Base64Of("MSG")}});
  const auto* message =
      static_cast<const WFSPINSECUREMESSAGE*>(Execute(WFS_CMD_PIN_SECURE_MSG_SEND, reply));
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Field(message->lpbMsg)), 3), "MSG");
  // The PIN block of GET_PIN_EX is copied only when it has its declared length.
  Json::Value pinEx =
      Members({{"usDigits", 4}, {"usPinBlockLength", 8}, {"lpbPinBlockData", Base64Of("short")}});
  const auto* out = static_cast<const WFSPINGETPINEXOUT*>(Execute(WFS_CMD_PIN_GET_PIN_EX, pinEx));
  ASSERT_NE(out, nullptr);
  ASSERT_NE(Field(out->lpbPinBlockData), nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Field(out->lpbPinBlockData)), 8),
            std::string(8, '\0'));
}

TEST_F(PinReply, CodesWithoutOutputLeaveTheBufferNull) {
  Json::Value anything = Members({{"usLength", 1}});
  for (DWORD code :
       {WFS_CMD_PIN_DERIVE_KEY, WFS_CMD_PIN_RESET, WFS_CMD_PIN_HSM_SET_TDATA,
        WFS_CMD_PIN_SECURE_MSG_RECEIVE, WFS_CMD_PIN_IMPORT_KEY_EX, WFS_CMD_PIN_HSM_INIT,
        WFS_CMD_PIN_GENERATE_RSA_KEY_PAIR, WFS_CMD_PIN_SET_GUIDANCE_LIGHT, WFS_CMD_PIN_MAINTAIN_PIN,
        WFS_CMD_PIN_KEYPRESS_BEEP, WFS_CMD_PIN_SET_PINBLOCK_DATA, WFS_CMD_PIN_SET_LOGICAL_HSM,
        WFS_CMD_PIN_IMPORT_KEYBLOCK, WFS_CMD_PIN_POWER_SAVE_CONTROL}) {
    EXPECT_EQ(Execute(code, anything), nullptr) << code;
  }
  EXPECT_EQ(Buffer(WFS_EXECUTE_EVENT, WFS_EXEE_PIN_ENTERDATA, anything), nullptr);
  EXPECT_EQ(m_trace.count("", 4), 0);
}

TEST_F(PinReply, InvalidCodesAndMissingInputHaveTheirLines) {
  Json::Value anything = Members({{"usLength", 1}});
  EXPECT_EQ(Buffer(KvSP_GETINFO_COMPLETE, 403, anything), nullptr);
  EXPECT_EQ(m_trace.countExact("JsonUnformat_PIN::UnformatInfo invalid INFO CMD", 4), 1);
  EXPECT_EQ(Execute(402, anything), nullptr);
  EXPECT_EQ(m_trace.countExact("JsonUnformat_PIN::UnformatExecute invalid EXE CMD", 4), 1);
  EXPECT_EQ(Buffer(WFS_EXECUTE_EVENT, 402, anything), nullptr);
  EXPECT_EQ(m_trace.countExact(
                "JsonUnformatEvent_Execute_PIN::UnformatExecute invalid ExecuteEvent ID", 4),
            1);
  EXPECT_EQ(Buffer(WFS_SERVICE_EVENT, WFS_EXEE_PIN_ENTERDATA, anything), nullptr);
  EXPECT_EQ(m_trace.countExact(
                "JsonUnformatServer_Execute_PIN::UnformatServer invalided ServerEvent ID", 4),
            1);
  EXPECT_EQ(Execute(WFS_CMD_PIN_GET_PIN, 0), nullptr);
  EXPECT_EQ(m_trace.countExact("JsonUnformat_PIN::UnformatGetPin input Data is NULL", 4), 1);
  EXPECT_EQ(Buffer(WFS_SERVICE_EVENT, WFS_SRVE_PIN_ILLEGAL_KEY_ACCESS, Json::Value()), nullptr);
  EXPECT_EQ(m_trace.countExact(
                "JsonUnformatEvent_Server_PIN::UnformatIllegalKeyAccess input Data is NULL", 4),
            1);
}

TEST(PinAllocation, RepresentativeDecodersNumberTheirBlocksInOrder) {
  Json::Value xdata = Members({{"usLength", 1}, {"lpbData", "QQ=="}});
  Json::Value keys = Array({Key(WFS_PIN_COMPCONTINUE, 1), Key(WFS_PIN_COMPENTER, 0x400)});
  Json::Value option = Members({{"dwSigner", 1}});
  Json::Value caps = Members({{"lpszExtra", Array({"a=1"})},
                              {"lpsHSMVendor", "V"},
                              {"lpwEMVImportSchemes", Array({1})},
                              {"lppRemoteInitModes", Array({option})},
                              {"lppLoadCertOptions", Array({option})},
                              {"lpETSCaps", Members({{"lXPos", 1}})}});
  const std::vector<DecoderCase> decoders = {
      {"JsonUnformat_PIN::UnformatGetData",
       KvSP_EXECUTE_COMPLETE,
       WFS_CMD_PIN_GET_DATA,
       Members({{"usKeys", 2}, {"lpPinKeys", keys}}),
       {kFirst, Numbered(1), Numbered(2), Numbered(2)}},
      {"JsonUnformat_PIN::UnformatCapabilities",
       KvSP_GETINFO_COMPLETE,
       WFS_INF_PIN_CAPABILITIES,
       caps,
       {kFirst, Numbered(1), Numbered(2), Numbered(3), Numbered(4), Numbered(5), Numbered(6),
        Numbered(7), Numbered(8)}},
      {"JsonUnformat_PIN::UnformatKeyDetail",
       KvSP_GETINFO_COMPLETE,
       WFS_INF_PIN_KEY_DETAIL,
       Array({Members({{"lpsKeyName", "K"}, {"lpxKeyBlockHeader", xdata}})}),
       {kFirst, Numbered(1), Numbered(2), Numbered(3), Numbered(4)}},
      {"JsonUnformat_PIN::UnformatSecureKeyEntry",
       KvSP_EXECUTE_COMPLETE,
       WFS_CMD_PIN_SECUREKEY_ENTRY,
       Members({{"usDigits", 16}, {"lpxKCV", xdata}}),
       {kFirst, Numbered(1), Numbered(2)}},
      {"JsonUnformat_PIN::UnformatCreateOffset",
       KvSP_EXECUTE_COMPLETE,
       WFS_CMD_PIN_CREATE_OFFSET,
       Json::Value("0472"),
       {kFirst}},
      {"JsonUnformat_PIN::UnformatLocalDes",
       KvSP_EXECUTE_COMPLETE,
       WFS_CMD_PIN_LOCAL_DES,
       Json::Value(true),
       {kFirst}},
      {"JsonUnformatEvent_Execute_PIN::UnformatKey",
       WFS_EXECUTE_EVENT,
       WFS_EXEE_PIN_KEY,
       Key(WFS_PIN_COMPCONTINUE, 1),
       {kFirst}},
  };
  for (const DecoderCase& item : decoders) idctest::ExpectEveryPointFails(item);
}

}  // namespace
