// Where the services come from: the service provider's wfp.ini and
// NAME:CLASS:PORT texts.
#include <gtest/gtest.h>

#include <fstream>

#include "devsim/services.h"
#include "test_support.h"

namespace {

TEST(DevsimConfig, EverySectionWithAClassIsAService) {
  testsupport::TempDir dir;
  std::ofstream(dir.file("wfp.ini")) << "[CardReader]\nclass=IDC_TRIP\nport=8001\n"
                                        "[Notes]\ncomment=nothing here\n"
                                        "[PinPad]\nclass=PIN\n";
  std::string error;
  std::vector<devsim::ServiceSpec> services =
      devsim::LoadServicesFromIni(dir.file("wfp.ini"), &error);
  ASSERT_EQ(services.size(), 2u) << error;
  EXPECT_EQ(services[0].name, "CardReader");
  EXPECT_EQ(services[0].deviceClass, "IDC_TRIP");
  EXPECT_EQ(services[0].port, 8001);
  EXPECT_EQ(services[1].name, "PinPad");
  EXPECT_EQ(services[1].port, 10);
}

TEST(DevsimConfig, UnusableFilesAreRefusedWithTheirPath) {
  testsupport::TempDir dir;
  std::string error;
  EXPECT_TRUE(devsim::LoadServicesFromIni(dir.file("none.ini"), &error).empty());
  EXPECT_EQ(error, dir.file("none.ini") + ": no such file");
  std::ofstream(dir.file("empty.ini")) << "[Other]\nkey=1\n";
  EXPECT_TRUE(devsim::LoadServicesFromIni(dir.file("empty.ini"), &error).empty());
  EXPECT_EQ(error, dir.file("empty.ini") + ": no section with a \"class\" key");
  std::ofstream(dir.file("port.ini")) << "[CardReader]\nclass=IDC\nport=80a\n";
  EXPECT_TRUE(devsim::LoadServicesFromIni(dir.file("port.ini"), &error).empty());
  EXPECT_EQ(error,
            dir.file("port.ini") + ": section [CardReader] has port \"80a\", not a port number");
  EXPECT_TRUE(devsim::LoadServicesFromIni(dir.path(), &error).empty());
  EXPECT_EQ(error, dir.path() + ": cannot be read");
}

TEST(DevsimConfig, ServiceSpecTexts) {
  devsim::ServiceSpec spec;
  std::string error;
  ASSERT_TRUE(devsim::ParseServiceSpec("CardReader:IDC:0", &spec, &error)) << error;
  EXPECT_EQ(spec.name, "CardReader");
  EXPECT_EQ(spec.deviceClass, "IDC");
  EXPECT_EQ(spec.port, 0);
  for (const char* bad :
       {"CardReader", "CardReader:IDC", ":IDC:1", "A::1", "A:IDC:x", "A:IDC:70000", "A:IDC:-1"}) {
    EXPECT_FALSE(devsim::ParseServiceSpec(bad, &spec, &error)) << bad;
    EXPECT_NE(error.find(bad), std::string::npos) << error;
  }
}

}  // namespace
