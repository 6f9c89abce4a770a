#!/usr/bin/env bash
# The main job: builds the command-line XFS manager with the libraries it
# loads, then runs its demo (build/bin/xfsmgr without arguments): one
# customer's session across the four services of the packaged wfp.ini (card
# reader, PIN pad, receipt printer, card dispenser) against the in-process
# device-service simulator: a card read, a PIN entered and its PIN block
# fetched, a receipt printed and taken, a new card dispensed, the card
# ejected. Exit status 0 when every step completed with WFS_SUCCESS.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
JOBS="${JOBS:-$(nproc)}"
cmake -S . -B build >/dev/null
cmake --build build -j"$JOBS" --target xfsmgr
exec build/bin/xfsmgr
