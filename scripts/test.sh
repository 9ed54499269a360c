#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the release build (unit, widget,
# command-line, real-window, print and package tests), the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer in a debug build, a check that debug and release builds print
# byte-identical results, and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
failed=0

bash scripts/install-deps.sh

section() { printf '\n==== %s ====\n' "$1"; }

section "release build"
cmake --preset release -DCONING_WERROR=ON >/dev/null
cmake --build --preset release -j "$jobs"

section "release tests"
ctest --preset release -j "$jobs" || failed=1

section "asan build (debug)"
cmake --preset asan -DCONING_WERROR=ON >/dev/null
cmake --build --preset asan -j "$jobs"

section "asan tests"
# The package test installs the release build; once is enough. The tests that run the simulator
# spend their time in it, not in our code (the simulation layer's own tests, with a stand-in
# simulator, do run here).
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --preset asan -j "$jobs" -LE 'package|flow' || failed=1

section "debug and release print identical results"
bash scripts/compare-builds.sh build/asan/src/cli/coning-calc build/release/src/cli/coning-calc \
    || failed=1

section "fuzzing"
bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}" || failed=1

if [ "$failed" -ne 0 ]; then
    echo "Some tests FAILED." >&2
    exit 1
fi
echo "All tests passed."
