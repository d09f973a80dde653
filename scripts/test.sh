#!/usr/bin/env bash
# Builds everything and runs the whole test suite headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
cd "$root/build"
ctest --output-on-failure -j "$(nproc)" "$@"
