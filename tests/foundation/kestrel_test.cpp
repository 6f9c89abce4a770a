// The trace library: whole lines, level filtering, failures that never
// reach the caller, and the capture hook.
#include <gtest/gtest.h>

#include <errno.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "kestrel.h"
#include "test_support.h"

namespace {

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    const char* old = std::getenv(name);
    m_had = old != nullptr;
    if (m_had) m_old = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (m_had) {
      setenv(m_name.c_str(), m_old.c_str(), 1);
    } else {
      unsetenv(m_name.c_str());
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string m_name;
  bool m_had = false;
  std::string m_old;
};

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct Parsed {
  int level;
  std::string module;
  std::string text;
};

// "2024-05-01 13:45:12.345 [4711] L2 MODULE: text"
bool Parse(const std::string& line, Parsed* parsed) {
  int date[3], time[3], millis = 0, level = 0, textAt = 0;
  long tid = 0;
  char module[64] = {0};
  int fields = std::sscanf(line.c_str(), "%4d-%2d-%2d %2d:%2d:%2d.%3d [%ld] L%d %63[A-Za-z]: %n",
                           &date[0], &date[1], &date[2], &time[0], &time[1], &time[2], &millis,
                           &tid, &level, module, &textAt);
  if (fields != 10 || textAt == 0 || line.compare(19, 1, ".") != 0 ||
      line.compare(23, 2, " [") != 0) {
    return false;
  }
  *parsed = Parsed{level, module, line.substr(static_cast<size_t>(textAt))};
  return true;
}

class Kestrel : public ::testing::Test {
 protected:
  testsupport::TempDir m_dir;
  std::string m_file = m_dir.file("trace.log");
  ScopedEnv m_traceFile{"KESTREL_TRACE_FILE", m_file};
  ScopedEnv m_traceLevel{"KESTREL_TRACE_LEVEL", "1"};
};

TEST_F(Kestrel, WritesOneFormattedLinePerCall) {
  tracelog(2, "WFPX", "open %s on port %d", "IDC30", 40001);
  std::string longText(5000, 'k');
  tracelog(1, "Ostrel", "%s", longText.c_str());
  traceEnter("WFPX", "CDevice", "ImmediateOpen", 2);
  traceLeave("WFPX", "CDevice", "ImmediateOpen", 2);
  tracelogException("ostrel", 120, "Ostrel", "Ostrel::FormatResData catch an exception!");

  std::vector<std::string> lines = ReadLines(m_file);
  ASSERT_EQ(lines.size(), 5u);
  std::vector<Parsed> parsed(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    ASSERT_TRUE(Parse(lines[i], &parsed[i])) << lines[i];
  }
  EXPECT_EQ(parsed[0].level, 2);
  EXPECT_EQ(parsed[0].module, "WFPX");
  EXPECT_EQ(parsed[0].text, "open IDC30 on port 40001");
  EXPECT_EQ(parsed[1].text, longText);
  EXPECT_EQ(parsed[2].text, "[CDevice::ImmediateOpen] =====>");
  EXPECT_EQ(parsed[3].text, "[CDevice::ImmediateOpen] <=====");
  EXPECT_EQ(parsed[4].level, 4);
  EXPECT_EQ(parsed[4].text, "ostrel(120): Ostrel::FormatResData catch an exception!");
}

TEST_F(Kestrel, LevelsBelowTheThresholdAreNotWritten) {
  ScopedEnv level("KESTREL_TRACE_LEVEL", "3");
  for (int l = 1; l <= 4; ++l) tracelog(l, "WFPX", "level %d", l);

  std::vector<std::string> lines = ReadLines(m_file);
  ASSERT_EQ(lines.size(), 2u);
  Parsed first, second;
  ASSERT_TRUE(Parse(lines[0], &first));
  ASSERT_TRUE(Parse(lines[1], &second));
  EXPECT_EQ(first.text, "level 3");
  EXPECT_EQ(second.text, "level 4");
}

// Long lines from several threads and processes sharing one file: every
// line arrives whole and once.
TEST_F(Kestrel, ConcurrentWritersGiveWholeLines) {
  constexpr int kThreads = 6;
  constexpr int kProcesses = 2;
  constexpr int kLines = 300;
  const std::string payload(9000, 'p');  // longer than any stdio buffer

  auto writeAll = [&](int writer) {
    for (int n = 0; n < kLines; ++n) tracelog(2, "WFPX", "w%d n%d %s", writer, n, payload.c_str());
  };

  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      writeAll(kThreads + p);
      _exit(0);
    }
    children.push_back(child);
  }
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) threads.emplace_back(writeAll, t);
  for (std::thread& thread : threads) thread.join();
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  std::vector<std::string> lines = ReadLines(m_file);
  EXPECT_EQ(lines.size(), static_cast<size_t>((kThreads + kProcesses) * kLines));
  std::map<int, std::vector<int>> seen;
  for (const std::string& line : lines) {
    Parsed parsed;
    int writer = -1, n = -1, used = 0;
    ASSERT_TRUE(Parse(line, &parsed)) << line.substr(0, 120);
    ASSERT_EQ(std::sscanf(parsed.text.c_str(), "w%d n%d %n", &writer, &n, &used), 2)
        << line.substr(0, 120);
    ASSERT_EQ(parsed.text.substr(static_cast<size_t>(used)), payload) << line.substr(0, 120);
    seen[writer].push_back(n);
  }
  ASSERT_EQ(seen.size(), static_cast<size_t>(kThreads + kProcesses));
  for (const auto& [writer, numbers] : seen) {
    ASSERT_EQ(numbers.size(), static_cast<size_t>(kLines)) << "writer " << writer;
    for (int n = 0; n < kLines; ++n) EXPECT_EQ(numbers[n], n) << "writer " << writer;
  }
}

TEST_F(Kestrel, AnUnwritableFileNeverFailsTheCaller) {
  const std::string missingDir = m_dir.file("missing/trace.log");
  const std::string directory = m_dir.path();
  const std::string unreadFifo = m_dir.file("fifo");  // opening it for writing would block
  ASSERT_EQ(mkfifo(unreadFifo.c_str(), 0600), 0);
  for (const std::string& target : {missingDir, directory, unreadFifo}) {
    ScopedEnv file("KESTREL_TRACE_FILE", target);
    testsupport::TraceCapture capture;
    auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < 2000; ++n) {
      errno = EINPROGRESS;
      tracelog(4, "WFPX", "line %d", n);
      EXPECT_EQ(errno, EINPROGRESS) << "the caller's errno changed";
    }
    // A loose bound: the calls only must not hang on the missing file.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(capture.count("line ", 4), 2000);  // the hook still sees every line
  }

  // Once the trace names a writable file, lines arrive there.
  tracelog(2, "WFPX", "written again");
  std::vector<std::string> lines = ReadLines(m_file);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("written again"), std::string::npos);
}

TEST_F(Kestrel, AFileThatAppearsLaterIsUsed) {
  const std::string later = m_dir.file("later/trace.log");
  ScopedEnv file("KESTREL_TRACE_FILE", later);
  tracelog(2, "WFPX", "lost");
  ASSERT_EQ(mkdir(m_dir.file("later").c_str(), 0755), 0);
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] {
        tracelog(2, "WFPX", "kept");
        return !ReadLines(later).empty();
      },
      20000));
  for (const std::string& line : ReadLines(later)) {
    EXPECT_NE(line.find("kept"), std::string::npos) << line;
  }
}

TEST_F(Kestrel, AClosedStandardErrorPipeDoesNotKillTheCaller) {
  unsetenv("KESTREL_TRACE_FILE");
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  close(pipeEnds[0]);
  int savedStderr = dup(STDERR_FILENO);
  ASSERT_GE(savedStderr, 0);
  dup2(pipeEnds[1], STDERR_FILENO);
  close(pipeEnds[1]);
  // The default action, whatever the environment that started the test.
  void (*savedAction)(int) = signal(SIGPIPE, SIG_DFL);

  for (int n = 0; n < 10; ++n) {
    errno = 4321;
    tracelog(2, "WFPX", "into a closed pipe %d", n);
    EXPECT_EQ(errno, 4321) << "the caller's errno changed";
  }
  // The broken pipe of each write was taken away again, and the signal is
  // as deliverable as it was before.
  sigset_t pending, blocked;
  sigpending(&pending);
  pthread_sigmask(SIG_BLOCK, nullptr, &blocked);
  EXPECT_FALSE(sigismember(&pending, SIGPIPE));
  EXPECT_FALSE(sigismember(&blocked, SIGPIPE));

  signal(SIGPIPE, savedAction);
  dup2(savedStderr, STDERR_FILENO);
  close(savedStderr);
}

TEST_F(Kestrel, TheCaptureHookReceivesEveryLineWhileInstalled) {
  ScopedEnv level("KESTREL_TRACE_LEVEL", "4");
  {
    testsupport::TraceCapture capture;
    tracelog(1, "KvFMAT", "detail %d", 1);
    tracelog(3, "Ostrel", "warning");
    tracelogException("Device", 77, "WFPX", "CDevice::Open catch an exception");

    std::vector<testsupport::TraceLine> lines = capture.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].module, "KvFMAT");
    EXPECT_EQ(lines[0].level, 1);
    EXPECT_EQ(lines[0].text, "detail 1");
    EXPECT_EQ(lines[1].module, "Ostrel");
    EXPECT_EQ(lines[2].level, 4);
    EXPECT_EQ(capture.countExact("Device(77): CDevice::Open catch an exception", 4), 1);
    EXPECT_TRUE(capture.contains("catch an exception", 4));
    EXPECT_FALSE(capture.contains("catch an exception", 2));
  }
  // The hook is gone with its capture; a new capture starts empty.
  tracelog(2, "WFPX", "after");
  testsupport::TraceCapture next;
  EXPECT_EQ(next.count("after"), 0);
  // Only the exception reached the file: the threshold was 4.
  EXPECT_EQ(ReadLines(m_file).size(), 1u);
}

}  // namespace
