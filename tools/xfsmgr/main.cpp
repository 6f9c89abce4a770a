// xfsmgr: a small XFS manager and application for the command line. It loads
// the service provider, calls its SPI and prints every result, completion
// and event. See HelpText() for its modes.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "console.h"
#include "demo.h"
#include "step_parser.h"
#include "step_runner.h"

namespace {

// The service provider traces every step; unless the user named a trace
// file, its lines (and the transport's Qt debug lines) would bury the
// output on the terminal.
void quietTraceUnlessAsked() {
  const char* file = std::getenv("KESTREL_TRACE_FILE");
  if (file == nullptr || *file == '\0') ::setenv("KESTREL_TRACE_FILE", "/dev/null", 1);
  ::setenv("QT_LOGGING_RULES", "*.debug=false", 0);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  xfsmgr::Options options;
  std::string error;
  if (!xfsmgr::ParseArguments(args, &options, &error)) {
    std::cerr << "xfsmgr: " << error << "\n(xfsmgr --help says how to call it)\n";
    return 2;
  }
  quietTraceUnlessAsked();
  xfsmgr::Console console(std::cout);
  switch (options.mode) {
    case xfsmgr::Mode::Help:
      std::cout << xfsmgr::HelpText("xfsmgr");
      return 0;
    case xfsmgr::Mode::Steps:
      return xfsmgr::RunSteps(options, console);
    case xfsmgr::Mode::Demo:
      return xfsmgr::RunDemo(options, console);
  }
  return 2;
}
