// The main job's program: its command line, and the demo run as the README
// runs it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "e2e_harness.h"
#include "corvid.h"
#include "result_printer.h"
#include "step_parser.h"
#include "xfsidc.h"

namespace e2e {
namespace {

using xfsmgr::Mode;
using xfsmgr::Options;
using xfsmgr::ParseArguments;
using xfsmgr::StepKind;

struct ProgramRun {
  int status = -1;
  std::string output;
};

// Runs xfsmgr with `arguments` (shell words), TMPDIR inside `dir` and the
// service provider's configuration in configDir (default: `dir`).
ProgramRun runProgram(const std::string& arguments, const testsupport::TempDir& dir,
                      const std::string& configDir = "") {
  std::string command = "TMPDIR='" + dir.path() + "' WFP_CONFIG_DIR='" +
                        (configDir.empty() ? dir.path() + "/" : configDir) +
                        "' KESTREL_TRACE_FILE='" +
                        dir.file("trace.log") + "' " + XFSMGR_PROGRAM + " " + arguments + " 2>&1";
  ProgramRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(XfsmgrArguments, StepsWithTheirNumbers) {
  Options options;
  std::string error;
  ASSERT_TRUE(ParseArguments({"--service", "CardReader", "open", "register", "15", "getinfo",
                              "201", "execute", "207", "15", "cancel", "execute", "203", "1",
                              "wait-event", "5000", "execute", "209", "close", "unload"},
                             &options, &error))
      << error;
  EXPECT_EQ(options.mode, Mode::Steps);
  EXPECT_EQ(options.service, "CardReader");
  ASSERT_EQ(options.steps.size(), 10u);
  EXPECT_EQ(options.steps[1].kind, StepKind::Register);
  EXPECT_EQ(options.steps[1].numbers, std::vector<unsigned long>{15});
  EXPECT_EQ(options.steps[3].kind, StepKind::Execute);
  EXPECT_EQ(options.steps[3].numbers, (std::vector<unsigned long>{207, 15}));
  EXPECT_EQ(options.steps[4].kind, StepKind::Cancel);
  EXPECT_EQ(options.steps[6].numbers, std::vector<unsigned long>{5000});
  // A command whose input xfsmgr does not know takes no numbers of its own.
  EXPECT_EQ(options.steps[7].numbers, std::vector<unsigned long>{209});

  // The printer's RAW_DATA takes a text, even one that reads as a number.
  ASSERT_TRUE(ParseArguments({"--service", "ReceiptPrinter", "execute", "104", "42", "execute",
                              "1401", "2", "1"},
                             &options, &error))
      << error;
  ASSERT_EQ(options.steps.size(), 2u);
  EXPECT_EQ(options.steps[0].numbers, std::vector<unsigned long>{104});
  EXPECT_EQ(options.steps[0].words, std::vector<std::string>{"42"});
  EXPECT_EQ(options.steps[0].text, "execute 104 <text of 2 bytes>");
  EXPECT_EQ(options.steps[1].numbers, (std::vector<unsigned long>{1401, 2, 1}));

  ASSERT_TRUE(ParseArguments({}, &options, &error));
  EXPECT_EQ(options.mode, Mode::Demo);
  ASSERT_TRUE(ParseArguments({"--timeout", "0x100", "--help"}, &options, &error));
  EXPECT_EQ(options.mode, Mode::Help);
}

TEST(XfsmgrArguments, BadArgumentsAreRefusedWithAReason) {
  const std::vector<std::vector<std::string>> bad = {
      {"--bogus"},
      {"open"},
      {"--service"},
      {"--service", "CardReader"},
      {"--service", "CardReader", "dance"},
      {"--service", "CardReader", "register"},
      {"--service", "CardReader", "register", "-1"},
      {"--service", "CardReader", "execute", "207"},
      {"--service", "CardReader", "execute", "203", "70000"},
      {"--service", "CardReader", "execute", "213", "1"},
      {"--service", "ReceiptPrinter", "execute", "104"},
      {"--service", "CardDispenser", "execute", "1401", "2", "2"},
      {"--service", "CardReader", "getinfo", "99999999999"},
      {"--service", "CardReader", "cancel"},
      {"--service", "CardReader", "register", "15", "cancel"},
      {"--timeout", "0", "--service", "CardReader", "open"},
      {"--timeout", "soon"},
      {"--service", "PinPad", "execute", "407", "PINKEY", "4761-7390"},
      {"--service", "PinPad", "execute", "403", "NEWKEY", "1", "0123456789ABCDE"},
  };
  for (const std::vector<std::string>& args : bad) {
    Options options;
    std::string error;
    EXPECT_FALSE(ParseArguments(args, &options, &error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

// A WFSRESULT in Corvid memory, as the service provider posts it.
xfsmgr::TakenMessage resultMessage(UINT message, DWORD code) {
  xfsmgr::TakenMessage taken;
  taken.message = message;
  LPVOID record = nullptr;
  EXPECT_EQ(WFMAllocateBuffer(sizeof(WFSRESULT), WFS_MEM_ZEROINIT, &record), WFS_SUCCESS);
  taken.result.reset(static_cast<WFSRESULT*>(record));
  taken.result->RequestID = 7;
  taken.result->hService = 1;
  taken.result->hResult = -201;
  taken.result->u.dwCommandCode = code;
  return taken;
}

// A block of `size` bytes in the record's tree.
template <typename T>
T* more(xfsmgr::TakenMessage& taken, size_t size = sizeof(T)) {
  LPVOID block = nullptr;
  EXPECT_EQ(WFMAllocateMore(static_cast<ULONG>(size), taken.result.get(), &block), WFS_SUCCESS);
  return static_cast<T*>(block);
}

TEST(XfsmgrPrinter, CardAndChipDataAreMaskedUnlessAsked) {
  xfsmgr::TakenMessage taken = resultMessage(WFS_EXECUTE_COMPLETE, WFS_CMD_IDC_READ_RAW_DATA);
  auto** list = more<LPWFSIDCCARDDATA>(taken, 3 * sizeof(LPWFSIDCCARDDATA));
  const char track2[] = "4000001234567899=2512";
  const BYTE atr[] = {0x3B, 0x6E, 0x00};
  list[0] = more<WFSIDCCARDDATA>(taken);
  list[0]->wDataSource = WFS_IDC_TRACK2;
  list[0]->ulDataLength = sizeof track2 - 1;
  list[0]->lpbData = more<BYTE>(taken, sizeof track2 - 1);
  std::memcpy(list[0]->lpbData, track2, sizeof track2 - 1);
  list[1] = more<WFSIDCCARDDATA>(taken);
  list[1]->wDataSource = WFS_IDC_CHIP;
  list[1]->ulDataLength = sizeof atr;
  list[1]->lpbData = more<BYTE>(taken, sizeof atr);
  std::memcpy(list[1]->lpbData, atr, sizeof atr);
  taken.result->lpBuffer = list;

  std::string masked = xfsmgr::DescribeMessage(taken);
  EXPECT_NE(masked.find("-201 (WFS_ERR_IDC_MEDIAJAM)"), std::string::npos) << masked;
  // Only the first 6 and last 4 digits of the card number, not the rest of the track.
  EXPECT_NE(masked.find("lpbData=<PAN 400000******7899, 21 chars>"), std::string::npos) << masked;
  EXPECT_EQ(masked.find("123456"), std::string::npos) << masked;
  EXPECT_EQ(masked.find("2512"), std::string::npos) << masked;
  EXPECT_NE(masked.find("lpbData=<3 bytes>"), std::string::npos) << masked;
  EXPECT_EQ(masked.find("3B6E00"), std::string::npos) << masked;
  EXPECT_NE(masked.find("2 card data element(s)"), std::string::npos) << masked;
  std::string whole = xfsmgr::DescribeMessage(taken, true);
  EXPECT_NE(whole.find(track2), std::string::npos) << whole;
  EXPECT_NE(whole.find("lpbData=3B6E00"), std::string::npos) << whole;
}

TEST(XfsmgrPrinter, SystemEventRecords) {
  xfsmgr::TakenMessage taken = resultMessage(WFS_SYSTEM_EVENT, WFS_SYSE_HARDWARE_ERROR);
  auto* error = more<WFSHWERROR>(taken);
  char name[] = "CardReader";
  char appId[] = "APP1";
  error->lpszLogicalName = name;
  error->lpszAppID = appId;
  error->dwAction = 4;
  taken.result->lpBuffer = error;
  std::string text = xfsmgr::DescribeMessage(taken);
  EXPECT_NE(text.find("WFS_SYSTEM_EVENT (1047)"), std::string::npos) << text;
  EXPECT_NE(text.find("dwEventID=2 (WFS_SYSE_HARDWARE_ERROR)"), std::string::npos) << text;
  EXPECT_NE(text.find("lpszLogicalName=\"CardReader\" lpszPhysicalName=NULL"), std::string::npos)
      << text;
  EXPECT_NE(text.find("lpszAppID=\"APP1\" dwAction=4"), std::string::npos) << text;
}

TEST(XfsmgrProgram, HelpAndBadArguments) {
  testsupport::TempDir dir;
  ProgramRun help = runProgram("--help", dir);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("--service NAME"), std::string::npos);
  EXPECT_NE(help.output.find("wait-event MS"), std::string::npos);
  ProgramRun bad = runProgram("--service CardReader jump", dir);
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.output.find("unknown step 'jump'"), std::string::npos) << bad.output;
}

TEST(XfsmgrProgram, StepsAgainstAServiceThatIsNotConfigured) {
  testsupport::TempDir dir;
  ProgramRun run = runProgram("--service NoSuchService open close", dir);
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("-22 (WFS_ERR_INVALID_HSERVICE)"), std::string::npos) << run.output;
}

// Steps mode against the in-process simulator, on the wfp.ini of this test
// process (WFP_CONFIG_DIR is inherited).
using XfsmgrStepsTest = PipelineTest;

TEST_F(XfsmgrStepsTest, RunsTheStepsWithCancelAndEvents) {
  std::string error;
  ASSERT_TRUE(Sim().LoadScenarioText(
      R"({"rules":[{"kind":"execute","code":207,"delayMs":20000},
                   {"kind":"execute","code":203,"eventsAfter":[{"kind":"service","id":205}]}]})",
      &error))
      << error;
  testsupport::TempDir dir;
  ProgramRun run = runProgram(
      "--service CardReader open register 15 execute 207 15 cancel execute 203 1 "
      "wait-event 5000 close unload",
      dir, ConfigDirectory());
  EXPECT_EQ(run.status, 0) << run.output;
  for (const char* expected :
       {"dwCommandCode=207 (WFS_CMD_IDC_READ_RAW_DATA)", "hResult=-4 (WFS_ERR_CANCELED)",
        "dwEventID=205 (WFS_SRVE_IDC_CARDACTION)", "WFSIDCCARDACT", "WFS_CLOSE_COMPLETE (1026)",
        "WFPUnloadService() returned 0 (WFS_SUCCESS)"}) {
    EXPECT_NE(run.output.find(expected), std::string::npos) << "missing: " << expected << "\n"
                                                           << run.output;
  }
  EXPECT_EQ(RequestsOfKind(1).size(), 1u) << "one cancel";
}

TEST_F(XfsmgrStepsTest, PinPadStepsKeepDigitsCardDataAndKeysToThemselves) {
  testsupport::TempDir dir;
  ProgramRun run = runProgram(std::string("--service ") + kPinPad +
                                  " open register 15 execute 405 4 6 0 "
                                  "execute 407 PINKEY 4761739001010119 "
                                  "execute 403 NEWKEY 1 00112233445566778899AABBCCDDEEFF close",
                              dir, ConfigDirectory());
  EXPECT_EQ(run.status, 0) << run.output;
  for (const char* expected :
       {"execute 407 PINKEY <16 digits>", "execute 403 NEWKEY 1 <16 bytes>",
        "dwEventID=401 (WFS_EXEE_PIN_KEY)", "key * wCompletion=6", "key 0x00000400 wCompletion=1",
        "dwCommandCode=405 (WFS_CMD_PIN_GET_PIN)", "dwCommandCode=407 (WFS_CMD_PIN_GET_PINBLOCK)",
        "dwCommandCode=403 (WFS_CMD_PIN_IMPORT_KEY)"}) {
    EXPECT_NE(run.output.find(expected), std::string::npos) << "missing: " << expected << "\n"
                                                           << run.output;
  }
  EXPECT_EQ(run.output.find("4761739001010119"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("0011223344"), std::string::npos) << run.output;
  std::vector<Json::Value> executes = RequestsOfKind(4);
  ASSERT_EQ(executes.size(), 3u);
  EXPECT_EQ(executes[1]["lpDataBuffer"]["lpsCustomerData"].asString(), "4761739001010119");
  EXPECT_EQ(executes[2]["lpDataBuffer"]["lpxValue"]["usLength"].asInt(), 16);
}

TEST_F(XfsmgrStepsTest, PrintsAReceiptAndDispensesACard) {
  testsupport::TempDir dir;
  ProgramRun printer = runProgram(
      std::string("--service ") + kPrinter + " open execute 104 'THANK YOU' execute 101 1 close",
      dir, ConfigDirectory());
  EXPECT_EQ(printer.status, 0) << printer.output;
  EXPECT_NE(printer.output.find("execute 104 <text of 9 bytes>"), std::string::npos)
      << printer.output;
  EXPECT_EQ(printer.output.find("THANK"), std::string::npos) << "the receipt's text is shown";
  ProgramRun dispenser =
      runProgram(std::string("--service ") + kDispenser +
                     " open execute 1401 1 0 execute 1402 execute 1403 3 execute 1404 1 close",
                 dir, ConfigDirectory());
  EXPECT_EQ(dispenser.status, 0) << dispenser.output;
  Json::Value dispense = RequestsOfKind(4)[2]["lpDataBuffer"];  // the third execute
  EXPECT_EQ(dispense["usNumber"].asInt(), 1);
  EXPECT_EQ(dispense["bPresent"].asInt(), 0);
}

// The main job: the demo on the packaged wfp.ini (its card reader's port
// must be free on this machine).
TEST(XfsmgrProgram, TheDemoCompletesEveryStep) {
  testsupport::TempDir dir;
  ProgramRun run = runProgram("", dir);
  EXPECT_EQ(run.status, 0) << run.output;
  for (const char* expected :
       {"WFS_OPEN_COMPLETE (1025)", "WFS_REGISTER_COMPLETE (1029)", "WFSIDCSTATUS",
        "WFSIDCCAPS", "dwEventID=203 (WFS_EXEE_IDC_MEDIAINSERTED)",
        "dwCommandCode=207 (WFS_CMD_IDC_READ_RAW_DATA)", "WFSIDCCARDDATA[0]",
        "dwCommandCode=203 (WFS_CMD_IDC_EJECT_CARD)", "WFS_CLOSE_COMPLETE (1026)",
        "WFPUnloadService() returned 0 (WFS_SUCCESS)", "the demo completed every step"}) {
    EXPECT_NE(run.output.find(expected), std::string::npos) << "missing: " << expected << "\n"
                                                           << run.output;
  }
}

// The demo's port taken by someone else: a clear failure, not a hang.
TEST(XfsmgrProgram, TheDemoSaysWhyWhenTheCardReadersPortIsTaken) {
  std::string error;
  int port = 0;
  for (const devsim::ServiceSpec& service : devsim::LoadServicesFromIni(PACKAGED_WFP_INI, &error)) {
    if (service.deviceClass == "IDC") port = service.port;
  }
  ASSERT_GT(port, 0) << "no card reader in " << PACKAGED_WFP_INI << " " << error;
  testsupport::TempDir dir;
  int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  bool bound = ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
               ::listen(listener, 1) == 0;
  ProgramRun run = runProgram("", dir);
  ::close(listener);
  if (!bound) GTEST_SKIP() << "port " << port << " is in use already";
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("xfsmgr: demo failed: the simulator did not start"), std::string::npos)
      << run.output;
}

}  // namespace
}  // namespace e2e
