#include "step_parser.h"

#include "command_inputs.h"
#include "xfsapi.h"

namespace xfsmgr {

namespace {

constexpr unsigned long kDwordMax = 0xFFFFFFFFUL;
constexpr unsigned long kMaxTimeoutMs = 3600000;

struct StepWord {
  const char* word;
  StepKind kind;
  size_t numbers;  // how many numbers follow; Execute: a command and any inputs
  const char* meaning;
};

const StepWord kSteps[] = {
    {"open", StepKind::Open, 0, "WFPOpen of the service"},
    {"close", StepKind::Close, 0, "WFPClose"},
    {"lock", StepKind::Lock, 0, "WFPLock"},
    {"unlock", StepKind::Unlock, 0, "WFPUnlock"},
    {"register", StepKind::Register, 1, "WFPRegister for the event classes CLASSES"},
    {"deregister", StepKind::Deregister, 1, "WFPDeregister of the event classes CLASSES"},
    {"getinfo", StepKind::GetInfo, 1, "WFPGetInfo of category CAT, no input"},
    {"execute", StepKind::Execute, 1, "WFPExecute of command CMD with its inputs N..."},
    {"cancel", StepKind::Cancel, 0, "WFPCancelAsyncRequest of the request of the step before"},
    {"wait-event", StepKind::WaitEvent, 1,
     "wait up to MS milliseconds for an event (one that came during an earlier step counts)"},
    {"unload", StepKind::Unload, 0, "WFPUnloadService"},
};

const StepWord* findStep(const std::string& word) {
  for (const StepWord& step : kSteps) {
    if (word == step.word) return &step;
  }
  return nullptr;
}

bool isNumber(const std::string& text) {
  unsigned long ignored;
  return ParseNumber(text, ~0UL, &ignored);
}

bool isRequest(StepKind kind) {
  return kind == StepKind::Open || kind == StepKind::Close || kind == StepKind::Lock ||
         kind == StepKind::Unlock || kind == StepKind::GetInfo || kind == StepKind::Execute;
}

// The words of an execute step up to the next step; secret ones are shown
// in the step's text by their length only.
bool parseWords(const std::vector<std::string>& args, size_t* at, Step* step,
                std::string* error) {
  DWORD command = static_cast<DWORD>(step->numbers[0]);
  while (*at < args.size() && findStep(args[*at]) == nullptr) step->words.push_back(args[(*at)++]);
  if (!step->words.empty()) step->text += " " + ShownWords(command, step->words);
  return CheckExecuteWords(command, step->words, error);
}

// One step starting at args[*at]; advances *at past it.
bool parseStep(const std::vector<std::string>& args, size_t* at, Step* step, std::string* error) {
  const StepWord* word = findStep(args[*at]);
  if (word == nullptr) {
    *error = "unknown step '" + args[*at] + "'";
    return false;
  }
  step->kind = word->kind;
  step->text = args[(*at)++];
  size_t wanted = word->numbers;
  bool words = false;  // the command's inputs are words
  while (!words && *at < args.size() && isNumber(args[*at]) &&
         (step->numbers.size() < wanted || word->kind == StepKind::Execute)) {
    unsigned long value = 0;
    if (!ParseNumber(args[*at], kDwordMax, &value)) {
      *error = "step " + step->text + ": " + args[*at] + " is above " + std::to_string(kDwordMax);
      return false;
    }
    step->numbers.push_back(value);
    step->text += " " + args[(*at)++];
    words = word->kind == StepKind::Execute && TakesWords(static_cast<DWORD>(value));
  }
  if (words) return parseWords(args, at, step, error);
  if (step->numbers.size() < wanted) {
    *error = "step " + step->text + " needs " + std::to_string(wanted) + " number(s): " +
             word->meaning;
    return false;
  }
  if (word->kind == StepKind::WaitEvent && step->numbers[0] > kMaxTimeoutMs) {
    *error = "step " + step->text + ": at most " + std::to_string(kMaxTimeoutMs) + " ms";
    return false;
  }
  if (word->kind == StepKind::Execute) {
    std::vector<unsigned long> inputs(step->numbers.begin() + 1, step->numbers.end());
    return CheckExecuteInput(static_cast<DWORD>(step->numbers[0]), inputs, error);
  }
  return true;
}

bool parseSteps(const std::vector<std::string>& args, size_t at, Options* options,
                std::string* error) {
  while (at < args.size()) {
    Step step;
    if (!parseStep(args, &at, &step, error)) return false;
    if (step.kind == StepKind::Cancel &&
        (options->steps.empty() || !isRequest(options->steps.back().kind))) {
      *error = "cancel must follow a request step (open, close, lock, unlock, getinfo, execute)";
      return false;
    }
    options->steps.push_back(step);
  }
  return true;
}

}  // namespace

bool ParseArguments(const std::vector<std::string>& args, Options* options, std::string* error) {
  *options = Options();
  size_t at = 0;
  while (at < args.size() && args[at].rfind("-", 0) == 0) {
    const std::string& option = args[at++];
    if (option == "--help" || option == "-h") {
      options->mode = Mode::Help;
      return true;
    }
    if (option == "--show-card-data") {
      options->showCardData = true;
      continue;
    }
    if (option != "--library" && option != "--timeout" && option != "--service") {
      *error = "unknown option '" + option + "'";
      return false;
    }
    if (at == args.size() || args[at].empty()) {
      *error = option + " needs a value";
      return false;
    }
    const std::string& value = args[at++];
    if (option == "--library") {
      options->library = value;
    } else if (option == "--service") {
      options->service = value;
    } else {
      unsigned long ms = 0;
      if (!ParseNumber(value, kMaxTimeoutMs, &ms) || ms == 0) {
        *error = "--timeout takes milliseconds from 1 to " + std::to_string(kMaxTimeoutMs) +
                 ", not '" + value + "'";
        return false;
      }
      options->timeoutMs = static_cast<int>(ms);
    }
  }
  if (options->service.empty()) {
    if (at < args.size()) {
      *error = "steps need --service NAME before them ('" + args[at] + "')";
      return false;
    }
    return true;
  }
  options->mode = Mode::Steps;
  if (at == args.size()) {
    *error = "--service " + options->service + " needs at least one step";
    return false;
  }
  return parseSteps(args, at, options, error);
}

std::string HelpText(const std::string& program) {
  std::string text =
      "Usage:\n"
      "  " + program + " [--library PATH] [--show-card-data] [--timeout MS]\n"
      "      The demo: one customer's session at a terminal, across the four\n"
      "      services of the packaged wfp.ini (card reader, PIN pad, receipt\n"
      "      printer, card dispenser) against the built-in device-service\n"
      "      simulator. Sets WFP_CONFIG_DIR to a fresh temporary directory (removed\n"
      "      at the end), so the service provider copies its packaged wfp.ini\n"
      "      there, starts the simulator on the ports of that file, opens the four\n"
      "      services and runs: a card inserted and read (READ_RAW_DATA), the PIN\n"
      "      entered (GET_PIN) and its PIN block fetched (GET_PINBLOCK), a receipt\n"
      "      printed (RAW_DATA) and taken, a new card dispensed (DISPENSE_CARD,\n"
      "      with CARD_UNIT_INFO before and after) and taken, the card ejected;\n"
      "      then closes the four and unloads. Ends with a table per service:\n"
      "      requests, completions, events and the slowest round trip.\n"
      "  " + program + " [--library PATH] [--show-card-data] [--timeout MS]\n"
      "         --service NAME STEP...\n"
      "      Runs the steps in order against the logical service NAME of the wfp.ini\n"
      "      in WFP_CONFIG_DIR (or the service provider's default directory); the\n"
      "      device service must be running. Every request step waits for its\n"
      "      completion, except one followed by cancel.\n"
      "  " + program + " --help\n"
      "\n"
      "Options:\n"
      "  --library PATH      the service provider to load (default:\n"
      "                      ../lib/libPavane.so beside this program)\n"
      "  --timeout MS        dwTimeOut of open, lock and execute (default 10000);\n"
      "                      each completion is awaited MS + 5000 ms\n"
      "  --service NAME      the logical service the steps use (service handle 1)\n"
      "  --show-card-data    print card data whole in the summaries; by default a\n"
      "                      track shows the first 6 and last 4 digits of the card\n"
      "                      number, chip data its length (the structures below\n"
      "                      the summaries never show card data)\n"
      "\n"
      "Steps (numbers are decimal, or hexadecimal after 0x):\n";
  for (const StepWord& step : kSteps) {
    std::string usage = step.word;
    if (step.kind == StepKind::Register || step.kind == StepKind::Deregister) usage += " CLASSES";
    if (step.kind == StepKind::GetInfo) usage += " CAT";
    if (step.kind == StepKind::Execute) usage += " CMD [N...]";
    if (step.kind == StepKind::WaitEvent) usage += " MS";
    usage.resize(20, ' ');
    text += "  " + usage + step.meaning + "\n";
  }
  text +=
      "  CLASSES is a sum of 1 service, 2 user, 4 system and 8 execute events (15: all).\n"
      "  The events that arrive during any step are printed as they come.\n"
      "\n"
      "Execute inputs xfsmgr builds from numbers or words (any other command is sent\n"
      "with a NULL input; card data and key values are printed by their length):\n" +
      ExecuteInputHelp() +
      "\n"
      "A service still open after the last step (or after a failed step) is closed,\n"
      "so that the service provider's threads have ended before it is unloaded.\n"
      "\n"
      "Every call is printed with its result, every completion and event with a\n"
      "one-line summary (message, RequestID, hResult, command or event) and its\n"
      "structure as the trace formatter renders it, the same text as the trace.\n"
      "Names come from the name file WFSConfig.xml: the one in the configuration\n"
      "directory, else the one beside this program.\n"
      "\n"
      "The service provider's trace is discarded unless KESTREL_TRACE_FILE names a\n"
      "file (KESTREL_TRACE_LEVEL: lowest level written, 1 to 4).\n"
      "\n"
      "Exit status: 0 when every step got its completion (the demo: with\n"
      "WFS_SUCCESS), 1 when a step failed, 2 for bad arguments.\n"
      "\n"
      "Example:\n"
      "  " + program +
      " --service CardReader open register 15 getinfo 201 execute 207 15 \\\n"
      "      wait-event 5000 execute 203 1 close\n"
      "  " + program + " --service ReceiptPrinter open register 15 execute 104 'THANK YOU' close\n";
  return text;
}

}  // namespace xfsmgr
