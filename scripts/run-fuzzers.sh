#!/usr/bin/env bash
# Runs every fuzz target found in the given directory for a fixed number of
# runs, each seeded with its corpus from fuzz/corpus/<target>.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN_DIR="${1:-build-fuzz/bin}"
RUNS="${FUZZ_RUNS:-20000}"

shopt -s nullglob
targets=("$BIN_DIR"/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz target in $BIN_DIR: nothing was fuzzed" >&2
  exit 1
fi
for target in "${targets[@]}"; do
  name="$(basename "$target")"
  seeds="fuzz/corpus/$name"
  work="$(mktemp -d)"
  if [ -d "$seeds" ]; then cp -r "$seeds"/. "$work"/; fi
  echo "fuzzing $name ($RUNS runs)"
  ASAN_OPTIONS="detect_leaks=1:halt_on_error=1" UBSAN_OPTIONS="halt_on_error=1" \
    "$target" -runs="$RUNS" -max_total_time=60 -timeout=10 "$work" >"$work.log" 2>&1 || {
      tail -50 "$work.log"; rm -rf "$work" "$work.log"; echo "fuzzer $name failed"; exit 1; }
  tail -1 "$work.log"
  rm -rf "$work" "$work.log"
done
