// The worker of a request: its time-out, the completion it posts, and how
// it ends: after posting, or cancelled when its device stops.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Device.h"
#include "DeviceExecuteThread.h"
#include "HandOverRegistry.h"
#include "WFPCommonFunc.h"
#include "corvid.h"
#include "ostrel.h"
#include "rig.h"
#include "service.h"
#include "test_support.h"

namespace {

using rig::Field;

using rig::Completion;
using testsupport::TraceCapture;
using rig::ElapsedMs;
using testsupport::WaitUntil;
using Clock = std::chrono::steady_clock;

constexpr HSERVICE kService = 4;
constexpr DWORD kEject = 203;
constexpr int kQuietMs = 300;

class WorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(m_service.replyPort, 0);
    ASSERT_TRUE(m_service.completeOpen());
  }
  WFSRESULT* Expect(UINT expected) { return m_service.app.expect(expected); }
  rig::OpenedService m_service{kService};
};

TEST_F(WorkerTest, ExecuteTimeOutSendsANoticeAndWaitsForTheCompletion) {
  const Clock::time_point started = Clock::now();
  ASSERT_EQ(m_service.execute(10, kEject, 100), 0);
  Json::Value sent;
  ASSERT_TRUE(m_service.peer.waitForRequest(KvSP_CMD_EXECUTE, &sent));
  EXPECT_EQ(sent["dwTimeout"].asInt(), 100) << "the device service gets the time-out as given";
  Json::Value notice;
  ASSERT_TRUE(m_service.peer.waitForRequest(KvSP_CMD_TIMEOUT, &notice));
  EXPECT_GE(ElapsedMs(started), 500) << "the shortest time-out is 500 ms";
  EXPECT_EQ(notice["hService"].asInt(), kService);
  EXPECT_EQ(notice["requestID"].asInt(), 10);
  EXPECT_TRUE(m_service.app.quiet(kQuietMs)) << "a time-out alone completes nothing";
  EXPECT_EQ(CDeviceExecuteThread::LiveWorkers(m_service.device), 1);

  ASSERT_TRUE(m_service.reply(Completion(KvSP_EXECUTE_COMPLETE, kService, 10, WFS_ERR_TIMEOUT, kEject)));
  WFSRESULT* result = Expect(WFS_EXECUTE_COMPLETE);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(Field(result->hResult), WFS_ERR_TIMEOUT);
  EXPECT_EQ(Field(result->RequestID), 10u);
  EXPECT_TRUE(WaitUntil([&] { return CDeviceExecuteThread::LiveWorkers(m_service.device) == 0; },
                        rig::kHang));
  EXPECT_EQ(m_service.peer.countRequests(KvSP_CMD_TIMEOUT), 1);
}

TEST_F(WorkerTest, CompletionBeforeTheTimeOutStopsIt) {
  ASSERT_EQ(m_service.execute(11, kEject, 600), 0);
  ASSERT_EQ(m_service.execute(12, kEject, 0), 0);  // no time limit at all
  ASSERT_TRUE(m_service.peer.waitForRequest(KvSP_CMD_EXECUTE, nullptr, rig::kHang, 1));
  ASSERT_TRUE(m_service.reply(Completion(KvSP_EXECUTE_COMPLETE, kService, 11, 0, kEject)));
  Expect(WFS_EXECUTE_COMPLETE);
  std::this_thread::sleep_for(std::chrono::milliseconds(900));
  EXPECT_EQ(m_service.peer.countRequests(KvSP_CMD_TIMEOUT), 0);
  ASSERT_TRUE(m_service.reply(Completion(KvSP_EXECUTE_COMPLETE, kService, 12, 0, kEject)));
  Expect(WFS_EXECUTE_COMPLETE);
}

TEST_F(WorkerTest, ResultsArePostedAsTheDeviceServiceGaveThem) {
  ASSERT_EQ(m_service.execute(20, kEject, 0), 0);
  ASSERT_EQ(m_service.lock(21), 0);
  ASSERT_TRUE(m_service.peer.waitForRequest(KvSP_CMD_LOCK, nullptr));
  // A lost connection reported for an execute becomes a hardware error; a
  // lock keeps it, and is posted even with another request identifier.
  const long lockPort = m_service.takeWorkerPort(21);
  ASSERT_NE(lockPort, 0);
  ASSERT_EQ(CHandOverRegistry::Post(lockPort, rig::Decoded(Completion(KvSP_LOCK_COMPLETE, kService, 77,
                                                                     WFS_ERR_CONNECTION_LOST))),
            1);
  WFSRESULT* lock = Expect(WFS_LOCK_COMPLETE);
  EXPECT_EQ(Field(lock->hResult), WFS_ERR_CONNECTION_LOST);
  EXPECT_EQ(Field(lock->RequestID), 77u);
  ASSERT_TRUE(m_service.reply(
      Completion(KvSP_EXECUTE_COMPLETE, kService, 20, WFS_ERR_CONNECTION_LOST, kEject)));
  WFSRESULT* execute = Expect(WFS_EXECUTE_COMPLETE);
  EXPECT_EQ(Field(execute->hResult), WFS_ERR_HARDWARE_ERROR);
  EXPECT_EQ(Field(execute->u.dwCommandCode), kEject);
}

TEST_F(WorkerTest, ResultThatCannotBePostedIsReleased) {
  ASSERT_EQ(m_service.execute(25, kEject, 0), 0);
  ASSERT_TRUE(m_service.peer.waitForRequest(KvSP_CMD_EXECUTE, nullptr));
  m_service.app.release();
  const long blocks = CorvidLiveBlocks();
  TraceCapture trace;
  CorvidFailPosts(5, WFS_ERR_INVALID_HWND);
  ASSERT_TRUE(m_service.reply(Completion(KvSP_EXECUTE_COMPLETE, kService, 25, 0, kEject)));
  ASSERT_TRUE(WaitUntil([&] { return trace.contains("PostMessage_ResultMsg failed", 4); }, rig::kHang));
  EXPECT_TRUE(WaitUntil([&] { return CDeviceExecuteThread::LiveWorkers(m_service.device) == 0; },
                        rig::kHang));
  EXPECT_EQ(CorvidLiveBlocks(), blocks);
}

TEST_F(WorkerTest, CompletionWithoutResultRecordIsPostedAsInternalError) {
  ASSERT_EQ(m_service.execute(30, kEject, 0), 0);
  const long port = m_service.takeWorkerPort(30);
  ASSERT_NE(port, 0);
  LPCONNECTMSG bare = new _connect_msg{};
  bare->dwMsgType = KvSP_EXECUTE_COMPLETE;
  bare->hService = kService;
  ASSERT_EQ(CHandOverRegistry::Post(port, bare), 1);
  WFSRESULT* result = Expect(WFS_EXECUTE_COMPLETE);
  EXPECT_EQ(Field(result->hResult), WFS_ERR_INTERNAL_ERROR);
  EXPECT_EQ(Field(result->RequestID), 30u);
  EXPECT_EQ(Field(result->u.dwCommandCode), kEject);
  EXPECT_EQ(Field(result->lpBuffer), nullptr);
}

TEST_F(WorkerTest, GetInfoWithAForeignIdentifierIsNotPostedAndTheWorkerStays) {
  ASSERT_EQ(m_service.getInfo(8, 201), 0);
  const long port = m_service.takeWorkerPort(8);
  ASSERT_NE(port, 0);
  m_service.app.release();
  const long blocks = CorvidLiveBlocks();
  TraceCapture trace;
  ASSERT_EQ(CHandOverRegistry::Post(port, rig::Decoded(Completion(KvSP_GETINFO_COMPLETE, kService, 7, 0, 201))),
            1);
  ASSERT_TRUE(WaitUntil(
      [&] {
        return trace.contains("CDeviceExecuteThread::OnGetInfoComplete reqID not equal resultid=7, reqID=8", 4);
      },
      rig::kHang));
  EXPECT_TRUE(m_service.app.quiet(kQuietMs));
  EXPECT_EQ(CorvidLiveBlocks(), blocks) << "the result that was not posted is freed";
  EXPECT_EQ(CDeviceExecuteThread::LiveWorkers(m_service.device), 1) << "the worker keeps waiting";
  // Its own completion still ends it.
  ASSERT_EQ(CHandOverRegistry::Post(port, rig::Decoded(Completion(KvSP_GETINFO_COMPLETE, kService, 8, 0, 201))),
            1);
  EXPECT_EQ(Field(Expect(WFS_GETINFO_COMPLETE)->RequestID), 8u);
}

// The requests still waiting when the service closes complete as cancelled,
// before the close completion, and nothing of the service is left.
TEST(WorkerLifetime, CloseCompletionCancelsWaitingRequestsFirst) {
  const int threads = rig::ThreadCount();
  const int listening = rig::ListeningSockets();
  const long blocks = CorvidLiveBlocks();
  {
    rig::OpenedService service(5);
    ASSERT_TRUE(service.completeOpen());
    CDevice* device = service.device;
    EXPECT_TRUE(WaitUntil([&] { return device->GetDeviceStatus() == 1; }, rig::kHang));
    ASSERT_EQ(service.execute(40, kEject, 5000), 0);  // never completed
    ASSERT_EQ(service.getInfo(41, 201), 0);           // never completed
    ASSERT_EQ(service.close(42), 0);
    ASSERT_TRUE(service.peer.waitForRequest(KvSP_CMD_CLOSE, nullptr));
    EXPECT_EQ(CDeviceExecuteThread::LiveWorkers(device), 3);
    TraceCapture trace;
    ASSERT_TRUE(service.reply(Completion(KvSP_CLOSE_COMPLETE, 5, 42, 0)));
    service.closed();
    WFSRESULT* execute = service.app.expect(WFS_EXECUTE_COMPLETE);
    ASSERT_NE(execute, nullptr);
    EXPECT_EQ(Field(execute->RequestID), 40u);
    EXPECT_EQ(Field(execute->hResult), WFS_ERR_CANCELED);
    EXPECT_EQ(Field(execute->u.dwCommandCode), kEject);
    WFSRESULT* info = service.app.expect(WFS_GETINFO_COMPLETE);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(Field(info->RequestID), 41u);
    EXPECT_EQ(Field(info->hResult), WFS_ERR_CANCELED);
    WFSRESULT* close = service.app.expect(WFS_CLOSE_COMPLETE);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(Field(close->hResult), WFS_SUCCESS);
    // Closed means closed: the handle is gone before the completion came.
    _stServiceItem item{};
    EXPECT_EQ(CWFPCommonFunc::FindService(5, item), 0);
    ASSERT_TRUE(WaitUntil([&] { return trace.contains("[CDevice::~CDevice] <====="); }, rig::kHang));
    EXPECT_EQ(trace.count("CDeviceExecuteThread::Cancel hService=[5]"), 2);
    EXPECT_TRUE(service.app.quiet(kQuietMs));
  }
  EXPECT_TRUE(rig::ThreadsBackTo(threads));
  EXPECT_EQ(rig::ListeningSockets(), listening);
  EXPECT_TRUE(WaitUntil([] { return CDeviceExecuteThread::LiveWorkers(nullptr) == 0; }, rig::kHang));
  EXPECT_EQ(CorvidLiveBlocks(), blocks);
}

TEST(WorkerLifetime, TwoCloseCompletionsEndTheDeviceOnce) {
  const int threads = rig::ThreadCount();
  {
    rig::OpenedService service(6);
    ASSERT_TRUE(service.completeOpen());
    ASSERT_EQ(service.close(50), 0);
    ASSERT_EQ(service.close(51), 0);
    const long first = service.takeWorkerPort(50);
    const long second = service.takeWorkerPort(51);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    TraceCapture trace;
    service.closed();
    ASSERT_EQ(CHandOverRegistry::Post(first, rig::Decoded(Completion(KvSP_CLOSE_COMPLETE, 6, 50, 0))), 1);
    ASSERT_EQ(CHandOverRegistry::Post(second, rig::Decoded(Completion(KvSP_CLOSE_COMPLETE, 6, 51, 0))), 1);
    ASSERT_TRUE(WaitUntil([&] { return trace.contains("[CDevice::~CDevice] <====="); }, rig::kHang));
    EXPECT_TRUE(WaitUntil([&] { return CDeviceExecuteThread::LiveWorkers(nullptr) == 0; }, rig::kHang));
    EXPECT_EQ(trace.count("[CDevice::~CDevice] =====>"), 1);
    // The second close completes too: with its own completion when its
    // worker took it before the first one stopped the device, else canceled.
    const int closed = trace.count("CDeviceExecuteThread::OnCloseComplete] =====>");
    EXPECT_TRUE(closed == 1 || closed == 2) << closed;
    for (REQUESTID request : {50u, 51u}) {
      WFSRESULT* completion = service.app.expect(WFS_CLOSE_COMPLETE);
      ASSERT_NE(completion, nullptr) << request;
      EXPECT_TRUE(Field(completion->hResult) == WFS_SUCCESS ||
                  Field(completion->hResult) == WFS_ERR_CANCELED);
    }
    EXPECT_TRUE(service.app.quiet(kQuietMs));
  }
  EXPECT_TRUE(rig::ThreadsBackTo(threads));
}

TEST(WorkerLifetime, StoppingTheServiceCancelsWaitingRequests) {
  const int threads = rig::ThreadCount();
  const long blocks = CorvidLiveBlocks();
  {
    rig::OpenedService service(7);
    ASSERT_TRUE(service.completeOpen());
    ASSERT_EQ(service.execute(60, kEject, 200), 0);  // its time-out fires meanwhile
    ASSERT_EQ(service.lock(61), 0);
    ASSERT_TRUE(service.peer.waitForRequest(KvSP_CMD_TIMEOUT, nullptr));
    service.device->StopAllThread();  // as an unload does
    EXPECT_EQ(CDeviceExecuteThread::LiveWorkers(service.device), 0);
    EXPECT_EQ(Field(service.app.expect(WFS_EXECUTE_COMPLETE)->hResult), WFS_ERR_CANCELED);
    EXPECT_EQ(Field(service.app.expect(WFS_LOCK_COMPLETE)->hResult), WFS_ERR_CANCELED);
    EXPECT_TRUE(service.app.quiet(kQuietMs));
  }
  EXPECT_TRUE(rig::ThreadsBackTo(threads));
  EXPECT_EQ(CorvidLiveBlocks(), blocks);
}

TEST(WorkerLifetime, RepeatedOpenExecuteCloseLeavesNothingBehind) {
  const int threads = rig::ThreadCount();
  const int listening = rig::ListeningSockets();
  const long blocks = CorvidLiveBlocks();
  for (int round = 0; round < 15; ++round) {
    rig::OpenedService service(8);
    ASSERT_TRUE(service.completeOpen());
    ASSERT_EQ(service.execute(70, kEject, 100), 0);
    ASSERT_EQ(service.execute(71, kEject, 0), 0);  // left waiting: cancelled by the close
    ASSERT_TRUE(service.peer.waitForRequest(KvSP_CMD_EXECUTE, nullptr, rig::kHang, 1));
    ASSERT_TRUE(service.reply(Completion(KvSP_EXECUTE_COMPLETE, 8, 70, 0, kEject)));
    UINT msg = 0;
    WFSRESULT* result = nullptr;
    ASSERT_TRUE(service.app.take(&msg, &result));
    ASSERT_EQ(msg, static_cast<UINT>(WFS_EXECUTE_COMPLETE));
    ASSERT_EQ(service.close(72), 0);
    ASSERT_TRUE(service.peer.waitForRequest(KvSP_CMD_CLOSE, nullptr));
    ASSERT_TRUE(service.reply(Completion(KvSP_CLOSE_COMPLETE, 8, 72, 0)));
    service.closed();
    ASSERT_TRUE(service.app.take(&msg, &result));
    ASSERT_EQ(msg, static_cast<UINT>(WFS_EXECUTE_COMPLETE));
    ASSERT_EQ(Field(result->hResult), WFS_ERR_CANCELED);
    ASSERT_TRUE(service.app.take(&msg, &result));
    ASSERT_EQ(msg, static_cast<UINT>(WFS_CLOSE_COMPLETE));
    _stServiceItem item{};
    ASSERT_TRUE(WaitUntil([&] { return CWFPCommonFunc::FindService(8, item) == 0; }, rig::kHang));
    ASSERT_TRUE(WaitUntil([&] { return CDeviceExecuteThread::LiveWorkers(nullptr) == 0; }, rig::kHang));
  }
  EXPECT_TRUE(rig::ThreadsBackTo(threads));
  EXPECT_EQ(rig::ListeningSockets(), listening);
  EXPECT_EQ(CorvidLiveBlocks(), blocks);
}

}  // namespace
