// Runs actions at their time, one after another, on a thread of its own:
// every reply and scheduled event of the simulator leaves from here, so
// that frames due at the same time go out in the order they were posted.
#ifndef DEVSIM_DISPATCHER_H
#define DEVSIM_DISPATCHER_H

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace devsim {

class Dispatcher {
 public:
  using Action = std::function<void()>;

  Dispatcher() = default;
  ~Dispatcher();  // Stop()
  Dispatcher(const Dispatcher&) = delete;
  Dispatcher& operator=(const Dispatcher&) = delete;

  void Start();
  // Drops the actions not yet run and joins the thread; an action already
  // running ends first.
  void Stop();
  // Runs action delayMs from now. The queue lock is held only to add or take
  // an entry, so callers may post while holding locks of their own.
  void Post(int delayMs, Action action);

 private:
  using Clock = std::chrono::steady_clock;
  using Key = std::pair<Clock::time_point, uint64_t>;

  void Run();

  std::mutex m_lock;  // guards m_queue, m_sequence, m_stop
  std::condition_variable m_wake;
  std::map<Key, Action> m_queue;
  uint64_t m_sequence = 0;
  bool m_stop = false;
  std::thread m_thread;  // started and joined by the controlling thread
};

}  // namespace devsim

#endif
