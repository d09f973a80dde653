#!/usr/bin/env bash
# Builds everything and runs the whole test suite headless, then the same
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, the same
# battles played by three builds (scripts/determinism.sh) and a short run of
# every fuzz target. Arguments go to the first ctest run only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
(cd "$root/build" && ctest --output-on-failure -j "$(nproc)" "$@")
"$root/scripts/sanitize.sh"
"$root/scripts/determinism.sh"
"$root/scripts/fuzz.sh" --ci
