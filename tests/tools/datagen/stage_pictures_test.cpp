#include "tools/datagen/stage_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <map>
#include <string>

namespace {

using datagen::Canvas;

// How each stage texture lies on its model: whether it repeats across its
// width (u) or height (v), or stands alone on a billboard or a strip whose
// edges must be clear so that no square shows round it.
struct Use {
    const char* key;
    bool repeatsU, repeatsV;
    bool clearRim;  // every edge (billboards) or the top and bottom (a strip)
};
constexpr Use kUses[] = {
    {"00sky", true, false, false},   {"01sky", true, false, false},   {"01clowd", true, true, false},
    {"01forest", true, true, false}, {"02sky", true, false, false},   {"02pool", true, true, false},
    {"03skin", true, true, false},   {"04clowd", true, true, false},  {"05sky", true, false, false},
    {"06wall", true, true, false},   {"07sky", true, false, false},   {"07clowd", true, false, true},
    {"07moon", false, false, true},  {"07star", false, false, true},  {"08seal", true, false, false},
    {"08block", false, false, false}, {"08seal2", true, false, false},
};

std::map<std::string, Canvas> PaintAll() {
    std::map<std::string, Canvas> out;
    datagen::Lettering lettering;
    for (const datagen::Picture& p : datagen::StagePictures()) {
        Canvas canvas(p.width, p.height, {0, 0, 0, 0});
        p.paint(canvas, lettering);
        out.emplace(p.key, std::move(canvas));
    }
    return out;
}

const uint8_t* At(const Canvas& c, int x, int y) { return &c.Pixels()[(static_cast<size_t>(y) * c.Width() + x) * 4]; }

// The mean difference per channel (alpha included) between two pixels.
int Step(const uint8_t* a, const uint8_t* b) {
    return (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) + std::abs(a[3] - b[3])) / 4;
}

// How far the pixels of column x (or row) differ from the next, on average.
double ColumnStep(const Canvas& c, int x0, int x1) {
    double sum = 0;
    for (int y = 0; y < c.Height(); ++y) sum += Step(At(c, x0, y), At(c, x1, y));
    return sum / c.Height();
}
double RowStep(const Canvas& c, int y0, int y1) {
    double sum = 0;
    for (int x = 0; x < c.Width(); ++x) sum += Step(At(c, x, y0), At(c, x, y1));
    return sum / c.Width();
}

TEST(StagePictures, HoldEveryStageKeyOnce) {
    const std::map<std::string, Canvas> pictures = PaintAll();
    EXPECT_EQ(pictures.size(), std::size(kUses));
    for (const Use& use : kUses) EXPECT_EQ(pictures.count(use.key), 1u) << use.key;
}

// Where a texture repeats, its last column (or row) runs on into its first
// about as smoothly as its neighbouring columns run on into each other, so
// that no seam shows across the scenery; a picture standing alone fades out
// to its rim.
TEST(StagePictures, RepeatWithoutSeamsAndStandAloneWithClearRims) {
    const std::map<std::string, Canvas> pictures = PaintAll();
    for (const Use& use : kUses) {
        SCOPED_TRACE(use.key);
        const Canvas& c = pictures.at(use.key);
        const int w = c.Width(), h = c.Height();
        if (use.repeatsU) {
            double inside = 0;
            for (int x = 0; x + 1 < w; ++x) inside += ColumnStep(c, x, x + 1) / (w - 1);
            EXPECT_LE(ColumnStep(c, w - 1, 0), 3.0 * inside + 1.0) << "a seam down the picture";
        }
        if (use.repeatsV) {
            double inside = 0;
            for (int y = 0; y + 1 < h; ++y) inside += RowStep(c, y, y + 1) / (h - 1);
            EXPECT_LE(RowStep(c, h - 1, 0), 3.0 * inside + 1.0) << "a seam across the picture";
        }
        if (use.clearRim) {
            int rim = 0;
            for (int x = 0; x < w; ++x) rim = std::max({rim, int{At(c, x, 0)[3]}, int{At(c, x, h - 1)[3]}});
            if (!use.repeatsU)
                for (int y = 0; y < h; ++y) rim = std::max({rim, int{At(c, 0, y)[3]}, int{At(c, w - 1, y)[3]}});
            EXPECT_LE(rim, 2) << "the picture's rim is not clear";
        }
    }
}

}  // namespace
