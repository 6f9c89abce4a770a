#include <sstream>
#include <vector>

#include "device_class.h"
#include "devsim/simulator.h"
#include "json_util.h"
#include "payloads.h"
#include "scenario.h"
#include "xfsapi.h"
#include "xfscrd.h"
#include "xfsidc.h"
#include "xfsptr.h"

namespace devsim {

namespace {

const char kHelp[] =
    "commands:\n"
    "  card [@SERVICE]               a card is inserted (execute event 203)\n"
    "  key DIGIT [COMPLETION] [@SERVICE]\n"
    "                                a PIN key (execute event 401) with that ulDigit and\n"
    "                                wCompletion (numbers, 0x for hexadecimal); a key entry\n"
    "                                left to the console (\"never\") ends at ENTER (0x400)\n"
    "                                or CANCEL (0x800)\n"
    "  take [@SERVICE]               the customer takes the receipt (service event 106),\n"
    "                                or the card from a card dispenser (service event 1401)\n"
    "  ink [LEVEL] [@SERVICE]        the printer's ink threshold (user event 111), LEVEL its\n"
    "                                ink state (default 1, low)\n"
    "  hwerror [@SERVICE]            a hardware error (system event 2)\n"
    "  event KIND ID [JSON] [@SERVICE]\n"
    "                                any event: KIND execute, service, user, system or\n"
    "                                1044 to 1047; JSON the lpBuffer (default: built-in)\n"
    "  answer on|off                 off: requests are held; on: held ones are answered\n"
    "  listen on|off                 off: every port closed (a dead device service)\n"
    "  scenario FILE | scenario clear\n"
    "                                load a scenario file, or drop the scenario\n"
    "  status                        services, ports, switches and counts\n"
    "  help                          this text\n"
    "  quit                          stop the simulator\n"
    "Without @SERVICE an event goes from the first service of the fitting class\n"
    "(card: a card reader, key: a PIN pad, take and ink: a printer) or from the\n"
    "first service.";

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

// A 32-bit decimal number, or a hexadecimal one after "0x".
bool ReadNumber(const std::string& text, unsigned long* out) {
  bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 16) return false;
  unsigned long value = 0;
  for (char c : digits) {
    int digit = c >= '0' && c <= '9'          ? c - '0'
                : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                              : -1;
    if (digit < 0) return false;
    value = value * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
  }
  if (value > 0xFFFFFFFFul) return false;
  *out = value;
  return true;
}

// The service named by a trailing "@NAME" (removed from rest), else the
// first one of family (Unknown: the first of all).
bool PickService(const Simulator& sim, std::string* rest, Family family, std::string* out,
                 std::string* error) {
  size_t end = rest->find_last_not_of(" \t");
  size_t start = rest->find_last_of(" \t", end == std::string::npos ? 0 : end);
  start = start == std::string::npos ? 0 : start + 1;
  if (end != std::string::npos && (*rest)[start] == '@') {
    *out = rest->substr(start + 1, end - start);
    rest->erase(start);
    return true;
  }
  for (const ServiceSpec& spec : sim.Services()) {
    if (family == Family::Unknown || FamilyOfClassText(spec.deviceClass) == family) {
      *out = spec.name;
      return true;
    }
  }
  *error = family == Family::Unknown
               ? "no service"
               : std::string("no ") + FamilyName(family) + " service; name one with @SERVICE";
  return false;
}

std::string OnOff(bool on) { return on ? "on" : "off"; }

Family FamilyOfService(const Simulator& sim, const std::string& name) {
  for (const ServiceSpec& spec : sim.Services()) {
    if (spec.name == name) return FamilyOfClassText(spec.deviceClass);
  }
  return Family::Unknown;
}

}  // namespace

ControlConsole::ControlConsole(Simulator& sim) : m_sim(sim) {}

bool ControlConsole::QuitRequested() const { return m_quit; }

std::string ControlConsole::HelpText() { return kHelp; }

std::string ControlConsole::Execute(const std::string& line) {
  std::vector<std::string> words = Words(line);
  if (words.empty()) return "";
  const std::string& command = words[0];
  std::string rest = line.substr(line.find(command) + command.size());
  std::string error;

  if (command == "help") return kHelp;
  if (command == "quit") {
    m_quit = true;
    return "bye";
  }
  if (command == "status") {
    std::ostringstream out;
    for (const ServiceSpec& spec : m_sim.Services()) {
      out << spec.name << " (" << spec.deviceClass << ") port " << spec.port << "\n";
    }
    out << "answering " << OnOff(m_sim.Answering()) << ", listening " << OnOff(m_sim.Listening())
        << ", " << m_sim.Requests().size() << " requests received, " << m_sim.PendingCount()
        << " waiting for their completion";
    return out.str();
  }
  if ((command == "answer" || command == "listen") && words.size() == 2 &&
      (words[1] == "on" || words[1] == "off")) {
    bool on = words[1] == "on";
    if (command == "answer") {
      m_sim.SetAnswering(on);
    } else {
      m_sim.SetListening(on);
    }
    return command + " " + words[1];
  }
  if (command == "scenario" && words.size() == 2) {
    if (words[1] == "clear") {
      m_sim.ClearScenario();
      return "scenario cleared";
    }
    if (!m_sim.LoadScenarioFile(words[1], &error)) return "error: " + error;
    return "scenario " + words[1] + " loaded";
  }

  EventOrder order;
  Family family = Family::Unknown;
  if (command == "card") {
    family = Family::IDC;
    order.kind = WFS_EXECUTE_EVENT;
    order.id = WFS_EXEE_IDC_MEDIAINSERTED;
  } else if (command == "hwerror") {
    order.kind = WFS_SYSTEM_EVENT;
    order.id = WFS_SYSE_HARDWARE_ERROR;
  } else if (command == "key") {
    family = Family::PIN;
    order.kind = WFS_EXECUTE_EVENT;
    order.id = kPinKeyEvent;
  } else if (command == "take") {
    family = Family::PTR;
    order.kind = WFS_SERVICE_EVENT;
  } else if (command == "ink") {
    family = Family::PTR;
    order.kind = WFS_USER_EVENT;
    order.id = WFS_USRE_PTR_INKTHRESHOLD;
  } else if (command != "event") {
    return "error: unknown command \"" + line + "\"; try help";
  }
  if (!PickService(m_sim, &rest, family, &order.service, &error)) return "error: " + error;
  std::vector<std::string> args = Words(rest);

  if (command == "key") {
    unsigned long digit = 0;
    unsigned long completion = 0;
    if (args.empty() || args.size() > 2 || !ReadNumber(args[0], &digit) ||
        (args.size() == 2 && !ReadNumber(args[1], &completion))) {
      return "error: usage: key DIGIT [COMPLETION] [@SERVICE]";
    }
    order.lpBuffer = PinKeyPayload(digit, static_cast<unsigned>(completion));
  } else if (command == "ink") {
    unsigned long level = WFS_PTR_INKLOW;
    if (args.size() > 1 || (args.size() == 1 && (!ReadNumber(args[0], &level) || level > 0xFFFF))) {
      return "error: usage: ink [LEVEL] [@SERVICE]";
    }
    order.lpBuffer = InkThresholdPayload(static_cast<WORD>(level));
  } else if (command == "event") {
    unsigned long id = 0;
    if (args.size() < 2 || !ReadNumber(args[1], &id)) {
      return "error: usage: event KIND ID [JSON] [@SERVICE]";
    }
    unsigned long number = 0;
    order.kind = EventTypeFromJson(ReadNumber(args[0], &number)
                                       ? Json::Value(static_cast<Json::UInt64>(number))
                                       : Json::Value(args[0]));
    if (order.kind == 0) return "error: event kind \"" + args[0] + "\" is unknown";
    order.id = id;
    size_t at = rest.find(args[1], rest.find(args[0]) + args[0].size()) + args[1].size();
    std::string json = rest.substr(at);
    if (json.find_first_not_of(" \t") != std::string::npos &&
        !ParseJson(json, &order.lpBuffer, &error)) {
      return "error: the payload is not JSON: " + error;
    }
  } else if (!args.empty()) {
    return "error: " + command + " takes no argument but @SERVICE";
  }
  if (command == "take") {
    order.id = FamilyOfService(m_sim, order.service) == Family::CRD ? WFS_SRVE_CRD_MEDIAREMOVED
                                                                    : WFS_SRVE_PTR_MEDIATAKEN;
  }
  if (!m_sim.SendEvent(order, &error)) return "error: " + error;
  return "sent event " + std::to_string(order.id) + " from " + order.service;
}

}  // namespace devsim
