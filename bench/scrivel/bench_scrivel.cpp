// Time per rendering of the trace formatter, with the shipped name file:
// a read of three tracks and a chip, the PIN pad's capabilities, the
// printer's status and an execute call, each rendered as the service
// provider renders it for the trace.
//
//   bench_scrivel [ROUNDS]   (default 20000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "scrivel.h"
#include "xfsidc.h"
#include "xfspin.h"
#include "xfsptr.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Operation>
double MicrosecondsPerOperation(int rounds, Operation operation) {
  for (int i = 0; i < rounds / 10; ++i) operation();  // warm up, and the name file loads
  Clock::time_point start = Clock::now();
  for (int i = 0; i < rounds; ++i) operation();
  std::chrono::duration<double, std::micro> elapsed = Clock::now() - start;
  return elapsed.count() / rounds;
}

WFSRESULT Result(DWORD code, void* buffer) {
  WFSRESULT result = {};
  result.RequestID = 12;
  result.hService = 3;
  result.tsTimestamp = {2024, 5, 3, 15, 13, 45, 30, 250};
  result.u.dwCommandCode = code;
  result.lpBuffer = buffer;
  return result;
}

void Report(const char* what, double microseconds, const QString& text) {
  std::printf("%-46s %7.2f us/op  (%d characters)\n", what, microseconds,
              static_cast<int>(text.size()));
}

}  // namespace

int main(int argc, char** argv) {
  setenv("KESTREL_TRACE_LEVEL", "9", 1);  // measure the formatter, not the trace
  int rounds = argc > 1 ? std::atoi(argv[1]) : 20000;
  if (rounds <= 0) rounds = 20000;
  InitConfigFileName(WFP_NAME_FILE);

  // READ_RAW_DATA: three tracks and a chip answer.
  std::vector<unsigned char> track1(76, 'B'), track2(37, '4'), track3(104, '0'), chip(32, 0x9F);
  WFSIDCCARDDATA cards[] = {
      {WFS_IDC_TRACK1, WFS_IDC_DATAOK, static_cast<ULONG>(track1.size()), track1.data(), 0},
      {WFS_IDC_TRACK2, WFS_IDC_DATAOK, static_cast<ULONG>(track2.size()), track2.data(), 0},
      {WFS_IDC_TRACK3, WFS_IDC_DATAOK, static_cast<ULONG>(track3.size()), track3.data(), 0},
      {WFS_IDC_CHIP, WFS_IDC_DATAOK, static_cast<ULONG>(chip.size()), chip.data(), 0}};
  LPWFSIDCCARDDATA cardArray[] = {&cards[0], &cards[1], &cards[2], &cards[3], nullptr};
  WFSRESULT readRawData = Result(WFS_CMD_IDC_READ_RAW_DATA, cardArray);
  QString text;
  double read = MicrosecondsPerOperation(rounds, [&] {
    text = WFSResultFormat(&readRawData, WFS_EXECUTE_COMPLETE);
  });
  Report("READ_RAW_DATA result, 3 tracks and a chip:", read, text);

  char extra[] = "model=EPP\0firmware=2.1\0";
  WFSPINCAPS pinCaps = {};
  pinCaps.wClass = WFS_SERVICE_CLASS_PIN;
  pinCaps.usKeyNum = 64;
  pinCaps.lpszExtra = extra;
  WFSRESULT capabilities = Result(WFS_INF_PIN_CAPABILITIES, &pinCaps);
  double caps = MicrosecondsPerOperation(rounds, [&] {
    text = WFSResultFormat(&capabilities, WFS_GETINFO_COMPLETE);
  });
  Report("PIN capabilities result:", caps, text);

  WFSPTRRETRACTBINS bin = {1, 3};
  LPWFSPTRRETRACTBINS bins[] = {&bin, nullptr};
  WFSPTRSTATUS ptrStatus = {};
  ptrStatus.lppRetractBins = bins;
  ptrStatus.lpszExtra = extra;
  WFSRESULT status = Result(WFS_INF_PTR_STATUS, &ptrStatus);
  double printer = MicrosecondsPerOperation(rounds, [&] {
    text = WFSResultFormat(&status, WFS_GETINFO_COMPLETE);
  });
  Report("printer status result:", printer, text);

  WORD readData = WFS_IDC_TRACK1 | WFS_IDC_TRACK2 | WFS_IDC_TRACK3 | WFS_IDC_CHIP;
  double call = MicrosecondsPerOperation(rounds, [&] {
    text = WFPExecuteFormat(3, WFS_CMD_IDC_READ_RAW_DATA, &readData, 20000, 36000, 12);
  });
  Report("execute call (READ_RAW_DATA with its flags):", call, text);

  std::printf("(%d rounds each; target under 50 us/op; name file %s)\n", rounds, WFP_NAME_FILE);
  return 0;
}
