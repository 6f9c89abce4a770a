// The name maps' costs: loading the shipped name file, and one name lookup
// and one type lookup as the trace formatter makes them for every call and
// result.
#include <cstdio>
#include <cstdlib>

#include "XmlConfig.h"
#include "bench_timing.h"

int main(int argc, char** argv) {
  setenv("KESTREL_TRACE_LEVEL", "9", 1);  // measure the maps, not the trace file
  int rounds = argc > 1 ? std::atoi(argv[1]) : 1000000;
  if (rounds <= 0) rounds = 1000000;
  const char* file = argc > 2 ? argv[2] : SHIPPED_NAME_FILE;
  XmlConfig::InitConfigFileName(file);

  const int loads = 50;
  double load = bench::TimePerOperation<std::nano>(loads, [] {
    XmlConfig::Destroy();
    XmlConfig::GetInstance();
  });
  if (XmlConfig::GetNameByValue(2, XmlConfig::MAP_EXECMD, 207ul).isEmpty()) {
    std::fprintf(stderr, "%s has no name for the card reader's command 207\n", file);
    return 1;
  }

  // Commands of all four classes and error codes, as results bring them.
  const unsigned long commands[] = {207, 203, 405, 454, 104, 101, 1401, 1406};
  const int classes[] = {2, 2, 4, 4, 1, 1, 14, 14};
  const long errors[] = {0, -14, -48, -201};
  unsigned i = 0;
  volatile int sink = 0;
  double name = bench::TimePerOperation<std::nano>(rounds, [&] {
    ++i;
    sink += XmlConfig::GetNameByValue(classes[i % 8], XmlConfig::MAP_EXECMD, commands[i % 8])
                .size();
  });
  double error = bench::TimePerOperation<std::nano>(rounds, [&] {
    ++i;
    sink += XmlConfig::GetNameByValue(2, XmlConfig::MAP_XFSERRORS,
                                      static_cast<unsigned long>(errors[i % 4]))
                .size();
  });
  double flags = bench::TimePerOperation<std::nano>(rounds, [&] {
    ++i;
    sink += XmlConfig::GetNameByValue(1, XmlConfig::MAP_FWCONTROL, 0x21ul + (i & 2)).size();
  });
  double type = bench::TimePerOperation<std::nano>(rounds, [&] {
    ++i;
    sink += XmlConfig::GetOutputParamByValue(classes[i % 8], XmlConfig::MAP_EXECMD,
                                             static_cast<unsigned>(commands[i % 8]))
                .size();
  });

  std::printf("load the name file %s: %.0f us\n", file, load / 1000.0);
  std::printf("name of a command:          %.0f ns/lookup\n", name);
  std::printf("name of an error code:      %.0f ns/lookup\n", error);
  std::printf("media-control flag names:   %.0f ns/lookup\n", flags);
  std::printf("output type of a command:   %.0f ns/lookup\n", type);
  std::printf("(%d lookups each, %d loads; target well under 1000 ns/lookup)\n", rounds, loads);
  return 0;
}
