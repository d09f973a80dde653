// The result screen's closing lines fit the canvas they are drawn into: the
// line is drawn once at x 0 and once 255 pixels to the left, so the screen
// shows its first 510 pixels, in the 24-pixel Gothic face.
#include <gtest/gtest.h>

#include <string>

#include "game/arena/roster.h"
#include "game/screens/screen_tables.h"
#include "platform/glyphs.h"

namespace {

constexpr int kShownWidth = 2 * 255;

TEST(ConclusionLines, EveryLineFitsTheTwoHalvesOfItsCanvas) {
    const auto face = platform::CreateGlyphProvider(platform::GOTHIC_FACE, 24, false, false);
    if (!face) GTEST_SKIP() << "no Japanese face installed";
    int lines = 0;
    for (int id = 1; id <= CHARACTER_COUNT; ++id)
        for (int k = 0; k < CONCLUSION_LINES_PER_CHARACTER; ++k) {
            const std::string line = ConclusionLine(id, k);
            if (line.empty()) continue;
            ++lines;
            int width = 0;
            for (unsigned char ch : line) {
                const platform::AbcWidths abc = face->GetCharAbcWidths(ch);
                width += abc.a + static_cast<int>(abc.b) + abc.c;
            }
            EXPECT_LE(width, kShownWidth) << "character " << id << " line " << k << ": " << line;
        }
    EXPECT_GE(lines, 8 * 3);
}

}  // namespace
