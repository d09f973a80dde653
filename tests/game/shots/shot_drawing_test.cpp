#include "game/shots/shot_drawing.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "tests/support/battle_objects_fixture.h"

namespace {

using ShotDrawingTest = test::BattleObjectsFixture;

// Each case is one Shot at (40, 20) under a view 640 wide about the origin:
// its centre is (360, 220) and a world unit is half a pixel.
TEST_F(ShotDrawingTest, SpritesPerCodeAgeAndSpeed) {
    const struct {
        int32_t type;
        int32_t age;
        float speed;  // 0: as spawned
        int32_t halfWidth, halfHeight;
        ScreenRect source;
        bool byHeading;
        SpriteBlend blend;
        uint32_t colour;
    } cases[] = {
        {110, 1, 0, 20, 20, {0, 152, 49, 201}, false, SpriteBlend::Alpha, 0xFFFFFFFF},
        {120, 1, 0, 10, 10, {128, 0, 175, 23}, false, SpriteBlend::AlphaAdd, 0xFFFFFFFF},
        {510, 0, 0, 17, 7, {48, 0, 117, 29}, false, SpriteBlend::Alpha, 0xFFFFFFFF},
        {221, 25, 0, 10, 10, {170, 0, 239, 69}, false, SpriteBlend::Alpha, 0xFFFFFFFF},
        {301, 5, 0, 7, 7, {50, 100, 99, 149}, false, SpriteBlend::Alpha, 0xFFFFFFFF},
        {301, 413, 0, 8, 8, {50, 100, 99, 149}, false, SpriteBlend::Alpha, 0xFFFFFFFF},
        {315, 7, 0, 12, 7, {400, 60, 449, 89}, false, SpriteBlend::Alpha, 0xFFFFFFFF},
        {610, 5, 0, 5, 20 + 40, {60, 0, 119, 79}, false, SpriteBlend::AlphaAdd, 0xFFFFFFFF},
        {610, 1010, 0, 5, 20 + 40, {0, 0, 59, 79}, false, SpriteBlend::AlphaAdd, 0xFFFFFFFF},
        {632, 205, 0, 60, 75, {120, 0, 179, 79}, false, SpriteBlend::AlphaAdd, 0xFFFFFFFF},
        {615, 10, 0, 15, 30 + 30, {0, 350, 59, 429}, false, SpriteBlend::AlphaAdd, 0xFFFFFFFF},
        {620, 10, 0, 5, 22 + 100, {0, 80, 39, 169}, true, SpriteBlend::AlphaAdd, 0xFFFFFFFF},
        {621, 113, 0, 3, 22 + 65, {40, 80, 79, 169}, true, SpriteBlend::AlphaAdd, 0xFFFFFFFF},
        {702, 10, 0, 20, 40, {0, 250, 219, 309}, false, SpriteBlend::AlphaAdd, 0xFFFFFFFF},
        {712, 3, 0, 12, 10, {0, 100, 49, 149}, true, SpriteBlend::Alpha, 0xFFFFFFFF},
        {720, 5, 0, 80, 5, {0, 250, 219, 309}, false, SpriteBlend::AlphaAdd, 0xFFFFFFFF},
        {720, 20, 8, 55, 10, {0, 370, 219, 429}, false, SpriteBlend::AlphaAdd, 0xFFFFFFFF},  // param 2
        {720, 45, 8, 55, 7, {0, 370, 219, 429}, false, SpriteBlend::AlphaAdd, 0xFFFFFFFF},
        {721, 20, 3, 55, 15, {0, 250, 219, 309}, false, SpriteBlend::AlphaAdd, 0xFFFFFFFF},
        {730, 90, 0, 100, 20, {200, 0, 499, 99}, true, SpriteBlend::AlphaAdd, 0xFFFFFFFF},
        {770, 95, 0, 20, 10, {0, 50, 59, 74}, false, SpriteBlend::AlphaAdd, 0x1EFFFFFF},
        {802, 0, 0, 30, 20, {250, 80, 299, 129}, false, SpriteBlend::Alpha, 0xFFFFFFFF},
    };
    const float at[2] = {40.0f, 20.0f};
    for (const auto& c : cases) {
        shotList.Clear();
        SpawnShot(c.type, 0.3f, at, 1);
        shotList.Adjust(0, [&](Shot& s) {
            s.age = c.age;
            s.angle = 0.6f;
            if (c.speed != 0.0f) s.speed = c.speed;
            s.param = 2.0f;
        });
        const uint32_t before = GetRandomState();
        const std::vector<ObjectSprite> sprites = ShotSprites();
        EXPECT_EQ(GetRandomState(), before);
        ASSERT_EQ(sprites.size(), 1u) << c.type;
        const ObjectSprite& s = sprites[0];
        EXPECT_EQ(s.owner, 1);
        EXPECT_EQ(s.sheet, SpriteSheet::Item);
        const ScreenRect dest{360 - c.halfWidth, 220 - c.halfHeight, 360 + c.halfWidth, 220 + c.halfHeight};
        EXPECT_EQ(s.destination.left, dest.left) << c.type << " age " << c.age;
        EXPECT_EQ(s.destination.top, dest.top) << c.type << " age " << c.age;
        EXPECT_EQ(s.destination.right, dest.right) << c.type << " age " << c.age;
        EXPECT_EQ(s.destination.bottom, dest.bottom) << c.type << " age " << c.age;
        EXPECT_EQ(s.source.left, c.source.left) << c.type << " age " << c.age;
        EXPECT_EQ(s.source.top, c.source.top) << c.type << " age " << c.age;
        EXPECT_EQ(s.source.right, c.source.right) << c.type << " age " << c.age;
        EXPECT_EQ(s.source.bottom, c.source.bottom) << c.type << " age " << c.age;
        EXPECT_EQ(s.rotation, RadianToAngle(c.byHeading ? -0.3f : -0.6f)) << c.type;
        EXPECT_EQ(s.blend, c.blend) << c.type;
        EXPECT_EQ(s.colour, c.colour) << c.type;
    }
}

TEST_F(ShotDrawingTest, EveryShotIsDrawnWhateverItsShapeOrPlace) {
    const float far[2] = {5000.0f, -5000.0f};
    const float near[2] = {0.0f, 0.0f};
    SpawnShot(221, 0.0f, near, 0);  // an empty hit shape
    SpawnShot(120, 0.0f, far, 1);   // far off the screen
    shotList.Append(Shot{});        // a code without a picture
    const std::vector<ObjectSprite> sprites = ShotSprites();
    ASSERT_EQ(sprites.size(), 2u);
    EXPECT_EQ(sprites[0].owner, 0);
    EXPECT_GT(sprites[1].destination.left, 640);
    EXPECT_GT(sprites[1].destination.top, 480);
}

}  // namespace
