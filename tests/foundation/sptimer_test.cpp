// The timer: one-shot and periodic runs on detached threads, cancellation,
// and a timer destroyed while its thread still runs.
#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "sptimer.h"
#include "test_support.h"

namespace {

using testsupport::WaitUntil;
constexpr int kHang = 20000;  // ms; reached only when something hangs

// Counts the runs of a task and tells when every copy of the task, and so
// the thread holding it, is gone.
class Probe {
 public:
  std::function<void()> task() {
    auto token = m_token;
    return [this, token] {
      std::lock_guard<std::mutex> guard(m_lock);
      ++m_runs;
      m_threads.insert(std::this_thread::get_id());
    };
  }
  // Drops the probe's own reference: from then on the token lives only in
  // task copies.
  void release() { m_token.reset(); }
  bool threadsGone() const { return m_watch.expired(); }
  int runs() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_runs;
  }
  std::set<std::thread::id> threads() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_threads;
  }

 private:
  std::shared_ptr<int> m_token = std::make_shared<int>(0);
  std::weak_ptr<int> m_watch = m_token;
  mutable std::mutex m_lock;  // guards the two fields below
  int m_runs = 0;
  std::set<std::thread::id> m_threads;
};

TEST(Sptimer, StopBeforeTheDelayMeansTheTaskNeverRuns) {
  Probe probe;
  sptimer timer;
  // Far longer than the pause before stop(), even on a loaded machine.
  timer.startOnce(3000, probe.task());
  probe.release();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  timer.stop();
  EXPECT_TRUE(timer.isStopRequested());
  ASSERT_TRUE(WaitUntil([&] { return probe.threadsGone(); }, kHang));
  EXPECT_EQ(probe.runs(), 0);
}

TEST(Sptimer, ZeroDelayRunsAtOnceOnTheTimerThread) {
  Probe probe;
  sptimer timer;
  timer.startOnce(0, probe.task());
  ASSERT_TRUE(WaitUntil([&] { return probe.runs() == 1; }, kHang));
  EXPECT_EQ(probe.threads().count(std::this_thread::get_id()), 0u);
  // A once-timer never counts as expired again, so start does nothing.
  EXPECT_FALSE(timer.isExpired());
  Probe periodic;
  timer.start(1, periodic.task());
  periodic.release();
  EXPECT_TRUE(periodic.threadsGone());
}

TEST(Sptimer, StopOnANeverStartedTimerChangesNothing) {
  sptimer timer;
  timer.stop();
  EXPECT_TRUE(timer.isExpired());
  EXPECT_FALSE(timer.isStopRequested());
  Probe probe;
  timer.startOnce(10, probe.task());
  ASSERT_TRUE(WaitUntil([&] { return probe.runs() == 1; }, kHang));
}

TEST(Sptimer, StartTwiceRunsOnePeriodicThreadUntilStopped) {
  Probe probe;
  sptimer timer;
  timer.start(20, probe.task());
  timer.start(20, probe.task());
  probe.release();
  ASSERT_TRUE(WaitUntil([&] { return probe.runs() >= 3; }, kHang));
  timer.stop();
  // The run ends and marks the timer expired; one thread did every run.
  ASSERT_TRUE(WaitUntil([&] { return timer.isExpired() && probe.threadsGone(); }, kHang));
  EXPECT_EQ(probe.threads().size(), 1u);
}

TEST(Sptimer, AStoppedTimerNeverRunsATaskAgain) {
  sptimer timer;
  Probe first;
  timer.start(10, first.task());
  timer.stop();
  ASSERT_TRUE(WaitUntil([&] { return timer.isExpired(); }, kHang));

  Probe later;
  timer.startOnce(0, later.task());
  timer.start(1, later.task());
  later.release();
  ASSERT_TRUE(WaitUntil([&] { return later.threadsGone(); }, kHang));
  EXPECT_EQ(later.runs(), 0);
  EXPECT_TRUE(timer.isStopRequested());
}

// The owner destroys the timer at once after stop(), as the execute thread
// does when a completion beats the time-out: the sleeping thread must end
// without touching the destroyed timer (checked by AddressSanitizer).
TEST(Sptimer, TimerDestroyedWhileItsThreadSleeps) {
  Probe once, periodic, unstopped;
  {
    auto timer = std::make_unique<sptimer>();
    timer->startOnce(5000, once.task());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    timer->stop();
    timer.reset();

    auto repeating = std::make_unique<sptimer>();
    repeating->start(200, periodic.task());
    repeating->stop();
    repeating.reset();

    sptimer left;  // never stopped by hand: destruction stops it
    left.startOnce(5000, unstopped.task());
  }
  once.release();
  periodic.release();
  unstopped.release();
  ASSERT_TRUE(WaitUntil(
      [&] { return once.threadsGone() && periodic.threadsGone() && unstopped.threadsGone(); },
      kHang));
  EXPECT_EQ(once.runs(), 0);
  EXPECT_EQ(unstopped.runs(), 0);
  EXPECT_LE(periodic.runs(), 1);  // a stop during the sleep allows one more run
}

TEST(Sptimer, CopiesCarryTheFlagsButRunOnTheirOwn) {
  sptimer stopped;
  stopped.start(5, [] {});
  stopped.stop();
  sptimer stoppedCopy(stopped);
  EXPECT_TRUE(stoppedCopy.isStopRequested());
  Probe never;
  stoppedCopy.startOnce(0, never.task());
  never.release();
  ASSERT_TRUE(WaitUntil([&] { return never.threadsGone(); }, kHang));
  EXPECT_EQ(never.runs(), 0);

  sptimer idle;
  sptimer idleCopy(idle);
  Probe copyProbe;
  idleCopy.startOnce(2000, copyProbe.task());
  idle.start(5, [] {});
  idle.stop();  // stopping the original leaves the copy running
  EXPECT_FALSE(idleCopy.isStopRequested());
  idleCopy.stop();
}

TEST(Sptimer, ATaskThatThrowsIsContained) {
  testsupport::TraceCapture capture;
  sptimer timer;
  std::atomic<bool> after{false};
  timer.startOnce(0, [] { throw std::runtime_error("task failed"); });
  ASSERT_TRUE(WaitUntil([&] { return capture.contains("catch an exception", 4); }, kHang));
  sptimer next;
  next.startOnce(0, [&] { after = true; });
  EXPECT_TRUE(WaitUntil([&] { return after.load(); }, kHang));
}

// Threads get a stack far larger than any address space, so none can start.
class NoThreads {
 public:
  NoThreads() {
    pthread_getattr_default_np(&m_saved);
    pthread_attr_t huge;
    pthread_attr_init(&huge);
    pthread_attr_setstacksize(&huge, size_t{1} << 50);
    pthread_setattr_default_np(&huge);
    pthread_attr_destroy(&huge);
  }
  ~NoThreads() {
    pthread_setattr_default_np(&m_saved);
    pthread_attr_destroy(&m_saved);
  }
  NoThreads(const NoThreads&) = delete;
  NoThreads& operator=(const NoThreads&) = delete;

 private:
  pthread_attr_t m_saved;
};

TEST(Sptimer, AThreadThatCannotStartThrowsAndLeavesTheTimerIdle) {
  sptimer timer;
  Probe probe;
  {
    NoThreads noThreads;
    for (bool once : {true, false}) {
      try {
        if (once) {
          timer.startOnce(0, probe.task());
        } else {
          timer.start(1, probe.task());
        }
        ADD_FAILURE() << "a thread started";
      } catch (const std::system_error& error) {
        EXPECT_NE(std::string(error.what()).find("thread constructor failed"), std::string::npos)
            << error.what();
      }
      EXPECT_TRUE(timer.isExpired());
    }
  }
  timer.startOnce(0, probe.task());
  EXPECT_TRUE(WaitUntil([&] { return probe.runs() == 1; }, kHang));
}

}  // namespace
