#!/usr/bin/env bash
# Installs what is missing, configures into build/ and builds the targets
# named as arguments, or every program and test when none is named.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
(($#)) && targets=(--target "$@")
cmake --build "$root/build" -j "$(nproc)" "${targets[@]}"
