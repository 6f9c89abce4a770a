// The provider's table lock.
#include <gtest/gtest.h>

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <memory>
#include <string>
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

// Qt's warnings while the object lives (one at a time).
class QtWarnings {
 public:
  QtWarnings() { m_previous = qInstallMessageHandler(&QtWarnings::collect); }
  ~QtWarnings() { qInstallMessageHandler(m_previous); }
  static std::vector<std::string>& texts() {
    static std::vector<std::string> collected;
    return collected;
  }

 private:
  static void collect(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg) texts().push_back(text.toStdString());
  }
  QtMessageHandler m_previous;
};

// A lock still held when it goes is released first: Qt would otherwise warn
// of a mutex destroyed while locked.
TEST(ThreadLock, DestroyingAHeldOrUnusedLockIsClean) {
  QtWarnings warnings;
  QtWarnings::texts().clear();
  testsupport::TraceCapture capture;
  auto held = std::make_unique<CThreadLock>();
  held->Lock();
  held.reset();
  std::unique_ptr<CThreadLock> unused = std::make_unique<CThreadLock>();
  unused.reset();
  EXPECT_TRUE(QtWarnings::texts().empty()) << QtWarnings::texts().front();
  EXPECT_TRUE(capture.lines().empty());
}

}  // namespace
