// devsim: the device service simulator at the command line.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "devsim/simulator.h"

namespace {

const char kUsage[] =
    "usage: devsim --config wfp.ini [--scenario file.json] [--service NAME]... [--raw-log]\n"
    "       devsim --service NAME:CLASS:PORT... [--scenario file.json] [--raw-log]\n"
    "\n"
    "Simulates the device service processes of the XFS service provider: listens on\n"
    "127.0.0.1 on the port of every logical service, reads one JSON request per\n"
    "connection and answers open, close, lock, unlock, get-info and execute requests\n"
    "with one framed reply on the port the request names as \"hWnd\". A cancel completes\n"
    "the named pending request with -4, a time-out notice with -48; an unload needs no\n"
    "reply. Card readers answer with realistic data (status, capabilities, form list,\n"
    "read track, read raw data, eject, retain, chip I/O, chip power); PIN pads with\n"
    "status, capabilities, key details, function keys, PIN blocks, key check values\n"
    "and enciphered data, and a key entry (GET_PIN, GET_DATA, GET_PIN_EX) sends one key\n"
    "event per key before its completion: four digits and ENTER, or the keys of the\n"
    "rule's eventsBefore; a rule that \"never\" answers it leaves the keys to the\n"
    "console's key command. A receipt printer prints RAW_DATA (the log shows its size,\n"
    "never its data), presents the receipt and reports it taken 3 s later or on\n"
    "\"take\". A card dispenser keeps card units with names and counts: DISPENSE_CARD\n"
    "counts a unit down (media detected, the threshold event when it reaches its\n"
    "threshold, a card-unit error and a failed completion when it is empty),\n"
    "SET_CARD_UNIT_INFO changes them.\n"
    "\n"
    "options:\n"
    "  --config FILE      serve every section of this wfp.ini that has a \"class\" key,\n"
    "                     on its \"port\" (default 10)\n"
    "  --service NAME     with --config: serve only this section (repeatable)\n"
    "  --service NAME:CLASS:PORT\n"
    "                     serve this service too (PORT 0: any free port)\n"
    "  --scenario FILE    override answers with the rules of this JSON file\n"
    "  --raw-log          log card track, chip and PIN data unmasked\n"
    "  --help             this text\n"
    "\n"
    "Scenario file:\n"
    "  {\"rules\": [{\"kind\": \"execute\", \"code\": 201, \"class\": \"IDC\",\n"
    "              \"service\": \"CardReader\", \"times\": 1, \"hResult\": -14,\n"
    "              \"lpBuffer\": ..., \"delayMs\": 200, \"never\": false,\n"
    "              \"eventsBefore\": [{\"kind\": \"execute\", \"id\": 203}],\n"
    "              \"eventsAfter\": [{\"kind\": \"service\", \"id\": 204, \"lpBuffer\": null}],\n"
    "              \"raw\": [\"any text\", {\"text\": \"...\", \"announce\": 100},\n"
    "                      {\"reply\": true, \"cut\": 20}, {\"text\": \"\", \"header\": "
    "\"x\"}]}]}\n"
    "  kind is open, close, lock, unlock, getinfo or execute; class, service, code and\n"
    "  times narrow the rule; the first matching rule decides. eventsBefore go out when\n"
    "  the request is taken up (an event's own \"delayMs\" after the one before it),\n"
    "  the completion delayMs (a tenth of a second at least) after the last of them,\n"
    "  then eventsAfter; never leaves it to a cancel or a time-out notice. raw frames\n"
    "  replace the completion:\n"
    "  \"announce\" makes the header announce N bytes, \"header\" gives its text, \"cut\"\n"
    "  sends only the first N bytes; ${requestID}, ${hService}, ${code} and ${hWnd} in a\n"
    "  text stand for the request's values. An event without lpBuffer carries its\n"
    "  built-in payload; an error hResult carries no lpBuffer unless the rule gives one.\n"
    "  Examples: tools/devsim/examples/*.json in the source tree.\n"
    "\n"
    "Standard input takes one command a line. The end of the input does not stop the\n"
    "simulator; quit, SIGINT and SIGTERM do.\n";

volatile std::sig_atomic_t g_signalled = 0;

void OnSignal(int) { g_signalled = 1; }

int Fail(const std::string& message, int code) {
  std::fprintf(stderr, "devsim: %s\n", message.c_str());
  return code;
}

// Carries out the commands on standard input until quit or a signal. The
// end of the input does not stop the simulator: it may run without one.
void Serve(devsim::Simulator& sim) {
  devsim::ControlConsole console(sim);
  std::string pending;
  bool input = true;
  while (!g_signalled && !console.QuitRequested()) {
    pollfd fd{STDIN_FILENO, POLLIN, 0};
    int ready = ::poll(&fd, input ? 1 : 0, 200);
    if (ready <= 0 || !input) continue;
    char buffer[1024];
    ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      input = false;
      continue;
    }
    pending.append(buffer, static_cast<size_t>(n));
    for (size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
      std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      std::string reply = console.Execute(line);
      if (!reply.empty()) std::printf("%s\n", reply.c_str());
      std::fflush(stdout);
      if (console.QuitRequested()) break;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string config;
  std::string scenario;
  std::vector<std::string> names;
  devsim::SimulatorOptions options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::printf("%s\n%s\n", kUsage, devsim::ControlConsole::HelpText().c_str());
      return 0;
    } else if (arg == "--raw-log") {
      options.rawLog = true;
    } else if ((arg == "--config" || arg == "--scenario" || arg == "--service") && !hasValue) {
      return Fail(arg + " needs a value; see --help", 2);
    } else if (arg == "--config") {
      config = argv[++i];
    } else if (arg == "--scenario") {
      scenario = argv[++i];
    } else if (arg == "--service") {
      std::string value = argv[++i];
      if (value.find(':') == std::string::npos) {
        names.push_back(value);
        continue;
      }
      devsim::ServiceSpec spec;
      std::string error;
      if (!devsim::ParseServiceSpec(value, &spec, &error)) return Fail(error, 2);
      options.services.push_back(spec);
    } else {
      return Fail("unknown argument \"" + arg + "\"; see --help", 2);
    }
  }
  if (!names.empty() && config.empty()) return Fail("--service NAME needs --config", 2);
  if (config.empty() && options.services.empty()) {
    return Fail("nothing to serve: give --config or --service NAME:CLASS:PORT; see --help", 2);
  }
  if (!config.empty()) {
    std::string error;
    std::vector<devsim::ServiceSpec> found = devsim::LoadServicesFromIni(config, &error);
    if (found.empty()) return Fail(error, 1);
    for (const std::string& name : names) {
      bool known = false;
      for (const devsim::ServiceSpec& spec : found) {
        if (spec.name != name) continue;
        options.services.push_back(spec);
        known = true;
      }
      if (!known) return Fail(config + " has no service \"" + name + "\"", 1);
    }
    if (names.empty()) options.services.insert(options.services.end(), found.begin(), found.end());
  }

  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = OnSignal;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
  ::signal(SIGPIPE, SIG_IGN);

  devsim::Simulator sim(options);
  std::string error;
  if (!scenario.empty() && !sim.LoadScenarioFile(scenario, &error)) {
    return Fail("bad scenario " + error, 1);
  }
  if (!sim.Start(&error)) return Fail(error, 1);
  Serve(sim);
  sim.Stop();
  return 0;
}
