#include "command_inputs.h"

#include <cerrno>
#include <cstdlib>

#include "xfscrd.h"
#include "xfsidc.h"
#include "xfspin.h"
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

// A PIN entry whose customer types digits and ends with ENTER or CANCEL.
std::shared_ptr<void> getPin(const std::vector<unsigned long>& n) {
  const ULONG digits = 0x3FF;
  const ULONG ends = WFS_PIN_FK_ENTER | WFS_PIN_FK_CANCEL;
  return hold(WFSPINGETPIN{static_cast<USHORT>(n[0]), static_cast<USHORT>(n[1]),
                           static_cast<BOOL>(n[2]), '*', 0,
                           digits | ends | WFS_PIN_FK_CLEAR | WFS_PIN_FK_BACKSPACE, 0, ends});
}

// Commands whose input is one LPWORD.
std::shared_ptr<void> wordInput(const std::vector<unsigned long>& n) { return hold(word(n[0])); }

// The entry of table for command, or NULL.
template <typename Entry, size_t N>
const Entry* findIn(const Entry (&table)[N], DWORD command) {
  for (const Entry& known : table) {
    if (known.command == command) return &known;
  }
  return nullptr;
}

// Checks that `given` inputs were given of the `wanted` that command takes
// (`unit`s meaning `what`), then each: fault(i) says what is wrong with
// input i, nothing when it is right.
template <typename Fault>
bool checkInputs(DWORD command, size_t wanted, size_t given, const char* unit, const char* what,
                 Fault fault, std::string* error) {
  std::string takes = "execute " + std::to_string(command) + " takes " + std::to_string(wanted) +
                      " " + unit + "(s): " + what;
  if (given != wanted) {
    *error = takes;
    return false;
  }
  for (size_t i = 0; i < given; ++i) {
    std::string why = fault(i);
    if (!why.empty()) {
      *error = takes + "; " + why;
      return false;
    }
  }
  return true;
}

struct KnownInput {
  DWORD command;
  const char* numbers;                // what the numbers are, for messages and --help
  std::vector<unsigned long> maxima;  // one per number
  std::shared_ptr<void> (*build)(const std::vector<unsigned long>&);
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
    {WFS_CMD_PIN_GET_PIN,
     "usMinLen, usMaxLen and bAutoEnd (0 or 1); the digits, ENTER, CANCEL, CLEAR and "
     "BACKSPACE are active, ENTER and CANCEL end the entry, the echo is *",
     {kWordMax, kWordMax, 1}, getPin},
    {WFS_CMD_PTR_CONTROL_MEDIA, "the media-control flags (1 eject, 4 cut, 32 retract...)",
     {kDwordMax},
     [](const std::vector<unsigned long>& n) { return hold(static_cast<DWORD>(n[0])); }},
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
     [](const std::vector<unsigned long>& n) {
       return hold(WFSCRDRESET{static_cast<USHORT>(n[0])});
     }},
};

const KnownInput* find(DWORD command) { return findIn(kKnown, command); }

// ---- Commands whose inputs are words ---------------------------------------------

enum class WordKind {
  kName,      // a key name
  kCardData,  // the customer data: digits of the card, a secret
  kNumber,    // a WORD, decimal or hexadecimal after 0x
  kKeyValue,  // the key's bytes in hexadecimal, a secret
  kPrinted,   // a text to print: a receipt may carry customer data
};

constexpr size_t kLongestCardData = 19;
constexpr size_t kLongestKey = 64;

struct WordInput {
  DWORD command;
  const char* words;  // what the words are, for messages and --help
  std::vector<WordKind> kinds;
  std::shared_ptr<void> (*build)(const std::vector<std::string>&);
};

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::vector<BYTE> hexBytes(const std::string& text) {
  std::vector<BYTE> bytes;
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    bytes.push_back(static_cast<BYTE>(hexDigit(text[i]) << 4 | hexDigit(text[i + 1])));
  }
  return bytes;
}

// Why word is not of its kind; empty when it is. Never quotes a secret.
std::string fault(WordKind kind, const std::string& word) {
  switch (kind) {
    case WordKind::kName:
      return std::string();
    case WordKind::kCardData:
      if (word.empty() || word.size() > kLongestCardData ||
          word.find_first_not_of("0123456789") != std::string::npos) {
        return "the customer data must be 1 to " + std::to_string(kLongestCardData) + " digits";
      }
      return std::string();
    case WordKind::kNumber: {
      unsigned long ignored = 0;
      if (ParseNumber(word, kWordMax, &ignored)) return std::string();
      return word + " is not a number up to " + std::to_string(kWordMax);
    }
    case WordKind::kKeyValue:
      for (char c : word) {
        if (hexDigit(c) < 0) return "the key value must be hexadecimal digits";
      }
      if (word.empty() || word.size() % 2 != 0 || word.size() / 2 > kLongestKey) {
        return "the key value must be 1 to " + std::to_string(kLongestKey) + " whole bytes";
      }
      return std::string();
    case WordKind::kPrinted:
      return std::string();
  }
  return std::string();
}

// A structure that points into the words it keeps: the pointer owns the
// holder and points at the structure in it.
template <typename Holder, typename T>
std::shared_ptr<void> inside(const std::shared_ptr<Holder>& holder, T* structure) {
  return std::shared_ptr<void>(holder, structure);
}

std::shared_ptr<void> pinBlock(const std::vector<std::string>& w) {
  struct Holder {
    std::string key;
    std::string customerData;
    WFSPINBLOCK block;
  };
  auto holder = std::make_shared<Holder>();
  holder->key = w[0];
  holder->customerData = w[1];
  holder->block = WFSPINBLOCK{&holder->customerData[0], nullptr, 0x0F, WFS_PIN_FORMISO0,
                              &holder->key[0], nullptr};
  return inside(holder, &holder->block);
}

std::shared_ptr<void> importKey(const std::vector<std::string>& w) {
  struct Holder {
    std::string key;
    std::vector<BYTE> value;
    WFSXDATA data;
    WFSPINIMPORT import;
  };
  auto holder = std::make_shared<Holder>();
  unsigned long use = 0;
  ParseNumber(w[1], kWordMax, &use);
  holder->key = w[0];
  holder->value = hexBytes(w[2]);
  holder->data = WFSXDATA{static_cast<USHORT>(holder->value.size()), holder->value.data()};
  holder->import = WFSPINIMPORT{&holder->key[0], nullptr, nullptr, &holder->data, word(use)};
  return inside(holder, &holder->import);
}

// RAW_DATA of a text, without input data to read.
std::shared_ptr<void> rawData(const std::vector<std::string>& w) {
  struct Holder {
    std::string text;
    WFSPTRRAWDATA raw;
  };
  auto holder = std::make_shared<Holder>();
  holder->text = w[0];
  holder->raw = WFSPTRRAWDATA{WFS_PTR_NOINPUTDATA, static_cast<ULONG>(holder->text.size()),
                              reinterpret_cast<LPBYTE>(&holder->text[0])};
  return inside(holder, &holder->raw);
}

const WordInput kWords[] = {
    {WFS_CMD_PIN_GET_PINBLOCK, "the key name and the customer data (digits); format ISO 0",
     {WordKind::kName, WordKind::kCardData}, pinBlock},
    {WFS_CMD_PIN_IMPORT_KEY, "the key name, fwUse and the key value in hexadecimal",
     {WordKind::kName, WordKind::kNumber, WordKind::kKeyValue}, importKey},
    {WFS_CMD_PTR_RAW_DATA, "the text to print (quote it)", {WordKind::kPrinted}, rawData},
};

const WordInput* findWords(DWORD command) { return findIn(kWords, command); }


}  // namespace

bool ParseNumber(const std::string& text, unsigned long max, unsigned long* value) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  unsigned long parsed = std::strtoul(text.c_str(), &end, 0);
  if (errno != 0 || end == text.c_str() || *end != '\0' || parsed > max) return false;
  *value = parsed;
  return true;
}

bool KnowsExecuteInput(DWORD command) {
  return find(command) != nullptr || findWords(command) != nullptr;
}

bool CheckExecuteInput(DWORD command, const std::vector<unsigned long>& numbers,
                       std::string* error) {
  const KnownInput* known = find(command);
  if (known == nullptr) return true;
  return checkInputs(command, known->maxima.size(), numbers.size(), "number", known->numbers,
                     [&](size_t i) {
                       if (numbers[i] <= known->maxima[i]) return std::string();
                       return std::to_string(numbers[i]) + " is above " +
                              std::to_string(known->maxima[i]);
                     },
                     error);
}

std::shared_ptr<void> BuildExecuteInput(DWORD command, const std::vector<unsigned long>& numbers) {
  const KnownInput* known = find(command);
  if (known == nullptr) return nullptr;
  return known->build(numbers);
}

bool TakesWords(DWORD command) { return findWords(command) != nullptr; }

bool CheckExecuteWords(DWORD command, const std::vector<std::string>& words, std::string* error) {
  const WordInput* known = findWords(command);
  if (known == nullptr) return true;
  return checkInputs(command, known->kinds.size(), words.size(), "word", known->words,
                     [&](size_t i) { return fault(known->kinds[i], words[i]); }, error);
}

std::string ShownWords(DWORD command, const std::vector<std::string>& words) {
  const WordInput* known = findWords(command);
  std::string text;
  for (size_t i = 0; i < words.size(); ++i) {
    WordKind kind = known != nullptr && i < known->kinds.size() ? known->kinds[i] : WordKind::kName;
    text += i == 0 ? "" : " ";
    if (kind == WordKind::kCardData) {
      text += "<" + std::to_string(words[i].size()) + " digits>";
    } else if (kind == WordKind::kKeyValue) {
      text += "<" + std::to_string(words[i].size() / 2) + " bytes>";
    } else if (kind == WordKind::kPrinted) {
      text += "<text of " + std::to_string(words[i].size()) + " bytes>";
    } else {
      text += words[i];
    }
  }
  return text;
}

std::shared_ptr<void> BuildExecuteWords(DWORD command, const std::vector<std::string>& words) {
  const WordInput* known = findWords(command);
  if (known == nullptr) return nullptr;
  return known->build(words);
}

std::string ExecuteInputHelp() {
  std::string text;
  for (const KnownInput& known : kKnown) {
    text += "    execute " + std::to_string(known.command) + ": " + known.numbers + "\n";
  }
  for (const WordInput& known : kWords) {
    text += "    execute " + std::to_string(known.command) + ": " + known.words + "\n";
  }
  return text;
}

}  // namespace xfsmgr
