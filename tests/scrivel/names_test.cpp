// Rendering with names: the shipped name file, and a name file of the
// test's own where one is needed.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "XmlConfig.h"
#include "scrivel.h"
#include "scrivel_test_support.h"
#include "scrivelapp.h"
#include "test_support.h"
#include "xfsidc.h"
#include "xfsptr.h"

namespace {

using scriveltest::Utf8;

class WithNames : public ::testing::Test {
 protected:
  void TearDown() override { XmlConfig::Destroy(); }
  void Use(const std::string& file) {
    XmlConfig::Destroy();
    XmlConfig::InitConfigFileName(file.c_str());
  }
};

TEST_F(WithNames, ACallNamesItsCommandAndRendersItsInput) {
  Use(WFP_NAME_FILE);
  WORD readData = WFS_IDC_TRACK2;
  const std::string text =
      Utf8(WFPExecuteFormat(3, WFS_CMD_IDC_READ_RAW_DATA, &readData, 0, 36000, 9));
  EXPECT_NE(text.find("\tdwCommand       = 0xcf(207)WFS_CMD_IDC_READ_RAW_DATA\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\tLPWORD          = "), std::string::npos) << text;
  EXPECT_NE(text.find("\t\tLPWORD[0]       = 0x2(2)\r\n}\r\n"), std::string::npos) << text;
}

TEST_F(WithNames, AClassWithoutRendererLooksUpModuleZero) {
  Use(WFP_NAME_FILE);
  testsupport::TraceCapture trace;
  const std::string text = Utf8(WFPExecuteFormat(3, 1301, nullptr, 0, 36000, 9));
  EXPECT_NE(text.find("\tdwCommand       = 0x515(1301)\r\n"), std::string::npos) << text;
  EXPECT_TRUE(trace.contains("XmlConfig GetModule excption iModule=[0]", 4));
}

TEST_F(WithNames, AResultNamesItsMessageErrorAndEvent) {
  Use(WFP_NAME_FILE);
  WFSRESULT result = {};
  result.hResult = WFS_ERR_INVALID_HSERVICE;
  result.u.dwEventID = WFS_USRE_IDC_RETAINBINTHRESHOLD;
  const std::string open = Utf8(WFSResultFormat(&result, WFS_OPEN_COMPLETE));
  EXPECT_EQ(open.find("[1025]WFS_OPEN_COMPLETEWFSRESULT       = 0x"), 0u) << open;
  EXPECT_NE(open.find("\thResult         = 0xffffffffffffffea(-22)WFS_ERR_INVALID_HSERVICE\r\n"),
            std::string::npos);
  const std::string user = Utf8(WFSResultFormat(&result, WFS_USER_EVENT));
  EXPECT_NE(user.find("\tu.dwEventID     = 0xce(206)WFS_USRE_IDC_RETAINBINTHRESHOLD\r\n"),
            std::string::npos)
      << user;
}

TEST_F(WithNames, MediaControlFlagsAreJoined) {
  Use(WFP_NAME_FILE);
  WFSPTRPRINTFORM form = {};
  form.dwMediaControl = WFS_PTR_CTRLEJECT | WFS_PTR_CTRLCUT;
  const std::string text = Utf8(theApp.GetSPModule(WFS_SERVICE_CLASS_PTR)
                                    ->GetParamString("LPWFSPTRPRINTFORM", &form, 0, "f", 0));
  EXPECT_NE(text.find("\tdwMediaControl  = 0x5(5)WFS_PTR_CTRLEJECT|WFS_PTR_CTRLCUT\r\n"),
            std::string::npos)
      << text;
}

// A name file that types a card reader's text result: the text is card data.
TEST_F(WithNames, TextResultsOfTheCardReaderAreHidden) {
  testsupport::TempDir dir;
  std::ofstream(dir.file("WFSConfig.xml"))
      << "<root><MESSAGE_NO/><COMMON_ERRORCODE/><COMMON_MESSAGE/><WFS_SERVICE_CLASS_IDC>"
         "<INFO_COMMAND/><EXECUTE_COMMAND><item name=\"WFS_CMD_IDC_READ_TRACK\" value=\"201\" "
         "InputParam=\"LPSTR\" OutputParam=\"LPSTR\"/></EXECUTE_COMMAND><MESSAGES/><fwDevice/>"
         "<WFS_ERROR/><fwMedia/><fwControl/></WFS_SERVICE_CLASS_IDC></root>";
  Use(dir.file("WFSConfig.xml"));
  char formName[] = "FORM1";
  EXPECT_NE(Utf8(WFPExecuteFormat(3, WFS_CMD_IDC_READ_TRACK, formName, 0, 36000, 9))
                .find("\tLPSTR           = \"FORM1\"\r\n"),
            std::string::npos);
  char track[] = ";4761739001010119=22122011758928889?";
  WFSRESULT result = {};
  result.u.dwCommandCode = WFS_CMD_IDC_READ_TRACK;
  result.lpBuffer = track;
  const std::string text = Utf8(WFSResultFormat(&result, WFS_EXECUTE_COMPLETE));
  EXPECT_NE(text.find("\tLPSTR           = \"***\"\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("4761739001010119"), std::string::npos);
}

}  // namespace
