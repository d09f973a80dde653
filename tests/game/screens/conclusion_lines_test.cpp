// The result screen's closing lines fit the canvas they are drawn into: the
// line is drawn once at x 0 and once 255 pixels to the left, so the screen
// shows its first 510 pixels, in the 24-pixel Gothic face.
#include <gtest/gtest.h>

#include <string>

#include "game/screens/screen_tables.h"
#include "platform/glyphs.h"

namespace {

// "ＭＳ ゴシック" (CP932), the face the result screen asks for.
constexpr const char* kGothic = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";
constexpr int kShownWidth = 2 * 255;

TEST(ConclusionLines, EveryLineFitsTheTwoHalvesOfItsCanvas) {
    const auto face = platform::CreateGlyphProvider(kGothic, 24, false, false);
    if (!face) GTEST_SKIP() << "no Japanese face installed";
    int lines = 0;
    for (int id = 1; id <= 8; ++id)
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
