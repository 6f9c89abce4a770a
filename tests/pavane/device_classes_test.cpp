// The four device classes: service class numbers and the events each lets
// through to the registered window.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>

#include "KvSPCRDDevice.h"
#include "KvSPPINDevice.h"
#include "KvSPPTRDevice.h"
#include "corvid.h"
#include "pavane_test_support.h"

using pavanetest::AppWindow;
using testsupport::TraceCapture;

namespace {

struct KindCase {
  const char* operation;
  UINT message;
};

// Execute, user, service and system events, in this order.
const KindCase kKinds[] = {
    {"OnExecuteEvent", WFS_EXECUTE_EVENT},
    {"OnUserEvent", WFS_USER_EVENT},
    {"OnServiceEvent", WFS_SERVICE_EVENT},
    {"OnSystemEvent", WFS_SYSTEM_EVENT},
};

int Handle(CDevice& device, int kind, WFSRESULT* event, const _stRegHwndItem* item) {
  switch (kind) {
    case 0: return device.OnExecuteEvent(event, item);
    case 1: return device.OnUserEvent(event, item);
    case 2: return device.OnServiceEvent(event, item);
    default: return device.OnSystemEvent(event, item);
  }
}

const std::set<DWORD> kSystem = {1, 2, 3, 4, 5, 6, 7, 8};

struct ClassCase {
  const char* name;
  int serviceClass;
  std::function<CDevice*()> make;
  std::set<DWORD> allowed[4];  // execute, user, service, system
};

const ClassCase& Class(int index) {
  static const ClassCase cases[] = {
      {"CKvSPIDCDevice", 2, [] { return new CKvSPIDCDevice("CardReader"); },
       {{201, 203, 207, 208}, {206}, {204, 205, 209}, kSystem}},
      {"CKvSPPINDevice", 4, [] { return new CKvSPPINDevice("PinPad"); },
       {{401}, {}, {402, 403, 404, 405, 406}, kSystem}},
      {"CKvSPPTRDevice", 1, [] { return new CKvSPPTRDevice("ReceiptPrinter"); },
       {{101, 102, 103, 104}, {105, 107, 108, 110, 111}, {106, 109, 112}, kSystem}},
      {"CKvSPCRDDevice", 14, [] { return new CKvSPCRDDevice("CardDispenser"); },
       {{1405}, {1404}, {1401, 1402, 1403, 1406, 1407}, kSystem}},
  };
  return cases[index];
}

// Identifiers around every set of every class.
std::vector<DWORD> Candidates() {
  std::vector<DWORD> ids;
  for (DWORD id = 0; id <= 10; ++id) ids.push_back(id);
  for (DWORD base : {100u, 200u, 400u, 1400u})
    for (DWORD id = base; id <= base + 17; ++id) ids.push_back(id);
  return ids;
}

WFSRESULT* NewEvent(DWORD id) {
  LPVOID block = nullptr;
  EXPECT_EQ(WFMAllocateBuffer(sizeof(WFSRESULT), WFS_MEM_ZEROINIT, &block), WFS_SUCCESS);
  WFSRESULT* event = static_cast<WFSRESULT*>(block);
  event->u.dwEventID = id;
  return event;
}

class DeviceClasses : public ::testing::TestWithParam<int> {};

TEST_P(DeviceClasses, ServiceClassNumber) {
  std::unique_ptr<CDevice> device(Class(GetParam()).make());
  EXPECT_EQ(device->GetServiceClass(), Class(GetParam()).serviceClass);
}

TEST_P(DeviceClasses, OnlyTheClassesEventsReachTheWindowAndTheRestAreFreed) {
  const ClassCase& c = Class(GetParam());
  std::unique_ptr<CDevice> device(c.make());
  AppWindow app;
  // The device is not open: its service handle, like the registration's, is 0.
  const _stRegHwndItem item{0, app.handle(), SERVICE_EVENTS | USER_EVENTS | SYSTEM_EVENTS |
                                                 EXECUTE_EVENTS};
  const long before = CorvidLiveBlocks();
  for (int kind = 0; kind < 4; ++kind) {
    for (DWORD id : Candidates()) {
      SCOPED_TRACE(std::string(kKinds[kind].operation) + " " + std::to_string(id));
      const bool allowed = c.allowed[kind].count(id) > 0;
      TraceCapture trace;
      EXPECT_EQ(Handle(*device, kind, NewEvent(id), &item), 0);
      EXPECT_EQ(trace.count("[CDevice::PollingSendMsg] =====>"), allowed ? 1 : 0);
      const std::string refusal =
          std::string(c.name) + "::" + kKinds[kind].operation + " not support event [" +
          std::to_string(id) + "]";
      EXPECT_EQ(trace.countExact(refusal, 4), allowed ? 0 : 1);
      AppWindow::Message message;
      const bool posted = app.Take(&message, 0);
      EXPECT_EQ(posted, allowed);
      if (posted) {
        EXPECT_EQ(message.msg, kKinds[kind].message);
        EXPECT_EQ(ostreltest::Field(message.result->u.dwEventID), id);
      }
    }
  }
  EXPECT_EQ(CorvidLiveBlocks(), before);
}

TEST_P(DeviceClasses, LetThroughEventForAWindowWithoutItsClassIsFreed) {
  std::unique_ptr<CDevice> device(Class(GetParam()).make());
  AppWindow app;
  const _stRegHwndItem item{0, app.handle(), SERVICE_EVENTS};
  const long before = CorvidLiveBlocks();
  EXPECT_EQ(device->OnSystemEvent(NewEvent(WFS_SYSE_DEVICE_STATUS), &item), 0);
  EXPECT_EQ(CorvidLiveBlocks(), before);
  AppWindow::Message message;
  EXPECT_FALSE(app.Take(&message, 0));
}

TEST_P(DeviceClasses, NullEventIsOnlyTraced) {
  std::unique_ptr<CDevice> device(Class(GetParam()).make());
  const _stRegHwndItem item{0, 1, 15};
  TraceCapture trace;
  for (int kind = 0; kind < 4; ++kind) EXPECT_EQ(Handle(*device, kind, nullptr, &item), -1);
  EXPECT_EQ(trace.countExact("lpEvent = NULL", 4), 4);
}

TEST_P(DeviceClasses, DestructorTracesUnderItsOwnName) {
  const ClassCase& c = Class(GetParam());
  TraceCapture trace;
  delete c.make();
  const std::string name = std::string(c.name) + "::~" + std::string(c.name);
  EXPECT_TRUE(trace.contains("[" + name + "] =====>"));
  EXPECT_TRUE(trace.contains("[" + name + "] <====="));
}

INSTANTIATE_TEST_SUITE_P(AllClasses, DeviceClasses, ::testing::Values(0, 1, 2, 3));

}  // namespace
