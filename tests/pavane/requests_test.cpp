// Requests of an opened service as the device service receives them, the
// process check, cancel, and the end of a service.
#include <gtest/gtest.h>

#include <QDir>

#include <cstring>

#include "INICfgFile.h"
#include "dllmain.h"
#include "pavane_test_support.h"
#include "xfsspi.h"

using pavanetest::AppWindow;
using pavanetest::ConfigHome;
using pavanetest::OpenedService;
using pavanetest::ReceiveRequest;
using testsupport::TraceCapture;

namespace {

const HSERVICE kService = 21;

class Requests : public ::testing::Test {
 protected:
  void TearDown() override { InitializeINI(); }

  // Names the device service's executable through the manager configuration.
  void SetExecutable(CDevice* device, const std::string& executable) {
    const std::string services = home_.root() + "/services";
    const std::string providers = home_.root() + "/providers";
    QDir().mkpath(QString::fromStdString(services));
    QDir().mkpath(QString::fromStdString(providers));
    pavanetest::WriteFile(home_.managerIni(),
                          "[Manager]\nManagerLogicalServicePath=" + services +
                              "\nManagerServiceProviderPath=" + providers + "\n");
    pavanetest::WriteFile(services + "/cardreader.ini", "[default]\nclass=IDC\nprovider=Prov\n");
    pavanetest::WriteFile(providers + "/prov.ini",
                          "[default]\nlib_name=libcard.so\nexecutable=" + executable + "\n");
    device->GetSPWindowName(0);
    ASSERT_STREQ(device->GetExecutableName(), executable.c_str());
  }

  ConfigHome home_;
  AppWindow app_;
};

TEST_F(Requests, OpenSendsNoTimeLimitForZeroAndNoApplicationIdentifier) {
  const int devices = g_devCount;
  OpenedService service(home_, kService, app_.handle());
  ASSERT_EQ(service.openResult(), WFS_SUCCESS);
  const Json::Value& open = service.openRequest();
  EXPECT_EQ(open["nCmdType"].asInt(), KvSP_CMD_OPEN);
  EXPECT_EQ(open["dwTimeout"].asInt(), -1);
  EXPECT_TRUE(open["lpAppId"].isNull());
  EXPECT_EQ(open["hService"].asInt(), kService);
  EXPECT_EQ(open["requestID"].asInt(), 1);
  EXPECT_EQ(open["lType"].asInt(), WFS_SERVICE_CLASS_IDC);
  EXPECT_GE(service.windowPort(), 36000);
  EXPECT_LE(service.windowPort(), 45998);
  EXPECT_EQ(g_devCount, devices + 1);
  EXPECT_EQ(WFPUnloadService(), WFS_ERR_NOT_OK_TO_UNLOAD);

  ASSERT_TRUE(service.Close(77));
  _stServiceItem item;
  EXPECT_FALSE(CWFPCommonFunc::FindService(kService, item));
  EXPECT_EQ(g_devCount, devices);
  EXPECT_EQ(WFPUnloadService(), WFS_SUCCESS);
  EXPECT_EQ(WFPExecute(kService, 203, nullptr, 0, app_.handle(), 2), WFS_ERR_INVALID_HSERVICE);
  // The open was never answered: the close cancels it first.
  AppWindow::Message message;
  ASSERT_TRUE(app_.Take(&message));
  EXPECT_EQ(message.msg, static_cast<UINT>(WFS_OPEN_COMPLETE));
  EXPECT_EQ(ostreltest::Field(message.result->hResult), WFS_ERR_CANCELED);
  ASSERT_TRUE(app_.Take(&message));
  EXPECT_EQ(message.msg, static_cast<UINT>(WFS_CLOSE_COMPLETE));
  EXPECT_EQ(ostreltest::Field(message.result->RequestID), 77u);
}

TEST_F(Requests, EveryRequestCarriesTheDevicesOwnCopyOfTheApplicationIdentifier) {
  char appID[] = "APP1";
  OpenedService service(home_, kService, app_.handle(), "PIN", appID, 20000, "PinPad");
  ASSERT_EQ(service.openResult(), WFS_SUCCESS);
  EXPECT_EQ(service.openRequest()["dwTimeout"].asInt(), 20000);
  EXPECT_EQ(service.openRequest()["lpAppId"].asString(), "APP1");
  EXPECT_EQ(service.openRequest()["lType"].asInt(), WFS_SERVICE_CLASS_PIN);
  std::strcpy(appID, "XXXX");

  ASSERT_EQ(WFPLock(kService, 1500, app_.handle(), 2), WFS_SUCCESS);
  const Json::Value lock = ReceiveRequest(service.listener());
  EXPECT_EQ(lock["nCmdType"].asInt(), KvSP_CMD_LOCK);
  EXPECT_EQ(lock["dwTimeout"].asInt(), 1500);
  EXPECT_EQ(lock["lpAppId"].asString(), "APP1");
  EXPECT_EQ(lock["requestID"].asInt(), 2);
  EXPECT_EQ(lock["hWnd"].asInt(), service.windowPort());

  ASSERT_EQ(WFPUnlock(kService, app_.handle(), 3), WFS_SUCCESS);
  const Json::Value unlock = ReceiveRequest(service.listener());
  EXPECT_EQ(unlock["nCmdType"].asInt(), KvSP_CMD_UNLOCK);
  EXPECT_EQ(unlock["requestID"].asInt(), 3);
  EXPECT_EQ(unlock["lType"].asInt(), WFS_SERVICE_CLASS_PIN);
}

TEST_F(Requests, TwoDevicesKeepTheirOwnIdentifiers) {
  char first[] = "FIRST";
  OpenedService one(home_, kService, app_.handle(), "IDC", first, 0, "CardReader");
  OpenedService two(home_, kService + 1, app_.handle(), "PTR", nullptr, 0, "ReceiptPrinter");
  ASSERT_EQ(one.openResult(), WFS_SUCCESS);
  ASSERT_EQ(two.openResult(), WFS_SUCCESS);
  EXPECT_EQ(one.openRequest()["lpAppId"].asString(), "FIRST");
  EXPECT_TRUE(two.openRequest()["lpAppId"].isNull());
  EXPECT_EQ(two.openRequest()["lType"].asInt(), WFS_SERVICE_CLASS_PTR);
  EXPECT_NE(one.windowPort(), two.windowPort());
  ASSERT_EQ(WFPUnlock(kService + 1, app_.handle(), 5), WFS_SUCCESS);
  EXPECT_TRUE(ReceiveRequest(two.listener())["lpAppId"].isNull());
}

TEST_F(Requests, GetInfoSendsTimeOutZeroAndItsCategory) {
  OpenedService service(home_, kService, app_.handle());
  ASSERT_EQ(service.openResult(), WFS_SUCCESS);
  ASSERT_EQ(WFPGetInfo(kService, 201, nullptr, 5000, app_.handle(), 4), WFS_SUCCESS);
  const Json::Value info = ReceiveRequest(service.listener());
  EXPECT_EQ(info["nCmdType"].asInt(), KvSP_CMD_GETINFO);
  EXPECT_EQ(info["dwTimeout"].asInt(), 0);
  EXPECT_EQ(info["dwCategory"].asInt(), 201);
  EXPECT_EQ(info["dwCommand"].asInt(), 0);
  EXPECT_EQ(info["requestID"].asInt(), 4);
}

TEST_F(Requests, ExecuteSendsTheCallersTimeOutAndItsCommand) {
  OpenedService service(home_, kService, app_.handle());
  ASSERT_EQ(service.openResult(), WFS_SUCCESS);
  ASSERT_EQ(WFPExecute(kService, 203, nullptr, 0, app_.handle(), 6), WFS_SUCCESS);
  const Json::Value untimed = ReceiveRequest(service.listener());
  EXPECT_EQ(untimed["nCmdType"].asInt(), KvSP_CMD_EXECUTE);
  EXPECT_EQ(untimed["dwTimeout"].asInt(), 0);
  EXPECT_EQ(untimed["dwCommand"].asInt(), 203);
  EXPECT_EQ(untimed["dwCategory"].asInt(), 0);
  EXPECT_TRUE(untimed.isMember("lpDataBuffer"));
  EXPECT_TRUE(untimed["lpDataBuffer"].isNull());

  ASSERT_EQ(WFPExecute(kService, 203, nullptr, 100, app_.handle(), 7), WFS_SUCCESS);
  const Json::Value timed = ReceiveRequest(service.listener());
  EXPECT_EQ(timed["dwTimeout"].asInt(), 100);
  EXPECT_EQ(timed["requestID"].asInt(), 7);
  // The shortest time-out applied is 500 ms; then the device service is told.
  const Json::Value notice = ReceiveRequest(service.listener());
  EXPECT_EQ(notice["nCmdType"].asInt(), KvSP_CMD_TIMEOUT);
  EXPECT_EQ(notice["requestID"].asInt(), 7);
  EXPECT_EQ(notice["hService"].asInt(), kService);
  EXPECT_EQ(service.device()->GetCommandDataCount(), 3);  // open and both executes
}

TEST_F(Requests, CancelReturnsZeroAndLeavesTheRequestPending) {
  OpenedService service(home_, kService, app_.handle());
  ASSERT_EQ(service.openResult(), WFS_SUCCESS);
  ASSERT_EQ(WFPExecute(kService, 203, nullptr, 0, app_.handle(), 8), WFS_SUCCESS);
  ReceiveRequest(service.listener());
  const int pending = service.device()->GetCommandDataCount();
  EXPECT_EQ(WFPCancelAsyncRequest(kService, 8), WFS_SUCCESS);
  const Json::Value cancel = ReceiveRequest(service.listener());
  EXPECT_EQ(cancel["nCmdType"].asInt(), KvSP_CMD_CANCEL);
  EXPECT_EQ(cancel["requestID"].asInt(), 8);
  EXPECT_EQ(service.device()->GetCommandDataCount(), pending);
  // Cancelling a request that is not pending is the device service's business too.
  EXPECT_EQ(WFPCancelAsyncRequest(kService, 999), WFS_SUCCESS);
  EXPECT_EQ(ReceiveRequest(service.listener())["requestID"].asInt(), 999);
}

TEST_F(Requests, ProcessCheckUsesTheLastPartOfTheExecutableNameInAnyCase) {
  OpenedService service(home_, kService, app_.handle());
  ASSERT_EQ(service.openResult(), WFS_SUCCESS);
  SetExecutable(service.device(), "/opt/elsewhere/PAVANE_TESTS");
  EXPECT_EQ(service.device()->IsModuleExist(), 1);
  ASSERT_EQ(WFPExecute(kService, 203, nullptr, 0, app_.handle(), 9), WFS_SUCCESS);
  EXPECT_EQ(ReceiveRequest(service.listener())["requestID"].asInt(), 9);
}

TEST_F(Requests, MissingDeviceServiceProcessRefusesRequestsAndCloseEndsTheService) {
  const int devices = g_devCount;
  OpenedService service(home_, kService, app_.handle());
  ASSERT_EQ(service.openResult(), WFS_SUCCESS);
  CDevice* device = service.device();
  SetExecutable(device, "/opt/bin/no-such-device-service-zq9");
  EXPECT_EQ(device->IsModuleExist(), 0);

  TraceCapture trace;
  _stRequestData request{};
  request.hService = kService;
  request.ReqID = 10;
  request.hWnd = app_.handle();
  request.nCmdType = KvSP_CMD_EXECUTE;
  EXPECT_EQ(device->ExecuteRequestProcess(&request), WFS_ERR_CONNECTION_LOST);
  EXPECT_EQ(ostreltest::Field(request.hResult), WFS_ERR_CONNECTION_LOST);
  EXPECT_TRUE(trace.contains(
      "CDevice::ExecuteRequestProcess FindModule /opt/bin/no-such-device-service-zq9 Failed", 4));
  EXPECT_EQ(WFPLock(kService, 0, app_.handle(), 11), WFS_ERR_CONNECTION_LOST);
  EXPECT_EQ(WFPUnlock(kService, app_.handle(), 12), WFS_ERR_CONNECTION_LOST);
  EXPECT_EQ(WFPGetInfo(kService, 201, nullptr, 0, app_.handle(), 13), WFS_ERR_CONNECTION_LOST);
  std::string text;
  EXPECT_FALSE(service.listener().Receive(&text, 300));

  // The close stops the service at once and the device goes with it.
  EXPECT_EQ(WFPClose(kService, app_.handle(), 14), WFS_ERR_CONNECTION_LOST);
  service.Forget();
  EXPECT_TRUE(trace.contains("[CDevice::~CDevice] <====="));
  _stServiceItem item;
  EXPECT_FALSE(CWFPCommonFunc::FindService(kService, item));
  EXPECT_EQ(g_devCount, devices);
  EXPECT_FALSE(service.listener().Receive(&text, 100));
}

TEST_F(Requests, RegistrationsOfAServiceGoWhenItCloses) {
  OpenedService service(home_, kService, app_.handle());
  ASSERT_EQ(service.openResult(), WFS_SUCCESS);
  ASSERT_EQ(WFPRegister(kService, SERVICE_EVENTS | SYSTEM_EVENTS, 8100, app_.handle(), 2),
            WFS_SUCCESS);
  AppWindow::Message message;
  ASSERT_TRUE(app_.Take(&message, 0));
  EXPECT_EQ(message.msg, static_cast<UINT>(WFS_REGISTER_COMPLETE));
  EXPECT_EQ(pavanetest::Registrations(kService).size(), 1u);
  std::string text;
  EXPECT_FALSE(service.listener().Receive(&text, 100));  // nothing for the device service
  ASSERT_TRUE(service.Close());
  EXPECT_TRUE(pavanetest::Registrations(kService).empty());
}

TEST_F(Requests, HandleRefusedForWantOfAWindowCanBeOpenedAgain) {
  home_.AddService("CardReader", "IDC", 8001);
  EXPECT_EQ(WFPOpen(kService, const_cast<char*>("CardReader"), nullptr, nullptr, 0, 0, 0, 1,
                    nullptr, 0, nullptr, 0, nullptr),
            WFS_ERR_INVALID_HWND);
  OpenedService service(home_, kService, app_.handle());
  EXPECT_EQ(service.openResult(), WFS_SUCCESS);
  TraceCapture trace;
  EXPECT_EQ(WFPOpen(kService, const_cast<char*>("CardReader"), nullptr, nullptr, 0, 0,
                    app_.handle(), 2, nullptr, 0, nullptr, 0, nullptr),
            WFS_ERR_INVALID_HSERVICE);
  EXPECT_TRUE(trace.contains("WFPOpen hService=[21] already Opened!", 4));
}

TEST_F(Requests, UnloadGoesToTheDeviceServiceOnlyWhenItsProcessIsGone) {
  ostreltest::RequestListener listener;
  CKvSPIDCDevice device("CardReader");
  device.SetSPWnd(listener.port());
  _stRequestData request{};
  request.hService = kService;
  request.ReqID = 30;
  EXPECT_EQ(device.ImmediateUnloadService(&request), WFS_SUCCESS);
  std::string text;
  EXPECT_FALSE(listener.Receive(&text, 200));  // the process check passes: nothing sent

  SetExecutable(&device, "/opt/bin/no-such-device-service-zq9");
  EXPECT_EQ(device.ImmediateUnloadService(&request), WFS_SUCCESS);
  const Json::Value unload = ReceiveRequest(listener);
  EXPECT_EQ(unload["nCmdType"].asInt(), KvSP_CMD_UNLOAD_SERVICE);
  EXPECT_EQ(unload["requestID"].asInt(), 30);
  EXPECT_EQ(unload["hWnd"].asInt(), 0);  // the device never opened: no reply port
  EXPECT_EQ(unload["dwCommand"].asInt(), 0);
}

TEST_F(Requests, StopAllThreadOnADeviceThatNeverOpenedChangesNothing) {
  CKvSPIDCDevice device("CardReader");
  const int devices = g_devCount;
  TraceCapture trace;
  device.StopAllThread();
  EXPECT_TRUE(trace.contains("CDevice::StopAllThread m_hService is NULL", 2));
  EXPECT_EQ(g_devCount, devices);
}

TEST_F(Requests, PendingEntriesOfOneRequestAreRemovedTogether) {
  CKvSPIDCDevice device("CardReader");
  device.AddCommandData(1, 3, 50, 13001);
  device.AddCommandData(1, 3, 51, 13002);
  device.AddCommandData(1, 3, 50, 13003);
  TraceCapture trace;
  long threadWnd = 0;
  EXPECT_EQ(device.GetThreadIDAndRemoveCommandData(3, 50, threadWnd), 1);
  EXPECT_EQ(threadWnd, 13003);
  EXPECT_TRUE(trace.contains(
      "CDevice::GetThreadIDAndRemoveCommandData hService[3] reqID[50]  get another", 3));
  EXPECT_EQ(device.GetCommandDataCount(), 1);
  EXPECT_EQ(device.GetThreadIDAndRemoveCommandData(3, 50, threadWnd), 0);
}

}  // namespace
