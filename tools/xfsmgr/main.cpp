// xfsmgr: a small XFS manager and application for the command line. It loads
// the service provider, calls its SPI and prints every result, completion
// and event. See HelpText() for its modes.
#include <iostream>
#include <string>
#include <vector>

#include "console.h"
#include "demo.h"
#include "step_parser.h"
#include "step_runner.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  xfsmgr::Options options;
  std::string error;
  if (!xfsmgr::ParseArguments(args, &options, &error)) {
    std::cerr << "xfsmgr: " << error << "\n(xfsmgr --help says how to call it)\n";
    return 2;
  }
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
