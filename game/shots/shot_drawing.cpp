#include "game/shots/shot_drawing.h"

#include <cmath>
#include <optional>

#include "game/arena/object_lists.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/heavy_shots.h"
#include "game/shots/object_rules.h"

namespace {

ScreenRect Cell(int32_t left, int32_t top, int32_t right, int32_t bottom) { return {left, top, right, bottom}; }

// A sprite still being put together: half-sizes in pixels, source, the world
// angle it turns by and its look.
struct Picture {
    int32_t halfWidth;
    int32_t halfHeight;
    ScreenRect source;
    float rotation;
    uint32_t colour = OPAQUE_WHITE;
    SpriteBlend blend = SpriteBlend::AlphaAdd;
    SpriteSheet sheet = SpriteSheet::Item;
};

ObjectSprite Place(const Picture& p, const float position[2], int32_t owner) {
    return {owner,
            p.sheet,
            CentredRect(WorldToScreen(position[0], position[1]), p.halfWidth, p.halfHeight),
            p.source,
            RadianToAngle(Negate(p.rotation)),
            p.colour,
            p.blend};
}

int32_t Px(float worldLength) { return ScreenLength(worldLength); }
int32_t Px(int32_t worldLength) { return ScreenLength(static_cast<float>(worldLength)); }

// The half sizes of 610 and the charge Shots 630 to 632.
float ChargeWidth(int32_t type) { return type == 610 ? 30.0f : type == 630 ? 50.0f : type == 631 ? 90.0f : 120.0f; }
float ChargeHeight(int32_t type) { return type == 610 ? 40.0f : type == 630 ? 80.0f : type == 631 ? 120.0f : 150.0f; }

// A frame of a sheet strip: the age / 3 modulo frames.
int32_t Frame(int32_t age, int32_t frames) { return age / 3 % frames; }

std::optional<Picture> ShotPicture(const Shot& s) {
    using enum SpriteBlend;
    const int32_t age = s.age;
    auto sized = [&](float w, float h, ScreenRect source, float rotation, SpriteBlend blend) {
        return Picture{Px(w), Px(h), source, rotation, OPAQUE_WHITE, blend};
    };
    switch (s.type) {
    case 101:
    case 110: return sized(40, 40, Cell(0, 152, 49, 201), s.angle, Alpha);
    case 120: return sized(20, 20, Cell(128, 0, 175, 23), s.angle, AlphaAdd);
    case 210: return sized(35, 15, Cell(100, 0, 169, 29), s.angle, Alpha);
    case 510: return sized(35, 15, Cell(48, 0, 117, 29), s.angle, Alpha);
    case 221:
    case 222: {
        const float w = age >= 20 ? static_cast<float>((30 - age) * 4) : 40.0f;
        return sized(w, w, Cell(170, 0, 239, 69), s.angle, Alpha);
    }
    case 225:
    case 226: return sized(40, 40, Cell(170, 0, 239, 69), s.angle, Alpha);
    case 231:
    case 232: {
        const float w = age >= 50 ? static_cast<float>((70 - age) * 2) : 40.0f;
        return sized(w, w, Cell(170, 0, 239, 69), s.angle, Alpha);
    }
    case 301: {
        const float w = age < 20 ? static_cast<float>(age + 10) : age > 400 ? static_cast<float>(430 - age) : 30.0f;
        const int32_t f = Frame(age, 4);
        return sized(w, w, Cell(50 * f, 100, 50 * f + 49, 149), s.angle, Alpha);
    }
    case 310: {
        const int32_t f = Frame(age, 4);
        return sized(40, 40, Cell(50 * f, 150, 50 * f + 49, 199), s.angle, Alpha);
    }
    case 315: {
        const int32_t f = Frame(age, 3);
        return sized(25, 15, Cell(400, 30 * f, 449, 30 * f + 29), s.angle, Alpha);
    }
    case 320: return sized(40, 25, Cell(0, 30, 79, 79), s.angle, Alpha);
    case 410: return sized(30, 30, Cell(336, 0, 383, 47), s.angle, Alpha);
    case 420: return sized(30, 30, Cell(400, 0, 459, 59), s.angle, Alpha);
    case 610:
    case 615:
    case 630:
    case 631:
    case 632: {
        // Grows out of a line until age 15; 610 and 615 shrink back from age 1000.
        const bool big = s.type == 615;
        const float growth = big ? 3.0f : 2.0f;
        const int32_t stretch = big ? 6 : 4;
        const int32_t f = Frame(age, 3);
        Picture p = big ? sized(45, 60, Cell(60 * f, 350, 60 * f + 59, 429), s.angle, AlphaAdd)
                        : sized(ChargeWidth(s.type), ChargeHeight(s.type), Cell(60 * f, 0, 60 * f + 59, 79), s.angle,
                                AlphaAdd);
        if (age < 15) {
            p.halfWidth = Px(growth * static_cast<float>(age));
            p.halfHeight += (15 - age) * stretch;
        } else if (age > 1000 && (s.type == 610 || big)) {
            p.halfWidth = Px(growth * static_cast<float>(1015 - age));
            p.halfHeight += (age - 1000) * stretch;
        }
        return p;
    }
    case 620:
    case 621: {
        const int32_t end = s.type == 620 ? 520 : 120;
        const int32_t f = Frame(age, 3);
        Picture p = sized(20, 45, Cell(40 * f, 80, 40 * f + 39, 169), s.heading, AlphaAdd);
        if (age < 20) {
            p.halfWidth = Px(age);
            p.halfHeight += (20 - age) * 10;
        } else if (age > end - 20) {
            p.halfWidth = Px(end - age);
            p.halfHeight += (age - (end - 20)) * 5;
        }
        return p;
    }
    case 701: return sized(60, 40, Cell(0, 0, 63, 23), s.heading, AlphaAdd);
    case 702:
    case 703:
    case 741: {
        Picture p = sized(80, 30, Cell(0, 250, 219, 309), s.angle, AlphaAdd);
        if (s.type != 741 && age < 20) {
            p.halfWidth = Px(4 * age);
            p.halfHeight = Px(5 * (26 - age));
        }
        return p;
    }
    case 710:
    case 715:
    case 717: return sized(40, 25, Cell(100, 100, 179, 149), s.heading, Alpha);
    case 711: return sized(25, 20, Cell(60, 50, 109, 99), s.heading, Alpha);
    case 712: return sized(25, 20, Cell(0, 100, 49, 149), s.heading, Alpha);
    case 713:
    case 716:
    case 718: return sized(40, 20, Cell(100, 100, 179, 149), s.heading, Alpha);
    case 720:
    case 721: {
        // The blade grows in, glows while fast and thins out at its end.
        const bool first = s.type == 720;
        const int32_t growEnd = first ? 15 : 5;
        const int32_t fadeFrom = first ? 40 : 30;
        Picture p = sized(110, 30, Cell(0, 250, 219, 309), s.angle, AlphaAdd);
        if (age < growEnd) {
            p.halfWidth = Px(static_cast<float>((growEnd - age) * (first ? 5 : 15) + 110));
            p.halfHeight = Px((first ? 2 : 6) * age);
        }
        if (s.speed > 5.0f) {
            p.source = Cell(0, 370, 219, 429);
            if (first) p.halfHeight = Px(s.param * 10.0f);
        }
        if (age > fadeFrom) {
            p.source = Cell(0, 370, 219, 429);
            p.halfHeight = Px((fadeFrom + 10 - age) * 3);
        }
        return p;
    }
    case 730: {
        Picture p = sized(200, 80, Cell(200, 0, 499, 99), s.heading, AlphaAdd);
        if (age < 10) p.halfHeight = Px(8 * age);
        else if (age > 80) p.halfHeight = Px((100 - age) * 4);
        return p;
    }
    case 740: return sized(40, 20, Cell(0, 50, 59, 74), s.angle, AlphaAdd);
    case 770: {
        Picture p = sized(40, 20, Cell(0, 50, 59, 74), s.angle, AlphaAdd);
        if (age > 90) p.halfHeight = (100 - age) * 2;
        if (age > 60) p.colour = WhiteWithAlpha((100 - age) * 6);
        return p;
    }
    case 801: return sized(40, 40, Cell(250, 80, 299, 129), s.angle, Alpha);
    case 802: return sized(60, 40, Cell(250, 80, 299, 129), s.angle, Alpha);
    }
    return std::nullopt;
}

}  // namespace

std::vector<ObjectSprite> ShotSprites() {
    std::vector<ObjectSprite> sprites;
    for (int32_t i = 0; i < shotList.Size(); ++i) {
        const Shot& s = shotList[i];
        if (const std::optional<Picture> p = ShotPicture(s)) sprites.push_back(Place(*p, s.position, s.owner));
    }
    return sprites;
}

namespace {

// A beam's two layers: half-length, width factors of the faint long layer
// and of the core, the age up to which the core shows, and their sources.
struct Beam {
    float length;
    float longFactor;
    float coreFactor;
    int32_t coreLimit;
    ScreenRect longSource;
    ScreenRect coreRows[3];
};

constexpr ScreenRect rayCore[3] = {{0, 72, 249, 111}, {0, 32, 249, 71}, {0, 112, 249, 151}};
constexpr ScreenRect waveCore[3] = {{0, 370, 249, 409}, {0, 410, 249, 449}, {0, 450, 249, 489}};

Beam BeamOf(int32_t type) {
    switch (type) {
    case 114: return {1200, 200, 120, 80, {256, 0, 511, 79}, {rayCore[0], rayCore[1], rayCore[2]}};
    case 115: return {1200, 100, 40, 80, {256, 80, 511, 159}, {rayCore[0], rayCore[1], rayCore[2]}};
    case 420:
    case 421: return {1200, 80, 30, 80, {256, 370, 511, 449}, {waveCore[0], waveCore[1], waveCore[2]}};
    case 422: return {1200, 200, 80, 80, {256, 370, 511, 449}, {waveCore[0], waveCore[1], waveCore[2]}};
    case 650:
        return {1150, 60, 20, 15, {0, 430, 255, 509}, {{200, 80, 449, 119}, {200, 120, 249, 159}, {200, 160, 249, 199}}};
    case 820: return {1200, 60, 20, 25, {256, 0, 511, 79}, {rayCore[0], rayCore[1], rayCore[2]}};
    }
    return {1200, 150, 80, 80, {256, 0, 511, 79}, {rayCore[0], rayCore[1], rayCore[2]}};  // 110
}

void AddBeam(std::vector<ObjectSprite>& sprites, const HeavyShot& h) {
    const Beam beam = BeamOf(h.type);
    Picture layer{Px(beam.length), Px(h.param * beam.longFactor), beam.longSource, h.angle, WhiteWithAlpha(100)};
    sprites.push_back(Place(layer, h.position, h.owner));
    if (h.age > beam.coreLimit) return;
    layer.halfHeight = Px(h.param * beam.coreFactor);
    layer.source = beam.coreRows[h.age / 2 % 3];
    layer.colour = OPAQUE_WHITE;
    sprites.push_back(Place(layer, h.position, h.owner));
}

// Alpha that falls off from an age on: 255 before, then the given value.
uint32_t FadingWhite(bool fading, float alpha) { return fading ? WhiteWithAlpha(TruncateScreenValue(alpha)) : OPAQUE_WHITE; }

std::optional<Picture> HeavyShotPicture(const HeavyShot& h) {
    const int32_t age = h.age;
    auto sized = [&](float w, float d, ScreenRect source) { return Picture{Px(w), Px(d), source, h.angle}; };
    switch (h.type) {
    case 101:
    case 301:
    case 801: return sized(40, 20, Cell(0, 0, 63, 23));
    case 302: return sized(80, 40, Cell(0, 0, 63, 23));
    case 103:
    case 104:
    case 803: return sized(180, 50, Cell(0, 0, 63, 23));
    case 802: {
        Picture p = sized(40, 15, Cell(0, 0, 63, 23));
        p.colour = WhiteWithAlpha(age >= 19 ? 705 - 25 * age : 255);
        return p;
    }
    case 804: {
        Picture p = sized(120, 50, Cell(0, 0, 63, 23));
        if (age >= 21) p.halfHeight = (30 - age) * 5;
        return p;
    }
    case 401: return sized(30, 30, Cell(288, 0, 335, 47));
    case 402: return sized(30, 20, Cell(288, 0, 335, 47));
    case 403: {
        const float w = age >= 51 ? static_cast<float>(75 - age) : 25.0f;
        return sized(w, w, Cell(240, 0, 287, 47));
    }
    case 411: {
        Picture p = sized(1250, 30, age / 2 % 2 == 0 ? Cell(0, 60, 249, 99) : Cell(0, 100, 249, 139));
        p.colour = WhiteWithAlpha(200);
        return p;
    }
    case 510: return sized(40, 60, Cell(0, 110, 119, 269));
    case 512: return sized(60, 20, Cell(0, 110, 119, 269));
    case 610: return sized(age < 10 ? static_cast<float>(8 * age) : 80.0f, 15, Cell(180, 0, 379, 49));
    case 611: return sized(30, 15, Cell(380, 0, 439, 49));
    case 612:
    case 613: return sized(30, 30, Cell(380, 0, 439, 49));
    case 210: return sized(30, 30, Cell(0, 0, 47, 47));
    case 211: return sized(30, 30, Cell(48, 0, 95, 47));
    case 220:
    case 221: {
        const float w = age < 200 ? 20.0f : 40.0f;
        return sized(w, w, h.type == 220 ? Cell(0, 48, 47, 95) : Cell(48, 48, 95, 95));
    }
    case 701: return sized(60, 40, Cell(0, 24, 63, 47));
    case 702:
    case 703:
        if (age < 20)
            return sized(static_cast<float>(4 * age), static_cast<float>((26 - age) * 5), Cell(0, 310, 219, 369));
        return sized(80, 30, Cell(0, 310, 219, 369));
    case 741: return sized(80, 30, Cell(0, 310, 219, 369));
    case 710: {
        Picture p = sized(25, 20, Cell(50, 100, 99, 149));
        p.rotation = h.heading;
        p.blend = SpriteBlend::Alpha;
        return p;
    }
    case 730: {
        const float across = age < 10 ? static_cast<float>(8 * age) : age > 80 ? static_cast<float>((100 - age) * 4) : 80.0f;
        Picture p = sized(200, across, Cell(200, 100, 499, 199));
        p.rotation = h.heading;
        return p;
    }
    case 120:
    case 121: {
        const bool ring = h.type == 121;
        const bool facingLeft = std::fabs(h.angle) >= PI_F / 2.0f;
        Picture p = ring ? sized(120, 160, Cell(260, 250, 379, 409))
                         : sized(250, 200, facingLeft ? Cell(0, 449, 199, 251) : Cell(0, 250, 199, 449));
        if (ring) p.sheet = SpriteSheet::Ring;
        if (age > 10) p.colour = WhiteWithAlpha(255 - 25 * (age - 10));
        return p;
    }
    case 230: return sized(h.param * 120.0f, h.param * 120.0f, Cell(0, 96, 159, 255));
    case 720: {
        Picture p = sized(110, 30, Cell(0, 310, 219, 359));
        if (age < 15) {
            p.halfWidth = Px(static_cast<float>((15 - age) * 5 + 110));
            p.halfHeight = Px(static_cast<float>(2 * age));
        }
        if (h.speed >= 5.0f) {
            p.source = Cell(0, 430, 219, 489);
            p.halfHeight = Px(h.param * 10.0f);
        }
        if (age > 40) {
            p.source = Cell(0, 430, 219, 489);
            p.halfHeight = Px(static_cast<float>((50 - age) * 3));
        }
        return p;
    }
    case 721: {
        Picture p = sized(110, 30, Cell(0, 310, 219, 369));
        if (age < 5) {
            p.halfWidth = Px(static_cast<float>((5 - age) * 15 + 110));
            p.halfHeight = Px(static_cast<float>(6 * age));
        }
        if (h.speed >= 5.0f) {
            p.source = Cell(0, 430, 219, 489);
            p.halfHeight = 30;
        }
        if (age > 30) {
            p.source = Cell(0, 430, 219, 489);
            p.halfHeight = Px(static_cast<float>((40 - age) * 3));
        }
        return p;
    }
    case 740: {
        float along = 40.0f, across = 20.0f;
        if (age < 20) {
            along = static_cast<float>((30 - age) * 4);
            across = static_cast<float>(age);
        } else if (age > 170) {
            along = static_cast<float>(4 * age - 240);
            across = static_cast<float>(90 - age);
        }
        return sized(along, across, Cell(0, 50, 59, 74));
    }
    case 760:
    case 761:
    case 762:
    case 763: {
        Picture p = sized(static_cast<float>(age) * 18.75f, static_cast<float>(age * 3.333),
                          h.type < 762 ? Cell(200, 0, 499, 99) : Cell(200, 100, 499, 199));
        p.colour = FadingWhite(age >= 16, static_cast<float>(25 - age) * 25.5f);
        return p;
    }
    case 770: {
        Picture p = sized(40, 20, Cell(0, 75, 59, 99));
        if (age >= 91) p.halfHeight = (100 - age) * 2;
        p.colour = FadingWhite(age >= 61, static_cast<float>((100 - age) * 6));
        return p;
    }
    case 830: return sized(660, 660, age / 2 % 2 == 0 ? Cell(0, 360, 99, 459) : Cell(100, 360, 199, 459));
    }
    return std::nullopt;
}

}  // namespace

std::vector<ObjectSprite> HeavyShotSprites() {
    std::vector<ObjectSprite> sprites;
    for (int32_t i = 0; i < heavyShotList.Size(); ++i) {
        const HeavyShot& h = heavyShotList[i];
        if (h.age < 0) continue;
        if (IsBeam(h.type)) {
            AddBeam(sprites, h);
            continue;
        }
        if (h.type == 750) {
            // Centred ahead of its position by half its growing length.
            float offset[2] = {h.param * 60.0f, 0.0f};
            RotateVector2(offset, h.heading);
            const float at[2] = {h.position[0] + offset[0], h.position[1] + offset[1]};
            const Picture p{Px(h.param * 120.0f), Px(50), Cell(250, 0, 499, 99), h.angle};
            sprites.push_back(Place(p, at, h.owner));
            continue;
        }
        if (const std::optional<Picture> p = HeavyShotPicture(h)) sprites.push_back(Place(*p, h.position, h.owner));
    }
    return sprites;
}

void DrawShots() { DrawObjectSprites(ShotSprites()); }
void DrawHeavyShots() { DrawObjectSprites(HeavyShotSprites()); }
