// The mean time of one operation, as the micro-benchmarks measure it.
#ifndef BENCH_SUPPORT_BENCH_TIMING_H
#define BENCH_SUPPORT_BENCH_TIMING_H

#include <chrono>

namespace bench {

// Runs `operation` rounds / 10 times to warm up, then rounds times, and
// returns the mean time of one run in units of Period (std::micro,
// std::nano, ...).
template <typename Period, typename Operation>
double TimePerOperation(int rounds, Operation operation) {
  using Clock = std::chrono::steady_clock;
  for (int i = 0; i < rounds / 10; ++i) operation();
  Clock::time_point start = Clock::now();
  for (int i = 0; i < rounds; ++i) operation();
  std::chrono::duration<double, Period> elapsed = Clock::now() - start;
  return elapsed.count() / rounds;
}

}  // namespace bench

#endif
