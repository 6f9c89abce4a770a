// Configuration: wfp.ini and its packaged default, the device chosen for a
// logical name, the profile functions and the manager configuration chain.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>

#include "INICfgFile.h"
#include "KvSPCRDDevice.h"
#include "KvSPPINDevice.h"
#include "KvSPPTRDevice.h"
#include "WFPApp.h"
#include "WFPPaths.h"
#include "dllmain.h"
#include "pavane_test_support.h"

using pavanetest::ConfigHome;
using pavanetest::ReadFile;
using pavanetest::WriteFile;
using testsupport::TraceCapture;

namespace {

std::unique_ptr<CDevice> DeviceFor(const char* name) {
  return std::unique_ptr<CDevice>(g_pTheApp->GetDevice(name));
}

template <class Expected>
bool Is(const std::unique_ptr<CDevice>& device) {
  return dynamic_cast<Expected*>(device.get()) != nullptr;
}

TEST(DeviceChoice, EveryClassValueChoosesItsDeviceClass) {
  ConfigHome home;
  struct Row {
    const char* value;
    int serviceClass;
  };
  const Row rows[] = {{"IDC", 2},      {"PIN", 4},    {"IDC_ID", 2},
                      {"FPI", 2},      {"PTR", 1},    {"CRD_S", 14},
                      {"CRD_R", 2},    {"IDC_TRIP", 2}, {"IDC_PICC", 2}};
  int port = 8100;
  for (const Row& row : rows) home.AddService(std::string("S_") + row.value, row.value, ++port);
  port = 8100;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    const auto device = DeviceFor((std::string("S_") + row.value).c_str());
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->GetServiceClass(), row.serviceClass);
    EXPECT_EQ(device->GetSPWnd(), ++port);
    EXPECT_STREQ(device->GetLogicalName(), (std::string("S_") + row.value).c_str());
    switch (row.serviceClass) {
      case 1: EXPECT_TRUE(Is<CKvSPPTRDevice>(device)); break;
      case 4: EXPECT_TRUE(Is<CKvSPPINDevice>(device)); break;
      case 14: EXPECT_TRUE(Is<CKvSPCRDDevice>(device)); break;
      default: EXPECT_TRUE(Is<CKvSPIDCDevice>(device)); break;
    }
  }
}

TEST(DeviceChoice, CardReaderSectionWithItsPortAndClass) {
  ConfigHome home;
  home.AddService("CardReader", "IDC_TRIP", 8001);
  TraceCapture trace;
  const auto device = DeviceFor("CardReader");
  ASSERT_TRUE(Is<CKvSPIDCDevice>(device));
  EXPECT_EQ(device->GetSPWnd(), 8001);
  EXPECT_EQ(device->GetServiceClass(), 2);
  EXPECT_TRUE(trace.contains(
      "CWFPApp::GetDevice GetSPWindowName logical_name=[CardReader] port=[8001] class=[IDC_TRIP]",
      2));
  EXPECT_TRUE(trace.contains("CWFPApp::GetDevice [CardReader] Success", 2));
}

TEST(DeviceChoice, ComparisonIsCaseSensitiveAndUnknownValuesMakeNoDevice) {
  ConfigHome home;
  home.AddService("Lower", "idc", 8001);
  home.AddService("Other", "CDM", 8002);
  TraceCapture trace;
  EXPECT_EQ(DeviceFor("Lower"), nullptr);
  EXPECT_EQ(DeviceFor("Other"), nullptr);
  EXPECT_TRUE(trace.contains("CWFPApp::GetDevice [Other] Failed", 2));
  EXPECT_EQ(DeviceFor("NoSuchSection"), nullptr);
  EXPECT_EQ(DeviceFor(nullptr), nullptr);
}

TEST(DeviceChoice, SectionWithoutPortUsesPortTen) {
  ConfigHome home;
  home.WriteWfpIni("[PinPad]\nclass=PIN\n");
  const auto device = DeviceFor("PinPad");
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->GetSPWnd(), 10);
}

TEST(DeviceChoice, ClassValueOfSixtyFourBytesDoesNotFit) {
  ConfigHome home;
  home.AddService("Long", "IDC" + std::string(61, 'X'), 8001);
  home.AddService("Fits", "IDC" + std::string(60, 'X'), 8002);
  TraceCapture trace;
  EXPECT_EQ(DeviceFor("Long"), nullptr);
  EXPECT_TRUE(trace.contains("logical_name=[Long] port=[8001] class=[]"));
  EXPECT_EQ(DeviceFor("Fits"), nullptr);
  EXPECT_TRUE(trace.contains("CWFPApp::GetDevice [Fits] Failed"));
}

TEST(DeviceChoice, EditsToTheFileCountAtTheNextOpen) {
  ConfigHome home;
  home.AddService("CardReader", "IDC", 8001);
  EXPECT_EQ(DeviceFor("CardReader")->GetSPWnd(), 8001);
  home.WriteWfpIni("[CardReader]\nclass=PTR\nport=18002\n");
  const auto device = DeviceFor("CardReader");
  EXPECT_TRUE(Is<CKvSPPTRDevice>(device));
  EXPECT_EQ(device->GetSPWnd(), 18002);
}

TEST(PackagedDefault, FirstOpenOnAnEmptyDirectoryCopiesIt) {
  ConfigHome home;
  QDir().mkpath(QString::fromStdString(home.dir()));
  TraceCapture trace;
  const auto device = DeviceFor("CardReader");
  EXPECT_TRUE(trace.contains("CWFPApp::copyIniFile copy success!", 2));
  QFile packaged(":/cfg/wfp.ini");
  ASSERT_TRUE(packaged.open(QIODevice::ReadOnly));
  EXPECT_EQ(ReadFile(home.wfpIni()), packaged.readAll().toStdString());
  ASSERT_TRUE(Is<CKvSPIDCDevice>(device));
  EXPECT_TRUE(Is<CKvSPPINDevice>(DeviceFor("PinPad")));
  EXPECT_TRUE(Is<CKvSPPTRDevice>(DeviceFor("ReceiptPrinter")));
  EXPECT_TRUE(Is<CKvSPCRDDevice>(DeviceFor("CardDispenser")));
  // The copy can be changed like any configuration file.
  EXPECT_TRUE(QFileInfo(QString::fromStdString(home.wfpIni())).isWritable());
  EXPECT_EQ(SetPrivateProfileInt("CardReader", "port", 9100, home.wfpIni().c_str()), 1);
  EXPECT_EQ(DeviceFor("CardReader")->GetSPWnd(), 9100);
}

TEST(PackagedDefault, EachServiceHasItsOwnPort) {
  ConfigHome home;
  QDir().mkpath(QString::fromStdString(home.dir()));
  CWFPApp::copyIniFile();
  std::vector<long> ports;
  for (const char* name : {"CardReader", "PinPad", "ReceiptPrinter", "CardDispenser"}) {
    const auto device = DeviceFor(name);
    ASSERT_NE(device, nullptr) << name;
    for (long port : ports) EXPECT_NE(port, device->GetSPWnd()) << name;
    ports.push_back(device->GetSPWnd());
  }
}

TEST(PackagedDefault, AnExistingFileIsLeftAsItIs) {
  ConfigHome home;
  const std::string mine = "[CardReader]\nclass=PIN\nport=7001\n";
  home.WriteWfpIni(mine);
  TraceCapture trace;
  EXPECT_TRUE(Is<CKvSPPINDevice>(DeviceFor("CardReader")));
  EXPECT_EQ(ReadFile(home.wfpIni()), mine);
  EXPECT_FALSE(trace.contains("CWFPApp::copyIniFile copy"));
}

TEST(PackagedDefault, MissingConfigurationDirectoryFailsTheCopy) {
  ConfigHome home;  // its directory does not exist yet
  TraceCapture trace;
  EXPECT_EQ(DeviceFor("CardReader"), nullptr);
  EXPECT_TRUE(trace.contains("CWFPApp::copyIniFile copy failed!", 4));
}

TEST(Paths, EnvironmentReplacesTheFixedPaths) {
  ConfigHome home;
  EXPECT_EQ(WFPConfigFilePath().toStdString(), home.wfpIni());
  EXPECT_EQ(WFPManagerConfigFilePath().toStdString(), home.managerIni());
  setenv("WFP_CONFIG_DIR", "/tmp/no-slash", 1);
  EXPECT_EQ(WFPConfigDir().toStdString(), "/tmp/no-slash/");
  unsetenv("WFP_CONFIG_DIR");
  unsetenv("WFP_MANAGER_CONFIG");
  EXPECT_EQ(WFPConfigFilePath().toStdString(), "/storage/emulated/0/Ventora/Calyx/wfp.ini");
  EXPECT_EQ(WFPManagerConfigFilePath().toStdString(), "/opt/Norvik_SP/cfg/SPCfg.ini");
  EXPECT_EQ(WFPPackagedConfigFilePath().toStdString(), ":/cfg/wfp.ini");
}

TEST(Paths, ApplicationObjectMakesTheConfigurationDirectory) {
  ConfigHome home;
  EXPECT_FALSE(QDir(QString::fromStdString(home.dir())).exists());
  CWFPApp app;
  EXPECT_TRUE(QDir(QString::fromStdString(home.dir())).exists());
  const QString nested = QString::fromStdString(home.root()) + "/a/b/c";
  EXPECT_EQ(app.mkdirs(nested), nested);
  EXPECT_TRUE(QDir(nested).exists());
  EXPECT_EQ(app.mkdirs(nested + "/"), nested + "/");
  EXPECT_NE(app.GetWorkstationName(), nullptr);
}

class Profile : public ::testing::Test {
 protected:
  void TearDown() override { InitializeINI(); }
  ConfigHome home_;
  std::string file(const char* name) const { return home_.root() + "/" + name; }
};

TEST_F(Profile, ValuesThatFitAndValuesThatDoNot) {
  WriteFile(file("a.ini"), "[S]\nshort=abc\nlong=" + std::string(300, 'z') + "\nnum=12\nbad=x\n");
  char out[8];
  EXPECT_EQ(GetPrivateProfileString("S", "short", "d", out, sizeof(out), file("a.ini").c_str()), 1);
  EXPECT_STREQ(out, "abc");
  EXPECT_EQ(GetPrivateProfileString("S", "missing", "dflt", out, sizeof(out),
                                    file("a.ini").c_str()),
            1);
  EXPECT_STREQ(out, "dflt");
  // More than 255 characters: the default stands in.
  char big[400];
  EXPECT_EQ(GetPrivateProfileString("S", "long", "d", big, sizeof(big), file("a.ini").c_str()), 1);
  EXPECT_STREQ(big, "d");
  // Too long for out: the default when it fits, else out untouched.
  WriteFile(file("b.ini"), "[S]\nv=0123456789\n");
  EXPECT_EQ(GetPrivateProfileString("S", "v", "dd", out, sizeof(out), file("b.ini").c_str()), 0);
  EXPECT_STREQ(out, "dd");
  std::strcpy(out, "keep");
  EXPECT_EQ(GetPrivateProfileString("S", "v", "0123456789", out, sizeof(out),
                                    file("b.ini").c_str()),
            0);
  EXPECT_STREQ(out, "keep");

  EXPECT_EQ(GetPrivateProfileInt("S", "num", 5, file("a.ini").c_str()), 12);
  EXPECT_EQ(GetPrivateProfileInt("S", "bad", 5, file("a.ini").c_str()), 0);
  EXPECT_EQ(GetPrivateProfileInt("S", "none", 5, file("a.ini").c_str()), 5);
}

TEST_F(Profile, WritesReachTheFileAtOnce) {
  TraceCapture trace;
  EXPECT_EQ(SetPrivateProfileInt("Dev", "port", 4242, file("w.ini").c_str()), 1);
  EXPECT_EQ(SetPrivateProfileString("Dev", "class", "PTR", file("w.ini").c_str()), 1);
  const std::string text = ReadFile(file("w.ini"));
  EXPECT_NE(text.find("port=4242"), std::string::npos);
  EXPECT_NE(text.find("class=PTR"), std::string::npos);
  for (int pos : {1, 2, 3, 4, 7, 8, 9, 10, 11})
    EXPECT_EQ(trace.countExact("CINICfgFile::SetPrivateProfileInt pos " + std::to_string(pos), 1),
              1)
        << pos;
  // A file of its own for the object, then back to the first one.
  EXPECT_EQ(SetPrivateProfileInt("Dev", "port", 1, file("x.ini").c_str()), 1);
  EXPECT_EQ(trace.count("CINICfgFile::SetPrivateProfileInt pos 5"), 1);
  EXPECT_EQ(GetPrivateProfileInt("Dev", "port", 0, file("w.ini").c_str()), 4242);
}

TEST(ProfileObject, WithoutAFileReadsGiveDefaultsAndWritesFail) {
  CINICfgFile cfg;
  EXPECT_STREQ(cfg.GetPrivateProfileString("S", "k", "dflt", nullptr), "dflt");
  EXPECT_EQ(cfg.GetPrivateProfileInt("S", "k", 3, nullptr), 3);
  EXPECT_EQ(cfg.SetPrivateProfileString("S", "k", "v", nullptr), 0);
  EXPECT_EQ(cfg.SetPrivateProfileInt("S", "k", 1, nullptr), 0);
  EXPECT_EQ(cfg.SetPrivateProfileFileName(nullptr), 0);
}

TEST_F(Profile, TwoOpensAtTheSameMomentKeepTheirOwnValues) {
  // Two sections of one file, read through the one shared settings object,
  // whose group and value buffer the two readers would otherwise mix up.
  const std::string path = file("wfp.ini");
  WriteFile(path, "[One]\nclass=ONE\nport=1\n[Two]\nclass=TWO\nport=2\n");
  EXPECT_EQ(GetPrivateProfileInt("One", "port", 0, path.c_str()), 1);
  std::atomic<int> wrong{0};
  auto reader = [&](const char* section, const char* expected, int port) {
    for (int i = 0; i < 3000; ++i) {
      char out[64];
      GetPrivateProfileString(section, "class", "", out, sizeof(out), path.c_str());
      if (std::strcmp(out, expected) != 0) ++wrong;
      if (GetPrivateProfileInt(section, "port", 0, path.c_str()) != port) ++wrong;
    }
  };
  std::thread a(reader, "One", "ONE", 1);
  std::thread b(reader, "Two", "TWO", 2);
  a.join();
  b.join();
  EXPECT_EQ(wrong, 0);
}

class ManagerChain : public ::testing::Test {
 protected:
  // SPCfg.ini naming two directory trees, a logical service file one level
  // down and a provider file.
  void WriteChain(const std::string& logical, const std::string& provider) {
    const std::string services = home_.root() + "/services";
    const std::string providers = home_.root() + "/providers";
    QDir().mkpath(QString::fromStdString(services + "/sub"));
    QDir().mkpath(QString::fromStdString(providers));
    WriteFile(home_.managerIni(), "[Manager]\nManagerLogicalServicePath=" + services +
                                      "\nManagerServiceProviderPath=" + providers + "\n");
    if (!logical.empty()) WriteFile(services + "/sub/cardreader.ini", logical);
    if (!provider.empty()) WriteFile(providers + "/kvprov.ini", provider);
  }
  void TearDown() override { InitializeINI(); }

  ConfigHome home_;
  CKvSPIDCDevice device_{"CardReader"};
  TraceCapture trace_;
};

TEST_F(ManagerChain, FillsLibraryAndExecutableNames) {
  WriteChain("[default]\nclass=IDC\nprovider=KvProv\n",
             "[default]\nlib_name=libcard.so\nexecutable=/opt/bin/cardsvc\n");
  EXPECT_EQ(device_.GetSPWindowName(0), 0);
  EXPECT_STREQ(device_.GetLibraryName(), "libcard.so");
  EXPECT_STREQ(device_.GetExecutableName(), "/opt/bin/cardsvc");
  EXPECT_TRUE(trace_.contains("CDevice::GetSPWindowName ManagerLogicalServicePath = [" +
                              home_.root() + "/services]"));
}

TEST_F(ManagerChain, DefaultsWhenTheManagerFileIsMissing) {
  EXPECT_EQ(device_.GetSPWindowName(0), 0);
  EXPECT_TRUE(trace_.contains(
      "CDevice::GetSPWindowName ManagerLogicalServicePath = [/etc/xfs/logical_hServices]", 2));
  EXPECT_TRUE(trace_.contains(
      "CDevice::GetSPWindowName ManagerServiceProviderPath = [/etc/xfs/hService_providers]", 2));
}

TEST_F(ManagerChain, EachMissingLinkStopsWithItsLine) {
  const std::string logical = "[default]\nclass=IDC\nprovider=KvProv\n";
  struct Link {
    std::string logicalFile, providerFile, line;
  };
  const Link links[] = {
      {"", "", "can't find logical name =" + home_.root() + "/services!"},
      {"[default]\nprovider=KvProv\n", "", "can't find class!"},
      {"[default]\nclass=IDC\n", "", "can't find provider!"},
      {logical, "", "can't find Service name =" + home_.root() + "/providers!"},
      {logical, "[default]\nexecutable=cardsvc\n", "can't find lib name!"},
      {logical, "[default]\nlib_name=libcard.so\n", "can't find executable!"},
  };
  for (const Link& link : links) {
    WriteChain(link.logicalFile, link.providerFile);
    trace_.clear();
    EXPECT_EQ(device_.GetSPWindowName(0), 0);
    EXPECT_TRUE(trace_.contains("CDevice::GetSPWindowName " + link.line, 3)) << link.line;
  }
  EXPECT_STREQ(device_.GetLibraryName(), "libcard.so");
  EXPECT_STREQ(device_.GetExecutableName(), "");
}

TEST(FilePath, FindsAFileInASubdirectory) {
  testsupport::TempDir dir;
  QDir().mkpath(QString::fromStdString(dir.file("x/y")));
  WriteFile(dir.file("x/y/pinpad.ini"), "");
  QDir().mkpath(QString::fromStdString(dir.file("pinpad.ini.d")));
  EXPECT_EQ(CDevice::GetFilePath(QString::fromStdString(dir.path()), "pinpad.ini").toStdString(),
            dir.file("x/y/pinpad.ini"));
  EXPECT_TRUE(CDevice::GetFilePath(QString::fromStdString(dir.path()), "other.ini").isEmpty());
  TraceCapture trace;
  EXPECT_TRUE(CDevice::GetFilePath("", "pinpad.ini").isEmpty());
  EXPECT_TRUE(CDevice::GetFilePath(QString::fromStdString(dir.path()), "").isEmpty());
  EXPECT_EQ(trace.count("CDevice::GetFilePath filepath or filename is NULL!", 4), 2);
}

}  // namespace
