#include "session_stats.h"

#include <cstdio>

namespace xfsmgr {

std::string StatsTable(const std::vector<std::pair<std::string, SessionStats>>& services) {
  const char kRow[] = "%-16s %8s %12s %7s  %s\n";
  char line[256];
  std::snprintf(line, sizeof line, kRow, "service", "requests", "completions", "events",
                "slowest round trip");
  std::string table = line;
  for (const auto& [name, stats] : services) {
    double ms = std::chrono::duration<double, std::milli>(stats.slowest).count();
    char slowest[160];
    std::snprintf(slowest, sizeof slowest, "%7.1f ms  %s", ms, stats.slowestLabel.c_str());
    std::snprintf(line, sizeof line, kRow, name.c_str(), std::to_string(stats.requests).c_str(),
                  std::to_string(stats.completions).c_str(), std::to_string(stats.events).c_str(),
                  stats.completions == 0 ? "-" : slowest);
    table += line;
  }
  return table;
}

}  // namespace xfsmgr
