// The demo that xfsmgr runs without arguments: the card reader of the
// packaged wfp.ini against the in-process device-service simulator.
#ifndef XFSMGR_DEMO_H
#define XFSMGR_DEMO_H

#include "console.h"
#include "step_parser.h"

namespace xfsmgr {

// Returns the exit status: 0 when every step completed with WFS_SUCCESS,
// 1 otherwise (with a message saying which step and why).
int RunDemo(const Options& options, Console& console);

}  // namespace xfsmgr

#endif
