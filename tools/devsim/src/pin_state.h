// What the simulated PIN pad remembers between requests: the keys loaded
// into it, the key entry in progress and the digits of the last PIN.
#ifndef DEVSIM_PIN_STATE_H
#define DEVSIM_PIN_STATE_H

#include <string>
#include <vector>

namespace devsim {

// A key loaded by IMPORT_KEY; the pad's own keys are built in.
struct PinPadKey {
  std::string name;
  unsigned use = 0;   // fwUse
  std::string value;  // the key's bytes
};

// One pressed key as the entry records it.
struct PinPadPress {
  unsigned completion = 0;  // wCompletion
  unsigned long digit = 0;  // ulDigit
};

// The keys of a GET_PIN, GET_DATA or GET_PIN_EX while it takes them.
struct PinEntry {
  long command = 0;        // the entry's command; 0 when no entry is open
  unsigned maxLength = 0;  // usMaxLen; 0: no limit
  bool autoEnd = false;    // bAutoEnd: the entry ends at maxLength digits
  bool ended = false;
  unsigned completion = 0;           // how it ended (wCompletion)
  std::string digits;                // the digits, '0' to '9'
  std::vector<PinPadPress> presses;  // every key, in order
};

struct PinPadState {
  std::vector<PinPadKey> imported;
  PinEntry entry;
  std::string lastPin;  // the digits of the last completed PIN entry
};

}  // namespace devsim

#endif
