// The message window: what the device service sends reaches the worker that
// waits for the request, or the event thread of its kind, or is dropped.
#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "Device.h"
#include "corvid.h"
#include "rig.h"
#include "service.h"
#include "test_support.h"
#include "wire.h"
#include "wiredump.h"

namespace {

using rig::Field;

using rig::Completion;
using rig::Event;
using testsupport::TraceCapture;
using rig::ElapsedMs;
using testsupport::WaitUntil;
using Clock = std::chrono::steady_clock;

constexpr HSERVICE kService = 3;
constexpr DWORD kEject = 203;
constexpr int kQuietMs = 300;  // long enough for a misrouted message to show

class MsgWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(m_service.replyPort, 0) << "no open request reached the device service";
    ASSERT_TRUE(m_service.completeOpen());
  }
  rig::OpenedService m_service{kService};
};

TEST_F(MsgWndTest, ListensOnAPortOfTheWindowRange) {
  EXPECT_GE(m_service.replyPort, 36000);
  EXPECT_LE(m_service.replyPort, 45998);
}

TEST_F(MsgWndTest, EachCompletionReachesTheWorkerOfItsRequest) {
  ASSERT_EQ(m_service.execute(10, kEject, 0), 0);
  ASSERT_EQ(m_service.execute(11, kEject, 0), 0);
  ASSERT_TRUE(m_service.peer.waitForRequest(KvSP_CMD_EXECUTE, nullptr, rig::kHang, 1));
  ASSERT_TRUE(m_service.reply(Completion(KvSP_EXECUTE_COMPLETE, kService, 11, -3, kEject)));
  ASSERT_TRUE(m_service.reply(Completion(KvSP_EXECUTE_COMPLETE, kService, 10, -4, kEject)));
  std::map<REQUESTID, HRESULT> results;
  for (int i = 0; i < 2; ++i) {
    UINT msg = 0;
    WFSRESULT* result = nullptr;
    ASSERT_TRUE(m_service.app.take(&msg, &result));
    EXPECT_EQ(msg, static_cast<UINT>(WFS_EXECUTE_COMPLETE));
    EXPECT_EQ(Field(result->u.dwCommandCode), kEject);
    results[result->RequestID] = result->hResult;
  }
  EXPECT_EQ(results, (std::map<REQUESTID, HRESULT>{{10, -4}, {11, -3}}));
  EXPECT_EQ(m_service.device->GetCommandDataCount(), 0);
}

TEST_F(MsgWndTest, CompletionWithoutPendingRequestIsFreed) {
  ASSERT_EQ(m_service.execute(20, kEject, 0), 0);
  ASSERT_EQ(m_service.getInfo(21, 201), 0);
  ASSERT_TRUE(m_service.peer.waitForRequest(KvSP_CMD_GETINFO, nullptr));
  m_service.app.release();
  const long blocks = CorvidLiveBlocks();
  TraceCapture trace;
  // Not pending: another identifier, another service handle, a kind that
  // no one waits for.
  ASSERT_TRUE(m_service.reply(Completion(KvSP_EXECUTE_COMPLETE, kService, 99, 0, kEject)));
  ASSERT_TRUE(m_service.reply(Completion(KvSP_EXECUTE_COMPLETE, kService + 1, 20, 0, kEject)));
  ASSERT_TRUE(m_service.reply(Completion(KvSP_GETINFO_COMPLETE, kService, 98, 0, 201)));
  ASSERT_TRUE(WaitUntil(
      [&] {
        return trace.count("CreateThreadFunc Can't find cmd form CommandData Array", 4) == 2 &&
               trace.count("CreateThreadFunc Can't find Info form CommandData Array", 4) == 1;
      },
      rig::kHang));
  EXPECT_TRUE(m_service.app.quiet(kQuietMs));
  EXPECT_EQ(CorvidLiveBlocks(), blocks) << "the dropped results were not freed";
  EXPECT_EQ(m_service.device->GetCommandDataCount(), 2) << "the pending requests stay";

  // The first completion takes the entry: a repeated one finds nothing.
  ASSERT_TRUE(m_service.reply(Completion(KvSP_EXECUTE_COMPLETE, kService, 20, 0, kEject)));
  UINT msg = 0;
  WFSRESULT* result = nullptr;
  ASSERT_TRUE(m_service.app.take(&msg, &result));
  EXPECT_EQ(Field(result->RequestID), 20u);
  ASSERT_TRUE(m_service.reply(Completion(KvSP_EXECUTE_COMPLETE, kService, 20, 0, kEject)));
  EXPECT_TRUE(WaitUntil(
      [&] { return trace.count("CreateThreadFunc Can't find cmd form CommandData Array", 4) == 3; },
      rig::kHang));
  EXPECT_TRUE(m_service.app.quiet(kQuietMs));
}

TEST_F(MsgWndTest, ReplyTextIsWrittenWholeOnlyWithTheRawWireDump) {
  wire::DebugCapture debug;
  const std::string text = Completion(KvSP_EXECUTE_COMPLETE, kService, 99, 0, kEject);
  ASSERT_TRUE(m_service.reply(text));
  ASSERT_TRUE(debug.waitFor("GetHeadMessage getMessage=", rig::kHang));
  const std::string whole = "GetHeadMessage getMessage=[" + text + "]";
  const std::string length = "GetHeadMessage getMessage=[" + std::to_string(text.size()) + " bytes]";
  EXPECT_EQ(debug.count(transport::kRawWireDump ? whole : length), 1);
  if (!transport::kRawWireDump) {
    EXPECT_EQ(debug.count("dwCommandCode"), 0) << "no debug line shows the text";
  }
}

TEST_F(MsgWndTest, UndecodableTextIsDropped) {
  TraceCapture trace;
  ASSERT_TRUE(m_service.reply("not json"));
  ASSERT_TRUE(m_service.reply("{\"dwMsgType\":9,\"hService\":3,\"lpWfsResult\":{}}"));
  ASSERT_TRUE(WaitUntil([&] { return trace.count("MsgLoop msg is null", 3) == 2; }, rig::kHang));
  EXPECT_EQ(trace.count("[HandleMessage]"), 0);
}

TEST_F(MsgWndTest, EventsReachTheRegisteredWindowThroughTheirThreads) {
  m_service.registerFor(WFP_ALL_EVENT_CLASSES);
  ASSERT_EQ(m_service.execute(30, kEject, 0), 0);
  ASSERT_TRUE(m_service.peer.waitForRequest(KvSP_CMD_EXECUTE, nullptr));
  TraceCapture trace;
  // A system event carrying the pending request's identifier is still an event.
  ASSERT_TRUE(m_service.reply(Event(WFS_SYSTEM_EVENT, kService, WFS_SYSE_DEVICE_STATUS, 30)));
  ASSERT_TRUE(m_service.reply(Event(WFS_SERVICE_EVENT, kService, 204)));
  ASSERT_TRUE(m_service.reply(Event(WFS_USER_EVENT, kService, 206)));
  ASSERT_TRUE(m_service.reply(Event(WFS_EXECUTE_EVENT, kService, 203, 30)));
  std::map<UINT, DWORD> events;
  for (int i = 0; i < 4; ++i) {
    UINT msg = 0;
    WFSRESULT* result = nullptr;
    ASSERT_TRUE(m_service.app.take(&msg, &result));
    EXPECT_EQ(Field(result->hService), kService);
    events[msg] = result->u.dwEventID;
  }
  EXPECT_EQ(events, (std::map<UINT, DWORD>{{WFS_EXECUTE_EVENT, 203},
                                           {WFS_SERVICE_EVENT, 204},
                                           {WFS_USER_EVENT, 206},
                                           {WFS_SYSTEM_EVENT, WFS_SYSE_DEVICE_STATUS}}));
  EXPECT_EQ(trace.count("CDeviceSystemEventThread OnSystemEvent it->hService=3, lp->hService=3", 2), 1);
  EXPECT_EQ(m_service.device->GetCommandDataCount(), 1) << "the execute is still pending";
}

TEST_F(MsgWndTest, OnlyTheFirstRegistrationOfTheServiceGetsEvents) {
  rig::AppWindow second;
  m_service.registerFor(SERVICE_EVENTS);
  m_service.registerFor(WFP_ALL_EVENT_CLASSES, second.hwnd());
  ASSERT_TRUE(m_service.reply(Event(WFS_SERVICE_EVENT, kService, 204)));
  ASSERT_TRUE(m_service.reply(Event(WFS_USER_EVENT, kService, 206)));
  UINT msg = 0;
  WFSRESULT* result = nullptr;
  ASSERT_TRUE(m_service.app.take(&msg, &result));
  EXPECT_EQ(msg, static_cast<UINT>(WFS_SERVICE_EVENT));
  // The user event went to the first registration too, which does not take
  // user events: nobody gets it.
  EXPECT_TRUE(second.quiet(kQuietMs));
  EXPECT_TRUE(m_service.app.quiet(kQuietMs));
}

TEST_F(MsgWndTest, CompletionAfterAnExecuteEventIsHeldBack) {
  m_service.registerFor(EXECUTE_EVENTS);
  ASSERT_EQ(m_service.execute(40, kEject, 0), 0);
  ASSERT_EQ(m_service.execute(41, kEject, 0), 0);
  ASSERT_TRUE(m_service.peer.waitForRequest(KvSP_CMD_EXECUTE, nullptr, rig::kHang, 1));
  TraceCapture trace;
  const Clock::time_point sent = Clock::now();
  ASSERT_TRUE(m_service.reply(Event(WFS_EXECUTE_EVENT, kService, 203, 40)));
  ASSERT_TRUE(m_service.reply(Event(WFS_EXECUTE_EVENT, kService, 203, 40)));
  ASSERT_TRUE(WaitUntil([&] { return trace.count("[HandleMessage] message=[1044]") == 2; }, rig::kHang));
  ASSERT_TRUE(m_service.reply(Completion(KvSP_EXECUTE_COMPLETE, kService, 40, 0, kEject)));
  UINT msg = 0;
  WFSRESULT* result = nullptr;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(m_service.app.take(&msg, &result));
    if (msg == WFS_EXECUTE_COMPLETE) break;
  }
  ASSERT_EQ(msg, static_cast<UINT>(WFS_EXECUTE_COMPLETE));
  EXPECT_GE(ElapsedMs(sent), 500) << "the completion overtook the execute events";
  // One wait serves any number of events; the next completion is not held.
  EXPECT_EQ(trace.count("WFPMsgWnd::HandleMessage exe event wait!", 2), 1);
  ASSERT_TRUE(m_service.reply(Completion(KvSP_EXECUTE_COMPLETE, kService, 41, 0, kEject)));
  ASSERT_TRUE(m_service.app.take(&msg, &result));
  EXPECT_EQ(Field(result->RequestID), 41u);
  EXPECT_EQ(trace.count("WFPMsgWnd::HandleMessage exe event wait!", 2), 1);
}

TEST_F(MsgWndTest, GetInfoCompletionIsNotHeldAndLeavesTheWaitForTheNext) {
  m_service.registerFor(EXECUTE_EVENTS);
  ASSERT_EQ(m_service.getInfo(50, 201), 0);
  ASSERT_EQ(m_service.execute(51, kEject, 0), 0);
  ASSERT_TRUE(m_service.peer.waitForRequest(KvSP_CMD_EXECUTE, nullptr));
  TraceCapture trace;
  ASSERT_TRUE(m_service.reply(Event(WFS_EXECUTE_EVENT, kService, 203, 51)));
  ASSERT_TRUE(WaitUntil([&] { return trace.count("[HandleMessage] message=[1044]") == 1; }, rig::kHang));
  ASSERT_TRUE(m_service.reply(Completion(KvSP_GETINFO_COMPLETE, kService, 50, 0, 201)));
  UINT msg = 0;
  WFSRESULT* result = nullptr;
  std::map<UINT, int> seen;
  while (seen.count(WFS_GETINFO_COMPLETE) == 0) {
    ASSERT_TRUE(m_service.app.take(&msg, &result));
    ++seen[msg];
  }
  EXPECT_EQ(trace.count("WFPMsgWnd::HandleMessage exe event wait!"), 0);
  ASSERT_TRUE(m_service.reply(Completion(KvSP_EXECUTE_COMPLETE, kService, 51, 0, kEject)));
  while (seen.count(WFS_EXECUTE_COMPLETE) == 0) {
    ASSERT_TRUE(m_service.app.take(&msg, &result));
    ++seen[msg];
  }
  EXPECT_EQ(trace.count("WFPMsgWnd::HandleMessage exe event wait!", 2), 1);
}

}  // namespace
