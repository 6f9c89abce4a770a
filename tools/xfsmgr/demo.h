// The demo that xfsmgr runs without arguments: one customer's session at a
// terminal (transaction.h) across the four services of the packaged
// wfp.ini, the card reader, the PIN pad, the receipt printer and the card
// dispenser, all served by the in-process device-service simulator.
#ifndef XFSMGR_DEMO_H
#define XFSMGR_DEMO_H

#include "console.h"
#include "step_parser.h"

namespace xfsmgr {

// Returns the exit status: 0 when every step completed with WFS_SUCCESS,
// 1 otherwise (with a message naming the step and why it failed). Ends with
// a table per service: requests, completions, events, slowest round trip.
int RunDemo(const Options& options, Console& console);

}  // namespace xfsmgr

#endif
