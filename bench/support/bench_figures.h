// Median and 99th percentile of a run's samples, as every benchmark prints them.
#ifndef BENCH_SUPPORT_BENCH_FIGURES_H
#define BENCH_SUPPORT_BENCH_FIGURES_H

#include <algorithm>
#include <vector>

namespace bench {

struct Figures {
  double median;
  double p99;
};

// samples must not be empty.
inline Figures FiguresOf(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return {samples[samples.size() / 2], samples[samples.size() * 99 / 100]};
}

}  // namespace bench

#endif
