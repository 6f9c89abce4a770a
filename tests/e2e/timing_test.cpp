// What time does in the pipeline: the execute time-out and its notice, the
// cancel of a pending execute, and the hold of a completion behind an
// execute event.
#include <chrono>

#include "e2e_harness.h"
#include "xfsidc.h"
#include "xfsspi.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kTimeOutNotice = 16;
constexpr int kCancel = 1;

class TimingTest : public PipelineTest {
 protected:
  void SetUp() override {
    PipelineTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(Open(1));
  }
};

TEST_F(TimingTest, AnExecuteTimesOutAfterHalfASecondAndEndsWithTheDeviceServicesAnswer) {
  // The simulator holds the execute; only the time-out notice completes it.
  Sim().SetAnswering(false);
  REQUESTID id = NextId();
  Clock::time_point start = Clock::now();
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_RETAIN_CARD, nullptr, 100, App().Handle(), id), WFS_SUCCESS);
  ASSERT_TRUE(WaitForRequestsOfKind(kTimeOutNotice, 1));
  Clock::time_point noticed = Clock::now();
  // The shortest time-out applied is 500 ms, whatever the caller asked.
  EXPECT_GE(noticed - start, milliseconds(450));
  std::vector<Json::Value> notices = RequestsOfKind(kTimeOutNotice);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0]["hService"].asInt(), 1);
  EXPECT_EQ(notices[0]["requestID"].asUInt(), id);
  // The request sent carried the caller's time-out.
  EXPECT_EQ(RequestsOfKind(4).at(0)["dwTimeout"].asInt(), 100);

  auto done = Await(WFS_EXECUTE_COMPLETE, id);
  ASSERT_TRUE(done);
  EXPECT_EQ(HeaderOf(*done).hResult, WFS_ERR_TIMEOUT);
  EXPECT_EQ(HeaderOf(*done).dwCommandCode, static_cast<DWORD>(WFS_CMD_IDC_RETAIN_CARD));
  EXPECT_GE(done->at - start, milliseconds(450));
  EXPECT_TRUE(Others().empty()) << "the application got something before the completion";
}

TEST_F(TimingTest, AnExecuteWithoutTimeOutGetsNoNotice) {
  Sim().SetAnswering(false);
  REQUESTID id = NextId();
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_RETAIN_CARD, nullptr, 0, App().Handle(), id), WFS_SUCCESS);
  EXPECT_FALSE(WaitForRequestsOfKind(kTimeOutNotice, 1, 1000));
  Sim().SetAnswering(true);
  auto done = Await(WFS_EXECUTE_COMPLETE, id);
  ASSERT_TRUE(done);
  EXPECT_EQ(HeaderOf(*done).hResult, WFS_SUCCESS);
}

TEST_F(TimingTest, ACancelledExecuteCompletesAsCancelled) {
  Sim().SetAnswering(false);
  REQUESTID id = NextId();
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_READ_RAW_DATA, nullptr, 0, App().Handle(), id),
            WFS_SUCCESS);
  ASSERT_TRUE(WaitForRequestsOfKind(4, 1));
  EXPECT_EQ(WFPCancelAsyncRequest(1, id), WFS_SUCCESS);
  ASSERT_TRUE(WaitForRequestsOfKind(kCancel, 1));
  EXPECT_EQ(RequestsOfKind(kCancel)[0]["requestID"].asUInt(), id);
  auto done = Await(WFS_EXECUTE_COMPLETE, id);
  ASSERT_TRUE(done);
  EXPECT_EQ(HeaderOf(*done).hResult, WFS_ERR_CANCELED);
  EXPECT_EQ(HeaderOf(*done).RequestID, id);
  // Nothing more comes for it once the simulator answers again.
  Sim().SetAnswering(true);
  EXPECT_FALSE(Await(WFS_EXECUTE_COMPLETE, id, kQuietMs));
}

TEST_F(TimingTest, ACompletionAfterAnExecuteEventIsHeldHalfASecond) {
  REQUESTID id = NextId();
  ASSERT_EQ(WFPRegister(1, EXECUTE_EVENTS, App().Handle(), App().Handle(), id), WFS_SUCCESS);
  ASSERT_TRUE(Await(WFS_REGISTER_COMPLETE, id));

  Sim().SetAnswering(false);
  id = NextId();
  WORD tracks = WFS_IDC_TRACK2;
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_READ_RAW_DATA, &tracks, 0, App().Handle(), id),
            WFS_SUCCESS);
  ASSERT_TRUE(WaitForRequestsOfKind(4, 1));
  ASSERT_NO_FATAL_FAILURE(
      SendEvent(kCardReader, WFS_EXECUTE_EVENT, WFS_EXEE_IDC_MEDIAINSERTED, Json::Value(),
                static_cast<long>(id)));
  // The event has been routed before it reaches the application; the
  // completion, sent only now, must wait the hold out.
  auto event = Next(App());
  ASSERT_TRUE(event);
  ASSERT_EQ(event->message, static_cast<UINT>(WFS_EXECUTE_EVENT));
  Sim().SetAnswering(true);
  auto done = Await(WFS_EXECUTE_COMPLETE, id);
  ASSERT_TRUE(done);
  EXPECT_EQ(HeaderOf(*done).hResult, WFS_SUCCESS);
  EXPECT_GE(done->at - event->at, milliseconds(500));

  // One wait consumes the flag: the next completion is not held.
  id = NextId();
  Clock::time_point start = Clock::now();
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_READ_RAW_DATA, &tracks, 0, App().Handle(), id),
            WFS_SUCCESS);
  auto next = Await(WFS_EXECUTE_COMPLETE, id);
  ASSERT_TRUE(next);
  EXPECT_EQ(HeaderOf(*next).hResult, WFS_SUCCESS);
  // A loose bound: a held completion would take 500 ms at least.
  EXPECT_LT(next->at - start, milliseconds(5000));
}

TEST_F(TimingTest, TheSimulatorsOwnEventBeforeTheCompletionIsOrderedByTheHold) {
  REQUESTID id = NextId();
  ASSERT_EQ(WFPRegister(1, EXECUTE_EVENTS, App().Handle(), App().Handle(), id), WFS_SUCCESS);
  ASSERT_TRUE(Await(WFS_REGISTER_COMPLETE, id));
  std::string error;
  ASSERT_TRUE(Sim().LoadScenarioText(
      R"({"rules":[{"kind":"execute","code":207,"delayMs":100,
          "eventsBefore":[{"kind":"execute","id":203}]}]})",
      &error))
      << error;
  id = NextId();
  WORD tracks = WFS_IDC_TRACK1;
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_READ_RAW_DATA, &tracks, 0, App().Handle(), id),
            WFS_SUCCESS);
  auto event = Next(App());
  ASSERT_TRUE(event);
  EXPECT_EQ(event->message, static_cast<UINT>(WFS_EXECUTE_EVENT)) << "the completion came first";
  auto done = Await(WFS_EXECUTE_COMPLETE, id);
  ASSERT_TRUE(done);
  EXPECT_EQ(HeaderOf(*done).hResult, WFS_SUCCESS);
}

}  // namespace
}  // namespace e2e
