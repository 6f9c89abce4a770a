// Delivery of one event to one registered window, and the events the
// device makes itself.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Device.h"
#include "WFPApp.h"
#include "WFPCommonFunc.h"
#include "corvid.h"
#include "dllmain.h"
#include "ostrel.h"
#include "rig.h"
#include "service.h"
#include "test_support.h"

namespace {

using rig::Field;

using testsupport::TraceCapture;

constexpr HSERVICE kService = 9;
constexpr int kQuietMs = 200;

// The result of a decoded event; the envelope is released at once.
WFSRESULT* NewEvent(int msgType, HSERVICE hService, unsigned long id,
                    const Json::Value& lpBuffer = Json::Value()) {
  LPCONNECTMSG msg = rig::Decoded(rig::Event(msgType, hService, id, 0, lpBuffer));
  WFSRESULT* result = msg->lpWfsResult;
  Ostrel::FreeBuffer(msg, 0);
  return result;
}

class EventDeliveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(m_service.replyPort, 0);
    m_service.app.release();
    m_blocks = CorvidLiveBlocks();
  }
  // Delivers as a device class does: the event is freed when not posted.
  int Deliver(WFSRESULT* event, DWORD classes, HSERVICE registered, unsigned short msg) {
    _stRegHwndItem item{registered, m_service.app.hwnd(), classes};
    int posted = m_service.device->PollingSendMsg(event, &item, msg);
    if (posted == 0) WFMFreeBuffer(event);
    return posted;
  }
  WFSRESULT* Take(UINT expected) { return m_service.app.expect(expected); }
  void ExpectNothingLeft() {
    m_service.app.release();
    EXPECT_EQ(CorvidLiveBlocks(), m_blocks);
  }
  rig::OpenedService m_service{kService, "APP1"};
  long m_blocks = 0;
};

TEST_F(EventDeliveryTest, RegistrationMustTakeTheClassAndBeTheDevicesOwn) {
  EXPECT_EQ(Deliver(NewEvent(WFS_USER_EVENT, kService, 206), SERVICE_EVENTS, kService, WFS_USER_EVENT), 0);
  EXPECT_EQ(Deliver(NewEvent(WFS_SERVICE_EVENT, kService, 204), WFP_ALL_EVENT_CLASSES, kService + 1,
                    WFS_SERVICE_EVENT),
            0);
  EXPECT_EQ(Deliver(nullptr, WFP_ALL_EVENT_CLASSES, kService, WFS_SERVICE_EVENT), 0);
  EXPECT_TRUE(m_service.app.quiet(kQuietMs));
  ExpectNothingLeft();
}

TEST_F(EventDeliveryTest, ForeignHandleDropsAnExecuteEventButIsRewrittenOnOthers) {
  TraceCapture trace;
  EXPECT_EQ(Deliver(NewEvent(WFS_EXECUTE_EVENT, kService + 5, 203), EXECUTE_EVENTS, kService,
                    WFS_EXECUTE_EVENT),
            0);
  EXPECT_TRUE(trace.contains("lpEvent->hService!= m_hService", 3));
  EXPECT_EQ(Deliver(NewEvent(WFS_SERVICE_EVENT, kService + 5, 204), SERVICE_EVENTS, kService,
                    WFS_SERVICE_EVENT),
            1);
  WFSRESULT* posted = Take(WFS_SERVICE_EVENT);
  EXPECT_EQ(Field(posted->hService), kService);
  EXPECT_EQ(Field(posted->u.dwEventID), 204u);
  EXPECT_TRUE(m_service.app.quiet(kQuietMs)) << "the execute event was not posted";
  ExpectNothingLeft();
}

TEST_F(EventDeliveryTest, SystemEventsCarryTheApplicationIdentifier) {
  Json::Value hardware(Json::objectValue);
  hardware["lpszLogicalName"] = "CardReader";
  hardware["dwAction"] = 1;
  ASSERT_EQ(Deliver(NewEvent(WFS_SYSTEM_EVENT, kService, WFS_SYSE_HARDWARE_ERROR, hardware),
                    SYSTEM_EVENTS, kService, WFS_SYSTEM_EVENT),
            1);
  WFSRESULT* posted = Take(WFS_SYSTEM_EVENT);
  const WFSHWERROR* error = static_cast<const WFSHWERROR*>(posted->lpBuffer);
  ASSERT_NE(error, nullptr);
  ASSERT_NE(Field(error->lpszAppID), nullptr);
  EXPECT_STREQ(Field(error->lpszAppID), "APP1");
  EXPECT_STREQ(Field(error->lpszLogicalName), "CardReader");

  Json::Value disconnect(Json::objectValue);
  disconnect["lpszLogicalName"] = "CardReader";
  ASSERT_EQ(Deliver(NewEvent(WFS_SYSTEM_EVENT, kService, WFS_SYSE_APP_DISCONNECT, disconnect),
                    SYSTEM_EVENTS, kService, WFS_SYSTEM_EVENT),
            1);
  posted = Take(WFS_SYSTEM_EVENT);
  ASSERT_NE(Field(posted->lpBuffer), nullptr);
  EXPECT_STREQ(static_cast<const WFSAPPDISC*>(Field(posted->lpBuffer))->lpszAppID, "APP1");

  // A device status carries no identifier and is posted as it came.
  Json::Value status(Json::objectValue);
  status["lpszPhysicalName"] = "IDC01";
  status["dwState"] = 2;
  ASSERT_EQ(Deliver(NewEvent(WFS_SYSTEM_EVENT, kService, WFS_SYSE_DEVICE_STATUS, status), SYSTEM_EVENTS,
                    kService, WFS_SYSTEM_EVENT),
            1);
  posted = Take(WFS_SYSTEM_EVENT);
  const WFSDEVSTATUS* device = static_cast<const WFSDEVSTATUS*>(posted->lpBuffer);
  ASSERT_NE(device, nullptr);
  EXPECT_STREQ(Field(device->lpszPhysicalName), "IDC01");
  EXPECT_EQ(Field(device->lpszWorkstationName), nullptr);
  EXPECT_EQ(Field(device->dwState), 2u);
  ExpectNothingLeft();
}

TEST_F(EventDeliveryTest, FailedPostLeavesTheEventWithTheCaller) {
  CorvidFailPosts(5, WFS_ERR_INVALID_HWND);
  EXPECT_EQ(Deliver(NewEvent(WFS_SERVICE_EVENT, kService, 204), SERVICE_EVENTS, kService,
                    WFS_SERVICE_EVENT),
            0);
  ExpectNothingLeft();
}

TEST_F(EventDeliveryTest, DeviceMadeEventGoesToTheFirstWindowTakingItsClass) {
  rig::AppWindow other;
  TraceCapture trace;
  EXPECT_EQ(m_service.device->SendSysEventMsg(WFS_SYSTEM_EVENT, WFS_SYSE_APP_DISCONNECT), 0);
  EXPECT_TRUE(trace.contains("CDevice::SendSysEventMsg Failed[Can't Find RegHWnd]", 4));

  m_service.registerFor(SERVICE_EVENTS, other.hwnd());
  m_service.registerFor(SYSTEM_EVENTS);
  ASSERT_EQ(m_service.device->SendSysEventMsg(WFS_SYSTEM_EVENT, WFS_SYSE_APP_DISCONNECT), 1);
  WFSRESULT* posted = Take(WFS_SYSTEM_EVENT);
  EXPECT_EQ(Field(posted->hService), kService);
  EXPECT_EQ(Field(posted->u.dwEventID), static_cast<DWORD>(WFS_SYSE_APP_DISCONNECT));
  EXPECT_NE(Field(posted->tsTimestamp.wYear), 0);
  const WFSAPPDISC* disc = static_cast<const WFSAPPDISC*>(posted->lpBuffer);
  ASSERT_NE(disc, nullptr);
  EXPECT_STREQ(Field(disc->lpszLogicalName), "CardReader");
  EXPECT_STREQ(Field(disc->lpszWorkstationName), g_pTheApp->GetWorkstationName());
  EXPECT_STREQ(Field(disc->lpszAppID), "APP1");
  EXPECT_TRUE(other.quiet(kQuietMs));
  ExpectNothingLeft();
}

TEST_F(EventDeliveryTest, DeviceMadeEventThatCannotBeBuiltOrPostedIsReleased) {
  m_service.registerFor(SYSTEM_EVENTS);
  for (long after = 0; after < 5; ++after) {
    CorvidFailAllocations(after);
    EXPECT_EQ(m_service.device->SendSysEventMsg(WFS_SYSTEM_EVENT, WFS_SYSE_APP_DISCONNECT), 0)
        << "allocation " << after << " failed";
    CorvidFailAllocations(-1);
    ExpectNothingLeft();
  }
  CorvidFailPosts(5, WFS_ERR_INVALID_HWND);
  EXPECT_EQ(m_service.device->SendSysEventMsg(WFS_SYSTEM_EVENT, WFS_SYSE_APP_DISCONNECT), 0);
  EXPECT_TRUE(m_service.app.quiet(kQuietMs));
  ExpectNothingLeft();
}

}  // namespace
