// The thread base: its port, the dispatch of posted messages by number, the
// texts it drops, and a stop that waits for the handler under way and
// releases what was posted and not taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "CommonSocketServer.h"
#include "HandOverRegistry.h"
#include "PortBinder.h"
#include "WFPThread.h"
#include "corvid.h"
#include "ostrel.h"
#include "rig.h"
#include "test_support.h"

namespace {

using rig::Field;

using testsupport::TraceCapture;
using testsupport::WaitUntil;

// Records the handlers it runs; the execute completion waits at a gate
// while one is closed.
class Probe : public CWFPThread {
 public:
  ~Probe() override { StopThread(); }
  void SetInitThread(CDevice*) override {}

  void OnOpenComplete(_wfs_result* r) override { Record(5, r); }
  void OnGetInfoComplete(_wfs_result* r) override { Record(6, r); }
  void OnExecuteComplete(_wfs_result* r) override {
    {
      std::unique_lock<std::mutex> guard(m_lock);
      m_inHandler = true;
      m_changed.notify_all();
      m_changed.wait(guard, [this] { return m_gateOpen; });
    }
    Record(7, r);
  }
  void OnCloseComplete(_wfs_result* r) override { Record(8, r); }
  void OnUnlockComplete(_wfs_result* r) override { Record(13, r); }
  void OnDestoryExeThread(_wfs_result* r) override { Record(32, r); }
  void OnExecuteEvent(_wfs_result* r) override { Record(1044, r); }
  void OnServiceEvent(_wfs_result* r) override { Record(1045, r); }
  void OnUserEvent(_wfs_result* r) override { Record(1046, r); }
  void OnSystemEvent(_wfs_result* r) override { Record(1047, r); }
  // OnLockComplete keeps the base version.

  std::vector<int> seen() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_seen;
  }
  void closeGate() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_gateOpen = false;
  }
  void openGate() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_gateOpen = true;
    m_changed.notify_all();
  }
  bool waitInHandler() {
    std::unique_lock<std::mutex> guard(m_lock);
    return m_changed.wait_for(guard, std::chrono::milliseconds(rig::kHang),
                              [this] { return m_inHandler; });
  }

 private:
  void Record(int number, _wfs_result* r) {
    if (r != nullptr) WFMFreeBuffer(r);
    std::lock_guard<std::mutex> guard(m_lock);
    m_seen.push_back(number);
  }
  std::mutex m_lock;
  std::condition_variable m_changed;
  std::vector<int> m_seen;
  bool m_gateOpen = true;
  bool m_inHandler = false;
};

LPCONNECTMSG Message(int number) {
  if (number >= 1044) return rig::Decoded(rig::Event(number, 1, 204));
  if (number == 32 || number == 99) {
    // Numbers that no reply decodes to; built as the decoder would.
    LPCONNECTMSG msg = rig::Decoded(rig::Completion(7, 1, 5, 0));
    msg->dwMsgType = static_cast<DWORD>(number);
    return msg;
  }
  return rig::Decoded(rig::Completion(number, 1, 5, 0));
}

class WFPThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_blocks = CorvidLiveBlocks();
    ASSERT_EQ(m_probe->StartThread(), 1);
  }
  void TearDown() override {
    m_probe->openGate();
    m_probe.reset();
    EXPECT_EQ(CorvidLiveBlocks(), m_blocks) << "result memory left behind";
  }
  void Post(int number) { ASSERT_EQ(CHandOverRegistry::Post(m_probe->m_ThreadWnd, Message(number)), 1); }

  std::unique_ptr<Probe> m_probe{new Probe};
  long m_blocks = 0;
};

TEST_F(WFPThreadTest, ListensOnAPortOfTheThreadRange) {
  EXPECT_GE(m_probe->m_ThreadWnd, 13000);
  EXPECT_LE(m_probe->m_ThreadWnd, 32998);
}

TEST_F(WFPThreadTest, EachMessageReachesTheHandlerOfItsNumber) {
  const std::vector<int> numbers{5, 6, 7, 8, 13, 32, 1044, 1045, 1046, 1047};
  for (int number : numbers) Post(number);
  ASSERT_TRUE(WaitUntil([&] { return m_probe->seen().size() == numbers.size(); }, rig::kHang));
  // Separate connections may be queued in any order.
  std::vector<int> seen = m_probe->seen();
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, numbers);
}

TEST_F(WFPThreadTest, UnhandledAndUnknownMessagesAreReleased) {
  Post(11);  // the base handler owns the result and releases it
  Post(99);  // no handler at all
  Post(5);
  ASSERT_TRUE(WaitUntil([&] { return m_probe->seen().size() == 1; }, rig::kHang));
  EXPECT_EQ(m_probe->seen(), std::vector<int>{5});
  // All three were taken by the running loop, and nothing of them is left.
  EXPECT_TRUE(WaitUntil(
      [&] {
        return CHandOverRegistry::Pending(m_probe->m_ThreadWnd) == 0 &&
               CorvidLiveBlocks() == m_blocks;
      },
      rig::kHang));
}

TEST_F(WFPThreadTest, TextsFromStrangersAreDroppedAndTheLoopGoesOn) {
  TraceCapture trace;
  LPCONNECTMSG unposted = Message(5);
  char address[32];
  std::snprintf(address, sizeof address, "%ld", static_cast<long>(reinterpret_cast<intptr_t>(unposted)));
  const long port = m_probe->m_ThreadWnd;
  ASSERT_TRUE(rig::SendText(port, address));
  ASSERT_TRUE(rig::SendText(port, "0"));
  ASSERT_TRUE(rig::SendText(port, "140737488355327"));
  ASSERT_TRUE(rig::SendText(port, "not a number"));
  ASSERT_TRUE(WaitUntil([&] { return trace.count("MsgEventLoop msg is null", 3) == 4; }, rig::kHang));
  Post(6);
  ASSERT_TRUE(WaitUntil([&] { return m_probe->seen().size() == 1; }, rig::kHang));
  EXPECT_EQ(m_probe->seen(), std::vector<int>{6}) << "no stranger text reached a handler";
  EXPECT_EQ(Field(unposted->dwMsgType), 5u) << "the unposted message was not touched";
  Ostrel::FreeBuffer(unposted, 1);
}

TEST_F(WFPThreadTest, StopWaitsForTheHandlerAndReleasesWhatWasNotTaken) {
  m_probe->closeGate();
  Post(7);
  ASSERT_TRUE(m_probe->waitInHandler());
  Post(5);
  Post(1045);
  const long port = m_probe->m_ThreadWnd;
  EXPECT_EQ(CHandOverRegistry::Pending(port), 2);
  std::thread opener([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    m_probe->openGate();
  });
  m_probe->StopThread();
  opener.join();
  EXPECT_EQ(m_probe->seen(), std::vector<int>{7}) << "the stop came after the running handler";
  EXPECT_EQ(CHandOverRegistry::Pending(port), 0);
  // A post to the stopped thread is refused.
  LPCONNECTMSG late = Message(5);
  EXPECT_EQ(CHandOverRegistry::Post(port, late), 0);
  Ostrel::FreeBuffer(late, 1);
}

TEST(WFPThreadLifetime, StartAndStopLeaveNoThreadOrPortBehind) {
  const int threads = rig::ThreadCount();
  const int listening = rig::ListeningSockets();
  for (int round = 0; round < 20; ++round) {
    Probe probe;
    ASSERT_EQ(probe.StartThread(), 1);
    probe.StopThread();
  }
  EXPECT_TRUE(rig::ThreadsBackTo(threads));
  EXPECT_EQ(rig::ListeningSockets(), listening);
}

}  // namespace

namespace {

TEST(PortBinding, GivesUpAfterTwentyAttemptsWhenTheRangeIsTaken) {
  CommonSocketServer holder;
  ASSERT_EQ(holder.InitSocketServer(0), 1);
  const int taken = holder.GetListenPort();
  CommonSocketServer server;
  TraceCapture trace;
  EXPECT_EQ(BindRandomPort(server, PortRange{taken, 1}), 0);
  EXPECT_EQ(trace.count("CommonSocketServer::InitSocketServer port=[" + std::to_string(taken) + "]"),
            kBindAttempts);
  holder.CloseServer();
  EXPECT_EQ(BindRandomPort(server, PortRange{taken, 1}), taken) << "a freed port is bound again";
}

}  // namespace
