// The order of a device's events: an event waits for the ones numbered
// before it, a number given up or skipped holds nobody up, and the bound and
// the close end every wait. (The order through the real threads is tested
// end to end.)
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "EventOrder.h"
#include "rig.h"
#include "test_support.h"

namespace {

constexpr char kNotInTurn[] = "not in turn after";
constexpr int kShortBoundMs = 50;

// Waits for the turn of `number` on another thread; the future gives
// WaitTurn's result.
std::future<bool> WaitOnAnotherThread(CEventOrder& order, CEventOrder::Number number) {
  return std::async(std::launch::async, [&order, number] { return order.WaitTurn(number); });
}

bool StillWaiting(std::future<bool>& waiter) {
  return waiter.wait_for(std::chrono::milliseconds(50)) == std::future_status::timeout;
}

TEST(EventOrderTest, AnEventWaitsUntilEveryEarlierOneIsDoneOrGivenUp) {
  testsupport::TraceCapture trace;
  CEventOrder order(rig::kHang);
  int events[3];
  order.Stamp(&events[0]);
  const CEventOrder::Number second = order.Stamp(&events[1]);
  {
    CEventStamp third(&order, &events[2]);
    third.HandedOver();
  }
  const CEventOrder::Number third = order.Claim(&events[2]);
  ASSERT_EQ(third, second + 1);
  std::future<bool> waiter = WaitOnAnotherThread(order, third);
  order.GiveUp(&events[1], second);
  EXPECT_TRUE(StillWaiting(waiter)) << "the third event went before the first";
  {
    CEventTurn turn(&order, &events[0]);  // in turn at once, done when it goes
  }
  EXPECT_TRUE(waiter.get());
  EXPECT_EQ(order.Claim(&events[0]), 0u) << "a number was claimed twice";
  EXPECT_FALSE(trace.contains(kNotInTurn));
}

TEST(EventOrderTest, AnEventLostOnItsWayHoldsUpTheOthersOnlyUntilTheBound) {
  testsupport::TraceCapture trace;
  CEventOrder order(kShortBoundMs);
  int lost = 0, late = 0, next = 0;
  order.Stamp(&lost);  // never claimed, never done
  const CEventOrder::Number lateNumber = order.Stamp(&late);
  const CEventOrder::Number nextNumber = order.Stamp(&next);
  EXPECT_FALSE(order.WaitTurn(nextNumber)) << "the bound did not end the wait";
  EXPECT_TRUE(trace.contains(kNotInTurn, 3));
  // The skipped event still comes, and is not waited for again.
  EXPECT_TRUE(order.WaitTurn(lateNumber));
  order.Done(lateNumber);
  order.Done(nextNumber);
  // An address numbered again was released before its claim: the old
  // number is given up, and the new one is in turn at once.
  int reused = 0;
  order.Stamp(&reused);
  trace.clear();
  const CEventOrder::Number again = order.Stamp(&reused);
  EXPECT_TRUE(trace.contains("was lost on its way", 3));
  EXPECT_TRUE(order.WaitTurn(order.Claim(&reused)));
  EXPECT_FALSE(trace.contains(kNotInTurn));
  order.Done(again);
}

TEST(EventOrderTest, ClosingEndsEveryWait) {
  CEventOrder order(rig::kHang);
  int first = 0, second = 0;
  order.Stamp(&first);
  const CEventOrder::Number number = order.Stamp(&second);
  std::future<bool> waiter = WaitOnAnotherThread(order, number);
  EXPECT_TRUE(StillWaiting(waiter));
  order.Close();
  EXPECT_TRUE(waiter.get());
  EXPECT_EQ(order.Claim(&first), 0u) << "a closed order still holds numbers";
}

}  // namespace
