#!/usr/bin/env bash
# Builds every program and test with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-asan/ and runs the whole test suite there; any report (memory
# error, leak, undefined behaviour) fails the test that made it.
#   scripts/sanitize.sh [ctest arguments...]     e.g. -L unit
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SANITIZE_BUILD_DIR:-$root/build-asan}
jobs=${JOBS:-$(nproc)}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAERIAL_SANITIZE=ON >/dev/null
cmake --build "$build" -j "$jobs"

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cd "$build"
ctest --output-on-failure -j "$jobs" "$@"
