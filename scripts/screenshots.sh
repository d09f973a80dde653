#!/usr/bin/env bash
# Rewrites the pictures of docs/screenshots from the generated data set,
# drawn on OpenGL offscreen by the gl tests that also check them: a battle
# against the computer (the start banner, the fight, the pause menu, the
# time-up banner) and the result screen (tests/game/battle/hud_gltest.cpp),
# and the front end: the title, the name entry and the ranking, the select
# screens of every mode, the versus screen, the animation and story viewers
# and the staff roll (tests/game/screens/front_end_gltest.cpp).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target gl_tests scene_tests game_program
mkdir -p "$root/docs/screenshots"
AERIAL_SCREENSHOTS="$root/docs/screenshots" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
  "$root/build/bin/gl_tests" --gtest_filter='HudGLTest.BattleToResultScreenWithReadableMessageLines:FrontEndGLTest.*'
# A battle on each of the nine stages, stage_0.png to stage_8.png, drawn by
# the gl test that also checks that shots and the HUD read over the scenery
# (tests/game/battle/stage_scenery_gltest.cpp).
AERIAL_SCREENSHOTS="$root/docs/screenshots" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
  "$root/build/bin/gl_tests" --gtest_filter='StageSceneryGLTest.*'
# The box of a second copy of the game under Xvfb and openbox,
# second_copy_box.png (tests/game/flow/game_program_scenetest.cpp).
AERIAL_SCREENSHOTS="$root/docs/screenshots" \
  "$root/build/bin/scene_tests" --gtest_filter='GameProgramTest.ASecondCopyShowsItsBoxUntilSigtermEndsItWithStatusZero'
echo "screenshots written to $root/docs/screenshots"
