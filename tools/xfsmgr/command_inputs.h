// Input structures of the commands whose inputs are plain numbers (or, for
// the printer's RAW_DATA, a text), built from those numbers or that text.
// Every other command is sent with a NULL input.
#ifndef XFSMGR_COMMAND_INPUTS_H
#define XFSMGR_COMMAND_INPUTS_H

#include <memory>
#include <string>
#include <vector>

#include "xfsapi.h"

namespace xfsmgr {

// Checks the numbers given for `command`; false with *error saying what the
// command takes. Commands without a known input accept any numbers (they are
// not sent).
bool CheckExecuteInput(DWORD command, const std::vector<unsigned long>& numbers,
                       std::string* error);

// True when xfsmgr knows the command's input (some take none).
bool KnowsExecuteInput(DWORD command);

// True when the command takes a text (after the command, in place of numbers).
bool ExecuteTakesText(DWORD command);

// The input structure for checked numbers, or the text of a command that
// takes one; NULL for a command without input or without a known one.
std::shared_ptr<void> BuildExecuteInput(DWORD command, const std::vector<unsigned long>& numbers,
                                        const std::string& text = std::string());

// What the numbers or the text of the known commands mean, for --help.
std::string ExecuteInputHelp();

}  // namespace xfsmgr

#endif
