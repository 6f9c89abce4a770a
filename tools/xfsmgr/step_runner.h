// Steps mode: the given steps against one logical service.
#ifndef XFSMGR_STEP_RUNNER_H
#define XFSMGR_STEP_RUNNER_H

#include "console.h"
#include "step_parser.h"

namespace xfsmgr {

// Runs options.steps in order and stops at the first that fails; returns the
// exit status (0 every step completed, 1 otherwise).
int RunSteps(const Options& options, Console& console);

}  // namespace xfsmgr

#endif
