// The battle HUD: its calculations, and what a frame draws from the sheets.
#include "game/battle/battle_hud.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "tests/game/battle/battle_drawing_fixture.h"

namespace {

constexpr uint32_t WHITE = 0xffffffffu;
constexpr uint32_t FAINT = 0xc8c8c8c8u;

TEST(BattleHudLayout, LifeLayersPerThird) {
    const struct {
        int32_t life, shown;
        LifeLayer layers[3];
        const char* what;
    } cases[] = {
        {6000, 6000, {{true, 200, 200, 0xffffffff}, {true, 200, 200, 0xffffffff}, {true, 200, 200, 0xffffffff}},
         "full life: every layer full and bright"},
        {5999, 5999, {{true, 200, 200, 0xffc8c8c8}, {true, 200, 200, 0xffc8c8c8}, {true, 199, 199, 0xffffffff}},
         "one point of damage dims the full layers"},
        {2500, 2500, {{true, 200, 200, 0xffc8c8c8}, {true, 50, 50, 0xffffffff}, {false, -150, -150, 0xffffffff}},
         "2500 of 6000"},
        {2500, 3000, {{true, 200, 200, 0xffc8c8c8}, {true, 50, 100, 0xffffffff}, {false, -150, -100, 0xffffffff}},
         "the trail shows the recent damage"},
        {2500, 5000, {{true, 200, 200, 0xffc8c8c8}, {true, 50, 200, 0xffffffff}, {false, -150, 100, 0xffffffff}},
         "a trail longer than its third is capped"},
        {0, 0, {{true, 0, 0, 0xffffffff}, {false, -200, -200, 0xffffffff}, {false, -400, -400, 0xffffffff}},
         "knocked out: an empty first layer"},
    };
    for (const auto& c : cases) {
        PlayerRecord p{};
        p.maxLife = 6000, p.life = c.life, p.shownLife = c.shown;
        for (int32_t i = 0; i < 3; ++i) {
            const LifeLayer got = LifeLayerOf(p, i);
            EXPECT_EQ(got.drawn, c.layers[i].drawn) << c.what << ", layer " << i;
            if (!got.drawn) continue;
            EXPECT_EQ(got.width, c.layers[i].width) << c.what << ", layer " << i;
            EXPECT_EQ(got.trailWidth, c.layers[i].trailWidth) << c.what << ", layer " << i;
            EXPECT_EQ(got.shade, c.layers[i].shade) << c.what << ", layer " << i;
        }
    }
}

TEST(BattleHudLayout, DialLevelsFadeOnceTheNextBegins) {
    const struct {
        float gauge;
        DialLevel levels[3];
    } cases[] = {
        {0.0f, {{0, WHITE}, {0, WHITE}, {0, WHITE}}},
        {0.37f, {{37, WHITE}, {0, WHITE}, {0, WHITE}}},
        // The float 0.29 lies below 0.29: 28.999999 strips in double, not the
        // 29 a single-precision product rounds to.
        {0.29f, {{28, WHITE}, {0, WHITE}, {0, WHITE}}},
        {1.29f, {{100, FAINT}, {28, WHITE}, {0, WHITE}}},
        {1.0f, {{100, WHITE}, {0, WHITE}, {0, WHITE}}},
        {1.5f, {{100, FAINT}, {50, WHITE}, {0, WHITE}}},
        {2.5f, {{100, FAINT}, {100, FAINT}, {50, WHITE}}},
        {3.0f, {{100, FAINT}, {100, FAINT}, {100, WHITE}}},
    };
    for (const auto& c : cases) {
        const auto got = DialLevels(c.gauge);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(got[i].strips, c.levels[i].strips) << c.gauge << " level " << i;
            EXPECT_EQ(got[i].colour, c.levels[i].colour) << c.gauge << " level " << i;
        }
    }
}

TEST(BattleHudLayout, ColoursOffsetsAndFades) {
    EXPECT_EQ(BoostColour(0), 0xffffffffu);
    EXPECT_EQ(BoostColour(100), 0xffffff9bu);
    EXPECT_EQ(BoostColour(300), 0xffff3700u);
    EXPECT_EQ(TimerColour(9), 0xffff9696u);
    EXPECT_EQ(TimerColour(0), 0xffff9696u);
    EXPECT_EQ(TimerColour(10), WHITE);

    const struct { int32_t side, timer, x; } offsets[] = {
        {0, 120, -90}, {0, 101, 5}, {0, 100, 10}, {0, -50, 10}, {1, 120, 550}, {1, 101, 455}, {1, 100, 450}};
    for (const auto& o : offsets) EXPECT_EQ(ComboOffset(o.side, o.timer), o.x) << o.side << " " << o.timer;

    const struct { int32_t timer, alpha; } fades[] = {{120, 255}, {0, 255}, {-1, 252}, {-50, 127}, {-99, 2}};
    for (const auto& f : fades) EXPECT_EQ(ComboAlpha(f.timer), f.alpha) << f.timer;
}

// One frame of the HUD on the recording device.
class BattleHudDraw : public test::BattleDrawingFixture {
protected:
    void SetUp() override {
        BattleDrawingFixture::SetUp();
        hudBadgePhase = 0.0;
        hudBlinkPhase = 0.0f;
        battleTimer = 50;
    }
    // The system sheet's quads whose centre lies near (x, y).
    std::vector<test::DrawnQuad> CentredAt(float x, float y) {
        std::vector<test::DrawnQuad> at;
        for (const auto& q : From(battleSystemTexture)) {
            float cx = 0, cy = 0;
            for (const auto& v : q.corner) cx += v.x / 4, cy += v.y / 4;
            if (std::fabs(cx + 0.5f - x) < 1.5f && std::fabs(cy + 0.5f - y) < 1.5f) at.push_back(q);
        }
        return at;
    }
    // The system sheet's upright quads with this top-left corner.
    std::vector<test::DrawnQuad> At(float left, float top) {
        std::vector<test::DrawnQuad> at;
        for (const auto& q : From(battleSystemTexture))
            if (q.Left() == left && q.Top() == top) at.push_back(q);
        return at;
    }
};

TEST_F(BattleHudDraw, DialDrawsOneStripPerLevelPoint) {
    players[0].hyperGauge = 1.5f;
    DrawBattleHud();
    EXPECT_EQ(CentredAt(35, 44).size(), 100u);  // the face
    const auto fill = CentredAt(35, 40);
    ASSERT_EQ(fill.size(), 150u);
    EXPECT_EQ(fill[0].Colour(), FAINT);
    EXPECT_EQ(fill[100].Colour(), WHITE);
    // Side 1 has an empty gauge: its face only, at the mirrored place.
    EXPECT_EQ(CentredAt(605, 44).size(), 100u);
    EXPECT_EQ(CentredAt(605, 40).size(), 0u);
    // The badge of level 1 pulses about (28, 40): the phase moved once.
    EXPECT_DOUBLE_EQ(hudBadgePhase, 0.1);
    const int32_t o = static_cast<int32_t>(std::sin(0.1) * 4.0 + 16.0);
    EXPECT_EQ(At(static_cast<float>(28 - o), static_cast<float>(40 - o)).size(), 1u);
}

TEST_F(BattleHudDraw, BoostDigitsWithFaintLeadingZeros) {
    players[0].boostGauge = 0.0f;
    players[1].boostGauge = 3.0f;
    DrawBattleHud();
    const struct { float x; uint32_t colour; } digits[] = {
        {202, WHITE}, {188, 0x7fffffff}, {174, 0x7fffffff},            // side 0: 0 0 0
        {487, 0xffff3700}, {473, 0xffff3700}, {459, 0xffff3700}};      // side 1: 3 0 0
    for (const auto& d : digits) {
        const auto q = At(d.x, 50);
        ASSERT_EQ(q.size(), 1u) << d.x;
        EXPECT_EQ(q[0].Colour(), d.colour) << d.x;
    }
}

// The boost value is the gauge x 100 taken in double and truncated: the
// float 0.29 gives 28 (28.999999), which tints the digits one step less than
// the 29 of a single-precision product.
TEST_F(BattleHudDraw, BoostValueIsTruncatedFromTheProductInDouble) {
    players[0].boostGauge = 0.29f;
    DrawBattleHud();
    const auto units = At(202, 50);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].Colour(), BoostColour(28));
    EXPECT_EQ(BoostColour(28), 0xffffffe3u);
}

TEST_F(BattleHudDraw, ComboDigitsShadowOnlyTheSignificantOnes) {
    players[0].comboDamage = 1234;
    players[0].comboHits = 7;
    players[0].comboTimer = 50;
    DrawBattleHud();
    // x = 10 + 123 - 22 (k - 1) for k = 1..6; shadows at top 77, faces at 74.
    int shadows = 0;
    for (int k = 1; k <= 6; ++k) {
        const float x = static_cast<float>(133 - 22 * (k - 1));
        const auto face = At(x - 3, 74), shadow = At(x, 77);
        ASSERT_EQ(face.size(), 1u) << k;
        EXPECT_EQ(face[0].Colour(), k <= 4 ? WHITE : 0x3fffffffu) << k;
        if (k <= 4) {
            ASSERT_EQ(shadow.size(), 1u) << k;
            EXPECT_EQ(shadow[0].Colour(), 0x3f000000u) << k;
        }
        shadows += static_cast<int>(shadow.size());
    }
    EXPECT_EQ(shadows, 4);
}

TEST_F(BattleHudDraw, TimerDigitsRedInTheLastTenAndTheNoLimitPicture) {
    battleTimer = 9;
    DrawBattleHud();
    auto tens = At(296, 16), units = At(320, 16);
    ASSERT_EQ(tens.size(), 1u);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(tens[0].Colour(), 0xffff9696u);
    EXPECT_EQ(units[0].Colour(), 0xffff9696u);
    // The units digit 9 sits in the second row, fifth column, one pixel wider.
    const float w = 512.0f;
    EXPECT_NEAR(units[0].corner[0].u * w, 340.5f, 1e-3);
    EXPECT_NEAR(units[0].corner[2].u * w, 364.5f, 1e-3);
    EXPECT_NEAR(units[0].corner[0].v * w, 405.5f, 1e-3);

    graphics.device()->ClearCalls();
    battleTimer = 100;
    DrawBattleHud();
    EXPECT_TRUE(At(296, 16).empty());
    const auto noLimit = At(295, 16);
    ASSERT_EQ(noLimit.size(), 1u);
    EXPECT_EQ(noLimit[0].Right(), 345.0f);
    EXPECT_EQ(noLimit[0].Colour(), WHITE);
}

TEST_F(BattleHudDraw, SideOnePanelIsMirrored) {
    players[1].life = 2500;
    players[1].shownLife = 3000;
    DrawBattleHud();
    // The tab's picture is mirrored: its left edge at 620, its right at 540.
    const auto tab = At(620, 5);
    ASSERT_EQ(tab.size(), 1u);
    EXPECT_EQ(tab[0].Right(), 540.0f);
    // Layer 1 of side 1: (610, 28) (560, 28) (550, 44) (600, 44), and its
    // trail from 560 to 510.
    bool layer = false, trail = false;
    for (const auto& q : From(battleSystemTexture)) {
        const float x0 = q.corner[0].x + 0.5f, x1 = q.corner[1].x + 0.5f, y0 = q.corner[0].y + 0.5f;
        if (y0 != 28) continue;
        if (x0 == 610 && x1 == 560 && q.corner[2].x + 0.5f == 550) layer = true;
        if (x0 == 560 && x1 == 510 && q.corner[3].x + 0.5f == 550) trail = true;
    }
    EXPECT_TRUE(layer);
    EXPECT_TRUE(trail);
    // Its name plate keeps its orientation.
    bool plate = false;
    for (const auto& q : From(battleNamePlateTexture)) plate |= q.Left() == 478 && q.Right() == 542;
    EXPECT_TRUE(plate);
}

}  // namespace
