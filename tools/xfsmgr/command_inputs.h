// Input structures of the commands whose inputs are plain numbers (the card
// reader's, GET_PIN, the printer's CONTROL_MEDIA and RESET, the card
// dispenser's), built from those numbers, and of those whose inputs are
// words (GET_PINBLOCK's key name and customer data, IMPORT_KEY's key name,
// use and value, the text RAW_DATA prints). Every other command is sent
// with a NULL input.
#ifndef XFSMGR_COMMAND_INPUTS_H
#define XFSMGR_COMMAND_INPUTS_H

#include <memory>
#include <string>
#include <vector>

#include "xfsapi.h"

namespace xfsmgr {

// A number of a step: decimal, or hexadecimal after 0x; no sign, nothing
// after the digits, at most max.
bool ParseNumber(const std::string& text, unsigned long max, unsigned long* value);

// Checks the numbers given for `command`; false with *error saying what the
// command takes. Commands without a known input accept any numbers (they are
// not sent).
bool CheckExecuteInput(DWORD command, const std::vector<unsigned long>& numbers,
                       std::string* error);

// True when xfsmgr knows the command's input (some take none).
bool KnowsExecuteInput(DWORD command);

// The input structure for checked numbers; NULL for a command without input
// or without a known one.
std::shared_ptr<void> BuildExecuteInput(DWORD command, const std::vector<unsigned long>& numbers);

// Commands whose inputs are words, checked and built as the numbers are.
// A word that is a secret (card data, a key value) or printed is shown as
// its length.
bool TakesWords(DWORD command);
bool CheckExecuteWords(DWORD command, const std::vector<std::string>& words, std::string* error);
std::string ShownWords(DWORD command, const std::vector<std::string>& words);
std::shared_ptr<void> BuildExecuteWords(DWORD command, const std::vector<std::string>& words);

// What the numbers and words of the known commands mean, for --help.
std::string ExecuteInputHelp();

}  // namespace xfsmgr

#endif
