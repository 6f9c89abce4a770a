#include "dispatcher.h"

namespace devsim {

Dispatcher::~Dispatcher() { Stop(); }

void Dispatcher::Start() {
  if (m_thread.joinable()) return;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_stop = false;
  }
  m_thread = std::thread(&Dispatcher::Run, this);
}

void Dispatcher::Stop() {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_stop = true;
    m_queue.clear();
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

void Dispatcher::Post(int delayMs, Action action) {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_stop) return;
    Key key(Clock::now() + std::chrono::milliseconds(delayMs), m_sequence++);
    m_queue.emplace(key, std::move(action));
  }
  m_wake.notify_all();
}

void Dispatcher::Run() {
  std::unique_lock<std::mutex> guard(m_lock);
  while (!m_stop) {
    if (m_queue.empty()) {
      m_wake.wait(guard);
      continue;
    }
    auto first = m_queue.begin();
    if (first->first.first > Clock::now()) {
      // A copy: Stop may clear the queue while this waits.
      const Clock::time_point due = first->first.first;
      m_wake.wait_until(guard, due);
      continue;
    }
    Action action = std::move(first->second);
    m_queue.erase(first);
    guard.unlock();
    action();
    guard.lock();
  }
}

}  // namespace devsim
