#!/usr/bin/env bash
# Builds every program and test with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-asan/ and runs the whole test suite there; any report (memory
# error, leak, undefined behaviour) fails the test that made it. Leaks inside
# system libraries are suppressed by scripts/lsan.supp.
#   scripts/sanitize.sh [ctest arguments...]     e.g. -L unit
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SANITIZE_BUILD_DIR:-$root/build-asan}
jobs=${JOBS:-$(nproc)}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAERIAL_SANITIZE=ON >/dev/null
start=$SECONDS
cmake --build "$build" -j "$jobs"
echo "sanitizer build: $((SECONDS - start)) s"

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
cd "$build"
start=$SECONDS
status=0
# Mesa unloads its GL driver when a display closes; blocks that only the
# driver's globals pointed at then look leaked, with stacks in no loaded
# library. The GL tests run with the driver preloaded, so it stays to the end
# and its globals are scanned. The program tests start an X server, whose
# helper programs (not built with the sanitizers, with leaks of their own)
# must not get the preload, and their game inherits the same environment:
# those tests run without the leak check (memory errors and undefined
# behaviour still count; the scene tests run the same game code with leaks
# checked).
program_test='GameProgramTest|GameWindowTest'
ctest --output-on-failure -j "$jobs" -LE gl -E "$program_test" "$@" || status=$?
driver=/usr/lib/$(gcc -print-multiarch)/dri/swrast_dri.so
preload=$(ldd "$build/bin/gl_tests" | awk '/libasan/ {print $3}')
[[ -f "$driver" ]] && preload=$preload:$driver
LD_PRELOAD=$preload ctest --output-on-failure -j "$jobs" -L gl "$@" || status=$?
ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0 ctest --output-on-failure -R "$program_test" "$@" || status=$?
echo "sanitizer tests: $((SECONDS - start)) s"
exit "$status"
