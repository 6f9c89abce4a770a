// Events from the device service to the application: the four kinds, the
// first registered window only, the filters by event class and by device
// class, and the order in which the events of every class arrive.
#include <string>
#include <vector>

#include "corvid.h"
#include "e2e_harness.h"
#include "xfsidc.h"
#include "xfsspi.h"

namespace e2e {
namespace {

class EventsTest : public PipelineTest {
 protected:
  void Register(HSERVICE hService, DWORD classes, ResultWindow& window) {
    REQUESTID id = NextId();
    ASSERT_EQ(WFPRegister(hService, classes, window.Handle(), App().Handle(), id), WFS_SUCCESS);
    ASSERT_TRUE(Await(WFS_REGISTER_COMPLETE, id));
  }

  struct Event {
    const char* service;
    int kind;
    unsigned long id;
  };

  // Sends events that must be refused and waits until each has passed the
  // point that `marker` traces and the Corvid blocks are back where they
  // were: every one of them was freed, none posted (a posted event keeps
  // its blocks until the application frees it).
  void SendRefused(const std::vector<Event>& events, const char* marker) {
    int before = Trace().count(marker);
    long blocks = CorvidLiveBlocks();
    for (const Event& e : events) ASSERT_NO_FATAL_FAILURE(SendEvent(e.service, e.kind, e.id));
    int wanted = before + static_cast<int>(events.size());
    EXPECT_TRUE(testsupport::WaitUntil([&] { return Trace().count(marker) >= wanted; }, kWaitMs))
        << Trace().count(marker) - before << " of " << events.size() << " events reached "
        << marker;
    EXPECT_TRUE(testsupport::WaitUntil([&] { return CorvidLiveBlocks() == blocks; }, kWaitMs))
        << CorvidLiveBlocks() - blocks << " block(s) of refused events are still allocated";
    EXPECT_FALSE(Next(App(), 0)) << "a refused event reached the application";
  }

  // An event of the card reader numbered by its request identifier;
  // hService 0: the service's own handle.
  struct Numbered {
    int kind;
    unsigned long id;
    HSERVICE hService = 0;
  };

  // Sends `events` in turn, then takes what reaches the application and
  // checks that it is exactly the events of `delivered` (indexes into
  // `events`), in that order, and that no event waited out its bound for
  // the ones before it.
  void ExpectInOrder(const std::vector<Numbered>& events, const std::vector<size_t>& delivered) {
    for (size_t n = 0; n < events.size(); ++n) {
      devsim::EventOrder order;
      order.service = kCardReader;
      order.kind = events[n].kind;
      order.id = events[n].id;
      order.requestID = static_cast<long>(n + 1);
      order.hService = events[n].hService;
      std::string error;
      ASSERT_TRUE(Sim().SendEvent(order, &error)) << error;
    }
    for (size_t expected : delivered) {
      auto event = Next(App());
      ASSERT_TRUE(event) << "event " << expected + 1 << " did not arrive";
      ASSERT_EQ(HeaderOf(*event).RequestID, static_cast<REQUESTID>(expected + 1))
          << "events arrived out of order";
      EXPECT_EQ(event->message, static_cast<UINT>(events[expected].kind));
    }
    EXPECT_FALSE(Next(App(), kQuietMs)) << "an event arrived that should have been dropped";
    EXPECT_FALSE(Trace().contains("not in turn after")) << "an event waited for a dropped one";
  }
};

TEST_F(EventsTest, AllFourKindsReachTheRegisteredWindow) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  ASSERT_NO_FATAL_FAILURE(Register(1, SERVICE_EVENTS | USER_EVENTS | SYSTEM_EVENTS | EXECUTE_EVENTS,
                                   App()));
  struct Case {
    UINT kind;
    DWORD id;
  };
  for (Case c : {Case{WFS_EXECUTE_EVENT, WFS_EXEE_IDC_MEDIAINSERTED},
                 Case{WFS_SERVICE_EVENT, WFS_SRVE_IDC_CARDACTION},
                 Case{WFS_USER_EVENT, WFS_USRE_IDC_RETAINBINTHRESHOLD},
                 Case{WFS_SYSTEM_EVENT, WFS_SYSE_DEVICE_STATUS}}) {
    ASSERT_NO_FATAL_FAILURE(SendEvent(kCardReader, static_cast<int>(c.kind), c.id));
    auto event = Next(App());
    ASSERT_TRUE(event) << "event " << c.id << " of kind " << c.kind << " did not arrive";
    EXPECT_EQ(event->message, c.kind);
    ASSERT_TRUE(event->result);
    EXPECT_EQ(HeaderOf(*event).dwEventID, c.id);
    EXPECT_EQ(HeaderOf(*event).hService, 1);
    if (c.kind == WFS_SERVICE_EVENT || c.kind == WFS_SYSTEM_EVENT) {
      EXPECT_NE(HeaderOf(*event).lpBuffer, nullptr) << "event " << c.id << " lost its payload";
    }
  }
}

TEST_F(EventsTest, OnlyTheFirstRegisteredWindowReceivesThem) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  ResultWindow first, second;
  ASSERT_NO_FATAL_FAILURE(Register(1, SERVICE_EVENTS | EXECUTE_EVENTS, first));
  ASSERT_NO_FATAL_FAILURE(Register(1, SERVICE_EVENTS | USER_EVENTS | EXECUTE_EVENTS, second));

  ASSERT_NO_FATAL_FAILURE(SendEvent(kCardReader, WFS_SERVICE_EVENT, WFS_SRVE_IDC_CARDACTION));
  ASSERT_NO_FATAL_FAILURE(SendEvent(kCardReader, WFS_EXECUTE_EVENT, WFS_EXEE_IDC_MEDIAINSERTED));
  for (int i = 0; i < 2; ++i) {
    auto event = Next(first);
    ASSERT_TRUE(event) << "the first registered window missed an event";
  }
  // The first registration decides alone: its window does not take user
  // events, and they do not go to the second window instead.
  ASSERT_NO_FATAL_FAILURE(SendRefused(
      {{kCardReader, WFS_USER_EVENT, WFS_USRE_IDC_RETAINBINTHRESHOLD}}, "PollingSendMsg pos1"));
  EXPECT_FALSE(Next(second, 0)) << "the second registered window received an event";
  EXPECT_FALSE(Next(first, 0));
}

TEST_F(EventsTest, ARegistrationTakesOnlyItsClasses) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  ASSERT_NO_FATAL_FAILURE(Register(1, SERVICE_EVENTS, App()));
  ASSERT_NO_FATAL_FAILURE(
      SendRefused({{kCardReader, WFS_USER_EVENT, WFS_USRE_IDC_RETAINBINTHRESHOLD},
                   {kCardReader, WFS_SYSTEM_EVENT, WFS_SYSE_DEVICE_STATUS},
                   {kCardReader, WFS_EXECUTE_EVENT, WFS_EXEE_IDC_MEDIAINSERTED}},
                  "PollingSendMsg pos1"));

  ASSERT_NO_FATAL_FAILURE(SendEvent(kCardReader, WFS_SERVICE_EVENT, WFS_SRVE_IDC_MEDIAREMOVED));
  auto event = Next(App());
  ASSERT_TRUE(event);
  EXPECT_EQ(event->message, static_cast<UINT>(WFS_SERVICE_EVENT));
  EXPECT_EQ(HeaderOf(*event).dwEventID, static_cast<DWORD>(WFS_SRVE_IDC_MEDIAREMOVED));

  // Without a registration nothing is delivered at all.
  REQUESTID id = NextId();
  ASSERT_EQ(WFPDeregister(1, SERVICE_EVENTS, App().Handle(), App().Handle(), id), WFS_SUCCESS);
  ASSERT_TRUE(Await(WFS_DEREGISTER_COMPLETE, id));
  ASSERT_NO_FATAL_FAILURE(
      SendRefused({{kCardReader, WFS_SERVICE_EVENT, WFS_SRVE_IDC_MEDIAREMOVED}},
                  "CDeviceServiceEventThread::OnServiceEvent arrRegHwndItems size=0!"));
}

TEST_F(EventsTest, EachDeviceClassLetsThroughOnlyItsOwnEvents) {
  ASSERT_NO_FATAL_FAILURE(Open(1, kCardReader));
  ASSERT_NO_FATAL_FAILURE(Open(2, kPinPad));
  DWORD all = SERVICE_EVENTS | USER_EVENTS | SYSTEM_EVENTS | EXECUTE_EVENTS;
  ASSERT_NO_FATAL_FAILURE(Register(1, all, App()));
  ASSERT_NO_FATAL_FAILURE(Register(2, all, App()));

  ASSERT_NO_FATAL_FAILURE(SendRefused({{kCardReader, WFS_EXECUTE_EVENT, 202}},
                                      "CKvSPIDCDevice::OnExecuteEvent not support event [202]"));
  ASSERT_NO_FATAL_FAILURE(SendRefused({{kCardReader, WFS_SYSTEM_EVENT, 9}},
                                      "CKvSPIDCDevice::OnSystemEvent not support event [9]"));
  // 401 is a PIN execute event, never a user event.
  ASSERT_NO_FATAL_FAILURE(SendRefused({{kPinPad, WFS_USER_EVENT, 401}},
                                      "CKvSPPINDevice::OnUserEvent not support event [401]"));

  ASSERT_NO_FATAL_FAILURE(SendEvent(kPinPad, WFS_EXECUTE_EVENT, 401));
  auto key = Next(App());
  ASSERT_TRUE(key);
  EXPECT_EQ(key->message, static_cast<UINT>(WFS_EXECUTE_EVENT));
  EXPECT_EQ(HeaderOf(*key).hService, 2);
  EXPECT_EQ(HeaderOf(*key).dwEventID, 401u);
}

TEST_F(EventsTest, EventsOfEveryClassArriveInTheOrderSent) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  ASSERT_NO_FATAL_FAILURE(Register(1, SERVICE_EVENTS | USER_EVENTS | SYSTEM_EVENTS | EXECUTE_EVENTS,
                                   App()));
  // Card inserted, card removed, retain bin threshold, and now and then a
  // device status change: each class goes through a thread of its own.
  const Numbered kCycle[] = {{WFS_EXECUTE_EVENT, WFS_EXEE_IDC_MEDIAINSERTED},
                             {WFS_SERVICE_EVENT, WFS_SRVE_IDC_MEDIAREMOVED},
                             {WFS_USER_EVENT, WFS_USRE_IDC_RETAINBINTHRESHOLD}};
  std::vector<Numbered> events;
  std::vector<size_t> delivered;
  for (size_t n = 0; n < 400; ++n) {
    events.push_back(n % 10 == 9 ? Numbered{WFS_SYSTEM_EVENT, WFS_SYSE_DEVICE_STATUS}
                                 : kCycle[n % 3]);
    delivered.push_back(n);
  }
  ExpectInOrder(events, delivered);
}

TEST_F(EventsTest, ADroppedEventDoesNotHoldUpTheOnesAfterIt) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  ASSERT_NO_FATAL_FAILURE(Register(1, SERVICE_EVENTS | EXECUTE_EVENTS, App()));
  // Between the delivered ones: a class the window did not register for,
  // an event the card reader's class refuses, one of a service without a
  // registration, and another unregistered class.
  const Numbered kCycle[] = {{WFS_USER_EVENT, WFS_USRE_IDC_RETAINBINTHRESHOLD},
                             {WFS_EXECUTE_EVENT, WFS_EXEE_IDC_MEDIAINSERTED},
                             {WFS_EXECUTE_EVENT, 202},
                             {WFS_SERVICE_EVENT, WFS_SRVE_IDC_MEDIAREMOVED},
                             {WFS_SERVICE_EVENT, WFS_SRVE_IDC_MEDIAREMOVED, 7},
                             {WFS_SYSTEM_EVENT, WFS_SYSE_DEVICE_STATUS}};
  std::vector<Numbered> events;
  std::vector<size_t> delivered;
  for (size_t n = 0; n < 60; ++n) {
    const Numbered& event = kCycle[n % 6];
    events.push_back(event);
    if (n % 6 == 1 || n % 6 == 3) delivered.push_back(n);
  }
  ExpectInOrder(events, delivered);
}

}  // namespace
}  // namespace e2e
