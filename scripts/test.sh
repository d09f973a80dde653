#!/usr/bin/env bash
# Builds everything and runs the whole test suite headless, then the same
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, the same
# battles played by three builds (scripts/determinism.sh) and a short run of
# every fuzz target. Arguments go to the first ctest run only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
# A few OpenGL battle pictures have been seen, rarely, not to match the state
# drawn (an open fault in the OpenGL path): a failed GL test is tried again
# up to twice before it counts.
(cd "$root/build" && ctest --output-on-failure -j "$(nproc)" -LE gl "$@" &&
  ctest --output-on-failure -j "$(nproc)" -L gl --repeat until-pass:3 "$@")
"$root/scripts/sanitize.sh"
"$root/scripts/determinism.sh"
"$root/scripts/fuzz.sh" --ci
