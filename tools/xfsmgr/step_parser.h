// xfsmgr's command line: no arguments (the demo), --help, or a service and
// the steps to run against it.
#ifndef XFSMGR_STEP_PARSER_H
#define XFSMGR_STEP_PARSER_H

#include <string>
#include <vector>

namespace xfsmgr {

enum class StepKind {
  Open,
  Close,
  Lock,
  Unlock,
  Register,
  Deregister,
  GetInfo,
  Execute,
  Cancel,
  WaitEvent,
  Unload,
};

struct Step {
  StepKind kind = StepKind::Open;
  std::string text;                    // the step as given, for messages
  std::vector<unsigned long> numbers;  // its numbers, checked for the kind
  std::vector<std::string> words;      // an execute's inputs when they are words
};

enum class Mode { Demo, Help, Steps };

struct Options {
  Mode mode = Mode::Demo;
  std::string library;     // empty: the build tree's libPavane.so
  int timeoutMs = 10000;   // request time-out; completions are awaited 5 s longer
  bool showCardData = false;  // print card data whole in the summaries
  std::string service;     // steps mode: the logical service name
  std::vector<Step> steps;
};

// Fills *options from the arguments after the program name; false with
// *error saying what is wrong.
bool ParseArguments(const std::vector<std::string>& args, Options* options, std::string* error);

std::string HelpText(const std::string& program);

}  // namespace xfsmgr

#endif
