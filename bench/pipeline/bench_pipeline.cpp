// The execute round trip an application sees, from the WFPExecute call to
// WFS_EXECUTE_COMPLETE taken from its Corvid window, against the simulator
// answering at once, with Kestrel writing every level to a file; printed
// beside a raw loopback framed hop measured in the same run (the two kinds
// alternate, so that the load of the machine weighs on both alike). Then
// the completions per second that 8 application threads get from one
// service. The shipped name file is in place, so that the trace formatter
// renders every call and result with its names.
//
//   bench_pipeline [EXECUTES]   (default 2000, at least 100)
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench_figures.h"
#include "bench_loopback.h"
#include "devsim/simulator.h"
#include "result_window.h"
#include "xfsidc.h"
#include "xfsspi.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultExecutes = 2000;
constexpr int kWarmUp = 100;
constexpr int kThreads = 8;
constexpr int kExecutesPerThread = 400;
constexpr int kCompletionWaitMs = 10000;
constexpr HSERVICE kService = 1;
const char kServiceName[] = "BenchCardReader";

[[noreturn]] void die(const std::string& why) {
  std::fprintf(stderr, "bench_pipeline: %s\n", why.c_str());
  std::exit(1);
}

double millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A directory for the run's wfp.ini and trace; removed at the end.
class RunDirectory {
 public:
  RunDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/bench-pipeline-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) die("cannot create " + pattern);
    m_path = name.data();
  }
  ~RunDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  std::string File(const char* name) const { return m_path + "/" + name; }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

// One framed text over a fresh loopback connection to a reader that takes
// the header, then the payload it announces: the hop every reply and
// hand-over of the pipeline makes, without the transport's code.
class RawFramedHop {
 public:
  RawFramedHop() {
    m_listener = bench::OpenLoopbackListener(&m_address);
    if (m_listener < 0) die("cannot start the raw listener");
    char header[9];
    std::snprintf(header, sizeof header, "%-8zu", kText.size());
    m_frame = std::string(header, 8) + kText;
    m_reader = std::thread([this] { readFrames(); });
  }
  ~RawFramedHop() {
    ::shutdown(m_listener, SHUT_RDWR);
    m_reader.join();
    ::close(m_listener);
  }
  double hop() {
    Clock::time_point start = Clock::now();
    if (!bench::SendOverFreshConnection(m_address, m_frame)) die("raw framed send failed");
    std::unique_lock<std::mutex> guard(m_lock);
    long wanted = ++m_sent;
    m_arrived.wait(guard, [&] { return m_read >= wanted; });
    return millis(m_readAt - start);
  }

 private:
  // A reply of the size the simulator sends for an eject.
  const std::string kText =
      "{\"dwMsgType\":7,\"hService\":1,\"lpWfsResult\":{\"dwCommandCode\":203,\"hResult\":0,"
      "\"hService\":1,\"lpBuffer\":{\"wEjectPosition\":1},\"requestID\":12,\"tsTimestamp\":"
      "{\"day\":8,\"day_of_week\":2,\"hour\":8,\"milli_seconds\":128,\"minute\":21,\"month\":12,"
      "\"second\":23,\"year\":2026}}}";

  // Reads exactly `size` bytes; false when the peer ends first.
  static bool readAll(int fd, char* to, size_t size) {
    for (size_t got = 0; got < size;) {
      ssize_t n = ::read(fd, to + got, size - got);
      if (n <= 0) return false;
      got += static_cast<size_t>(n);
    }
    return true;
  }

  void readFrames() {
    std::vector<char> text(40960);
    for (;;) {
      int fd = ::accept(m_listener, nullptr, nullptr);
      if (fd < 0) return;
      char header[9] = {0};
      bool whole = readAll(fd, header, 8) &&
                   readAll(fd, text.data(), static_cast<size_t>(std::atoi(header)));
      ::close(fd);
      if (!whole) die("the raw framed hop lost a frame");
      std::lock_guard<std::mutex> guard(m_lock);
      m_readAt = Clock::now();
      ++m_read;
      m_arrived.notify_one();
    }
  }

  int m_listener = -1;
  sockaddr_in m_address;
  std::string m_frame;
  std::mutex m_lock;  // guards m_sent, m_read, m_readAt
  std::condition_variable m_arrived;
  long m_sent = 0;
  long m_read = 0;
  Clock::time_point m_readAt;
  std::thread m_reader;
};

// One execute from the call to its completion taken from `window`; the
// milliseconds it took.
double executeRoundTrip(xfsmgr::ResultWindow& window, REQUESTID id) {
  WFSIDCEJECTCARD eject{WFS_IDC_EXITPOSITION};
  Clock::time_point start = Clock::now();
  HRESULT result = WFPExecute(kService, WFS_CMD_IDC_EJECT_CARD, &eject, 0, window.Handle(), id);
  if (result != WFS_SUCCESS) die("WFPExecute returned " + std::to_string(result));
  auto done = window.WaitForCompletion(WFS_EXECUTE_COMPLETE, id, kCompletionWaitMs, nullptr);
  if (!done) die("no completion for request " + std::to_string(id));
  if (done->result->hResult != WFS_SUCCESS) {
    die("request " + std::to_string(id) + " completed with " +
        std::to_string(done->result->hResult));
  }
  return millis(done->at - start);
}

void openService(xfsmgr::ResultWindow& window) {
  std::vector<char> name(std::begin(kServiceName), std::end(kServiceName));
  WFSVERSION spiVersion{}, serviceVersion{};
  if (WFPOpen(kService, name.data(), nullptr, nullptr, 0, 0, window.Handle(), 1, nullptr, 0,
              &spiVersion, 0, &serviceVersion) != WFS_SUCCESS ||
      !window.WaitForCompletion(WFS_OPEN_COMPLETE, 1, kCompletionWaitMs, nullptr)) {
    die("the service did not open");
  }
}

void closeService(xfsmgr::ResultWindow& window, REQUESTID id) {
  if (WFPClose(kService, window.Handle(), id) != WFS_SUCCESS ||
      !window.WaitForCompletion(WFS_CLOSE_COMPLETE, id, kCompletionWaitMs, nullptr)) {
    die("the service did not close");
  }
  auto deadline = Clock::now() + std::chrono::seconds(10);
  while (WFPUnloadService() != WFS_SUCCESS) {
    if (Clock::now() > deadline) die("the closed service did not stop");
  }
}

// Completions per second of kThreads application threads, each with its own
// window and request identifiers, executing one request after the other.
double throughput() {
  std::vector<std::thread> threads;
  Clock::time_point start = Clock::now();
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      xfsmgr::ResultWindow window;
      REQUESTID base = 1000000u * static_cast<REQUESTID>(t + 1);
      for (int i = 0; i < kExecutesPerThread; ++i) {
        executeRoundTrip(window, base + static_cast<REQUESTID>(i));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return kThreads * kExecutesPerThread / seconds;
}

}  // namespace

int main(int argc, char** argv) {
  int executes = argc > 1 ? std::atoi(argv[1]) : kDefaultExecutes;
  if (executes < 100) executes = 100;
  ::setenv("QT_LOGGING_RULES", "*.debug=false", 0);
  RunDirectory dir;
  std::string trace = dir.File("trace.log");
  ::setenv("KESTREL_TRACE_FILE", trace.c_str(), 1);
  ::setenv("KESTREL_TRACE_LEVEL", "1", 1);
  ::setenv("WFP_CONFIG_DIR", (dir.Path() + "/").c_str(), 1);

  devsim::SimulatorOptions options;
  options.services.push_back({kServiceName, "IDC", 0});
  options.log = [](const std::string&) {};
  devsim::Simulator simulator(options);
  std::string error;
  if (!simulator.Start(&error)) die("the simulator did not start: " + error);
  std::ofstream(dir.File("wfp.ini")) << "[" << kServiceName << "]\nclass=IDC\nport="
                                     << simulator.Port(kServiceName) << "\n";
  std::error_code copyError;
  std::filesystem::copy_file(WFP_NAME_FILE, dir.File("WFSConfig.xml"), copyError);
  if (copyError) die(std::string("cannot copy the name file ") + WFP_NAME_FILE);

  xfsmgr::ResultWindow window;
  openService(window);
  RawFramedHop raw;
  REQUESTID id = 100;
  for (int i = 0; i < kWarmUp; ++i) {
    executeRoundTrip(window, id++);
    raw.hop();
  }
  std::vector<double> roundTrips, hops;
  for (int i = 0; i < executes; ++i) {
    roundTrips.push_back(executeRoundTrip(window, id++));
    hops.push_back(raw.hop());
  }
  double perSecond = throughput();
  closeService(window, id++);

  bench::Figures e = bench::FiguresOf(roundTrips);
  bench::Figures h = bench::FiguresOf(hops);
  std::error_code sizeError;
  std::uintmax_t traced = std::filesystem::file_size(trace, sizeError);
  std::printf("executes: %d on one service (EJECT_CARD), the simulator answering at once;\n"
              "Kestrel wrote every level to a file (%ju bytes), calls and results rendered\n"
              "with the shipped name file\n",
              executes, traced);
  std::printf("execute round trip (WFPExecute -> WFS_EXECUTE_COMPLETE): median %7.3f ms   "
              "p99 %7.3f ms   (targets: 1 ms, 5 ms)\n",
              e.median, e.p99);
  std::printf("raw loopback framed hop (connect, write, accept, read):  median %7.3f ms   "
              "p99 %7.3f ms\n",
              h.median, h.p99);
  std::printf("throughput, %d application threads on one service: %.0f completions per second "
              "(target: 2000)\n",
              kThreads, perSecond);
  return 0;
}
