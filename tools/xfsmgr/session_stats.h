// What one service did during a run of xfsmgr, and the table that shows it
// for every service at the end of the demo.
#ifndef XFSMGR_SESSION_STATS_H
#define XFSMGR_SESSION_STATS_H

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace xfsmgr {

struct SessionStats {
  unsigned requests = 0;     // SPI requests made (refused ones included)
  unsigned completions = 0;  // completions taken
  unsigned events = 0;       // events taken
  // The slowest round trip, from the call to its completion, and what it asked for.
  std::chrono::steady_clock::duration slowest{};
  std::string slowestLabel;
};

// One line per service, under a header:
//   service          requests  completions  events  slowest round trip
//   CardReader              5            5       1   502.4 ms  WFS_CMD_IDC_READ_RAW_DATA
std::string StatsTable(const std::vector<std::pair<std::string, SessionStats>>& services);

}  // namespace xfsmgr

#endif
