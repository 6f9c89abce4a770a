// PIN pad requests: the encodings particular to the PIN pad (bytes as
// base64, lengths with their data as nested objects, unsigned dw members),
// the inputs that are no structure, and the dispatch lines.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "idc_test_support.h"
#include "ostrel_records.h"
#include "ostrel_test_support.h"
#include "test_support.h"
#include "xfspin.h"

namespace {

using idctest::Base64Of;
using idctest::Members;

std::string W(const Json::Value& value) { return ostreltest::Write(value); }

Json::Value Execute(DWORD command, void* data) {
  return idctest::Payload(KvSP_CMD_EXECUTE, command, data);
}
Json::Value GetInfo(DWORD category, void* data) {
  return idctest::Payload(KvSP_CMD_GETINFO, category, data);
}

TEST(PinRequest, CryptCarriesItsBytesAndItsDataAsTheDeviceServiceReadsThem) {
  std::string bytes = "\x01\x02\x03\x04\x05\x06\x07\x08";
  WFSXDATA cryptData = {8, reinterpret_cast<LPBYTE>(&bytes[0])};
  WFSPINCRYPT crypt;
  std::memset(&crypt, 0, sizeof crypt);
  crypt.wMode = WFS_PIN_MODEENCRYPT;
  crypt.lpsKey = const_cast<LPSTR>("K1");
  crypt.wAlgorithm = WFS_PIN_CRYPTDESCBC;
  crypt.bPadding = 0x0F;
  crypt.lpxCryptData = &cryptData;
  Json::Value expected = Members({{"wMode", 1},
                                  {"lpsKey", "K1"},
                                  {"lpxKeyEncKey", Json::Value()},
                                  {"wAlgorithm", 2},
                                  {"lpsStartValueKey", Json::Value()},
                                  {"lpxStartValue", Json::Value()},
                                  {"bPadding", "Dw=="},
                                  {"bCompression", "AA=="},
                                  {"lpxCryptData", Members({{"usLength", 8}})}});
  expected["lpxCryptData"]["lpbData"] = Base64Of(bytes);
  EXPECT_EQ(expected["lpxCryptData"]["lpbData"].asString().size(), 12u);
  EXPECT_EQ(W(Execute(WFS_CMD_PIN_CRYPT, &crypt)), W(expected));

  // Data of no length is an object of its length alone.
  cryptData.usLength = 0;
  cryptData.lpbData = nullptr;
  EXPECT_EQ(W(Execute(WFS_CMD_PIN_CRYPT, &crypt)["lpxCryptData"]), W(Members({{"usLength", 0}})));
}

TEST(PinRequest, GetPinSendsItsEchoAsOneByte) {
  WFSPINGETPIN getPin;
  std::memset(&getPin, 0, sizeof getPin);
  getPin.usMinLen = 4;
  getPin.usMaxLen = 12;
  getPin.bAutoEnd = TRUE;
  getPin.cEcho = '*';
  getPin.ulActiveKeys = 0x3FF | WFS_PIN_FK_ENTER | WFS_PIN_FK_CANCEL;
  getPin.ulTerminateKeys = WFS_PIN_FK_ENTER | WFS_PIN_FK_CANCEL;
  Json::Value expected = Members({{"usMinLen", 4},
                                  {"usMaxLen", 12},
                                  {"bAutoEnd", 1},
                                  {"cEcho", "Kg=="},
                                  {"ulActiveFDKs", 0},
                                  {"ulActiveKeys", 0xFFF},
                                  {"ulTerminateFDKs", 0},
                                  {"ulTerminateKeys", 0xC00}});
  EXPECT_EQ(W(Execute(WFS_CMD_PIN_GET_PIN, &getPin)), W(expected));
}

TEST(PinRequest, PinBlockAndItsDwMembersUnsigned) {
  WFSPINBLOCKEX block;
  std::memset(&block, 0, sizeof block);
  block.lpsCustomerData = const_cast<LPSTR>("4761739001010119");
  block.bPadding = 0xFF;
  block.dwFormat = 0x80000000u;
  block.lpsKey = const_cast<LPSTR>("PINKEY");
  block.dwAlgorithm = 0xFFFFFFFFu;
  Json::Value sent = Execute(WFS_CMD_PIN_GET_PINBLOCK_EX, &block);
  EXPECT_EQ(W(sent), W(Members({{"lpsCustomerData", "4761739001010119"},
                                {"lpsXORData", Json::Value()},
                                {"bPadding", "/w=="},
                                {"dwFormat", 2147483648u},
                                {"lpsKey", "PINKEY"},
                                {"lpsKeyEncKey", Json::Value()},
                                {"dwAlgorithm", 4294967295u}})));
  // The WORD format of the older request stays a plain integer.
  WFSPINBLOCK older;
  std::memset(&older, 0, sizeof older);
  older.wFormat = WFS_PIN_FORMISO0;
  older.lpsKey = const_cast<LPSTR>("PINKEY");
  EXPECT_EQ(Execute(WFS_CMD_PIN_GET_PINBLOCK, &older)["wFormat"], WFS_PIN_FORMISO0);
  EXPECT_EQ(W(Execute(WFS_CMD_PIN_SET_PINBLOCK_DATA, &older)),
            W(Execute(WFS_CMD_PIN_GET_PINBLOCK, &older)));
}

TEST(PinRequest, InputsThatAreNoStructure) {
  char keyName[] = "MASTERKEY";
  EXPECT_EQ(W(GetInfo(WFS_INF_PIN_KEY_DETAIL, keyName)), W(Members({{"keyName", "MASTERKEY"}})));
  EXPECT_EQ(GetInfo(WFS_INF_PIN_KEY_DETAIL_EX, keyName), "MASTERKEY");
  ULONG mask = WFS_PIN_FK_FDK01 | WFS_PIN_FK_FDK08;
  EXPECT_EQ(GetInfo(WFS_INF_PIN_FUNCKEY_DETAIL, &mask), 0x81);
  WORD word = 3;
  EXPECT_EQ(Execute(WFS_CMD_PIN_GET_JOURNAL, &word), 3);
  EXPECT_EQ(Execute(WFS_CMD_PIN_KEYPRESS_BEEP, &word), 3);
  EXPECT_EQ(Execute(WFS_CMD_PIN_RESET, &word), 0);
  // The encryption I/O data itself does not travel.
  char block[4] = {1, 2, 3, 4};
  WFSPINENCIO io = {WFS_PIN_ENC_PROT_CHN, 4, block};
  EXPECT_EQ(W(Execute(WFS_CMD_PIN_ENC_IO, &io)),
            W(Members({{"wProtocol", WFS_PIN_ENC_PROT_CHN}, {"ulDataLength", 4}, {"lpvData", 0}})));
  // The clear presentation's algorithm data, or null.
  WFSPINPRESENTCLEAR clear = {0x12345, 3};
  WFSPINPRESENTIDC present;
  std::memset(&present, 0, sizeof present);
  present.wPresentAlgorithm = WFS_PIN_PRESENT_CLEAR;
  present.lpAlgorithmData = &clear;
  EXPECT_EQ(W(Execute(WFS_CMD_PIN_PRESENT_IDC, &present)["lpAlgorithmData"]),
            W(Members({{"ulPINPointer", 0x12345}, {"usPINOffset", 3}})));
  present.lpAlgorithmData = nullptr;
  EXPECT_TRUE(Execute(WFS_CMD_PIN_PRESENT_IDC, &present)["lpAlgorithmData"].isNull());
  // The secure message's data under its own name.
  BYTE message[] = {0xAB, 0xCD};
  WFSPINSECMSG secure = {1, 2, message};
  EXPECT_EQ(W(Execute(WFS_CMD_PIN_SECURE_MSG_RECEIVE, &secure)),
            W(Members({{"wProtocol", 1}, {"ulLength", 2}, {"lpbMsg", Base64Of("\xAB\xCD")}})));
}

TEST(PinRequest, DispatchLinesAndCodesWithoutInput) {
  testsupport::TraceCapture trace;
  WFSPINGETPINEX getPinEx;
  std::memset(&getPinEx, 0, sizeof getPinEx);
  getPinEx.cEcho = '*';
  Json::Value sent = Execute(WFS_CMD_PIN_GET_PIN_EX, &getPinEx);
  EXPECT_EQ(sent["cEcho"], "Kg==");
  EXPECT_EQ(sent.size(), 15u);
  EXPECT_EQ(trace.countExact("BufferFormat_PIN::ExeFormat CMD is WFS_CMD_PIN_GET_PIN_EX", 1), 1);
  EXPECT_EQ(trace.countExact("BufferFormat_PIN::FormatGetPinEx 1.5", 1), 1);

  WORD any = 1;
  for (DWORD category : {WFS_INF_PIN_STATUS, WFS_INF_PIN_CAPABILITIES, WFS_INF_PIN_HSM_TDATA,
                         WFS_INF_PIN_SECUREKEY_DETAIL, WFS_INF_PIN_QUERY_LOGICAL_HSM_DETAIL}) {
    EXPECT_TRUE(GetInfo(category, &any).isNull()) << category;
  }
  EXPECT_TRUE(GetInfo(403, &any).isNull());
  EXPECT_EQ(trace.countExact("BufferFormat_PIN::InfoFormat Invalied Info Cmd", 4), 1);
  EXPECT_TRUE(Execute(402, &any).isNull());
  EXPECT_TRUE(Execute(455, &any).isNull());
  EXPECT_EQ(trace.countExact("BufferFormat_PIN::ExeFormat Invalied Exe Cmd", 4), 2);
  EXPECT_TRUE(Execute(WFS_CMD_PIN_CRYPT, nullptr).isNull());
}

}  // namespace
