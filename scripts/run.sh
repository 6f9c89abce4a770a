#!/usr/bin/env bash
# Builds the project and runs the main job: the command-line XFS manager's
# card-reader demo against the device-service simulator.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
JOBS="${JOBS:-$(nproc)}"
cmake -S . -B build >/dev/null
cmake --build build -j"$JOBS"

if [ -x build/bin/xfsmgr ]; then
  exec build/bin/xfsmgr "$@"
fi
echo "The build is in build/ (libraries in build/lib, programs in build/bin)."
echo "The main job will be build/bin/xfsmgr: it opens the card reader of the packaged"
echo "wfp.ini against the device-service simulator, reads a card and closes again."
