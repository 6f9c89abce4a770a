// Every request completes, and the service provider survives its host: a
// device service that is not there or goes away, a service that stops under
// pending and racing requests, signals of the host, idle local peers, and
// bursts of events.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "corvid.h"
#include "e2e_harness.h"
#include "process_threads.h"
#include "xfsidc.h"
#include "xfsspi.h"

namespace e2e {
namespace {

// The host application's own handlers for SIGUSR2 and SIGALRM, in place
// before the service provider is first used, as a host installs them at its
// start. Without SA_RESTART: every blocking call they meet is interrupted.
std::atomic<int> g_hostHandlerRuns[32];  // by signal number

struct HostHandlers {
  HostHandlers() {
    struct sigaction host = {};
    host.sa_handler = [](int signal) { g_hostHandlerRuns[signal].fetch_add(1); };
    sigemptyset(&host.sa_mask);
    sigaction(SIGUSR2, &host, nullptr);
    sigaction(SIGALRM, &host, nullptr);
  }
} g_hostHandlers;

// What must come within a second.
constexpr int kPromptlyMs = 1000;
constexpr int kExecuteKind = 4;  // nCmdType of an execute request

class ReliabilityTest : public PipelineTest {
 protected:
  // The service was ended by the test itself (its close completion came).
  void Closed(HSERVICE hService) {
    m_opened.erase(std::remove(m_opened.begin(), m_opened.end(), hService), m_opened.end());
  }

  // Takes the completions of the card reads `ids`, in whatever order they
  // come, and checks that each brings its data.
  void ExpectCardsRead(std::vector<REQUESTID>& ids) {
    while (!ids.empty()) {
      auto done = Next(App());
      ASSERT_TRUE(done) << ids.size() << " execute(s) got no completion";
      ASSERT_EQ(done->message, static_cast<UINT>(WFS_EXECUTE_COMPLETE));
      auto it = std::find(ids.begin(), ids.end(), HeaderOf(*done).RequestID);
      ASSERT_NE(it, ids.end()) << "a completion of no request: " << HeaderOf(*done).RequestID;
      ids.erase(it);
      EXPECT_EQ(HeaderOf(*done).hResult, WFS_SUCCESS);
      EXPECT_NE(HeaderOf(*done).lpBuffer, nullptr) << "an execute lost its data";
    }
  }

  // 1,000 card reads, a few at a time, while `signals` go to the process
  // every fraction of a millisecond.
  void ReadCardsUnderSignals(const std::vector<int>& signals) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    std::atomic<bool> done{false};
    std::thread sender([&] {
      for (size_t n = 0; !done.load(); ++n) {
        ::kill(::getpid(), signals[n % signals.size()]);
        ::usleep(200);
      }
    });
    constexpr int kExecutes = 1000;
    constexpr int kInFlight = 8;
    WORD tracks = WFS_IDC_TRACK2;
    std::vector<REQUESTID> inFlight;
    for (int n = 0; n < kExecutes; ++n) {
      REQUESTID id = NextId();
      HRESULT sent = WFPExecute(1, WFS_CMD_IDC_READ_RAW_DATA, &tracks, 0, App().Handle(), id);
      EXPECT_EQ(sent, WFS_SUCCESS) << "execute " << n;
      if (sent == WFS_SUCCESS) inFlight.push_back(id);
      if (inFlight.size() == kInFlight) ExpectCardsRead(inFlight);
      if (HasFailure()) break;
    }
    ExpectCardsRead(inFlight);
    done.store(true);
    sender.join();
    EXPECT_FALSE(Trace().contains("catch an exception"));
  }
};

TEST_F(ReliabilityTest, WithoutItsDeviceServiceEveryRequestCompletesWithTheError) {
  HWND app = App().Handle();
  Sim().SetListening(false);
  REQUESTID id = NextId();
  char name[] = "CardReader";
  ASSERT_EQ(WFPOpen(1, name, nullptr, nullptr, 0, 0, app, id, nullptr, 0, nullptr, 0, nullptr),
            WFS_SUCCESS);
  auto open = Await(WFS_OPEN_COMPLETE, id, kPromptlyMs);
  ASSERT_TRUE(open);
  EXPECT_EQ(HeaderOf(*open).hResult, WFS_ERR_CONNECTION_LOST);
  // The open that failed left no service behind.
  EXPECT_EQ(WFPUnloadService(), WFS_SUCCESS);

  Sim().SetListening(true);
  ASSERT_NO_FATAL_FAILURE(Open(1));
  Sim().SetListening(false);
  id = NextId();
  ASSERT_EQ(WFPGetInfo(1, WFS_INF_IDC_STATUS, nullptr, 0, app, id), WFS_SUCCESS);
  auto info = Await(WFS_GETINFO_COMPLETE, id, kPromptlyMs);
  ASSERT_TRUE(info);
  EXPECT_EQ(HeaderOf(*info).hResult, WFS_ERR_CONNECTION_LOST);
  EXPECT_EQ(HeaderOf(*info).dwCommandCode, static_cast<DWORD>(WFS_INF_IDC_STATUS));
  id = NextId();
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_EJECT_CARD, nullptr, 0, app, id), WFS_SUCCESS);
  auto execute = Await(WFS_EXECUTE_COMPLETE, id, kPromptlyMs);
  ASSERT_TRUE(execute);
  EXPECT_EQ(HeaderOf(*execute).hResult, WFS_ERR_HARDWARE_ERROR);  // an execute's -54 is -14
  EXPECT_EQ(HeaderOf(*execute).dwCommandCode, static_cast<DWORD>(WFS_CMD_IDC_EJECT_CARD));
  id = NextId();
  ASSERT_EQ(WFPLock(1, 0, app, id), WFS_SUCCESS);
  auto lock = Await(WFS_LOCK_COMPLETE, id, kPromptlyMs);
  ASSERT_TRUE(lock);
  EXPECT_EQ(HeaderOf(*lock).hResult, WFS_ERR_CONNECTION_LOST);

  // The close ends the service all the same.
  id = NextId();
  ASSERT_EQ(WFPClose(1, app, id), WFS_SUCCESS);
  auto close = Await(WFS_CLOSE_COMPLETE, id, kPromptlyMs);
  ASSERT_TRUE(close);
  EXPECT_EQ(HeaderOf(*close).hResult, WFS_ERR_CONNECTION_LOST);
  Closed(1);
  EXPECT_EQ(WFPUnloadService(), WFS_SUCCESS);
  Sim().SetListening(true);
  EXPECT_TRUE(Others().empty());
}

TEST_F(ReliabilityTest, ATimeOutNoticeThatCannotBeDeliveredEndsTheExecute) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  Sim().SetAnswering(false);
  REQUESTID id = NextId();
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_RETAIN_CARD, nullptr, 500, App().Handle(), id), WFS_SUCCESS);
  ASSERT_TRUE(WaitForRequestsOfKind(kExecuteKind, 1));
  Sim().SetListening(false);  // the device service goes away before the time-out
  auto done = Await(WFS_EXECUTE_COMPLETE, id);
  ASSERT_TRUE(done);
  EXPECT_EQ(HeaderOf(*done).hResult, WFS_ERR_TIMEOUT);
  EXPECT_EQ(HeaderOf(*done).dwCommandCode, static_cast<DWORD>(WFS_CMD_IDC_RETAIN_CARD));
  // A late answer of the device service completes nothing a second time.
  Sim().SetListening(true);
  Sim().SetAnswering(true);
  EXPECT_FALSE(Await(WFS_EXECUTE_COMPLETE, id, kQuietMs));
}

TEST_F(ReliabilityTest, AnExecutePendingAtCloseIsCancelledBeforeTheCloseCompletes) {
  // One cycle first, so that whatever is made once per process exists.
  ASSERT_NO_FATAL_FAILURE(Open(1));
  ASSERT_NO_FATAL_FAILURE(Close(1));
  const int threads = xfsmgr::CountThreads();
  const int listening = CountListeningSockets();
  const long blocks = CorvidLiveBlocks();

  std::string error;
  ASSERT_TRUE(Sim().LoadScenarioText(
      R"({"rules":[{"kind":"execute","code":203,"never":true}]})", &error))
      << error;
  ASSERT_NO_FATAL_FAILURE(Open(1));
  REQUESTID pending = NextId();
  WORD position = 1;
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_EJECT_CARD, &position, 0, App().Handle(), pending),
            WFS_SUCCESS);
  ASSERT_TRUE(WaitForRequestsOfKind(kExecuteKind, 1));
  REQUESTID closing = NextId();
  ASSERT_EQ(WFPClose(1, App().Handle(), closing), WFS_SUCCESS);
  auto first = Next(App());
  ASSERT_TRUE(first);
  EXPECT_EQ(first->message, static_cast<UINT>(WFS_EXECUTE_COMPLETE));
  EXPECT_EQ(HeaderOf(*first).RequestID, pending);
  EXPECT_EQ(HeaderOf(*first).hResult, WFS_ERR_CANCELED);
  auto second = Next(App());
  ASSERT_TRUE(second);
  EXPECT_EQ(second->message, static_cast<UINT>(WFS_CLOSE_COMPLETE));
  EXPECT_EQ(HeaderOf(*second).RequestID, closing);
  Closed(1);
  // Closed means closed: unloading is allowed at once.
  EXPECT_EQ(WFPUnloadService(), WFS_SUCCESS);
  first.reset();
  second.reset();
  EXPECT_TRUE(xfsmgr::WaitForThreadCount(threads, kWaitMs))
      << xfsmgr::CountThreads() - threads << " thread(s) left behind";
  EXPECT_TRUE(testsupport::WaitUntil([&] { return CountListeningSockets() <= listening; }, kWaitMs))
      << CountListeningSockets() - listening << " listening port(s) left behind";
  EXPECT_TRUE(testsupport::WaitUntil([&] { return CorvidLiveBlocks() == blocks; }, kWaitMs))
      << CorvidLiveBlocks() - blocks << " Corvid block(s) left behind";
}

TEST_F(ReliabilityTest, TheHandleOpensAgainRightAfterItsCloseCompletion) {
  for (int cycle = 0; cycle < 20; ++cycle) {
    ASSERT_NO_FATAL_FAILURE(Open(7)) << "cycle " << cycle;
    REQUESTID id = NextId();
    ASSERT_EQ(WFPClose(7, App().Handle(), id), WFS_SUCCESS);
    ASSERT_TRUE(Await(WFS_CLOSE_COMPLETE, id));
    Closed(7);
  }
  EXPECT_EQ(WFPUnloadService(), WFS_SUCCESS);
}

// Callers on four threads use the service while it opens and closes again
// and again under them: every call returns at once with 0 or an XFS error,
// and every request that returned 0 gets exactly one completion.
TEST_F(ReliabilityTest, RequestsRacingOpenAndCloseEachCompleteOnce) {
  constexpr HSERVICE kService = 3;
  constexpr int kCycles = 50;
  std::atomic<REQUESTID> nextId{100000};
  std::atomic<bool> done{false};
  std::mutex lock;
  std::map<REQUESTID, HRESULT> accepted;  // under lock
  std::atomic<int> refused{0};
  std::vector<std::thread> callers;
  for (int t = 0; t < 4; ++t) {
    callers.emplace_back([&, t] {
      WORD tracks = WFS_IDC_TRACK2;
      while (!done.load()) {
        REQUESTID id = nextId.fetch_add(1);
        HRESULT result = t % 2 == 0 ? WFPExecute(kService, WFS_CMD_IDC_READ_RAW_DATA, &tracks, 0,
                                                 App().Handle(), id)
                                    : WFPGetInfo(kService, WFS_INF_IDC_STATUS, nullptr, 0,
                                                 App().Handle(), id);
        if (result == WFS_SUCCESS) {
          std::lock_guard<std::mutex> guard(lock);
          accepted[id] = result;
        } else {
          refused.fetch_add(1);
          EXPECT_LT(result, 0) << "request " << id;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
  }
  for (int cycle = 0; cycle < kCycles && !HasFatalFailure(); ++cycle) {
    ASSERT_NO_FATAL_FAILURE(Open(kService)) << "cycle " << cycle;
    ASSERT_NO_FATAL_FAILURE(Close(kService, false)) << "cycle " << cycle;
  }
  done.store(true);
  for (std::thread& caller : callers) caller.join();

  // Every accepted request completes exactly once; nothing else comes.
  std::map<REQUESTID, int> completions;
  auto count = [&](const TakenMessage& taken) {
    if (taken.message == WFS_EXECUTE_COMPLETE || taken.message == WFS_GETINFO_COMPLETE)
      ++completions[HeaderOf(taken).RequestID];
  };
  for (const TakenMessage& other : Others()) count(other);
  Others().clear();
  size_t expected = accepted.size();
  auto allComplete = [&] {
    size_t complete = 0;
    for (const auto& entry : accepted) complete += completions.count(entry.first);
    return complete == expected;
  };
  while (!allComplete()) {
    auto taken = Next(App());
    if (!taken) break;
    count(*taken);
  }
  while (auto late = Next(App(), kQuietMs)) count(*late);
  for (const auto& entry : accepted) {
    EXPECT_EQ(completions[entry.first], 1) << "request " << entry.first;
  }
  for (const auto& entry : completions) {
    EXPECT_EQ(accepted.count(entry.first), 1u) << "a completion for refused request " << entry.first;
  }
  EXPECT_GT(accepted.size(), 0u);
  EXPECT_TRUE(testsupport::WaitUntil([] { return WFPUnloadService() == WFS_SUCCESS; }, kWaitMs));
}

TEST_F(ReliabilityTest, SignalsTheHostIgnoresOrHandlesDoNotDisturbTheRequests) {
  ReadCardsUnderSignals({SIGCHLD, SIGWINCH, SIGUSR2});
}

TEST_F(ReliabilityTest, TheHostsOwnHandlersRunAndEveryRequestCompletes) {
  const int usr2 = g_hostHandlerRuns[SIGUSR2].load();
  const int alarm = g_hostHandlerRuns[SIGALRM].load();
  ReadCardsUnderSignals({SIGUSR2, SIGALRM});
  EXPECT_GT(g_hostHandlerRuns[SIGUSR2].load(), usr2);
  EXPECT_GT(g_hostHandlerRuns[SIGALRM].load(), alarm);
}

TEST_F(ReliabilityTest, ACompletionGetsThroughWhileHundredsOfIdleConnectionsAreOpen) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  const int window = ReplyPort(1);
  ASSERT_NE(window, 0);
  std::vector<int> idle;
  for (int i = 0; i < 300; ++i) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(window));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    idle.push_back(fd);
  }
  REQUESTID id = NextId();
  WORD tracks = WFS_IDC_TRACK2;
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_READ_RAW_DATA, &tracks, 0, App().Handle(), id), WFS_SUCCESS);
  auto done = Await(WFS_EXECUTE_COMPLETE, id, kPromptlyMs);
  for (int fd : idle) ::close(fd);
  ASSERT_TRUE(done) << "the completion waited for the idle connections";
  EXPECT_EQ(HeaderOf(*done).hResult, WFS_SUCCESS);
}

TEST_F(ReliabilityTest, ABurstOfEventsArrivesWholeAndInOrder) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  REQUESTID id = NextId();
  ASSERT_EQ(WFPRegister(1, SERVICE_EVENTS, App().Handle(), App().Handle(), id), WFS_SUCCESS);
  ASSERT_TRUE(Await(WFS_REGISTER_COMPLETE, id));
  constexpr long kEvents = 5000;
  std::thread sender([&] {
    for (long n = 1; n <= kEvents; ++n) {
      SendEvent(kCardReader, WFS_SERVICE_EVENT, WFS_SRVE_IDC_MEDIAREMOVED, Json::Value(), n);
    }
  });
  std::vector<REQUESTID> received;
  while (received.size() < static_cast<size_t>(kEvents)) {
    auto event = Next(App());
    if (!event) break;
    ASSERT_EQ(event->message, static_cast<UINT>(WFS_SERVICE_EVENT));
    received.push_back(HeaderOf(*event).RequestID);
  }
  sender.join();
  ASSERT_EQ(received.size(), static_cast<size_t>(kEvents));
  long outOfOrder = 0;
  for (long n = 0; n < kEvents; ++n) {
    if (received[static_cast<size_t>(n)] != static_cast<REQUESTID>(n + 1)) ++outOfOrder;
  }
  EXPECT_EQ(outOfOrder, 0);
}

}  // namespace
}  // namespace e2e
