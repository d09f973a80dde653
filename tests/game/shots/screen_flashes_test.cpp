// The white screen flash and the battle banners: what each frame draws and
// how the overlays age, without a device.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/shots/screen_flashes.h"
#include "tests/support/battle_hash.h"

namespace {

int32_t AlphaOf(const OverlayQuad& quad) { return static_cast<int32_t>(quad.colour >> 24); }

class ScreenFlashes : public testing::Test {
protected:
    void SetUp() override {
        flashList.Free();
        battlePaused = 0;
    }
    void TearDown() override {
        flashList.Free();
        battlePaused = 0;
    }
};

TEST_F(ScreenFlashes, OneFlashRisesHoldsFallsAndGoesAfterAHundredFrames) {
    AddScreenFlash();
    std::vector<int32_t> alphas;
    for (int frame = 0; frame < 101; ++frame) {
        const std::vector<OverlayQuad> quads = StepScreenFlashes();
        ASSERT_LE(quads.size(), 1u);
        alphas.push_back(quads.empty() ? 0 : AlphaOf(quads[0]));
    }
    std::vector<int32_t> expected;
    for (int a = 0; a < 20; ++a) expected.push_back(8 * a);  // age 0 draws nothing
    expected.insert(expected.end(), 61, 160);                // ages 20 to 80
    for (int a = 81; a <= 100; ++a) expected.push_back((100 - a) * 8);
    EXPECT_EQ(alphas, expected);
    EXPECT_EQ(flashList.Size(), 0);
}

TEST_F(ScreenFlashes, TheBrightestFlashWinsAndCoversTheScreenOnce) {
    for (int32_t age : {10, 50}) flashList.Append(age);
    const std::vector<OverlayQuad> quads = StepScreenFlashes();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0], (OverlayQuad{OverlaySheet::Transition, {0, 0, 640, 480}, {0, 0, 29, 29}, 0xA0FFFFFFu}));
}

TEST_F(ScreenFlashes, APausedBattleKeepsTheFlashAgeButStillDrawsIt) {
    flashList.Append(10);
    battlePaused = 1;
    for (int frame = 0; frame < 5; ++frame) {
        const std::vector<OverlayQuad> quads = StepScreenFlashes();
        ASSERT_EQ(quads.size(), 1u);
        EXPECT_EQ(AlphaOf(quads[0]), 80);
    }
    EXPECT_EQ(flashList[0], 10);
}

class Banner : public testing::Test {
protected:
    void SetUp() override { SeedRandom(0); }
    void TearDown() override { bannerActive = 0; }

    // The kind shown in each frame until the banner is off.
    static std::vector<int32_t> KindsOverLife() {
        std::vector<int32_t> kinds;
        while (bannerActive && kinds.size() < 1000) {
            kinds.push_back(bannerKind);
            StepBanner();
        }
        return kinds;
    }
    static std::vector<OverlayQuad> LetterQuads(const std::vector<OverlayQuad>& quads) {
        std::vector<OverlayQuad> letters;
        for (const OverlayQuad& q : quads)
            if (q.sheet == OverlaySheet::BattleMessage) letters.push_back(q);
        return letters;
    }
};

TEST_F(Banner, OnlyTheStartBannerDrawsRandomNumbers) {
    const struct {
        int32_t kind;
        int32_t draws, particles, letters;
    } cases[] = {{BANNER_START, 72, 24, 8}, {BANNER_KNOCKOUT, 0, 0, 7}, {BANNER_TIME_UP, 0, 0, 7}};
    for (const auto& c : cases) {
        const uint32_t before = GetRandomState();
        StartBanner(c.kind);
        EXPECT_EQ(test::RandomDrawsSince(before), c.draws) << "kind " << c.kind;
        EXPECT_EQ(bannerParticles.size(), static_cast<size_t>(c.particles)) << "kind " << c.kind;
        EXPECT_EQ(bannerLetters.size(), static_cast<size_t>(c.letters)) << "kind " << c.kind;
        EXPECT_EQ(bannerKind, c.kind);
    }
}

TEST_F(Banner, TheStartBannerShowsTwoWordsOverTwoHundredAndOneFrames) {
    StartBanner(BANNER_START);
    std::vector<int32_t> expected(126, BANNER_START);
    expected.insert(expected.end(), 55, BANNER_START_SECOND);
    expected.insert(expected.end(), 20, BANNER_START_LEAVE);
    EXPECT_EQ(KindsOverLife(), expected);
}

TEST_F(Banner, ANewBannerReplacesTheRunningOne) {
    StartBanner(BANNER_START);
    for (int frame = 0; frame < 150; ++frame) StepBanner();
    StartBanner(BANNER_KNOCKOUT);
    EXPECT_EQ(bannerTimer, 0);
    EXPECT_TRUE(bannerParticles.empty());
    EXPECT_EQ(KindsOverLife(), std::vector<int32_t>(201, BANNER_KNOCKOUT));
    StartBanner(2);  // only 0, 3 and 4 are ever started
    EXPECT_EQ(bannerActive, 0);
}

TEST_F(Banner, TheBandFadesInAndOutByKind) {
    const struct {
        int32_t kind, frame, alpha;
    } cases[] = {
        {BANNER_START, 0, 0},       {BANNER_START, 30, 60},     {BANNER_START, 125, 100},
        {BANNER_START, 126, 100},   {BANNER_START, 181, 45},    {BANNER_START, 200, 0},
        {BANNER_KNOCKOUT, 10, 50},  {BANNER_KNOCKOUT, 149, 100}, {BANNER_KNOCKOUT, 175, 50},
        {BANNER_TIME_UP, 199, 2},
    };
    for (const auto& c : cases) {
        StartBanner(c.kind);
        for (int frame = 0; frame < c.frame; ++frame) StepBanner();
        bool found = false;
        for (const OverlayQuad& q : StepBanner()) {
            if (q.sheet == OverlaySheet::Transition && q.destination.top == 190) {
                EXPECT_EQ(q.destination.bottom, 300);
                EXPECT_EQ(AlphaOf(q), c.alpha) << "kind " << c.kind << " frame " << c.frame;
                found = true;
            }
        }
        EXPECT_TRUE(found) << "kind " << c.kind << " frame " << c.frame;
    }
}

TEST_F(Banner, LettersAreCentredAndComeFromAboveAndBelow) {
    // Knock-out, first frame: only the first letter (value 0.1) is out, from above.
    StartBanner(BANNER_KNOCKOUT);
    std::vector<OverlayQuad> letters = LetterQuads(StepBanner());
    ASSERT_EQ(letters.size(), 1u);
    EXPECT_EQ(letters[0].destination, (ScreenRect{163, 240 - 45 - 102, 207, 240 - 45 + 102}));
    EXPECT_EQ(letters[0].source, (ScreenRect{0, 180, 44, 239}));
    // Frame 7: the first letter is still above the row's middle and the
    // second (about 0.2 on) comes in from below.
    for (int frame = 1; frame < 6; ++frame) StepBanner();
    letters = LetterQuads(StepBanner());
    ASSERT_GE(letters.size(), 2u);
    auto middle = [](const OverlayQuad& q) { return (q.destination.top + q.destination.bottom) / 2; };
    EXPECT_LT(middle(letters[0]), 240 - 10);
    EXPECT_GT(middle(letters[1]), 240 + 30);
    EXPECT_EQ(letters[1].destination.left, 208);
    EXPECT_EQ(letters[1].source, (ScreenRect{45, 180, 89, 239}));

    // The time-up row, all seven letters in place and then fading.
    StartBanner(BANNER_TIME_UP);
    for (int frame = 0; frame < 160; ++frame) StepBanner();
    letters = LetterQuads(StepBanner());
    ASSERT_EQ(letters.size(), 7u);
    for (size_t i = 0; i < letters.size(); ++i) {
        const int32_t x = 163 + 45 * static_cast<int32_t>(i);
        EXPECT_EQ(letters[i].destination, (ScreenRect{x, 210, x + 44, 270})) << i;
        EXPECT_EQ(letters[i].source.top, 120);
        EXPECT_EQ(AlphaOf(letters[i]), 200);  // (200 - 160) * 5
    }

    // The second word has nine letters; its first frame of leaving draws them all.
    StartBanner(BANNER_START);
    for (int frame = 0; frame < 181; ++frame) StepBanner();
    letters = LetterQuads(StepBanner());
    ASSERT_EQ(letters.size(), 9u);
    EXPECT_EQ(letters[0].destination.left, 118);
    EXPECT_EQ(letters[8].destination.left, 118 + 8 * 45);
    EXPECT_EQ(letters[0].source.top, 60);
}

TEST_F(Banner, StartSparksFlyInAndTurnAwayAfterFrameOneHundredAndFifty) {
    StartBanner(BANNER_START);
    auto distance = [] {
        const BannerParticle& p = bannerParticles[0];
        return std::hypot(p.x - 320.0f, p.y - 240.0f);
    };
    for (int frame = 0; frame < 100; ++frame) StepBanner();
    const float near = distance();
    EXPECT_LT(near, 200.0f);
    for (int frame = 100; frame < 200; ++frame) StepBanner();
    EXPECT_GT(distance(), near + 18.0f * 30.0f);  // leaving at 18 a frame
}

}  // namespace
