// A task run after a delay, or repeatedly, on a detached thread of its own.
#ifndef PAVANE_SPTIMER_H
#define PAVANE_SPTIMER_H

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// startOnce(delay, task) runs task once after delay milliseconds unless the
// timer was stopped first; start(interval, task) runs task every interval
// milliseconds until stopped. stop() does not wait for the timer thread, and
// once stopped a timer never runs a task again. The timer thread shares the
// timer's flags, so the owner may destroy the timer at any time, even while
// the thread still sleeps. Tasks run on the timer thread.
//
// start and startOnce throw std::system_error ("thread constructor failed")
// when the thread cannot be created; the timer is then as before the call.
class sptimer {
 public:
  sptimer();
  sptimer(const sptimer& other);  // copies the flags; the copy has its own thread state
  sptimer& operator=(const sptimer&) = delete;
  ~sptimer();

  void startOnce(int delayMs, std::function<void()> task);
  void start(int intervalMs, std::function<void()> task);
  void stop();

  bool isExpired() const;        // no periodic run is active
  bool isStopRequested() const;  // stop() took effect; final

 private:
  // Owned jointly by the timer and every thread it started.
  struct State {
    std::atomic<bool> expired{true};
    std::atomic<bool> try_to_expire{false};  // once set, stays set
    std::mutex mutex;                        // taken by a periodic run when it ends
    std::condition_variable condition;       // notified once when a periodic run ends
  };

  static void runOnce(const std::shared_ptr<State>& state, int delayMs,
                      const std::function<void()>& task);
  static void runPeriodic(const std::shared_ptr<State>& state, int intervalMs,
                          const std::function<void()>& task);
  void launch(bool previousExpired, std::function<void()> body);

  std::shared_ptr<State> m_state;  // never null
};

#endif
