#!/usr/bin/env bash
# Builds and runs every test: the normal build, the AddressSanitizer and
# UndefinedBehaviorSanitizer build, the 32-bit layout check and the fuzzers.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh

JOBS="${JOBS:-$(nproc)}"
export QT_LOGGING_RULES="${QT_LOGGING_RULES:-*.debug=false}"

# The service provider creates its configuration directory when a process
# loads it (test discovery included): keep that inside the build trees.
export WFP_CONFIG_DIR="${WFP_CONFIG_DIR:-$PWD/build/test-home/config/}"
export WFP_MANAGER_CONFIG="${WFP_MANAGER_CONFIG:-$PWD/build/test-home/SPCfg.ini}"

step() { printf '\n==== %s ====\n' "$*"; }

step "normal build"
cmake -S . -B build -DWFP_WERROR=ON >/dev/null
cmake --build build -j"$JOBS"
step "normal tests"
ctest --test-dir build --output-on-failure -j"$JOBS"

step "sanitizer build"
cmake -S . -B build-asan -DWFP_SANITIZE=ON -DWFP_WERROR=ON -DWFP_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$JOBS"
step "sanitizer tests"
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1:detect_stack_use_after_return=0" \
UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
  ctest --test-dir build-asan --output-on-failure -j"$JOBS"

step "32-bit layout check"
g++ -m32 -std=c++17 -fsyntax-only -Wall -Wextra -Werror \
  -Ixfs -IOstrel -IPavane tests/layout/layout32.cpp
echo "layout of the 32-bit target: ok"

step "fuzzers"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DWFP_FUZZ=ON -DWFP_SANITIZE=ON \
  -DWFP_BUILD_TESTS=OFF -DWFP_BUILD_BENCH=OFF >/dev/null
# Only the fuzz targets (and what they link) are built with clang.
mapfile -t fuzz_targets < <(cmake --build build-fuzz --target help |
  sed -n 's/^\.\.\. \(fuzz_[A-Za-z0-9_]*\)$/\1/p')
if [ ${#fuzz_targets[@]} -eq 0 ]; then
  echo "no fuzz target is configured: nothing would be fuzzed" >&2
  exit 1
fi
cmake --build build-fuzz -j"$JOBS" --target "${fuzz_targets[@]}"
scripts/run-fuzzers.sh build-fuzz/bin

step "all tests passed"
