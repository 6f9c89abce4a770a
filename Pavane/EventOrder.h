// The order of one device's events on their way to the application.
//
// The message window's pump sees the device's events in the order the
// device service sent them and numbers each one as it hands it to the event
// thread of its class. Before an event thread delivers an event it waits
// until every event numbered before it has been delivered or dropped, so
// the application's windows receive the device's events in the order they
// were sent, whatever their class. An event that is dropped on its way
// (not handed over, no registration, refused by the device class, not
// posted) gives up its number, so the events after it do not wait for it;
// and no event waits longer than a bound for the ones before it.
//
// All members are thread-safe; the lock is held only for one change or
// wait, never across a delivery or a trace.
#ifndef PAVANE_EVENTORDER_H
#define PAVANE_EVENTORDER_H

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>

class CEventOrder {
 public:
  // Event numbers; 0 is no number.
  using Number = unsigned long long;

  // How long an event waits at most for the events before it.
  static constexpr int kTurnWaitMs = 1000;

  explicit CEventOrder(int turnWaitMs = kTurnWaitMs);
  CEventOrder(const CEventOrder&) = delete;
  CEventOrder& operator=(const CEventOrder&) = delete;

  // The pump: gives `event` the next number of the sequence.
  Number Stamp(const void* event);
  // The pump: `event`, numbered `number`, was not handed over.
  void GiveUp(const void* event, Number number);
  // An event thread: takes over the number of `event`; 0 when it has none.
  Number Claim(const void* event);
  // Waits until every event numbered before `number` is done or the bound
  // has passed; then those are not waited for any longer (traced at level
  // 3) and the result is false.
  bool WaitTurn(Number number);
  // The event numbered `number` was delivered or dropped.
  void Done(Number number);
  // The device stops: nothing it still holds can reach the application
  // (its registrations are gone), so nobody waits any longer.
  void Close();

 private:
  // Marks number done and moves the turn past every done number; under
  // m_lock.
  void DoneLocked(Number number);

  const int m_turnWaitMs;
  std::mutex m_lock;                   // guards every field below
  std::condition_variable m_turnMoved; // m_turn moved, or closed
  Number m_next = 1;                   // the number the next event gets
  Number m_turn = 1;                   // lowest number not done nor skipped
  std::set<Number> m_done;             // done numbers above m_turn
  // Numbered events not yet claimed, by address.
  std::map<std::uintptr_t, Number> m_stamped;
  bool m_closed = false;
};

// The pump's number for one event: given up when the scope ends, unless
// the event was handed over.
class CEventStamp {
 public:
  // Numbers event; nothing without an order or an event.
  CEventStamp(CEventOrder* order, const void* event);
  ~CEventStamp();
  CEventStamp(const CEventStamp&) = delete;
  CEventStamp& operator=(const CEventStamp&) = delete;

  // The event thread has the event now, and its number with it.
  void HandedOver() { m_order = nullptr; }

 private:
  CEventOrder* m_order;
  const void* m_event;
  CEventOrder::Number m_number = 0;
};

// An event thread's turn for one event: taken over and waited for at
// construction, done when the scope ends, whatever became of the event.
class CEventTurn {
 public:
  // Claims the number of event (none without an order) and waits for its
  // turn.
  CEventTurn(CEventOrder* order, const void* event);
  ~CEventTurn();
  CEventTurn(const CEventTurn&) = delete;
  CEventTurn& operator=(const CEventTurn&) = delete;

 private:
  CEventOrder* m_order;
  CEventOrder::Number m_number = 0;
};

#endif
