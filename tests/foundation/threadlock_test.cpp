// The provider's table lock.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "ThreadLock.h"
#include "test_support.h"

namespace {

TEST(ThreadLock, HoldersExcludeEachOther) {
  CThreadLock lock;
  std::atomic<int> inside{0};
  std::atomic<bool> overlapped{false};
  long counter = 0;  // guarded by lock
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int n = 0; n < 20000; ++n) {
        EXPECT_EQ(lock.Lock(), 1);
        if (++inside != 1) overlapped = true;
        ++counter;
        --inside;
        EXPECT_EQ(lock.Unlock(), 1);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_FALSE(overlapped.load());
  EXPECT_EQ(counter, 4 * 20000);
}

// A waiter blocks until the holder unlocks; an unlock by anyone else
// changes nothing.
TEST(ThreadLock, OnlyTheHolderReleasesIt) {
  testsupport::TraceCapture capture;
  CThreadLock lock;
  EXPECT_EQ(lock.Unlock(), 1);  // not held: nothing happens
  lock.Lock();
  std::atomic<bool> acquired{false};
  std::thread other([&] {
    lock.Unlock();  // not the holder: the lock stays held
    lock.Lock();
    acquired = true;
    lock.Unlock();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(acquired.load());
  lock.Unlock();
  other.join();
  EXPECT_TRUE(acquired.load());
  EXPECT_EQ(capture.count("does not hold the lock", 3), 2);
}

TEST(ThreadLock, DestroyingAHeldOrUnusedLockIsClean) {
  auto held = std::make_unique<CThreadLock>();
  held->Lock();
  held.reset();
  std::unique_ptr<CThreadLock> unused = std::make_unique<CThreadLock>();
  unused.reset();
  SUCCEED();
}

}  // namespace
