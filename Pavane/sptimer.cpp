#include "sptimer.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <system_error>
#include <thread>

#include "kestrel.h"

namespace {

// A task that throws must not end the process from a detached thread.
void runTask(const std::function<void()>& task) {
  try {
    task();
  } catch (...) {
    tracelogException("sptimer", __LINE__, "WFPX", "sptimer::runTask catch an exception!");
  }
}

}  // namespace

sptimer::sptimer() : m_state(std::make_shared<State>()) {}

sptimer::sptimer(const sptimer& other) : m_state(std::make_shared<State>()) {
  m_state->expired = other.m_state->expired.load();
  m_state->try_to_expire = other.m_state->try_to_expire.load();
}

sptimer::~sptimer() { stop(); }

void sptimer::startOnce(int delayMs, std::function<void()> task) {
  bool previousExpired = m_state->expired.exchange(false);
  launch(previousExpired, [state = m_state, delayMs, task = std::move(task)] {
    runOnce(state, delayMs, task);
  });
}

void sptimer::start(int intervalMs, std::function<void()> task) {
  bool idle = true;
  if (!m_state->expired.compare_exchange_strong(idle, false)) return;  // already running
  launch(true, [state = m_state, intervalMs, task = std::move(task)] {
    runPeriodic(state, intervalMs, task);
  });
}

void sptimer::stop() {
  if (!m_state->expired && !m_state->try_to_expire) m_state->try_to_expire = true;
}

bool sptimer::isExpired() const { return m_state->expired; }

bool sptimer::isStopRequested() const { return m_state->try_to_expire; }

void sptimer::launch(bool previousExpired, std::function<void()> body) {
  std::error_code failure;
  try {
    std::thread(std::move(body)).detach();
    return;
  } catch (const std::system_error& error) {
    failure = error.code();
  } catch (const std::bad_alloc&) {
    failure = std::make_error_code(std::errc::not_enough_memory);
  }
  m_state->expired = previousExpired;
  throw std::system_error(failure, "thread constructor failed");
}

// Waits delayMs in steps of at most 1 ms, giving up as soon as the timer is
// stopped; the steps follow the clock, so a loaded machine does not stretch
// the delay.
void sptimer::runOnce(const std::shared_ptr<State>& state, int delayMs,
                      const std::function<void()>& task) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(delayMs, 0));
  for (;;) {
    if (state->try_to_expire) return;
    Clock::time_point now = Clock::now();
    if (now >= deadline) break;
    std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now,
                                                          std::chrono::milliseconds(1)));
  }
  runTask(task);
}

// Cancellation is seen only before each sleep: a stop() during the sleep
// lets the task run once more.
void sptimer::runPeriodic(const std::shared_ptr<State>& state, int intervalMs,
                          const std::function<void()>& task) {
  while (!state->try_to_expire) {
    std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
    runTask(task);
  }
  std::lock_guard<std::mutex> guard(state->mutex);
  state->expired = true;
  state->condition.notify_one();
}
