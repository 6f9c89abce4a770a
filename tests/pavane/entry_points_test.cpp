// The SPI exports: their checks in order, the request each hands to the
// device, their log texts and their fault results.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "dllmain.h"
#include "pavane_test_support.h"
#include "xfsspi.h"

using pavanetest::RecordingDevice;
using pavanetest::ServiceEntry;
using testsupport::TraceCapture;

namespace {

const HSERVICE kKnown = 41;
const HSERVICE kUnknown = 42;
const HWND kWnd = 5000;
const HWND kWndReg = 5001;

class EntryPoints : public ::testing::Test {
 protected:
  void TearDown() override { pavanetest::ClearTables(); }

  ServiceEntry<RecordingDevice> known_{kKnown};
  RecordingDevice& device() { return known_.device(); }
};

TEST_F(EntryPoints, CloseChecksServiceFirstThenWindowThenRequestId) {
  EXPECT_EQ(WFPClose(kUnknown, 0, 0), WFS_ERR_INVALID_HSERVICE);
  EXPECT_EQ(WFPClose(kKnown, 0, 0), WFS_ERR_INVALID_HWND);
  EXPECT_EQ(WFPClose(kKnown, kWnd, 0), WFS_ERR_INVALID_REQ_ID);
  EXPECT_TRUE(device().calls.empty());

  EXPECT_EQ(WFPClose(kKnown, kWnd, 7), 77);
  ASSERT_EQ(device().calls, std::vector<std::string>{"close"});
  const _stRequestData& r = device().requests[0];
  EXPECT_EQ(ostreltest::Field(r.hService), kKnown);
  EXPECT_EQ(ostreltest::Field(r.ReqID), 7u);
  EXPECT_EQ(ostreltest::Field(r.hWnd), kWnd);
  EXPECT_EQ(ostreltest::Field(r.nCmdType), KvSP_CMD_CLOSE);
  EXPECT_EQ(ostreltest::Field(r.dwTimeOut), 0u);
}

TEST_F(EntryPoints, LockAndUnlockCheckWindowThenRequestIdThenService) {
  TraceCapture trace;
  EXPECT_EQ(WFPLock(kUnknown, 100, 0, 0), WFS_ERR_INVALID_HWND);
  EXPECT_TRUE(trace.contains("Pavane WFPLock: hResult = [-24]", 4));
  EXPECT_EQ(WFPLock(kUnknown, 100, kWnd, 0), WFS_ERR_INVALID_REQ_ID);
  EXPECT_EQ(WFPLock(kUnknown, 100, kWnd, 3), WFS_ERR_INVALID_HSERVICE);
  EXPECT_EQ(WFPUnlock(kUnknown, 0, 0), WFS_ERR_INVALID_HWND);
  EXPECT_EQ(WFPUnlock(kUnknown, kWnd, 0), WFS_ERR_INVALID_REQ_ID);
  EXPECT_EQ(WFPUnlock(kUnknown, kWnd, 3), WFS_ERR_INVALID_HSERVICE);
  EXPECT_EQ(WFPLock(kKnown, 0, kWnd, 0), WFS_ERR_INVALID_REQ_ID);
  EXPECT_TRUE(device().calls.empty());

  EXPECT_EQ(WFPLock(kKnown, 1500, kWnd, 3), 77);
  EXPECT_EQ(WFPUnlock(kKnown, kWnd, 4), 77);
  ASSERT_EQ(device().calls, (std::vector<std::string>{"lock", "unlock"}));
  EXPECT_EQ(ostreltest::Field(device().requests[0].dwTimeOut), 1500u);
  EXPECT_EQ(ostreltest::Field(device().requests[0].nCmdType), KvSP_CMD_LOCK);
  EXPECT_EQ(ostreltest::Field(device().requests[1].dwTimeOut), 0u);
  EXPECT_EQ(ostreltest::Field(device().requests[1].nCmdType), KvSP_CMD_UNLOCK);
  EXPECT_EQ(ostreltest::Field(device().requests[1].ReqID), 4u);
  EXPECT_TRUE(trace.contains("Pavane WFPLock: hService = [41] dwTimeOut = [1500] ReqID = [3]", 2));
  EXPECT_TRUE(trace.contains("Pavane WFPLock: hResult = [77]", 2));
}

TEST_F(EntryPoints, GetInfoPassesNoTimeOutToTheDevice) {
  int query = 5;
  EXPECT_EQ(WFPGetInfo(kUnknown, 201, &query, 9000, 0, 0), WFS_ERR_INVALID_HWND);
  EXPECT_EQ(WFPGetInfo(kUnknown, 201, &query, 9000, kWnd, 0), WFS_ERR_INVALID_REQ_ID);
  EXPECT_EQ(WFPGetInfo(kUnknown, 201, &query, 9000, kWnd, 8), WFS_ERR_INVALID_HSERVICE);

  EXPECT_EQ(WFPGetInfo(kKnown, 201, &query, 9000, kWnd, 8), 77);
  ASSERT_EQ(device().requests.size(), 1u);
  const _stRequestData& r = device().requests[0];
  EXPECT_EQ(ostreltest::Field(r.nCmdType), KvSP_CMD_GETINFO);
  EXPECT_EQ(ostreltest::Field(r.dwCategory), 201u);
  EXPECT_EQ(ostreltest::Field(r.lpData), &query);
  EXPECT_EQ(ostreltest::Field(r.dwTimeOut), 0u);
  EXPECT_EQ(ostreltest::Field(r.ReqID), 8u);
}

TEST_F(EntryPoints, ExecuteChecksServiceThenWindowAndAcceptsRequestIdZero) {
  int data = 1;
  EXPECT_EQ(WFPExecute(kUnknown, 203, &data, 100, 0, 5), WFS_ERR_INVALID_HSERVICE);
  EXPECT_EQ(WFPExecute(kKnown, 203, &data, 100, 0, 5), WFS_ERR_INVALID_HWND);
  EXPECT_EQ(WFPExecute(kKnown, 203, &data, 100, kWnd, 0), 77);
  ASSERT_EQ(device().requests.size(), 1u);
  const _stRequestData& r = device().requests[0];
  EXPECT_EQ(ostreltest::Field(r.nCmdType), KvSP_CMD_EXECUTE);
  EXPECT_EQ(ostreltest::Field(r.dwCommand), 203u);
  EXPECT_EQ(ostreltest::Field(r.lpData), &data);
  EXPECT_EQ(ostreltest::Field(r.dwTimeOut), 100u);
  EXPECT_EQ(ostreltest::Field(r.ReqID), 0u);
  EXPECT_EQ(ostreltest::Field(r.hWnd), kWnd);
}

TEST_F(EntryPoints, RegisterChecksInOrderAndStoresBeforeCallingTheDevice) {
  EXPECT_EQ(WFPRegister(kUnknown, 16, 0, 0, 0), WFS_ERR_INVALID_HWND);
  EXPECT_EQ(WFPRegister(kUnknown, 16, 0, kWnd, 0), WFS_ERR_INVALID_REQ_ID);
  EXPECT_EQ(WFPRegister(kUnknown, 16, 0, kWnd, 1), WFS_ERR_INVALID_HWNDREG);
  EXPECT_EQ(WFPRegister(kUnknown, 16, kWndReg, kWnd, 1), WFS_ERR_INVALID_EVENT_CLASS);
  EXPECT_EQ(WFPRegister(kKnown, 16, kWndReg, kWnd, 1), WFS_ERR_INVALID_EVENT_CLASS);
  EXPECT_EQ(WFPRegister(kUnknown, 15, kWndReg, kWnd, 1), WFS_ERR_INVALID_HSERVICE);
  EXPECT_TRUE(pavanetest::Registrations(kUnknown).empty());
  // Class 0 for a window without an entry stores nothing.
  EXPECT_EQ(WFPRegister(kKnown, 0, kWndReg, kWnd, 1), WFS_ERR_INVALID_HWNDREG);
  EXPECT_TRUE(device().calls.empty());

  EXPECT_EQ(WFPRegister(kKnown, 15, kWndReg, kWnd, 2), 77);
  const auto entries = pavanetest::Registrations(kKnown);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(ostreltest::Field(entries[0].dwEventClass), 15u);
  EXPECT_EQ(ostreltest::Field(entries[0].hWndReg), kWndReg);
  ASSERT_EQ(device().requests.size(), 1u);
  EXPECT_EQ(ostreltest::Field(device().requests[0].nCmdType), KvSP_CMD_REGISTER);
  EXPECT_EQ(ostreltest::Field(device().requests[0].hWndReg), kWndReg);
  EXPECT_EQ(ostreltest::Field(device().requests[0].hWnd), kWnd);
  EXPECT_EQ(ostreltest::Field(device().requests[0].dwTimeOut), 0u);
  // Class 0 for a registered window succeeds without change.
  EXPECT_EQ(WFPRegister(kKnown, 0, kWndReg, kWnd, 3), 77);
  EXPECT_EQ(ostreltest::Field(pavanetest::Registrations(kKnown)[0].dwEventClass), 15u);
}

TEST_F(EntryPoints, DeregisterChangesTheTableBeforeTheServiceCheck) {
  TraceCapture trace;
  EXPECT_EQ(WFPDeregister(kUnknown, 16, 0, 0, 0), WFS_ERR_INVALID_HWND);
  EXPECT_EQ(WFPDeregister(kUnknown, 16, 0, kWnd, 0), WFS_ERR_INVALID_REQ_ID);
  EXPECT_EQ(WFPDeregister(kUnknown, 16, 0, kWnd, 1), WFS_ERR_INVALID_HWNDREG);
  EXPECT_EQ(WFPDeregister(kUnknown, 16, kWndReg, kWnd, 1), WFS_ERR_INVALID_EVENT_CLASS);
  EXPECT_EQ(WFPDeregister(kUnknown, 1, kWndReg, kWnd, 1), WFS_ERR_NOT_REGISTERED);
  EXPECT_TRUE(trace.contains("Pavane WFPDeregister: hResult = [-40]", 4));
  EXPECT_TRUE(trace.contains("[WFPDeregister] <=====", 2));

  // A registration left for an unknown handle goes, and then -22 is returned.
  CWFPCommonFunc::SetServiceRegEvent(kUnknown, 0, 3, kWndReg);
  EXPECT_EQ(WFPDeregister(kUnknown, 3, kWndReg, kWnd, 1), WFS_ERR_INVALID_HSERVICE);
  EXPECT_TRUE(pavanetest::Registrations(kUnknown).empty());

  CWFPCommonFunc::SetServiceRegEvent(kKnown, 0, 3, kWndReg);
  trace.clear();
  EXPECT_EQ(WFPDeregister(kKnown, 1, kWndReg, kWnd, 4), 77);
  EXPECT_TRUE(trace.contains("Pavane WFPDeRegister: hResult = [77]", 2));
  EXPECT_TRUE(trace.contains("[WFPDeRegister] <=====", 2));
  EXPECT_EQ(ostreltest::Field(pavanetest::Registrations(kKnown)[0].dwEventClass), 2u);
  ASSERT_EQ(device().requests.size(), 1u);
  EXPECT_EQ(ostreltest::Field(device().requests[0].nCmdType), KvSP_CMD_DEREGISTER);
  EXPECT_EQ(ostreltest::Field(device().requests[0].hWndReg), kWndReg);
}

TEST_F(EntryPoints, CancelNamesTheRequestToCancelAndNoWindow) {
  TraceCapture trace;
  EXPECT_EQ(WFPCancelAsyncRequest(kUnknown, 12), WFS_ERR_INVALID_HSERVICE);
  EXPECT_TRUE(trace.contains("Pavane WFPCancelAsyncRequest: hResult = [-22]", 4));
  EXPECT_EQ(WFPCancelAsyncRequest(kKnown, 12), 77);
  ASSERT_EQ(device().requests.size(), 1u);
  EXPECT_EQ(ostreltest::Field(device().requests[0].nCmdType), KvSP_CMD_CANCEL);
  EXPECT_EQ(ostreltest::Field(device().requests[0].ReqID), 12u);
  EXPECT_EQ(ostreltest::Field(device().requests[0].hWnd), 0u);
}

TEST_F(EntryPoints, SetTraceLevelAcceptsAnyHandle) {
  TraceCapture trace;
  EXPECT_EQ(WFPSetTraceLevel(kUnknown, 0x1f), WFS_SUCCESS);
  EXPECT_TRUE(trace.contains("Pavane WFPSetTraceLevel: hService = [42] dwTraceLevel = [0000001f]"));
  EXPECT_TRUE(trace.contains("Pavane WFPSetTraceLevel: hResult = [0]"));
  EXPECT_TRUE(device().calls.empty());
}

TEST_F(EntryPoints, UnloadRefusedWhileADeviceIsOpen) {
  const int before = g_devCount;
  g_devCount = 1;
  EXPECT_EQ(WFPUnloadService(), WFS_ERR_NOT_OK_TO_UNLOAD);
  g_devCount = 0;
  EXPECT_EQ(WFPUnloadService(), WFS_SUCCESS);
  g_devCount = before;
}

TEST_F(EntryPoints, EveryEntryPointTracesInAndOutUnderItsName) {
  TraceCapture trace;
  WFPClose(kKnown, kWnd, 1);
  WFPExecute(kKnown, 203, nullptr, 0, kWnd, 1);
  EXPECT_TRUE(trace.contains("[WFPClose] =====>", 2));
  EXPECT_TRUE(trace.contains("[WFPClose] <=====", 2));
  EXPECT_TRUE(trace.contains("[WFPExecute] =====>", 2));
  EXPECT_TRUE(trace.contains("[WFPExecute] <=====", 2));
}

TEST_F(EntryPoints, AFaultInTheDeviceOperationGivesSoftwareError) {
  device().throws = true;
  TraceCapture trace;
  EXPECT_EQ(WFPClose(kKnown, kWnd, 1), WFS_ERR_SOFTWARE_ERROR);
  EXPECT_EQ(WFPLock(kKnown, 0, kWnd, 1), WFS_ERR_SOFTWARE_ERROR);
  EXPECT_EQ(WFPUnlock(kKnown, kWnd, 1), WFS_ERR_SOFTWARE_ERROR);
  EXPECT_EQ(WFPGetInfo(kKnown, 201, nullptr, 0, kWnd, 1), WFS_ERR_SOFTWARE_ERROR);
  EXPECT_EQ(WFPExecute(kKnown, 203, nullptr, 0, kWnd, 1), WFS_ERR_SOFTWARE_ERROR);
  EXPECT_EQ(WFPRegister(kKnown, 1, kWndReg, kWnd, 1), WFS_ERR_SOFTWARE_ERROR);
  EXPECT_EQ(WFPDeregister(kKnown, 1, kWndReg, kWnd, 1), WFS_ERR_SOFTWARE_ERROR);
  EXPECT_EQ(WFPCancelAsyncRequest(kKnown, 1), WFS_ERR_SOFTWARE_ERROR);
  EXPECT_EQ(device().calls.size(), 8u);
  EXPECT_TRUE(trace.contains("Pavane WFPClose catch an exception!", 4));
  EXPECT_TRUE(trace.contains("Pavane WFPDeRegister catch an exception!", 4));
  EXPECT_TRUE(trace.contains("[WFPDeRegister] <=====", 2));
  EXPECT_TRUE(trace.contains("Pavane WFPCancelAsyncRequest catch an exception!", 4));
}

TEST_F(EntryPoints, OpenOfAHandleAlreadyInTheTableMakesNoDevice) {
  pavanetest::ConfigHome home;
  home.AddService("Recorder", "IDC", 8001);
  TraceCapture trace;
  EXPECT_EQ(WFPOpen(kKnown, const_cast<char*>("Recorder"), nullptr, nullptr, 0, 0, kWnd, 1,
                    nullptr, 0, nullptr, 0, nullptr),
            WFS_ERR_INVALID_HSERVICE);
  EXPECT_TRUE(trace.contains("WFPOpen hService=[41] already Opened!", 4));
  EXPECT_FALSE(trace.contains("CWFPApp::GetDevice"));
  EXPECT_TRUE(device().calls.empty());
}

TEST_F(EntryPoints, OpenWithoutADeviceForTheName) {
  pavanetest::ConfigHome home;
  home.AddService("Lower", "idc", 8001);
  EXPECT_EQ(WFPOpen(kUnknown, const_cast<char*>("Lower"), nullptr, nullptr, 0, 0, kWnd, 1,
                    nullptr, 0, nullptr, 0, nullptr),
            WFS_ERR_INVALID_HSERVICE);
  EXPECT_EQ(WFPOpen(kUnknown, const_cast<char*>("Missing"), nullptr, nullptr, 0, 0, kWnd, 1,
                    nullptr, 0, nullptr, 0, nullptr),
            WFS_ERR_INVALID_HSERVICE);
  _stServiceItem item;
  EXPECT_FALSE(CWFPCommonFunc::FindService(kUnknown, item));
}

TEST_F(EntryPoints, OpenWithoutAWindowLeavesNothingBehind) {
  pavanetest::ConfigHome home;
  home.AddService("CardReader", "IDC", 8001);
  const int devices = g_devCount;
  TraceCapture trace;
  EXPECT_EQ(WFPOpen(kUnknown, const_cast<char*>("CardReader"), nullptr, nullptr, 0, 0, 0, 1,
                    nullptr, 0, nullptr, 0, nullptr),
            WFS_ERR_INVALID_HWND);
  _stServiceItem item;
  EXPECT_FALSE(CWFPCommonFunc::FindService(kUnknown, item));
  EXPECT_TRUE(trace.contains("[CDevice::~CDevice] <====="));
  EXPECT_EQ(g_devCount, devices);
  EXPECT_TRUE(trace.contains("WFPOpen: hResult = [-24]", 4));
}

TEST(Exports, EveryEntryPointIsBoundByItsStandardNameAndArguments) {
  const PFN_WFPOPEN open = &WFPOpen;
  const PFN_WFPCLOSE close = &WFPClose;
  const PFN_WFPLOCK lock = &WFPLock;
  const PFN_WFPUNLOCK unlock = &WFPUnlock;
  const PFN_WFPREGISTER registration = &WFPRegister;
  const PFN_WFPDEREGISTER deregistration = &WFPDeregister;
  const PFN_WFPGETINFO getInfo = &WFPGetInfo;
  const PFN_WFPEXECUTE execute = &WFPExecute;
  const PFN_WFPCANCELASYNCREQUEST cancel = &WFPCancelAsyncRequest;
  const PFN_WFPSETTRACELEVEL traceLevel = &WFPSetTraceLevel;
  const PFN_WFPUNLOADSERVICE unload = &WFPUnloadService;
  const std::pair<const char*, void*> exports[] = {
      {"WFPOpen", reinterpret_cast<void*>(open)},
      {"WFPClose", reinterpret_cast<void*>(close)},
      {"WFPLock", reinterpret_cast<void*>(lock)},
      {"WFPUnlock", reinterpret_cast<void*>(unlock)},
      {"WFPRegister", reinterpret_cast<void*>(registration)},
      {"WFPDeregister", reinterpret_cast<void*>(deregistration)},
      {"WFPGetInfo", reinterpret_cast<void*>(getInfo)},
      {"WFPExecute", reinterpret_cast<void*>(execute)},
      {"WFPCancelAsyncRequest", reinterpret_cast<void*>(cancel)},
      {"WFPSetTraceLevel", reinterpret_cast<void*>(traceLevel)},
      {"WFPUnloadService", reinterpret_cast<void*>(unload)},
  };
  for (const auto& entry : exports)
    EXPECT_EQ(dlsym(RTLD_DEFAULT, entry.first), entry.second) << entry.first;
}

}  // namespace
