#!/usr/bin/env bash
# Builds the game and the data generator only (the test command builds the
# rest) and runs the game from build/bin/, writing the generated placeholder
# data set there first when no data is present.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" game_program datagen
bin="$root/build/bin"
if [[ ! -f "$bin/gf/system.dat" || ! -f "$bin/se.dat" ]]; then
  echo "Writing the placeholder data set into $bin"
  "$bin/datagen" "$bin"
fi
exec "$bin/game" "$@"
