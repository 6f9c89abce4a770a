// The exported entry points: which renderer serves a call or result, and the
// layout of a rendered call and result, here without a name file.
#include <gtest/gtest.h>

#include <string>

#include "XmlConfig.h"
#include "scrivel.h"
#include "scrivel_test_support.h"
#include "scrivelapp.h"
#include "test_support.h"
#include "xfsidc.h"

namespace {

using scriveltest::Hex;
using scriveltest::Utf8;

// The name file is missing: every lookup finds nothing.
class WithoutNames : public ::testing::Test {
 protected:
  void SetUp() override {
    XmlConfig::Destroy();
    XmlConfig::InitConfigFileName(m_dir.file("WFSConfig.xml").c_str());
  }
  void TearDown() override { XmlConfig::Destroy(); }

  testsupport::TempDir m_dir;
};

TEST_F(WithoutNames, CallsBelowTheFirstClassCodeRenderNothing) {
  WORD position = 1;
  EXPECT_EQ(Utf8(WFPExecuteFormat(1, 99, &position, 0, 36000, 1)), "");
  EXPECT_EQ(Utf8(WFPGetInfoFormat(1, 99, &position, 0, 36000, 1)), "");
  EXPECT_EQ(Utf8(WFSResultFormat(nullptr, WFS_EXECUTE_COMPLETE)), "");
  EXPECT_EQ(Utf8(GetCmdNameByCmdID("42")), "42");
  EXPECT_EQ(Utf8(GetCmdNameByCmdID(nullptr)), "");
}

TEST_F(WithoutNames, ACallHasItsNineParts) {
  WORD position = 1;
  // No input type is known, so the input shows as NULL whatever the pointer.
  EXPECT_EQ(Utf8(WFPExecuteFormat(3, WFS_CMD_IDC_EJECT_CARD, &position, 1000, 36000, 9)),
            "WFPExecute      = \r\n{\r\n"
            "\thService        = 0x3(3)\r\n"
            "\tdwCommand       = 0xcb(203)\r\n"
            "\tdwTimeOut       = 0x3e8(1000)\r\n"
            "\thWNd            = 0x8ca0(36000)\r\n"
            "\tReqID           = 0x9(9)\r\n"
            "\tlpCmdData       = NULL\r\n"
            "}\r\n");
  EXPECT_EQ(Utf8(WFPGetInfoFormat(3, WFS_INF_IDC_STATUS, nullptr, 0, 36000, 10)),
            "WFPGetInfo      = \r\n{\r\n"
            "\thService        = 0x3(3)\r\n"
            "\tdwCategory      = 0xc9(201)\r\n"
            "\tdwTimeOut       = 0x0(0)\r\n"
            "\thWnd            = 0x8ca0(36000)\r\n"
            "\tReqID           = 0xa(10)\r\n"
            "\tlpQueryDetails  = NULL\r\n"
            "}\r\n");
}

TEST_F(WithoutNames, AResultShowsItsUnionOnlyForCodedMessages) {
  WFSRESULT result = {};
  result.RequestID = 7;
  result.hService = 3;
  result.tsTimestamp = {2024, 5, 3, 15, 13, 45, 30, 250};
  result.hResult = WFS_ERR_INVALID_HSERVICE;
  result.u.dwEventID = WFS_USRE_IDC_RETAINBINTHRESHOLD;
  const std::string common = "\trequestID       = 0x7(7)\r\n"
                             "\thService        = 0x3(3)\r\n"
                             "\ttsTimestamp     = 2024-5-15 13:45:30\r\n"
                             "\thResult         = 0xffffffffffffffea(-22)\r\n";
  EXPECT_EQ(Utf8(WFSResultFormat(&result, WFS_OPEN_COMPLETE)),
            "[1025]WFSRESULT       = 0x" + Hex(&result) + "\r\n{\r\n" + common +
                "\tlpBuffer        = NULL\r\n}\r\n");
  EXPECT_EQ(Utf8(WFSResultFormat(&result, WFS_USER_EVENT)),
            "[1046]WFSRESULT       = 0x" + Hex(&result) + "\r\n{\r\n" + common +
                "\tu.dwEventID     = 0xce(206)\r\n\tlpBuffer        = NULL\r\n}\r\n");
  EXPECT_NE(Utf8(WFSResultFormat(&result, WFS_GETINFO_COMPLETE))
                .find("\tu.dwCommandCode = 0xce(206)\r\n\tlpBuffer        = NULL\r\n}\r\n"),
            std::string::npos);
}

TEST_F(WithoutNames, EveryClassWithoutARendererGoesToTheCommonOne) {
  for (int serviceClass : {0, 3, 13, 99, -1}) {
    EXPECT_EQ(theApp.GetSPModule(serviceClass), &theApp) << serviceClass;
  }
  EXPECT_EQ(theApp.Module(), 0);
  EXPECT_EQ(theApp.GetSPModule(WFS_SERVICE_CLASS_IDC)->Module(), WFS_SERVICE_CLASS_IDC);
  CXFSSPParam* idc = theApp.GetSPModule(WFS_SERVICE_CLASS_IDC);
  int value = 1;
  EXPECT_EQ(Utf8(idc->GetParamString("LPWFSNOSUCHTYPE", &value, 0, "x", 1)), "");
  EXPECT_EQ(Utf8(idc->GetParamString("lpwfsidcstatus", &value, 0, "x", 1)), "");
  EXPECT_EQ(Utf8(idc->GetParamString("LPBOOL", &value, 0, "x", 0)),
            Utf8(theApp.GetParamString_LPBOOL(&value, "x", 0)));
}

// The card reader's card data hides its bytes while g_bHidenLog is set,
// and keeps its length.
TEST_F(WithoutNames, CardDataShowsItsLengthAndHidesItsBytes) {
  unsigned char track[20] = {0x3B, 0x34};
  WFSIDCCARDDATA data = {WFS_IDC_TRACK2, WFS_IDC_DATAOK, sizeof track, track, 0};
  CXFSSPParam* idc = theApp.GetSPModule(WFS_SERVICE_CLASS_IDC);
  const std::string hidden = Utf8(idc->GetParamString("LPWFSIDCCARDDATA", &data, 0, "d", 0));
  EXPECT_NE(hidden.find("\tulDataLength    = 0x14(20)\r\n"), std::string::npos);
  EXPECT_NE(hidden.find("\tlpbData         = '2A2A2A'\r\n"), std::string::npos);
  g_bHidenLog = 0;
  const std::string clear = Utf8(idc->GetParamString("LPWFSIDCCARDDATA", &data, 0, "d", 0));
  g_bHidenLog = 1;
  EXPECT_NE(clear.find("\tlpbData         = '3B34000000"), std::string::npos);

  EXPECT_EQ(Utf8(idc->GetParamString("LPWFSIDCCARDDATA*", nullptr, 0, "a", 0)),
            "a               = 0x0\r\n");
  const WFSIDCCARDDATA* empty[] = {nullptr, &data};
  EXPECT_EQ(Utf8(idc->GetParamString("LPPWFSIDCCARDDATA", empty, 0, "a", 0)),
            "a               = 0x" + Hex(empty) + "\r\n{\r\n}\r\n");
}

TEST_F(WithoutNames, SetKeyShowsItsLengthUnderUsCount) {
  unsigned char key[16] = {0x11};
  WFSIDCSETKEY setKey = {sizeof key, key};
  const std::string text =
      Utf8(theApp.GetSPModule(WFS_SERVICE_CLASS_IDC)->GetParamString("LPWFSIDCSETKEY", &setKey, 0,
                                                                    "LPWFSIDCSETKEY", 0));
  EXPECT_EQ(text, "LPWFSIDCSETKEY  = 0x" + Hex(&setKey) +
                      "\r\n{\r\n\tusCount         = 0x10(16)\r\n"
                      "\tlpbKeyValue     = '2A2A2A'\r\n}\r\n");
}

}  // namespace
