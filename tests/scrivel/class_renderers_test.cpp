// The class renderers' particular rules: counted PIN key arrays, the PIN
// block's customer data, the SM2 blocks chosen by length, the printer's
// paper list, form-field arrays and media-control words.
#include <gtest/gtest.h>

#include <string>

#include "scrivel.h"
#include "scrivel_test_support.h"
#include "scrivelapp.h"

namespace {

using scriveltest::Hex;
using scriveltest::Utf8;

std::string Render(int serviceClass, const char* type, const void* data) {
  return Utf8(theApp.GetSPModule(serviceClass)->GetParamString(type, data, 0, type, 0));
}

// With hiding off for the length of one rendering.
std::string RenderClear(int serviceClass, const char* type, const void* data) {
  g_bHidenLog = 0;
  std::string text = Render(serviceClass, type, data);
  g_bHidenLog = 1;
  return text;
}

TEST(PinRenderer, KeyArraysAreCountedByTheirStructure) {
  WFSPINKEY first = {1, 0x35};
  WFSPINKEY second = {2, 0x36};
  LPWFSPINKEY keys[] = {&first, &second, nullptr};
  // At the top level a key array has no count: header and empty braces.
  EXPECT_EQ(Render(WFS_SERVICE_CLASS_PIN, "LPWFSPINKEY*", keys),
            "LPWFSPINKEY*    = 0x" + Hex(keys) + "\r\n{\r\n}\r\n");
  WFSPINDATA data = {2, keys, 5};
  const std::string text = Render(WFS_SERVICE_CLASS_PIN, "LPWFSPINDATA", &data);
  EXPECT_NE(text.find("\t\tlpPinKeys[1]    = 0x" + Hex(&second) + "\r\n\t\t{\r\n"
                      "\t\t\twCompletion     = 0x2(2)\r\n\t\t\tulDigit         = ***\r\n"),
            std::string::npos)
      << text;
  // A count beyond the array ends at its NULL entry.
  data.usKeys = 7;
  EXPECT_EQ(Render(WFS_SERVICE_CLASS_PIN, "LPWFSPINDATA", &data).find("lpPinKeys[2]"),
            std::string::npos);
}

TEST(PinRenderer, CustomerDataOfAPinBlockNeverShows) {
  WFSPINBLOCK block = {const_cast<char*>("4761739001010119"), const_cast<char*>("FF"), 0x0F, 1,
                       const_cast<char*>("PINKEY"), nullptr};
  const std::string text = RenderClear(WFS_SERVICE_CLASS_PIN, "LPWFSPINBLOCK", &block);
  EXPECT_NE(text.find("\tlpsCustomerData = \"***\"\r\n\tlpsXORData      = \"FF\"\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\tlpsKey          = \"PINKEY\"\r\n\tlpsKeyEncKey    = (null)\r\n"),
            std::string::npos);
  WFSPINGETPINEX getPin = {};
  getPin.lpsCustomerData = block.lpsCustomerData;
  EXPECT_NE(RenderClear(WFS_SERVICE_CLASS_PIN, "LPWFSPINGETPINEX", &getPin)
                .find("\tlpsCustomerData = \"4761739001010119\"\r\n"),
            std::string::npos);
  EXPECT_NE(Render(WFS_SERVICE_CLASS_PIN, "LPWFSPINGETPINEX", &getPin)
                .find("\tlpsCustomerData = \"***\"\r\n"),
            std::string::npos);
}

TEST(PinRenderer, EncryptionDataIsAnSm2BlockByItsLength) {
  unsigned char kcv[] = {0xAB, 0xCD};
  WFSXDATA checkValue = {sizeof kcv, kcv};
  PROTCHNIMPORTSM2PUBLICKEYOUT out = {1, 0, 2, &checkValue};
  WFSPINENCIO io = {WFS_PIN_ENC_PROT_CHN, sizeof out, &out};
  const std::string sm2 = Render(WFS_SERVICE_CLASS_PIN, "LPWFSPINENCIO", &io);
  EXPECT_NE(sm2.find("\tPROTCHNIMPORTSM2PUBLICKEYOUT = 0x" + Hex(&out) + "\r\n\t{\r\n"
                     "\t\twCommand        = 0x1(1)\r\n"),
            std::string::npos)
      << sm2;
  EXPECT_NE(sm2.find("\t\t\tlpbData         = 'ABCD'\r\n"), std::string::npos) << sm2;

  unsigned char bytes[13] = {0x01, 0x02};
  io.ulDataLength = sizeof bytes;
  io.lpvData = bytes;
  EXPECT_NE(RenderClear(WFS_SERVICE_CLASS_PIN, "LPWFSPINENCIO", &io)
                .find("\tlpvData         = '01020000000000000000000000'\r\n"),
            std::string::npos);
  EXPECT_NE(Render(WFS_SERVICE_CLASS_PIN, "LPWFSPINENCIO", &io)
                .find("\tulDataLength    = 0xd(13)\r\n\tlpvData         = '2A2A2A'\r\n"),
            std::string::npos);
}

TEST(PrinterRenderer, StatusListsSixteenPaperSupplies) {
  WFSPTRSTATUS status = {};
  for (int i = 0; i < WFS_PTR_SUPPLYSIZE; ++i) status.fwPaper[i] = static_cast<WORD>(i + 1);
  const std::string text = Render(WFS_SERVICE_CLASS_PTR, "LPWFSPTRSTATUS", &status);
  EXPECT_NE(text.find("\t\tfwPaper[0]      = 0x1(1)\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\t\tfwPaper[15]     = 0x10(16)\r\n\tfwToner "), std::string::npos) << text;
  EXPECT_NE(text.find("\tlppRetractBins  = 0x0\r\n"), std::string::npos) << text;
}

TEST(PrinterRenderer, FormFieldArraysNameTheirElementsByType) {
  WFSFRMFIELD field = {};
  LPWFSFRMFIELD fields[] = {&field, nullptr};
  const std::string text = Utf8(theApp.GetSPModule(WFS_SERVICE_CLASS_PTR)
                                    ->GetParamString("LPWFSFRMFIELD*", fields, 0, "lpBuffer", 0));
  EXPECT_EQ(text.find("lpBuffer        = 0x" + Hex(fields) + "\r\n\tLPWFSFRMFIELD[0] = 0x"), 0u)
      << text;
  EXPECT_EQ(text.find("{\r\n"), text.find("\t{\r\n") + 1);  // the element's braces only
}

TEST(PrinterRenderer, MediaControlWordsShowThePointerWithoutItsDecimal) {
  unsigned int control = 5;
  EXPECT_EQ(Render(WFS_SERVICE_CLASS_PTR, "LPDWORD", &control),
            "LPDWORD         = 0x" + Hex(&control) + "\r\n\tLPDWORD[0]      = 0x5(5)\r\n");
  // The common renderer keeps the plain pointer line.
  EXPECT_EQ(Render(0, "LPDWORD", &control),
            "LPDWORD         = 0x" + Hex(&control) + "(" +
                std::to_string(reinterpret_cast<size_t>(&control)) +
                ")\r\n\tLPDWORD[0]      = 0x5(5)\r\n");
}

}  // namespace
