#!/usr/bin/env bash
# Builds the game and runs it from build/bin/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
exec "$root/build/bin/game" "$@"
