#!/usr/bin/env bash
# Builds the libFuzzer targets with the fuzz preset (clang, sanitizers) and runs each of them for
# a bounded time through CTest (label fuzz).
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET]     default 60
#
# The build goes to build/fuzz, or to CONING_FUZZ_BUILD_DIR when set. Inputs the fuzzers find
# interesting collect in <build>/fuzz/runs/<target>/corpus and are reused by the next run; an
# input that breaks a target is saved in <build>/fuzz/runs/<target>/artifacts/.
set -euo pipefail

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [SECONDS_PER_TARGET]" >&2
    exit 2
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${CONING_FUZZ_BUILD_DIR:-$root/build/fuzz}"

cd "$root"
cmake --preset fuzz -B "$build" -DCONING_WERROR=ON -DCONING_FUZZ_SECONDS="$seconds"
cmake --build "$build"

status=0
ctest --test-dir "$build/fuzz" -L fuzz --output-on-failure || status=$?
if [ "$status" -ne 0 ]; then
    echo "Inputs that broke a target (run the target on the file to reproduce):" >&2
    find "$build/fuzz/runs" -path '*/artifacts/*' -type f >&2 || true
fi
exit "$status"
