// Application windows: message queues that carry result records.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "corvid.h"

namespace {

constexpr DWORD kPostTimeout = 5000;
constexpr DWORD kLongWait = 20000;  // only reached when something hangs

// A result record with a block below it, as the provider posts them.
LPWFSRESULT NewResult(REQUESTID id) {
  LPVOID root = nullptr;
  if (WFMAllocateBuffer(sizeof(WFSRESULT), WFS_MEM_ZEROINIT, &root) != WFS_SUCCESS) return nullptr;
  auto* result = static_cast<LPWFSRESULT>(root);
  result->RequestID = id;
  WFMAllocateMore(64, root, &result->lpBuffer);  // an unaligned field of a packed record
  return result;
}

LPARAM AsParam(LPWFSRESULT result) {
  return static_cast<LPARAM>(reinterpret_cast<intptr_t>(result));
}

LPWFSRESULT AsResult(LPARAM param) {
  return reinterpret_cast<LPWFSRESULT>(static_cast<intptr_t>(param));
}

class CorvidWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    m_start = CorvidLiveBlocks();
    m_window = CorvidCreateWindow();
    ASSERT_NE(m_window, 0u);
  }
  void TearDown() override {
    CorvidFailPosts(0, WFS_SUCCESS);
    CorvidDestroyWindow(m_window);
    EXPECT_EQ(CorvidLiveBlocks(), m_start) << "result records leaked";
  }

  long m_start = 0;
  HWND m_window = 0;
};

TEST_F(CorvidWindow, HandlesAreNonZeroAndNeverReused) {
  std::set<HWND> seen{m_window};
  for (int i = 0; i < 100; ++i) {
    HWND window = CorvidCreateWindow();
    EXPECT_NE(window, 0u);
    EXPECT_TRUE(seen.insert(window).second) << "handle reused: " << window;
    CorvidDestroyWindow(window);
  }
}

TEST_F(CorvidWindow, UnknownAndDestroyedWindowsAreRefused) {
  LPWFSRESULT result = NewResult(1);
  EXPECT_EQ(WFMPostMessage(0, WFS_OPEN_COMPLETE, 0, AsParam(result), kPostTimeout),
            WFS_ERR_INVALID_HWND);
  EXPECT_EQ(WFMPostMessage(m_window + 1000, WFS_OPEN_COMPLETE, 0, AsParam(result), kPostTimeout),
            WFS_ERR_INVALID_HWND);

  HWND gone = CorvidCreateWindow();
  CorvidDestroyWindow(gone);
  CorvidDestroyWindow(gone);  // a second destroy is harmless
  EXPECT_EQ(WFMPostMessage(gone, WFS_OPEN_COMPLETE, 0, AsParam(result), kPostTimeout),
            WFS_ERR_INVALID_HWND);
  UINT msg = 0;
  EXPECT_EQ(CorvidGetMessage(gone, &msg, nullptr, nullptr, 0), WFS_ERR_INVALID_HWND);

  // A refused post leaves the record with its owner.
  EXPECT_EQ(WFMFreeBuffer(result), WFS_SUCCESS);
}

TEST_F(CorvidWindow, MessagesArriveInOrderWithTheirValues) {
  for (REQUESTID id = 1; id <= 3; ++id) {
    ASSERT_EQ(WFMPostMessage(m_window, WFS_EXECUTE_COMPLETE + id, id * 10, AsParam(NewResult(id)),
                             kPostTimeout),
              WFS_SUCCESS);
  }
  for (REQUESTID id = 1; id <= 3; ++id) {
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    ASSERT_EQ(CorvidGetMessage(m_window, &msg, &wParam, &lParam, 0), WFS_SUCCESS);
    EXPECT_EQ(msg, WFS_EXECUTE_COMPLETE + id);
    EXPECT_EQ(wParam, id * 10);
    LPWFSRESULT result = AsResult(lParam);
    EXPECT_EQ(result->RequestID, id);
    EXPECT_EQ(WFMFreeBuffer(result), WFS_SUCCESS);  // the taker owns the record
  }
}

TEST_F(CorvidWindow, GetMessageTimesOutOnAnEmptyQueueAndWaitsForALatePost) {
  UINT msg = 0;
  EXPECT_EQ(CorvidGetMessage(m_window, &msg, nullptr, nullptr, 0), WFS_ERR_TIMEOUT);
  EXPECT_EQ(CorvidGetMessage(m_window, &msg, nullptr, nullptr, 50), WFS_ERR_TIMEOUT);

  std::thread late([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    WFMPostMessage(m_window, WFS_SYSTEM_EVENT, 0, 0, kPostTimeout);
  });
  EXPECT_EQ(CorvidGetMessage(m_window, &msg, nullptr, nullptr, kLongWait), WFS_SUCCESS);
  EXPECT_EQ(msg, static_cast<UINT>(WFS_SYSTEM_EVENT));
  late.join();
}

TEST_F(CorvidWindow, InjectedPostFailuresFailTheNextPostsOnly) {
  CorvidFailPosts(2, WFS_ERR_TIMEOUT);
  LPWFSRESULT result = NewResult(7);
  EXPECT_EQ(WFMPostMessage(m_window, WFS_LOCK_COMPLETE, 0, AsParam(result), kPostTimeout),
            WFS_ERR_TIMEOUT);
  EXPECT_EQ(WFMPostMessage(m_window, WFS_LOCK_COMPLETE, 0, AsParam(result), kPostTimeout),
            WFS_ERR_TIMEOUT);
  EXPECT_EQ(WFMPostMessage(m_window, WFS_LOCK_COMPLETE, 0, AsParam(result), kPostTimeout),
            WFS_SUCCESS);

  // Only the last post queued anything.
  LPARAM lParam = 0;
  ASSERT_EQ(CorvidGetMessage(m_window, nullptr, nullptr, &lParam, 0), WFS_SUCCESS);
  EXPECT_EQ(AsResult(lParam), result);
  EXPECT_EQ(CorvidGetMessage(m_window, nullptr, nullptr, &lParam, 0), WFS_ERR_TIMEOUT);
  WFMFreeBuffer(result);
}

TEST_F(CorvidWindow, DestroyFreesQueuedRecordsAndWakesAWaitingTaker) {
  HWND window = CorvidCreateWindow();
  for (REQUESTID id = 1; id <= 5; ++id) {
    ASSERT_EQ(WFMPostMessage(window, WFS_EXECUTE_EVENT, 0, AsParam(NewResult(id)), kPostTimeout),
              WFS_SUCCESS);
  }
  // A message whose lParam is no record of ours is dropped without a free.
  int notARecord = 0;
  ASSERT_EQ(WFMPostMessage(window, WFS_TIMER_EVENT, 0,
                           static_cast<LPARAM>(reinterpret_cast<intptr_t>(&notARecord)),
                           kPostTimeout),
            WFS_SUCCESS);
  EXPECT_EQ(CorvidLiveBlocks(), m_start + 10);
  CorvidDestroyWindow(window);
  EXPECT_EQ(CorvidLiveBlocks(), m_start);

  HWND waited = CorvidCreateWindow();
  std::atomic<HRESULT> taken{1};
  std::thread taker([&] { taken = CorvidGetMessage(waited, nullptr, nullptr, nullptr, kLongWait); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  CorvidDestroyWindow(waited);
  taker.join();
  EXPECT_EQ(taken.load(), WFS_ERR_INVALID_HWND);
}

// Posts racing a destroy: every record is either refused (and freed by its
// poster) or queued before the destroy (and freed by it). Nothing leaks and
// nothing is freed twice.
TEST_F(CorvidWindow, PostsRacingADestroyLoseNoRecord) {
  for (int round = 0; round < 300; ++round) {
    HWND window = CorvidCreateWindow();
    std::atomic<int> posted{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < 2; ++t) {
      posters.emplace_back([&] {
        for (;;) {  // until the window is gone
          LPWFSRESULT result = NewResult(0);
          if (WFMPostMessage(window, WFS_SERVICE_EVENT, 0, AsParam(result), kPostTimeout) !=
              WFS_SUCCESS) {
            WFMFreeBuffer(result);
            return;
          }
          ++posted;
        }
      });
    }
    while (posted < 20) std::this_thread::yield();
    CorvidDestroyWindow(window);
    for (std::thread& poster : posters) poster.join();
    ASSERT_EQ(CorvidLiveBlocks(), m_start) << "round " << round;
  }
}

TEST_F(CorvidWindow, ConcurrentPostersLoseAndDuplicateNothingAndKeepTheirOrder) {
  constexpr int kThreads = 8;
  constexpr int kPerThread = 1000;
  std::vector<std::thread> posters;
  std::atomic<int> failedPosts{0};
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([&, t] {
      for (int n = 0; n < kPerThread; ++n) {
        LPWFSRESULT result = NewResult(static_cast<REQUESTID>(n));
        if (result == nullptr ||
            WFMPostMessage(m_window, WFS_EXECUTE_COMPLETE, static_cast<WPARAM>(t), AsParam(result),
                           kPostTimeout) != WFS_SUCCESS) {
          ++failedPosts;
        }
      }
    });
  }

  std::vector<int> nextOf(kThreads, 0);
  int received = 0;
  while (received < kThreads * kPerThread) {
    WPARAM poster = 0;
    LPARAM lParam = 0;
    HRESULT taken = CorvidGetMessage(m_window, nullptr, &poster, &lParam, kLongWait);
    if (taken != WFS_SUCCESS || poster >= static_cast<WPARAM>(kThreads)) {
      ADD_FAILURE() << "after " << received << " messages: result " << taken << ", poster "
                    << poster;
      break;
    }
    LPWFSRESULT result = AsResult(lParam);
    EXPECT_EQ(result->RequestID, static_cast<REQUESTID>(nextOf[poster]))
        << "poster " << poster << " out of order";
    nextOf[poster] = static_cast<int>(result->RequestID) + 1;
    WFMFreeBuffer(result);
    ++received;
  }
  for (std::thread& poster : posters) poster.join();
  EXPECT_EQ(failedPosts.load(), 0);
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(nextOf[t], kPerThread) << "poster " << t;
  EXPECT_EQ(CorvidGetMessage(m_window, nullptr, nullptr, nullptr, 0), WFS_ERR_TIMEOUT)
      << "a message came twice";
}

}  // namespace
