// Guarded call frames: faults, raises and C++ exceptions inside a frame become
// failure returns on the faulting thread; every other signal, inside a frame
// or outside, keeps the disposition the process had before.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "exception.h"
#include "test_support.h"

namespace {

std::atomic<int> g_usr1Calls{0};
std::atomic<int> g_usr2Signo{0};

void countUsr1(int) { g_usr1Calls.fetch_add(1); }
void recordUsr2(int, siginfo_t* info, void*) { g_usr2Signo.store(info->si_signo); }

// The dispositions the process has before its first guarded call; set before
// main, so that they are the ones the frames find (in death-test children too).
struct PreviousDispositions {
  PreviousDispositions() {
    struct sigaction usr1 = {};
    usr1.sa_handler = countUsr1;
    sigemptyset(&usr1.sa_mask);
    sigaction(SIGUSR1, &usr1, nullptr);
    struct sigaction usr2 = {};
    usr2.sa_sigaction = recordUsr2;
    usr2.sa_flags = SA_SIGINFO;
    sigemptyset(&usr2.sa_mask);
    sigaction(SIGUSR2, &usr2, nullptr);
    signal(SIGHUP, SIG_IGN);
    // Whatever the test runner passed down, these keep their default.
    signal(SIGPIPE, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
  }
} g_previousDispositions;

const char* const kSiteText = "GuardTest::Operation catch an exception!";

guard::Site site() { return GUARD_SITE("guard_test", "Ostrel", kSiteText); }

// A page that faults on every access: a real SIGSEGV, without undefined
// behaviour that the sanitizers would report first.
volatile char* faultingPage() {
  static void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return static_cast<volatile char*>(page);
}

int faultingBody() {
  faultingPage()[0] = 1;
  return 7;
}

void installFrames() {
  guard::call(site(), 0, [] { return 1; });
}

bool signalBlocked(int signal) {
  sigset_t mask;
  pthread_sigmask(SIG_BLOCK, nullptr, &mask);
  return sigismember(&mask, signal) == 1;
}

// Collects what is written to standard output while it lives.
class StdoutCapture {
 public:
  StdoutCapture() {
    std::fflush(stdout);
    if (pipe(m_pipe) != 0) throw std::runtime_error("pipe failed");
    m_saved = dup(STDOUT_FILENO);
    dup2(m_pipe[1], STDOUT_FILENO);
  }
  ~StdoutCapture() { restore(); }
  std::string text() {
    restore();
    std::string out;
    char chunk[256];
    ssize_t n;
    while ((n = read(m_pipe[0], chunk, sizeof chunk)) > 0) out.append(chunk, static_cast<size_t>(n));
    return out;
  }

 private:
  void restore() {
    if (m_saved < 0) return;
    dup2(m_saved, STDOUT_FILENO);
    close(m_saved);
    close(m_pipe[1]);
    m_saved = -1;
  }
  int m_pipe[2] = {-1, -1};
  int m_saved = -1;
};

TEST(GuardedCall, ReturnsTheBodyValueAndLeavesTheStackAsFound) {
  int result = guard::call(site(), -1, [] {
    EXPECT_NE(Exception_stack, nullptr);
    Exception_Frame* outer = Exception_stack;
    int inner = guard::call(site(), -1, [] { return 2; });
    EXPECT_EQ(Exception_stack, outer);
    return inner + 1;
  });
  EXPECT_EQ(result, 3);
  EXPECT_EQ(Exception_stack, nullptr);
}

TEST(GuardedCall, FaultLogsTheSiteTextPrintsTheSignalAndFails) {
  testsupport::TraceCapture trace;
  StdoutCapture out;
  int result = guard::call(site(), -1, faultingBody);
  EXPECT_EQ(out.text(), " Segmentation violation (ANSI).  \r\n");
  EXPECT_EQ(result, -1);
  EXPECT_EQ(Exception_stack, nullptr);
  ASSERT_EQ(trace.count(kSiteText, 4), 1);
  EXPECT_EQ(trace.lines()[0].module, "Ostrel");
  EXPECT_NE(trace.lines()[0].text.find("guard_test("), std::string::npos);
}

TEST(GuardedCall, SecondFaultOnTheSameThreadIsCaughtToo) {
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(guard::call(site(), -1, faultingBody), -1);
    // The jump restored the mask of the frame's entry.
    EXPECT_FALSE(signalBlocked(SIGSEGV));
  }
}

TEST(GuardedCall, NestedFaultReturnsToTheInnermostFrameOnly) {
  int result = guard::call(site(), -1, [] {
    int inner = guard::call(site(), -2, faultingBody);
    return inner == -2 ? 5 : 0;
  });
  EXPECT_EQ(result, 5);
  EXPECT_EQ(Exception_stack, nullptr);
}

TEST(GuardedCall, FaultsOnTwoThreadsAtOnceReturnOnTheirOwnThread) {
  constexpr int kThreads = 2;
  constexpr int kFaultsPerThread = 200;
  std::atomic<int> ready{0};
  std::atomic<int> caught{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      ready.fetch_add(1);
      while (ready.load() < kThreads) {
      }
      for (int i = 0; i < kFaultsPerThread; ++i) {
        // Each frame returns its own failure value: a jump into the other
        // thread's frame would show up as the other value or a crash.
        int mine = -(t + 1);
        int result = guard::call(site(), mine, [] {
          std::this_thread::yield();
          return faultingBody();
        });
        if (result == mine && Exception_stack == nullptr) caught.fetch_add(1);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(caught.load(), kThreads * kFaultsPerThread);
}

TEST(GuardedCall, BrokenPipeInsideAFrame) {
  int pair[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  close(pair[1]);
  StdoutCapture out;
  int result = guard::call(site(), 0, [&] {
    // A plain write: the transport's own sends never raise SIGPIPE.
    return write(pair[0], "x", 1) == 1 ? 1 : 2;
  });
  EXPECT_EQ(out.text(), " Broken pipe (POSIX).  \r\n");
  close(pair[0]);
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(signalBlocked(SIGPIPE));
}

TEST(GuardedCall, CppExceptionGivesTheFailureValueAndLeavesTheStackAsItWas) {
  testsupport::TraceCapture trace;
  int result = guard::call(site(), -1, [] {
    Exception_Frame* outer = Exception_stack;
    int thrown = guard::call(site(), -2, []() -> int { throw std::runtime_error("wrong type"); });
    EXPECT_EQ(Exception_stack, outer);
    int other = guard::call(site(), -3, []() -> int { throw 42; });
    EXPECT_EQ(Exception_stack, outer);
    return thrown == -2 && other == -3 ? 9 : 0;
  });
  EXPECT_EQ(result, 9);
  EXPECT_EQ(Exception_stack, nullptr);
  EXPECT_EQ(trace.count(kSiteText, 4), 3);
  EXPECT_TRUE(trace.contains("wrong type", 4));
}

TEST(GuardedCall, ExplicitRaiseGivesTheFailureValue) {
  testsupport::TraceCapture trace;
  static const Exception_t kFormatError = {"Format error"};
  int result = guard::call(site(), -1, []() -> int {
    exception_raise(&kFormatError, __FILE__, __LINE__);
  });
  EXPECT_EQ(result, -1);
  EXPECT_EQ(Exception_stack, nullptr);
  EXPECT_EQ(trace.count(kSiteText, 4), 1);
}

TEST(GuardedCall, AbortRaisedOnTheFramesThreadIsCaught) {
  testsupport::TraceCapture trace;
  StdoutCapture out;
  int result = guard::call(site(), -1, [] {
    raise(SIGABRT);
    return 1;
  });
  EXPECT_EQ(out.text(), " Abort (ANSI).  \r\n");
  EXPECT_EQ(result, -1);
  EXPECT_EQ(trace.count(kSiteText, 4), 1);
}

TEST(GuardedCall, SignalOutsideAnyFrameReachesThePreviousHandler) {
  installFrames();
  int before = g_usr1Calls.load();
  raise(SIGUSR1);
  EXPECT_EQ(g_usr1Calls.load(), before + 1);
  raise(SIGUSR2);
  EXPECT_EQ(g_usr2Signo.load(), SIGUSR2);
}

TEST(GuardedCall, SignalsTheHostHandlesReachItsHandlerInsideAFrameAndTheBodyGoesOn) {
  installFrames();
  testsupport::TraceCapture trace;
  int before = g_usr1Calls.load();
  g_usr2Signo.store(0);
  int result = guard::call(site(), -1, [] {
    raise(SIGUSR1);
    raise(SIGUSR2);
    return 1;
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(g_usr1Calls.load(), before + 1);
  EXPECT_EQ(g_usr2Signo.load(), SIGUSR2);
  EXPECT_EQ(trace.count(kSiteText), 0);
}

TEST(GuardedCall, NoHandlerIsInstalledForSignalsThatAreNeverCaught) {
  installFrames();
  for (int signal : {SIGCHLD, SIGWINCH, SIGALRM, SIGTERM, SIGINT, SIGQUIT}) {
    struct sigaction current;
    ASSERT_EQ(sigaction(signal, nullptr, &current), 0);
    EXPECT_EQ(current.sa_handler, SIG_DFL) << "signal " << signal;
  }
  struct sigaction usr1;
  ASSERT_EQ(sigaction(SIGUSR1, nullptr, &usr1), 0);
  EXPECT_EQ(usr1.sa_handler, countUsr1) << "the host's own handler stays in place";
  // Signals ignored by default do nothing, outside a frame or inside.
  raise(SIGCHLD);
  raise(SIGWINCH);
  int result = guard::call(site(), -1, [] {
    raise(SIGCHLD);
    raise(SIGWINCH);
    return 4;
  });
  EXPECT_EQ(result, 4);
}

TEST(GuardedCall, SignalTheProcessIgnoresStaysIgnored) {
  installFrames();
  struct sigaction current;
  ASSERT_EQ(sigaction(SIGHUP, nullptr, &current), 0);
  EXPECT_EQ(current.sa_handler, SIG_IGN);
  int result = guard::call(site(), -1, [] {
    raise(SIGHUP);
    return 3;
  });
  EXPECT_EQ(result, 3);
}

TEST(GuardedCall, SignalTexts) {
  EXPECT_STREQ(exception_signal_text(10), " User-defined signal 1 (POSIX).  \r");
  EXPECT_STREQ(exception_signal_text(11), " Segmentation violation (ANSI).  \r");
  EXPECT_STREQ(exception_signal_text(31), " Bad system call.  \r");
  EXPECT_EQ(exception_signal_text(0), nullptr);
  EXPECT_EQ(exception_signal_text(32), nullptr);
}

using GuardedCallDeathTest = ::testing::Test;

TEST_F(GuardedCallDeathTest, DefaultDispositionOutsideFramesStillEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        installFrames();
        raise(SIGTERM);
      },
      ::testing::KilledBySignal(SIGTERM), "");
}

TEST_F(GuardedCallDeathTest, SignalsOtherThanOwnFaultsKeepTheirDefaultInsideAFrame) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // An interrupt, and a fault signal sent by kill rather than raised by a
  // fault of the thread's own: neither is turned into a failure return.
  EXPECT_EXIT(guard::call(site(), 0, [] { return raise(SIGINT); }),
              ::testing::KilledBySignal(SIGINT), "");
  // (Under the sanitizers their own fault handler ends the process instead.)
  EXPECT_DEATH(guard::call(site(), 0, [] { return kill(getpid(), SIGSEGV); }), "");
  EXPECT_DEATH(guard::call(site(), 0, [] { return kill(getpid(), SIGABRT); }), "");
}

TEST_F(GuardedCallDeathTest, FaultSignalSentByAnotherThreadIsNotCaught) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        pthread_t frameThread = pthread_self();
        guard::call(site(), 0, [&] {
          std::thread([frameThread] { pthread_kill(frameThread, SIGBUS); }).join();
          return 0;
        });
      },
      "");
}

TEST_F(GuardedCallDeathTest, FaultOutsideFramesStillEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        installFrames();
        faultingBody();
      },
      "");
}

TEST_F(GuardedCallDeathTest, RaiseWithoutAFrameAborts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  static const Exception_t kNamed = {"Format error"};
  static const Exception_t kUnnamed = {nullptr};
  EXPECT_DEATH(exception_raise(&kNamed, "codec.cpp", 12),
               " Format errorraised at codec\\.cpp:12\naborting\\.\\.\\.");
  EXPECT_DEATH(exception_raise(&kUnnamed, nullptr, 0), "^at 0x.+aborting\\.\\.\\.");
  EXPECT_DEATH(exception_raise(nullptr, "codec.cpp", 12), "Assertion `e' failed");
}

}  // namespace
