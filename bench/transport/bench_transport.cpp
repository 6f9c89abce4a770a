// Latency of one framed hop, client -> server -> a consumer waiting on the
// queue, beside a raw loopback hop (connect, write, accept, read) measured in
// the same run. The two kinds alternate, so that the load of the machine
// weighs on both alike. Prints median and 99th percentile of each.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench_figures.h"
#include "bench_loopback.h"
#include "CommonSocketClient.h"
#include "CommonSocketServer.h"
#include "frame.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWarmUpHops = 500;
constexpr int kDefaultHops = 10000;
const std::string kPayload =
    "{\"RequestID\":4711,\"hService\":3,\"tsTimestamp\":\"2024-05-01 10:00:00.000\","
    "\"hResult\":0,\"dwCommandCode\":207,\"lpBuffer\":{\"wMedia\":4,\"wSecurity\":1,"
    "\"lpTrack1\":\"\",\"lpTrack2\":\"\",\"lpTrack3\":\"\",\"fwChipPower\":2}}";

// The moment the receiving side had the whole text of one hop.
class Arrival {
 public:
  void mark() {
    Clock::time_point now = Clock::now();
    std::lock_guard<std::mutex> guard(m_lock);
    m_at = now;
    ++m_count;
    m_changed.notify_one();
  }
  Clock::time_point waitFor(long count) {
    std::unique_lock<std::mutex> guard(m_lock);
    m_changed.wait(guard, [&] { return m_count >= count; });
    return m_at;
  }

 private:
  std::mutex m_lock;  // guards m_at and m_count
  std::condition_variable m_changed;
  Clock::time_point m_at;
  long m_count = 0;
};

double micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// The framed hop: the consumer waits on the queue with a 50 ms bound, as the
// message window's pump and the worker loops do.
class FramedHop {
 public:
  FramedHop() {
    if (m_server.InitSocketServer(0) != 1) {
      std::fprintf(stderr, "cannot start the transport server\n");
      std::exit(1);
    }
    m_port = m_server.GetListenPort();
    m_consumer = std::thread([this] {
      std::vector<char> text(transport::kTextBufferSize, '\0');
      while (!m_stop.load()) {
        if (m_server.GetHeadMessage(text.data()) == 1) {
          m_arrival.mark();
          std::memset(text.data(), 0, text.size());
        } else {
          m_server.WaitMessage(50);
        }
      }
    });
  }
  ~FramedHop() {
    m_stop.store(true);
    m_consumer.join();
  }
  double hop() {
    Clock::time_point start = Clock::now();
    CommonSocketClient client;
    if (client.PostTextMessage(m_port, kPayload.data(), static_cast<int>(kPayload.size())) != 1) {
      std::fprintf(stderr, "framed send failed\n");
      std::exit(1);
    }
    return micros(m_arrival.waitFor(++m_sent) - start);
  }

 private:
  CommonSocketServer m_server;
  int m_port = 0;
  Arrival m_arrival;
  long m_sent = 0;
  std::atomic<bool> m_stop{false};
  std::thread m_consumer;
};

// The raw hop: one thread accepts and reads the text to its end.
class RawHop {
 public:
  RawHop() {
    m_listener = bench::OpenLoopbackListener(&m_address);
    if (m_listener < 0) {
      std::fprintf(stderr, "cannot start the raw listener\n");
      std::exit(1);
    }
    m_reader = std::thread([this] {
      std::vector<char> text(transport::kTextBufferSize, '\0');
      for (;;) {
        int fd = ::accept(m_listener, nullptr, nullptr);
        if (fd < 0) return;
        size_t got = 0;
        ssize_t n;
        while (got < kPayload.size() &&
               (n = ::read(fd, text.data() + got, text.size() - got)) > 0) {
          got += static_cast<size_t>(n);
        }
        ::close(fd);
        m_arrival.mark();
      }
    });
  }
  ~RawHop() {
    ::shutdown(m_listener, SHUT_RDWR);
    m_reader.join();
    ::close(m_listener);
  }
  double hop() {
    Clock::time_point start = Clock::now();
    if (!bench::SendOverFreshConnection(m_address, kPayload)) {
      std::fprintf(stderr, "raw send failed\n");
      std::exit(1);
    }
    return micros(m_arrival.waitFor(++m_sent) - start);
  }

 private:
  int m_listener = -1;
  sockaddr_in m_address;
  Arrival m_arrival;
  long m_sent = 0;
  std::thread m_reader;
};

}  // namespace

int main(int argc, char** argv) {
  int hops = argc > 1 ? std::atoi(argv[1]) : kDefaultHops;
  if (hops < 100) hops = 100;
  setenv("QT_LOGGING_RULES", "*.debug=false", 0);
  setenv("KESTREL_TRACE_LEVEL", "5", 0);

  FramedHop framed;
  RawHop raw;
  for (int i = 0; i < kWarmUpHops; ++i) {
    framed.hop();
    raw.hop();
  }
  std::vector<double> framedHops;
  std::vector<double> rawHops;
  framedHops.reserve(static_cast<size_t>(hops));
  rawHops.reserve(static_cast<size_t>(hops));
  for (int i = 0; i < hops; ++i) {
    framedHops.push_back(framed.hop());
    rawHops.push_back(raw.hop());
  }
  bench::Figures f = bench::FiguresOf(framedHops);
  bench::Figures r = bench::FiguresOf(rawHops);
  std::printf("hops: %d of each kind, payload %zu bytes\n", hops, kPayload.size());
  std::printf("framed hop (client -> server -> waiting consumer): median %8.1f us   p99 %8.1f us\n",
              f.median, f.p99);
  std::printf("raw hop (connect, write, accept, read):           median %8.1f us   p99 %8.1f us\n",
              r.median, r.p99);
  std::printf("framed / raw median: %.2f (target: at most 2)\n", f.median / r.median);
  return 0;
}
