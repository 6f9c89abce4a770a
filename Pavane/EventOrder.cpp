#include "EventOrder.h"

#include <chrono>

#include "kestrel.h"

namespace {

// Only the value of an address is kept: a number given up after its event
// was released still finds its entry.
std::uintptr_t KeyOf(const void* event) { return reinterpret_cast<std::uintptr_t>(event); }

}  // namespace

CEventOrder::CEventOrder(int turnWaitMs) : m_turnWaitMs(turnWaitMs) {}

CEventOrder::Number CEventOrder::Stamp(const void* event) {
  Number number = 0;
  Number lost = 0;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    number = m_next++;
    Number& slot = m_stamped[KeyOf(event)];
    // Numbered before, at the same address, and never claimed: that event
    // was released on its way.
    lost = slot;
    slot = number;
    if (lost != 0) DoneLocked(lost);
  }
  if (lost != 0) {
    m_turnMoved.notify_all();
    tracelog(3, "WFPX", "CEventOrder::Stamp event [%llu] was lost on its way, given up", lost);
  }
  return number;
}

void CEventOrder::GiveUp(const void* event, Number number) {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    auto stamped = m_stamped.find(KeyOf(event));
    if (stamped != m_stamped.end() && stamped->second == number) m_stamped.erase(stamped);
    DoneLocked(number);
  }
  m_turnMoved.notify_all();
}

CEventOrder::Number CEventOrder::Claim(const void* event) {
  std::lock_guard<std::mutex> guard(m_lock);
  auto stamped = m_stamped.find(KeyOf(event));
  if (stamped == m_stamped.end()) return 0;
  Number number = stamped->second;
  m_stamped.erase(stamped);
  return number;
}

bool CEventOrder::WaitTurn(Number number) {
  if (number == 0) return true;
  bool inTurn = true;
  {
    std::unique_lock<std::mutex> guard(m_lock);
    inTurn = m_turnMoved.wait_for(guard, std::chrono::milliseconds(m_turnWaitMs),
                                  [&] { return m_closed || m_turn >= number; });
    if (!inTurn) {
      // The events before it are late: they are not waited for any longer.
      m_turn = number;
      m_done.erase(m_done.begin(), m_done.lower_bound(number));
    }
  }
  if (!inTurn) {
    tracelog(3, "WFPX",
             "CEventOrder::WaitTurn event [%llu] not in turn after [%d] ms, delivered without "
             "waiting for the events before it",
             number, m_turnWaitMs);
  }
  return inTurn;
}

void CEventOrder::Done(Number number) {
  if (number == 0) return;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    DoneLocked(number);
  }
  m_turnMoved.notify_all();
}

void CEventOrder::Close() {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_closed = true;
    m_stamped.clear();
    m_done.clear();
  }
  m_turnMoved.notify_all();
}

void CEventOrder::DoneLocked(Number number) {
  // A late event whose turn was skipped changes nothing.
  if (number < m_turn) return;
  m_done.insert(number);
  while (!m_done.empty() && *m_done.begin() == m_turn) {
    m_done.erase(m_done.begin());
    ++m_turn;
  }
}

CEventStamp::CEventStamp(CEventOrder* order, const void* event)
    : m_order(event != nullptr ? order : nullptr), m_event(event) {
  if (m_order != nullptr) m_number = m_order->Stamp(event);
}

CEventStamp::~CEventStamp() {
  if (m_order != nullptr) m_order->GiveUp(m_event, m_number);
}

CEventTurn::CEventTurn(CEventOrder* order, const void* event) : m_order(order) {
  if (m_order == nullptr || event == nullptr) return;
  m_number = m_order->Claim(event);
  try {
    m_order->WaitTurn(m_number);
  } catch (...) {
    // The destructor does not run for a turn that was not made.
    m_order->Done(m_number);
    throw;
  }
}

CEventTurn::~CEventTurn() {
  if (m_order != nullptr) m_order->Done(m_number);
}
