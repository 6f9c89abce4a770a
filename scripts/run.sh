#!/usr/bin/env bash
# The main job: builds the command-line XFS manager with the libraries it
# loads, then runs its demo (build/bin/xfsmgr without arguments): the card
# reader of the packaged wfp.ini against the in-process device-service
# simulator: open, register, status, capabilities, a card read after a card
# insertion, eject, close, unload. Exit status 0 when every step completed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
JOBS="${JOBS:-$(nproc)}"
cmake -S . -B build >/dev/null
cmake --build build -j"$JOBS" --target xfsmgr
exec build/bin/xfsmgr
