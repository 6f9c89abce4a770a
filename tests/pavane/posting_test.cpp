// Completions posted to the application's windows: register and deregister
// end to end, records built from a request, decoded records, retries.
#include <gtest/gtest.h>

#include <QDate>

#include "corvid.h"
#include "pavane_test_support.h"
#include "xfsspi.h"

using pavanetest::AppWindow;
using pavanetest::ServiceEntry;
using testsupport::TraceCapture;

namespace {

const HSERVICE kService = 12;
const HWND kWndReg = 9001;

class Posting : public ::testing::Test {
 protected:
  void TearDown() override {
    CorvidFailPosts(0, 0);
    CorvidFailAllocations(-1);
    pavanetest::ClearTables();
  }

  AppWindow app_;
  ServiceEntry<CKvSPIDCDevice> entry_{kService, new CKvSPIDCDevice("CardReader")};
  CDevice& device() { return entry_.device(); }

  _stRequestData Request(LONG kind, REQUESTID reqID) const {
    _stRequestData request{};
    request.hService = kService;
    request.ReqID = reqID;
    request.hWnd = app_.handle();
    request.nCmdType = kind;
    return request;
  }
};

TEST_F(Posting, RegisterCompletesBeforeTheEntryPointReturns) {
  ASSERT_EQ(WFPRegister(kService, SERVICE_EVENTS, kWndReg, app_.handle(), 33), WFS_SUCCESS);
  AppWindow::Message message;
  ASSERT_TRUE(app_.Take(&message, 0));
  EXPECT_EQ(message.msg, static_cast<UINT>(WFS_REGISTER_COMPLETE));
  const WFSRESULT& r = *message.result;
  EXPECT_EQ(ostreltest::Field(r.RequestID), 33u);
  EXPECT_EQ(ostreltest::Field(r.hService), kService);
  EXPECT_EQ(ostreltest::Field(r.hResult), WFS_SUCCESS);
  EXPECT_EQ(ostreltest::Field(r.u.dwCommandCode), 0u);
  EXPECT_EQ(ostreltest::Field(r.lpBuffer), nullptr);
  EXPECT_EQ(ostreltest::Field(r.tsTimestamp.wDayOfWeek), 0);
  EXPECT_GE(ostreltest::Field(r.tsTimestamp.wYear), 2024);

  ASSERT_EQ(WFPDeregister(kService, SERVICE_EVENTS, kWndReg, app_.handle(), 34), WFS_SUCCESS);
  ASSERT_TRUE(app_.Take(&message, 0));
  EXPECT_EQ(message.msg, static_cast<UINT>(WFS_DEREGISTER_COMPLETE));
  EXPECT_EQ(ostreltest::Field(message.result->RequestID), 34u);
  EXPECT_FALSE(app_.Take(&message, 0));
}

TEST_F(Posting, RecordBuiltFromTheRequestCarriesItsCommandOrCategory) {
  _stRequestData execute = Request(KvSP_CMD_EXECUTE, 8);
  execute.dwCommand = 203;
  execute.hResult = WFS_ERR_INTERNAL_ERROR;
  device().PostMessage(&execute, nullptr);
  _stRequestData info = Request(KvSP_CMD_GETINFO, 9);
  info.dwCategory = 201;
  device().PostMessage(&info, nullptr);
  _stRequestData other = Request(KvSP_CMD_UNLOAD_SERVICE, 10);
  other.dwCommand = 55;
  device().PostMessage(&other, nullptr);

  AppWindow::Message message;
  ASSERT_TRUE(app_.Take(&message, 0));
  EXPECT_EQ(message.msg, static_cast<UINT>(WFS_EXECUTE_COMPLETE));
  EXPECT_EQ(ostreltest::Field(message.result->u.dwCommandCode), 203u);
  EXPECT_EQ(ostreltest::Field(message.result->hResult), WFS_ERR_INTERNAL_ERROR);
  EXPECT_EQ(ostreltest::Field(message.result->lpBuffer), nullptr);
  ASSERT_TRUE(app_.Take(&message, 0));
  EXPECT_EQ(message.msg, static_cast<UINT>(WFS_GETINFO_COMPLETE));
  EXPECT_EQ(ostreltest::Field(message.result->u.dwCommandCode), 201u);
  ASSERT_TRUE(app_.Take(&message, 0));
  EXPECT_EQ(message.msg, 0u);
  EXPECT_EQ(ostreltest::Field(message.result->u.dwCommandCode), 0u);
}

TEST_F(Posting, FiveAttemptsAndTheRecordStaysWithTheApplicationOnSuccess) {
  const long before = CorvidLiveBlocks();
  CorvidFailPosts(4, WFS_ERR_INVALID_HWND);
  TraceCapture trace;
  ASSERT_EQ(WFPRegister(kService, USER_EVENTS, kWndReg, app_.handle(), 40), WFS_SUCCESS);
  for (int attempt = 0; attempt < 4; ++attempt)
    EXPECT_EQ(trace.count("Failed! times[" + std::to_string(attempt) + "]", 4), 1) << attempt;
  EXPECT_EQ(trace.count("Failed! times[4]"), 0);
  EXPECT_TRUE(trace.contains(
      "CWFPCommonFunc::PostMessage_WFSRESULT PostMessage [-24] msg:[1029] to hWnd[" +
      std::to_string(app_.handle()) + "] Failed! times[0]"));
  EXPECT_FALSE(trace.contains("CDevice::PostMessage failed and free buffer!"));
  EXPECT_EQ(CorvidLiveBlocks(), before + 1);
  AppWindow::Message message;
  ASSERT_TRUE(app_.Take(&message, 0));
  EXPECT_EQ(ostreltest::Field(message.result->RequestID), 40u);
}

TEST_F(Posting, RecordIsFreedAfterTheFifthFailure) {
  const long before = CorvidLiveBlocks();
  CorvidFailPosts(5, WFS_ERR_INVALID_HWND);
  TraceCapture trace;
  ASSERT_EQ(WFPRegister(kService, USER_EVENTS, kWndReg, app_.handle(), 41), WFS_SUCCESS);
  EXPECT_EQ(trace.count("Failed! times[", 4), 5);
  EXPECT_TRUE(trace.contains("CDevice::PostMessage failed and free buffer!", 4));
  EXPECT_EQ(CorvidLiveBlocks(), before);
  AppWindow::Message message;
  EXPECT_FALSE(app_.Take(&message, 0));
}

TEST_F(Posting, NothingIsPostedWhenNoRecordCanBeAllocated) {
  CorvidFailAllocations(0);
  TraceCapture trace;
  _stRequestData request = Request(KvSP_CMD_OPEN, 5);
  device().PostMessage(&request, nullptr);
  CorvidFailAllocations(-1);
  EXPECT_TRUE(trace.contains("PostMessage WFMAllocateBuffer Failed, HRESULT = -42", 4));
  AppWindow::Message message;
  EXPECT_FALSE(app_.Take(&message, 0));
}

TEST_F(Posting, DecodedResultKeepsEverythingButItsTimestamp) {
  ostreltest::Result record = ostreltest::NewResult();
  LPVOID payload = nullptr;
  ASSERT_EQ(WFMAllocateMore(8, record.get(), &payload), WFS_SUCCESS);
  record->RequestID = 70;
  record->hService = 99;
  record->hResult = -48;
  record->u.dwCommandCode = 207;
  record->lpBuffer = payload;
  record->tsTimestamp.wYear = 1999;
  record->tsTimestamp.wDayOfWeek = 3;
  _stRequestData request = Request(KvSP_CMD_EXECUTE, 70);
  device().PostMessage_ResultMsg(&request, record.release());

  AppWindow::Message message;
  ASSERT_TRUE(app_.Take(&message, 0));
  EXPECT_EQ(message.msg, static_cast<UINT>(WFS_EXECUTE_COMPLETE));
  const WFSRESULT& r = *message.result;
  EXPECT_EQ(ostreltest::Field(r.hService), 99);
  EXPECT_EQ(ostreltest::Field(r.hResult), -48);
  EXPECT_EQ(ostreltest::Field(r.u.dwCommandCode), 207u);
  EXPECT_EQ(ostreltest::Field(r.lpBuffer), payload);
  EXPECT_EQ(ostreltest::Field(r.tsTimestamp.wYear), QDate::currentDate().year());
  EXPECT_EQ(ostreltest::Field(r.tsTimestamp.wDayOfWeek), 3);
}

TEST_F(Posting, DecodedResultThatCannotBePostedStaysWithTheCaller) {
  ostreltest::Result record = ostreltest::NewResult();
  const long before = CorvidLiveBlocks();
  CorvidFailPosts(5, WFS_ERR_INVALID_HWND);
  TraceCapture trace;
  _stRequestData request = Request(KvSP_CMD_LOCK, 71);
  device().PostMessage_ResultMsg(&request, record.get());
  EXPECT_TRUE(trace.contains("PostMessage_ResultMsg failed", 4));
  EXPECT_EQ(CorvidLiveBlocks(), before);
  // Register and deregister never reach here; any such kind posts message 0.
  CorvidFailPosts(0, 0);
  _stRequestData registration = Request(KvSP_CMD_REGISTER, 72);
  device().PostMessage_ResultMsg(&registration, record.release());
  AppWindow::Message message;
  ASSERT_TRUE(app_.Take(&message, 0));
  EXPECT_EQ(message.msg, 0u);
}

TEST(LocalTime, FillsEveryFieldButTheDayOfWeek) {
  SYSTEMTIME time;
  std::memset(&time, 0xff, sizeof(time));
  CDevice::GetLocalTime(&time);
  EXPECT_EQ(time.wDayOfWeek, 0xffff);
  EXPECT_EQ(time.wYear, QDate::currentDate().year());
  EXPECT_GE(time.wMonth, 1);
  EXPECT_LE(time.wMonth, 12);
  EXPECT_LE(time.wHour, 23);
  EXPECT_LE(time.wMilliseconds, 999);
}

}  // namespace
