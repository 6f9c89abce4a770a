#include "command_inputs.h"

#include "xfscrd.h"
#include "xfsidc.h"
#include "xfsptr.h"

namespace xfsmgr {

namespace {

constexpr unsigned long kWordMax = 0xFFFF;
constexpr unsigned long kDwordMax = 0xFFFFFFFFUL;

template <typename T>
std::shared_ptr<void> hold(const T& value) {
  return std::make_shared<T>(value);
}

WORD word(unsigned long value) { return static_cast<WORD>(value); }

std::shared_ptr<void> noInput(const std::vector<unsigned long>&) { return nullptr; }

// Commands whose input is one LPWORD.
std::shared_ptr<void> wordInput(const std::vector<unsigned long>& n) { return hold(word(n[0])); }

// RAW_DATA of a text: the structure and the bytes it points to, held together.
std::shared_ptr<void> rawDataInput(const std::string& text) {
  struct RawData {
    std::string bytes;
    WFSPTRRAWDATA raw;
  };
  auto input = std::make_shared<RawData>();
  input->bytes = text;
  input->raw = WFSPTRRAWDATA{WFS_PTR_NOINPUTDATA, static_cast<ULONG>(text.size()),
                             reinterpret_cast<LPBYTE>(&input->bytes[0])};
  return std::shared_ptr<void>(input, &input->raw);
}

struct KnownInput {
  DWORD command;
  const char* numbers;                // what the numbers are, for messages and --help
  std::vector<unsigned long> maxima;  // one per number
  std::shared_ptr<void> (*build)(const std::vector<unsigned long>&);
  // A command that takes a text instead of numbers.
  std::shared_ptr<void> (*buildFromText)(const std::string&) = nullptr;
};

const KnownInput kKnown[] = {
    {WFS_CMD_IDC_EJECT_CARD, "wEjectPosition (1 exit, 2 transport)", {kWordMax},
     [](const std::vector<unsigned long>& n) { return hold(WFSIDCEJECTCARD{word(n[0])}); }},
    {WFS_CMD_IDC_RETAIN_CARD, "no input", {}, noInput},
    {WFS_CMD_IDC_RESET_COUNT, "no input", {}, noInput},
    {WFS_CMD_IDC_READ_RAW_DATA, "the read-data flags (1 track 1, 2 track 2, 4 track 3, 8 chip...)",
     {kWordMax}, wordInput},
    {WFS_CMD_IDC_RESET, "the reset action (lpwResetIn)", {kWordMax}, wordInput},
    {WFS_CMD_IDC_CHIP_POWER, "the chip power action (2 cold, 4 warm, 8 off)", {kWordMax}, wordInput},
    {WFS_CMD_IDC_SET_GUIDANCE_LIGHT, "wGuidLight and dwCommand", {kWordMax, kDwordMax},
     [](const std::vector<unsigned long>& n) {
       return hold(WFSIDCSETGUIDLIGHT{word(n[0]), static_cast<DWORD>(n[1])});
     }},
    {WFS_CMD_IDC_POWER_SAVE_CONTROL, "usMaxPowerSaveRecoveryTime", {kWordMax},
     [](const std::vector<unsigned long>& n) {
       return hold(WFSIDCPOWERSAVECONTROL{static_cast<USHORT>(n[0])});
     }},
    {WFS_CMD_PTR_CONTROL_MEDIA, "the media-control flags (1 eject, 4 cut, 32 retract...)",
     {kDwordMax}, [](const std::vector<unsigned long>& n) { return hold(static_cast<DWORD>(n[0])); }},
    {WFS_CMD_PTR_RAW_DATA, "TEXT, the text to print (one argument: quote it)", {}, nullptr,
     rawDataInput},
    {WFS_CMD_PTR_RESET, "dwMediaControl and usRetractBinNumber", {kDwordMax, kWordMax},
     [](const std::vector<unsigned long>& n) {
       return hold(WFSPTRRESET{static_cast<DWORD>(n[0]), static_cast<USHORT>(n[1])});
     }},
    {WFS_CMD_CRD_DISPENSE_CARD, "usNumber (the card unit) and bPresent (1: to the exit)",
     {kWordMax, 1},
     [](const std::vector<unsigned long>& n) {
       return hold(WFSCRDDISPENSE{static_cast<USHORT>(n[0]), static_cast<BOOL>(n[1])});
     }},
    {WFS_CMD_CRD_EJECT_CARD, "no input", {}, noInput},
    {WFS_CMD_CRD_RETAIN_CARD, "usNumber (the retain bin)", {kWordMax},
     [](const std::vector<unsigned long>& n) {
       return hold(WFSCRDRETAINCARD{static_cast<USHORT>(n[0])});
     }},
    {WFS_CMD_CRD_RESET, "usAction (1 no action, 2 eject, 3 retain, 4 eject then retain)",
     {kWordMax},
     [](const std::vector<unsigned long>& n) { return hold(WFSCRDRESET{static_cast<USHORT>(n[0])}); }},
};

const KnownInput* find(DWORD command) {
  for (const KnownInput& known : kKnown) {
    if (known.command == command) return &known;
  }
  return nullptr;
}

}  // namespace

bool KnowsExecuteInput(DWORD command) { return find(command) != nullptr; }

bool ExecuteTakesText(DWORD command) {
  const KnownInput* known = find(command);
  return known != nullptr && known->buildFromText != nullptr;
}

bool CheckExecuteInput(DWORD command, const std::vector<unsigned long>& numbers,
                       std::string* error) {
  const KnownInput* known = find(command);
  if (known == nullptr) return true;
  std::string takes = "execute " + std::to_string(command) + " takes " +
                      std::to_string(known->maxima.size()) + " number(s): " + known->numbers;
  if (numbers.size() != known->maxima.size()) {
    *error = takes;
    return false;
  }
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (numbers[i] > known->maxima[i]) {
      *error = takes + "; " + std::to_string(numbers[i]) + " is above " +
               std::to_string(known->maxima[i]);
      return false;
    }
  }
  return true;
}

std::shared_ptr<void> BuildExecuteInput(DWORD command, const std::vector<unsigned long>& numbers,
                                        const std::string& text) {
  const KnownInput* known = find(command);
  if (known == nullptr) return nullptr;
  return known->buildFromText != nullptr ? known->buildFromText(text) : known->build(numbers);
}

std::string ExecuteInputHelp() {
  std::string text;
  for (const KnownInput& known : kKnown) {
    text += "    execute " + std::to_string(known.command) + ": " + known.numbers + "\n";
  }
  return text;
}

}  // namespace xfsmgr
