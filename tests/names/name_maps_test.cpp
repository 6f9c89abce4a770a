// The name maps: which lists a lookup consults and in what order, how a
// number becomes its key, where the name file is searched, and the lists'
// first-match rules.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ConfigNameValue.h"
#include "XmlConfig.h"
#include "test_support.h"

namespace {

const char kPtrSection[] =
    "<WFS_SERVICE_CLASS_PTR>"
    "<fwControl><item name=\"A\" value=\"1\"/><item name=\"B\" value=\"2\"/>"
    "<item name=\"C\" value=\"4\"/></fwControl>"
    "</WFS_SERVICE_CLASS_PTR>";

// Each test loads its own name file; the maps are process-wide.
class NameMaps : public ::testing::Test {
 protected:
  void SetUp() override { XmlConfig::Destroy(); }
  void TearDown() override {
    XmlConfig::Destroy();
    XmlConfig::InitConfigFileName(nullptr);
  }

  std::string Write(const std::string& name, const std::string& text) {
    std::string path = m_dir.file(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  // Loads `body` as the content of the name file's root element.
  void Load(const std::string& body, const std::string& root = "root") {
    XmlConfig::Destroy();
    XmlConfig::InitConfigFileName(
        Write("names.xml", "<" + root + ">" + body + "</" + root + ">").c_str());
    XmlConfig::GetInstance();
  }

  testsupport::TempDir m_dir;
};

TEST_F(NameMaps, FlagNamesJoinEverySetFlag) {
  Load(kPtrSection);
  EXPECT_EQ(XmlConfig::GetNameByValue(1, XmlConfig::MAP_FWCONTROL, 5ul), "A|C");
  EXPECT_EQ(XmlConfig::GetNameByValue(1, XmlConfig::MAP_FWCONTROL, 8ul), "");
  EXPECT_EQ(XmlConfig::GetNameByValue(1, XmlConfig::MAP_FWCONTROL, "2"), "B");
  Load("<WFS_SERVICE_CLASS_PTR><fwControl><item name=\"A\" value=\"1\"/>"
       "<item name=\"Z\" value=\"0\"/></fwControl></WFS_SERVICE_CLASS_PTR>");
  EXPECT_EQ(XmlConfig::GetNameByValue(1, XmlConfig::MAP_FWCONTROL, 8ul), "Z");
  EXPECT_EQ(XmlConfig::GetNameByValue(1, XmlConfig::MAP_FWCONTROL, 1ul), "A|Z");
}

TEST_F(NameMaps, ErrorCodesAreSignedAndTheCommonListAnswersFirst) {
  Load("<COMMON_ERRORCODE><item name=\"WFS_ERR_HARDWARE_ERROR\" value=\"-14\"/>"
       "<item name=\"WFS_ERR_INVALID_HSERVICE\" value=\"-22\"/></COMMON_ERRORCODE>"
       "<WFS_SERVICE_CLASS_PIN><WFS_ERROR><item name=\"PIN_OWN\" value=\"-14\"/>"
       "<item name=\"WFS_ERR_PIN_KEYNOTFOUND\" value=\"-400\"/></WFS_ERROR>"
       "</WFS_SERVICE_CLASS_PIN>");
  testsupport::TraceCapture trace;
  auto error = [](int iClass, long hResult) {
    return XmlConfig::GetNameByValue(iClass, XmlConfig::MAP_XFSERRORS,
                                     static_cast<unsigned long>(hResult));
  };
  EXPECT_EQ(error(4, -14), "WFS_ERR_HARDWARE_ERROR");
  EXPECT_EQ(error(4, -400), "WFS_ERR_PIN_KEYNOTFOUND");
  // A 32-bit hResult passed on unsigned still reads as negative.
  EXPECT_EQ(XmlConfig::GetNameByValue(0, XmlConfig::MAP_XFSERRORS, 4294967274ul),
            "WFS_ERR_INVALID_HSERVICE");
  EXPECT_TRUE(trace.lines().empty());  // the common list answered: no module taken
  EXPECT_EQ(error(0, -400), "");
  EXPECT_EQ(trace.countExact("XmlConfig GetModule excption iModule=[0]", 4), 1);
}

TEST_F(NameMaps, ValuesMatchOnlyAsPlainDecimalText) {
  Load("<WFS_SERVICE_CLASS_IDC><EXECUTE_COMMAND>"
       "<item name=\"HEX\" value=\"0xC9\" InputParam=\"LPWORD\" OutputParam=\"LPWORD\"/>"
       "<item name=\"ZERO\" value=\"0201\" InputParam=\"LPWORD\" OutputParam=\"LPWORD\"/>"
       "<item name=\"EJECT\" value=\"203\" InputParam=\"LPWORD\" OutputParam=\"LPSTR\"/>"
       "</EXECUTE_COMMAND></WFS_SERVICE_CLASS_IDC>");
  EXPECT_EQ(XmlConfig::GetNameByValue(2, XmlConfig::MAP_EXECMD, 201ul), "");
  EXPECT_EQ(XmlConfig::GetInputParamByValue(2, XmlConfig::MAP_EXECMD, 201), "");
  EXPECT_EQ(XmlConfig::GetNameByValue(2, XmlConfig::MAP_EXECMD, 203ul), "EJECT");
  EXPECT_EQ(XmlConfig::GetOutputParamByValue(2, XmlConfig::MAP_EXECMD, 203), "LPSTR");
  EXPECT_EQ(XmlConfig::GetNameByValue(2, XmlConfig::MAP_EXECMD, "0xC9"), "HEX");
  EXPECT_EQ(XmlConfig::GetValueByName(2, XmlConfig::MAP_EXECMD, "ZERO"), "0201");
  EXPECT_EQ(XmlConfig::GetInputParamByValue(2, XmlConfig::MAP_FWDEVICE, 203), "");
}

TEST_F(NameMaps, OnlyASingleTopListAndARootNamedRootLoad) {
  const std::string messages =
      "<MESSAGE_NO><item name=\"WFS_EXECUTE_COMPLETE\" value=\"1032\"/></MESSAGE_NO>";
  const std::string events =
      "<COMMON_MESSAGE><item name=\"WFS_SYSE_HARDWARE_ERROR\" value=\"2\" InputParam=\"\" "
      "OutputParam=\"LPXFSHWERROR\"/></COMMON_MESSAGE>";
  Load(messages + messages + events);
  EXPECT_EQ(XmlConfig::GetNameByValue(0, XmlConfig::MAP_MESSAGE_NO, 1032ul), "");
  EXPECT_EQ(XmlConfig::GetNameByValue(0, XmlConfig::MAP_MESSAGE, 2ul), "WFS_SYSE_HARDWARE_ERROR");

  testsupport::TraceCapture trace;
  Load(messages + events + kPtrSection, "top");
  EXPECT_EQ(XmlConfig::GetNameByValue(0, XmlConfig::MAP_MESSAGE_NO, 1032ul),
            "WFS_EXECUTE_COMPLETE");
  EXPECT_EQ(XmlConfig::GetNameByValue(0, XmlConfig::MAP_MESSAGE, 2ul), "");
  EXPECT_EQ(XmlConfig::GetNameByValue(1, XmlConfig::MAP_FWCONTROL, "1"), "");
  EXPECT_EQ(trace.countExact("XmlNode::GetNodeByPath szPath=[root/COMMON_MESSAGE]!", 4), 1);
  EXPECT_EQ(trace.countExact("XmlNode::GetNodeByPath szPath=[root/WFS_SERVICE_CLASS_PTR/fwControl]!", 4),
            1);
}

TEST_F(NameMaps, TypeLookupsTakeTheClassModuleFirst) {
  Load("<COMMON_MESSAGE><item name=\"WFS_SYSE_HARDWARE_ERROR\" value=\"2\" "
       "OutputParam=\"LPXFSHWERROR\"/></COMMON_MESSAGE>");
  testsupport::TraceCapture trace;
  EXPECT_EQ(XmlConfig::GetOutputParamByValue(0, XmlConfig::MAP_MESSAGE, 2), "LPXFSHWERROR");
  EXPECT_EQ(XmlConfig::GetInputParamByValue(0, XmlConfig::MAP_MESSAGE, 2), "");
  EXPECT_EQ(trace.countExact("XmlConfig GetModule excption iModule=[0]", 4), 2);
  XmlConfig::GetInstance()->GetModule(7);
  EXPECT_EQ(trace.countExact("XmlConfig GetModule excption iModule=[7]", 4), 1);
}

TEST_F(NameMaps, MissingTypeAttributesReadAsEmpty) {
  testsupport::TraceCapture trace;
  Load("<WFS_SERVICE_CLASS_IDC><INFO_COMMAND><item name=\"WFS_INF_IDC_STATUS\" value=\"201\"/>"
       "</INFO_COMMAND></WFS_SERVICE_CLASS_IDC>");
  EXPECT_EQ(XmlConfig::GetNameByValue(2, XmlConfig::MAP_INFCMD, 201ul), "WFS_INF_IDC_STATUS");
  EXPECT_EQ(XmlConfig::GetOutputParamByValue(2, XmlConfig::MAP_INFCMD, 201), "");
  EXPECT_EQ(trace.countExact("XmlNode::GetAttributeValue exception!", 4), 2);
}

TEST_F(NameMaps, TheNameFileIsSearchedInTheConfigurationDirectoryThenTheCurrentOne) {
  const std::string item = "<item name=\"WFS_EXECUTE_COMPLETE\" value=\"1032\"/>";
  const std::string other = "<item name=\"OTHER\" value=\"1032\"/>";
  ::mkdir(m_dir.file("config").c_str(), 0700);
  ::mkdir(m_dir.file("work").c_str(), 0700);
  Write("config/WFSConfig.xml", "<root><MESSAGE_NO>" + item + "</MESSAGE_NO></root>");
  Write("work/WFSConfig.xml", "<root><MESSAGE_NO>" + other + "</MESSAGE_NO></root>");
  const char* saved = std::getenv("WFP_CONFIG_DIR");
  const std::string savedDir = saved != nullptr ? saved : "";
  char savedCwd[4096];
  ASSERT_NE(::getcwd(savedCwd, sizeof savedCwd), nullptr);
  ASSERT_EQ(::chdir(m_dir.file("work").c_str()), 0);
  auto loaded = [] {
    XmlConfig::Destroy();
    return XmlConfig::GetNameByValue(0, XmlConfig::MAP_MESSAGE_NO, 1032ul);
  };

  ::setenv("WFP_CONFIG_DIR", m_dir.file("config").c_str(), 1);  // no trailing "/"
  EXPECT_EQ(loaded(), "WFS_EXECUTE_COMPLETE");
  XmlConfig::InitConfigFileName(m_dir.file("nowhere.xml").c_str());  // wins, then falls back
  EXPECT_EQ(loaded(), "OTHER");
  XmlConfig::InitConfigFileName(nullptr);
  ::setenv("WFP_CONFIG_DIR", m_dir.file("nowhere/").c_str(), 1);
  EXPECT_EQ(loaded(), "OTHER");
  ASSERT_EQ(::chdir(m_dir.path().c_str()), 0);  // no name file anywhere
  EXPECT_EQ(loaded(), "");
  EXPECT_EQ(XmlConfig::GetInputParamByValue(2, XmlConfig::MAP_EXECMD, 207), "");

  ASSERT_EQ(::chdir(savedCwd), 0);
  if (saved != nullptr) {
    ::setenv("WFP_CONFIG_DIR", savedDir.c_str(), 1);
  } else {
    ::unsetenv("WFP_CONFIG_DIR");
  }
}

TEST_F(NameMaps, ConcurrentFirstUseLoadsOnce) {
  XmlConfig::InitConfigFileName(
      Write("names.xml", "<root><MESSAGE_NO><item name=\"WFS_EXECUTE_COMPLETE\" value=\"1032\"/>"
                         "</MESSAGE_NO></root>")
          .c_str());
  std::atomic<int> ready{0};
  std::vector<QString> names(8);
  std::vector<XmlConfig*> instances(8);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < names.size(); ++i) {
    threads.emplace_back([&, i] {
      ++ready;
      while (ready.load() < static_cast<int>(names.size())) std::this_thread::yield();
      names[i] = XmlConfig::GetNameByValue(0, XmlConfig::MAP_MESSAGE_NO, 1032ul);
      instances[i] = XmlConfig::GetInstance();
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(names[i], "WFS_EXECUTE_COMPLETE");
    EXPECT_EQ(instances[i], instances[0]);
  }
}

TEST(NameLists, TheFirstMatchAnswersAfterEveryUpdate) {
  ConfigNameValue list;
  list.UpdateInsertItem("a", "1");
  list.UpdateInsertItem("b", "1");
  list.UpdateInsertItem("c", "2");
  EXPECT_EQ(list.GetName("1"), "a");
  list.UpdateInsertItem("a", "2");  // the later entry of a name replaces the value in place
  EXPECT_EQ(list.GetLength(), 3);
  EXPECT_EQ(list.GetName("1"), "b");
  EXPECT_EQ(list.GetName("2"), "a");
  list.UpdateItem("a", "3");
  EXPECT_EQ(list.GetName("2"), "c");
  EXPECT_EQ(list.GetIndexByValue("3"), 0);
  EXPECT_FALSE(list.UpdateItem("d", "4"));
  EXPECT_EQ(list.GetValueAt(3), "");
  EXPECT_EQ(ConfigNameValue({"x", "y"}).GetIndex("y"), 1);
}

}  // namespace
