// The main job's program: its command line, its summaries over the trace
// formatter's rendering, its steps against one service, and the terminal
// transaction it runs without arguments, as the README runs it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "XmlConfig.h"
#include "card_data.h"
#include "corvid.h"
#include "e2e_harness.h"
#include "name_file.h"
#include "result_printer.h"
#include "scrivel.h"
#include "step_parser.h"
#include "xfsidc.h"
#include "xfspin.h"
#include "xfsspi.h"

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

// True when the demo failed because a port of the packaged wfp.ini is in use.
bool portInUse(const std::string& output) {
  const std::string failure =
      "\nxfsmgr: demo failed at step 4 (start the simulated device services): service ";
  size_t at = output.find(failure);
  return at != std::string::npos &&
         output.substr(at, output.find('\n', at + 1) - at).find(" is in use") != std::string::npos;
}

// The words of the line that starts with `first`; empty when none does.
std::vector<std::string> wordsOfLine(const std::string& text, const std::string& first) {
  size_t at = text.find("\n" + first + " ");
  if (at == std::string::npos) return {};
  std::istringstream line(text.substr(at + 1, text.find('\n', at + 1) - at - 1));
  std::vector<std::string> words;
  for (std::string word; line >> word;) words.push_back(word);
  return words;
}

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

size_t countOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
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
xfsmgr::TakenMessage resultMessage(UINT message, DWORD code, HRESULT hResult = 0) {
  xfsmgr::TakenMessage taken;
  taken.message = message;
  LPVOID record = nullptr;
  EXPECT_EQ(WFMAllocateBuffer(sizeof(WFSRESULT), WFS_MEM_ZEROINIT, &record), WFS_SUCCESS);
  taken.result.reset(static_cast<WFSRESULT*>(record));
  taken.result->RequestID = 7;
  taken.result->hService = 1;
  taken.result->hResult = hResult;
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

// Summaries over the trace formatter's rendering, with the names of the
// name file beside the test program.
class XfsmgrSummary : public ::testing::Test {
 protected:
  void SetUp() override { xfsmgr::UseNameFile(); }
};

TEST_F(XfsmgrSummary, CardAndChipDataAreMaskedUnlessAsked) {
  xfsmgr::TakenMessage taken =
      resultMessage(WFS_EXECUTE_COMPLETE, WFS_CMD_IDC_READ_RAW_DATA, -201);
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
  // The summary names the result from the name file, and shows of the
  // track only the first 6 and last 4 digits of the card number.
  EXPECT_NE(masked.find("<- WFS_EXECUTE_COMPLETE (1032) RequestID=7 hService=1 "
                        "hResult=-201 (WFS_ERR_IDC_NOMEDIA) "
                        "dwCommandCode=207 (WFS_CMD_IDC_READ_RAW_DATA) at "),
            std::string::npos)
      << masked;
  EXPECT_NE(masked.find("; card data: track 2 <PAN 400000******7899, 21 chars>, chip <3 bytes>\n"),
            std::string::npos)
      << masked;
  // Below it the record as the trace has it, data hidden.
  EXPECT_NE(masked.find("\n[1032]WFS_EXECUTE_COMPLETEWFSRESULT       = 0x"), std::string::npos)
      << masked;
  EXPECT_NE(masked.find("\tu.dwCommandCode = 0xcf(207)WFS_CMD_IDC_READ_RAW_DATA\n"),
            std::string::npos)
      << masked;
  EXPECT_EQ(masked.find('\r'), std::string::npos) << "console lines end in LF";
  for (const std::string& secret : {std::string(track2), std::string("00000123456"),
                                    std::string(reinterpret_cast<const char*>(atr), sizeof atr)}) {
    EXPECT_EQ(testsupport::LeakIn(masked, secret), "") << masked;
  }
  // Asked for, the summary shows the data whole; the rendering never does.
  std::string whole = xfsmgr::DescribeMessage(taken, true);
  EXPECT_NE(whole.find("track 2 \"4000001234567899=2512\", chip 3B6E00\n"), std::string::npos)
      << whole;
  EXPECT_EQ(whole.find(track2, whole.find('\n')), std::string::npos) << whole;
}

TEST_F(XfsmgrSummary, SystemEventsAndPinKeys) {
  xfsmgr::TakenMessage taken = resultMessage(WFS_SYSTEM_EVENT, WFS_SYSE_HARDWARE_ERROR);
  auto* error = more<WFSHWERROR>(taken);
  char name[] = "CardReader";
  error->lpszLogicalName = name;
  error->dwAction = 4;
  taken.result->lpBuffer = error;
  std::string text = xfsmgr::DescribeMessage(taken);
  EXPECT_NE(text.find("<- WFS_SYSTEM_EVENT (1047) RequestID=7 hService=1 hResult=0 (WFS_SUCCESS) "
                      "dwEventID=2 (WFS_SYSE_HARDWARE_ERROR) at "),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\tlpszLogicalName = \"CardReader\"\n"), std::string::npos) << text;

  // A digit key shows as *, ENTER by its value; the rendering hides both.
  for (ULONG key : {ULONG{WFS_PIN_FK_7}, ULONG{WFS_PIN_FK_ENTER}}) {
    xfsmgr::TakenMessage event = resultMessage(WFS_EXECUTE_EVENT, WFS_EXEE_PIN_KEY);
    auto* pressed = more<WFSPINKEY>(event);
    pressed->wCompletion = key == WFS_PIN_FK_ENTER ? WFS_PIN_COMPENTER : WFS_PIN_COMPCONTINUE;
    pressed->ulDigit = key;
    event.result->lpBuffer = pressed;
    text = xfsmgr::DescribeMessage(event);
    EXPECT_NE(text.find(key == WFS_PIN_FK_ENTER ? "; key 0x00000400 wCompletion=1\n"
                                                : "; key * wCompletion=6\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\t\tulDigit         = ***\n"), std::string::npos) << text;
  }
}

// No name file: numbers only, and the record without its structure.
TEST(XfsmgrNames, WithoutANameFileNumbersRemain) {
  testsupport::TempDir dir;
  InitConfigFileName(dir.file("none.xml").c_str());
  XmlConfig::Destroy();
  xfsmgr::TakenMessage taken = resultMessage(WFS_EXECUTE_COMPLETE, WFS_CMD_IDC_EJECT_CARD, -201);
  std::string text = xfsmgr::DescribeMessage(taken);
  EXPECT_EQ(text.find("<- message (1032) RequestID=7 hService=1 hResult=-201 dwCommandCode=203 at "),
            0u)
      << text;
  XmlConfig::Destroy();
  InitConfigFileName(nullptr);
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
  std::string trace = readFile(dir.file("trace.log"));
  const BYTE keyValue[] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                           0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  for (const std::string& secret :
       {std::string("4761739001010119"),
        std::string(reinterpret_cast<const char*>(keyValue), sizeof keyValue)}) {
    EXPECT_EQ(testsupport::LeakIn(run.output, secret), "") << run.output;
    EXPECT_EQ(testsupport::LeakIn(trace, secret), "") << "in the trace";
  }
  EXPECT_NE(trace.find("(403)WFS_CMD_PIN_IMPORT_KEY\r\n"), std::string::npos)
      << "the trace names the calls";
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

// The main job: the transaction on the packaged wfp.ini (its ports must be
// free on this machine), against the secrets the simulator hands out.
class XfsmgrTransaction : public PipelineTest {
 protected:
  // The card's tracks and chip data, its card number and the PIN block of a
  // four-digit PIN entry, read through the test's own simulator, which
  // plays the same card and PIN pad as the demo's.
  std::vector<std::string> Secrets() {
    std::vector<std::string> secrets;
    Open(1, kCardReader);
    WORD all = WFS_IDC_TRACK1 | WFS_IDC_TRACK2 | WFS_IDC_TRACK3 | WFS_IDC_CHIP;
    std::optional<TakenMessage> read = Execute(1, WFS_CMD_IDC_READ_RAW_DATA, &all);
    std::string pan;
    for (const WFSIDCCARDDATA& data : xfsmgr::CardDataList(HeaderOf(*read).lpBuffer)) {
      // Built before it goes in: the packed members bind to no reference.
      secrets.push_back(std::string(reinterpret_cast<const char*>(data.lpbData), data.ulDataLength));
      if (data.wDataSource == WFS_IDC_TRACK2) pan = xfsmgr::PanOf(secrets.back());
    }
    EXPECT_EQ(secrets.size(), 4u);
    // The card number but for its first 6 digits, and but for its last 4.
    secrets.push_back(pan.substr(0, 7));
    secrets.push_back(pan.substr(pan.size() - 5));
    Open(2, kPinPad);
    const ULONG ends = WFS_PIN_FK_ENTER | WFS_PIN_FK_CANCEL;
    WFSPINGETPIN getPin = {4, 6, FALSE, '*', 0, 0x3FF | ends, 0, ends};
    Execute(2, WFS_CMD_PIN_GET_PIN, &getPin);
    char key[] = "PINKEY";
    WFSPINBLOCK block = {&pan[0], nullptr, 0x0F, WFS_PIN_FORMISO0, key, nullptr};
    std::optional<TakenMessage> pinBlock = Execute(2, WFS_CMD_PIN_GET_PINBLOCK, &block);
    WFSXDATA data;
    std::memcpy(&data, HeaderOf(*pinBlock).lpBuffer, sizeof data);
    secrets.push_back(std::string(reinterpret_cast<const char*>(data.lpbData), data.usLength));
    return secrets;
  }

  std::optional<TakenMessage> Execute(HSERVICE hService, DWORD command, void* input) {
    REQUESTID id = NextId();
    EXPECT_EQ(WFPExecute(hService, command, input, 10000, App().Handle(), id), WFS_SUCCESS);
    std::optional<TakenMessage> done = Await(WFS_EXECUTE_COMPLETE, id);
    EXPECT_TRUE(done && HeaderOf(*done).hResult == WFS_SUCCESS) << "execute " << command;
    return done;
  }
};

// The demo's two runs share the ports of the packaged wfp.ini, so they are
// one test: the whole session, then a run while the printer's port is taken.
TEST_F(XfsmgrTransaction, OneCustomerAcrossFourDevicesThenAStepThatFails) {
  std::vector<std::string> secrets = Secrets();
  ASSERT_FALSE(HasFailure());
  testsupport::TempDir dir;
  ProgramRun run = runProgram("", dir);
  if (portInUse(run.output)) {
    GTEST_SKIP() << "a port of " << PACKAGED_WFP_INI << " is in use on this machine";
  }
  EXPECT_EQ(run.status, 0) << run.output;
  const char* const kSteps[] = {
      "load the service provider",
      "copy the packaged wfp.ini",
      "find the four devices in wfp.ini",
      "start the simulated device services",
      "open the card reader CardReader and register for its events",
      "open the PIN pad PinPad and register for its events",
      "open the receipt printer ReceiptPrinter and register for its events",
      "open the card dispenser CardDispenser and register for its events",
      "a card is inserted and read",
      "the customer enters the PIN",
      "the PIN block is fetched",
      "a receipt is printed",
      "the receipt is taken",
      "a new card is dispensed",
      "the new card is taken",
      "the card is ejected",
      "close CardReader",
      "close PinPad",
      "close ReceiptPrinter",
      "close CardDispenser",
      "unload the service provider",
  };
  size_t at = 0;
  for (size_t i = 0; i < sizeof kSteps / sizeof kSteps[0]; ++i) {
    std::string heading = "\n== step " + std::to_string(i + 1) + ": " + kSteps[i] + "\n";
    at = run.output.find(heading, at);
    ASSERT_NE(at, std::string::npos) << "missing, or out of order: " << heading << run.output;
  }
  for (const char* expected :
       {"dwEventID=203 (WFS_EXEE_IDC_MEDIAINSERTED)", "card data: track 1 <PAN 400000******7899",
        "dwEventID=401 (WFS_EXEE_PIN_KEY) at ", "; key * wCompletion=6",
        "dwCommandCode=407 (WFS_CMD_PIN_GET_PINBLOCK)", "\t\tlpbData         = '2A2A2A'",
        "dwEventID=106 (WFS_SRVE_PTR_MEDIATAKEN)", "dwEventID=1403 (WFS_SRVE_CRD_MEDIADETECTED)",
        "card unit 1 (DEBIT): 50 cards before, 49 after",
        "dwEventID=1401 (WFS_SRVE_CRD_MEDIAREMOVED)", "WFPUnloadService() returned 0 (WFS_SUCCESS)",
        "xfsmgr: the transaction completed every step"}) {
    EXPECT_NE(run.output.find(expected), std::string::npos) << "missing: " << expected << "\n"
                                                           << run.output;
  }
  EXPECT_EQ(countOf(run.output, "; key * wCompletion=6"), 4u) << "four digits";
  // The table: requests, completions and events of each service.
  const std::vector<std::vector<std::string>> kRows = {
      {"CardReader", "5", "5", "1", "ms", "WFS_CMD_IDC_READ_RAW_DATA"},
      {"PinPad", "5", "5", "5", "ms", "WFS_CMD_PIN_GET_PIN"},
      {"ReceiptPrinter", "4", "4", "1", "ms"},
      {"CardDispenser", "6", "6", "2", "ms"}};
  for (const std::vector<std::string>& row : kRows) {
    // name, requests, completions, events, the slowest round trip in ms and its request
    std::vector<std::string> words = wordsOfLine(run.output, row[0]);
    ASSERT_GE(words.size(), row.size()) << "no row for " << row[0] << "\n" << run.output;
    for (size_t i = 0; i < row.size(); ++i) {
      EXPECT_EQ(words[i < 4 ? i : i + 1], row[i]) << row[0] << "\n" << run.output;
    }
  }

  // The trace has every call and result of the transaction, with names.
  std::string trace = readFile(dir.file("trace.log"));
  for (const char* call :
       {"(207)WFS_CMD_IDC_READ_RAW_DATA", "(405)WFS_CMD_PIN_GET_PIN", "(407)WFS_CMD_PIN_GET_PINBLOCK",
        "(104)WFS_CMD_PTR_RAW_DATA", "(1401)WFS_CMD_CRD_DISPENSE_CARD", "(203)WFS_CMD_IDC_EJECT_CARD"}) {
    EXPECT_EQ(countOf(trace, std::string(call) + "\r\n"), 2u) << "call and completion of " << call;
  }
  EXPECT_EQ(countOf(trace, "(1403)WFS_INF_CRD_CARD_UNIT_INFO\r\n"), 4u);
  EXPECT_EQ(countOf(trace, "\nWFPExecute      = \r\n"), 6u);
  EXPECT_EQ(countOf(trace, "\nWFPGetInfo      = \r\n"), 2u);
  for (const auto& [result, count] : std::vector<std::pair<std::string, size_t>>{
           {"[1025]WFS_OPEN_COMPLETEWFSRESULT", 4},
           {"[1029]WFS_REGISTER_COMPLETEWFSRESULT", 4},
           {"[1031]WFS_GETINFO_COMPLETEWFSRESULT", 2},
           {"[1032]WFS_EXECUTE_COMPLETEWFSRESULT", 6},
           {"[1044]WFS_EXECUTE_EVENTWFSRESULT", 6},
           {"[1045]WFS_SERVICE_EVENTWFSRESULT", 3},
           {"[1026]WFS_CLOSE_COMPLETEWFSRESULT", 4}}) {
    EXPECT_EQ(countOf(trace, result), count) << result;
  }
  EXPECT_EQ(countOf(trace, "\t\tulDigit         = ***\r\n"), 5u);

  for (const std::string& secret : secrets) {
    EXPECT_EQ(testsupport::LeakIn(run.output, secret), "") << "on the console";
    EXPECT_EQ(testsupport::LeakIn(trace, secret), "") << "in the trace";
  }

  // A port taken by someone else: a clear failure naming the step, not a hang.
  std::string error;
  int port = 0;
  for (const devsim::ServiceSpec& service : devsim::LoadServicesFromIni(PACKAGED_WFP_INI, &error)) {
    if (service.deviceClass == "PTR") port = service.port;
  }
  ASSERT_GT(port, 0) << "no printer in " << PACKAGED_WFP_INI << " " << error;
  int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  bool bound = ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
               ::listen(listener, 1) == 0;
  run = runProgram("", dir);
  ::close(listener);
  ASSERT_TRUE(bound) << "port " << port << " is in use already";
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_TRUE(portInUse(run.output)) << run.output;
  EXPECT_NE(run.output.find("xfsmgr: demo failed at step 4"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace e2e
