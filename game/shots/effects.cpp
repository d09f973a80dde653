#include "game/shots/effects.h"

#include <algorithm>
#include <cmath>

#include "engine/core/math.h"
#include "game/arena/hud_sheets.h"
#include "game/arena/object_lists.h"
#include "game/arena/object_types.h"
#include "game/arena/player_record.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/object_rules.h"

namespace {

enum class SpawnAngle { Given, Zero, Random };
enum class EndRule { StrengthOut, ScaleOut, ScaleAtLeastTwo, AgeAbove };

// One code's spawn values and its plain per-update steps; the codes with
// further rules add them in StepEffect.
struct EffectRow {
    int32_t type;
    float strength, scale;  // at the spawn
    // Added in double and rounded once into the float fields.
    double strengthStep, scaleStep;
    double move;  // along the angle, per update
    EndRule end;
    int32_t endAge = 0;  // AgeAbove: ends once the age is above this
    SpawnAngle angle = SpawnAngle::Given;
};

constexpr EndRule STRENGTH = EndRule::StrengthOut;
constexpr EndRule SCALE = EndRule::ScaleOut;

constexpr EffectRow effectRows[] = {
    {10, 1, 1, -0.04, 0.08, 0, STRENGTH, 0, SpawnAngle::Zero},
    {11, 1, 1, -0.025, 0.08, 0, STRENGTH},
    {21, 1, 1, -0.025, 0.08, 0, STRENGTH},
    {22, 1, 0.5f, -0.05, 0.08, 0, STRENGTH, 0, SpawnAngle::Random},
    {31, 1, 1, -0.04, 0.2, 0, STRENGTH},
    {32, 1, 1, -0.04, 0.2, 0, STRENGTH},
    {101, 1, 1, -0.1, -0.02, 0, STRENGTH},
    {102, 1, 1, -0.2, -0.02, 0, STRENGTH},
    {110, 1, 1, -0.02, -0.08, 0, SCALE},
    {111, 1, 1, -0.01, -0.05, 0, SCALE},
    {120, 1, 1, -0.1, 0.1, 0, STRENGTH},
    {121, 1, 1, -0.1, 0.1, 0, STRENGTH},
    {130, 1, 1, -0.2, 0.02, 0, STRENGTH},
    {140, 1, 0.5f, -0.04, 0.2, 0, STRENGTH},
    {200, 0, 1, 0.02, -0.05, 0, SCALE},
    {201, 1, 0, -0.02, 0, 0, STRENGTH},
    {202, 1, 0.2f, -0.02, 0, 0, STRENGTH},
    {310, 1, 1, 0, 0, 0, STRENGTH},
    {311, 1, 0.2f, 0, 0, 0, STRENGTH},
    {315, 1, 1, 0, 0, 0, STRENGTH},
    {320, 1, 0.5f, -0.04, 0.2, 0, STRENGTH},
    {321, 1, 0.5f, -0.04, 0.2, 0, STRENGTH},
    {401, 1, 0.5f, -0.04, 0.2, 0, STRENGTH},
    {410, 1, 1, -0.1, -0.02, 0, STRENGTH},
    {420, 1, 1, -0.05, 0, 0, STRENGTH},
    {421, 1, 0.5f, -0.05, 0.15, 0, STRENGTH},
    {501, 1, 0.5f, -0.04, 0.2, 0, STRENGTH},
    {502, 1, 1, -0.02, -0.1, 0, SCALE},
    {503, 1, 1, -0.01, -0.05, 0, SCALE},
    {510, 1, 1, -0.1, -0.05, 0, STRENGTH},
    {511, 1, 1, -0.075, -0.05, 0, STRENGTH},
    {520, 1, 1, -0.05, -0.05, 4, STRENGTH},
    {521, 1, 0.5f, -0.05, -0.02, 2, STRENGTH},
    {522, 1, 0.5f, -0.025, -0.01, 3, STRENGTH},
    {530, 1, 0.5f, -0.02, 0.02, 0, STRENGTH},
    {610, 1, 1, -0.2, 0, 0, STRENGTH},
    {611, 1, 1, -0.1, 0, 0, STRENGTH},
    {620, 1, 0.5f, -0.02, 0.12, 0, STRENGTH},
    {630, 1, 0, -0.05, 0, 2, STRENGTH},
    {631, 1, 1, -0.01, -0.05, 0, SCALE},
    {635, 1, 0, -0.05, 0, 10, STRENGTH},
    {636, 1, 0, -0.05, 0, 10, STRENGTH},
    {701, 1, 1, -0.1, -0.05, 0, STRENGTH},
    {702, 1, 1, -0.1, -0.05, 0, STRENGTH},
    {711, 1, 1, -0.01, -0.05, 0, SCALE},
    {712, 1, 1, -0.01, -0.05, 0, SCALE},
    {720, 1, 1.5f, -0.05, 0.25, 0, STRENGTH},
    {730, 1, 1, 0, 0, 0, EndRule::AgeAbove, 50},
    {740, 10, 0, 0, 0, 0, EndRule::AgeAbove, 30},
    {741, 1, 1.5f, -0.05, 0.25, 0, STRENGTH},
    {750, 1, 0, -0.05, 0, 4, STRENGTH},
    {760, 1, 0.5f, -0.02, 0.02, 0, STRENGTH},
    {810, 1, 0.5f, -0.04, 0.2, 0, STRENGTH},
    {890, 1, 1, -0.02, -0.01, 0, STRENGTH},
    {900, 0, 1, 0, 0, 0, SCALE, 0, SpawnAngle::Zero},
    {1000, 1, 0.2f, 0, 0, 0, STRENGTH},
    {1001, 1, 0.5f, -0.025, 0.08, 0, STRENGTH},
    {1002, 1, 0.5f, -0.025, 0.08, 0, STRENGTH},
    {1003, 1, 0.5f, -0.025, 0.08, 0, STRENGTH},
    {1004, 1, 0.5f, -0.025, 0.08, 0, STRENGTH},
    {1005, 1, 0.5f, -0.025, 0.08, 0, STRENGTH},
    {1006, 1, 0.5f, -0.025, 0.08, 0, STRENGTH},
    {1007, 1, 0.5f, -0.025, 0.08, 0, STRENGTH},
    {1008, 1, 0.5f, -0.025, 0.08, 0, STRENGTH},
    {1100, 1, 0, -0.05, 0.1, 10, EndRule::ScaleAtLeastTwo},
    {1101, 1, 0, -0.05, 0.1, 15, EndRule::ScaleAtLeastTwo},
    {1200, 1, 0, -0.025, 0.06, 0, STRENGTH},
    {1300, 0, 1, 0.005, -0.005, 0, SCALE},
    {1301, 1, 0, -0.05, 0.05, 0, STRENGTH},
};

bool IsGrazeLine(int32_t type) { return type >= EFFECT_GRAZE_LINE_FIRST && type <= EFFECT_GRAZE_LINE_LAST; }

Effect NewEffect(const EffectRow& row, float angle, const float position[2], int32_t owner) {
    Effect e{};
    e.owner = owner;
    e.type = row.type;
    e.position[0] = position[0];
    e.position[1] = position[1];
    e.angle = row.angle == SpawnAngle::Zero ? 0.0f : row.angle == SpawnAngle::Random ? RandomFloat(0.0f, TWO_PI_F) : angle;
    e.strength = row.strength;
    e.scale = row.scale;
    return e;
}

// Codes 11 and 21: five sparks about the position, one every five frames.
// Each draws its angle, then its x and y offsets.
int32_t SpawnSparkBurst(const EffectRow& row, const float position[2], int32_t owner) {
    int32_t index = effectList.LastIndex();
    for (int32_t k = 0; k < 5; ++k) {
        Effect e = NewEffect(row, 0.0f, position, owner);
        e.age = -5 * k;
        e.angle = RandomFloat(0.0f, TWO_PI_F);
        e.position[0] = position[0] + RandomFloat(-20.0f, 20.0f);
        e.position[1] = position[1] + RandomFloat(-20.0f, 20.0f);
        index = effectList.Append(e);
    }
    return index;
}

}  // namespace

int32_t SpawnEffect(int32_t type, float angle, const float position[2], int32_t owner) {
    TraceSpawn(ObjectKind::Effect, type, angle, position, owner);
    if (type == 12) {
        const float a = RandomFloat(0.0f, TWO_PI_F);
        return effectList.Append(NewEffect(*FindRow(effectRows, 11), a, position, owner));
    }
    const EffectRow* row = FindRow(effectRows, type);
    if (!row) return effectList.LastIndex();
    if (type == 11 || type == 21) return SpawnSparkBurst(*row, position, owner);
    return effectList.Append(NewEffect(*row, angle, position, owner));
}

namespace {

float DirectionFrom(const PlayerRecord& p, const float to[2]) {
    return static_cast<float>(std::atan2(static_cast<double>(to[1]) - p.y, static_cast<double>(to[0]) - p.x));
}

void Fade(Effect& e, int32_t afterAge, double strengthStep, double scaleStep) {
    if (e.age <= afterAge) return;
    AddInDouble(&e.strength, strengthStep);
    AddInDouble(&e.scale, scaleStep);
}

// The bomb of 311: sparks for its first frames, then a blast that hurts both
// fighters, each area thrown from the other fighter's side toward the bomb.
void StepBomb(Effect& e) {
    if (e.age < 6) {
        for (int32_t k = 0; k < 6; ++k) {
            const int32_t code = RandomInt(0, 100) < 50 ? 1100 : 1101;
            const double angle = k * PI_WIDE / 2.0 + RandomFloat(0.0f, PI_F / 2.0f);
            SpawnEffect(code, static_cast<float>(angle), e.position, e.owner);
        }
    }
    if (e.age < 10) e.scale = static_cast<float>(std::min(e.scale + 0.1, 1.0));
    if (e.age < 60 && e.age % 5 == 0) {
        SpawnAttackArea(311, DirectionFrom(players[1], e.position), e.position, 0);
        SpawnAttackArea(311, DirectionFrom(players[0], e.position), e.position, 1);
    }
    Fade(e, 60, -0.02, -0.01);
}

// The row's own rules beyond the plain steps, in the row's order: steps,
// move, spawns.
void StepEffect(Effect& e, const EffectRow& row) {
    AddInDouble(&e.strength, row.strengthStep);
    AddInDouble(&e.scale, row.scaleStep);
    switch (e.type) {
    case 120: AddInDouble(&e.angle, -0.1); break;
    case 121: AddInDouble(&e.angle, 0.1); break;
    case 201: case 202: AddInDouble(&e.scale, e.scale < 0.8 ? 0.1 : 0.05); break;
    case 630: case 635: case 636: case 750:
        if (e.scale < 3.0f) e.scale += 0.5f;
        break;
    case 900:
        if (e.age <= 20) {
            if (e.strength < 1.0f) AddInDouble(&e.strength, 0.1);
        } else {
            AddInDouble(&e.strength, -0.05);
            AddInDouble(&e.scale, -0.05);
        }
        break;
    case 1000: {
        AddInDouble(&e.scale, std::max(0.2 - e.age * 0.01, 0.01));
        const PlayerRecord& o = PlayerOf(e.owner);
        e.position[0] = o.x;
        e.position[1] = o.y;
        e.angle = RandomFloat(0.0f, TWO_PI_F);
        AddInDouble(&e.strength, -0.025);
        break;
    }
    }
    const double move = e.type == 890 ? e.age * 0.005 : row.move;
    if (move != 0.0) MoveAlong(e.position, e.angle, move);
    switch (e.type) {
    case 310:
        if (e.age < 20 && e.age % 7 == 0) SpawnAttackArea(310, e.angle, e.position, e.owner);
        Fade(e, 30, -0.05, -0.02);
        break;
    case 311: StepBomb(e); break;
    case 315:
        if (e.age < 20 && e.age % 5 == 0) {
            const int32_t area = SpawnAttackArea(310, e.angle, e.position, e.owner);
            attackAreaList.Adjust(area, [](AttackArea& a) { a.hitShape[2] = 100.0f; });
        }
        Fade(e, 30, -0.05, -0.02);
        break;
    case 522:
        if (e.age == 4) SpawnAttackArea(530, e.angle, e.position, e.owner);
        break;
    case 635: case 636:
        if (e.age == 5) {
            const int32_t area = SpawnAttackArea(635, e.angle, e.position, e.owner);
            if (e.type == 636) attackAreaList.Adjust(area, [](AttackArea& a) { a.knockBackSpeed = 14.0f; });
        }
        break;
    case 740:
        if (e.age % 3 == 0) SpawnEffect(741, e.angle, e.position, e.owner);
        break;
    case 620: case 1001: case 1002: case 1003: case 1004: case 1005: case 1006: case 1007: case 1008:
        e.age = RandomInt(0, 400);  // picks the picture's column
        break;
    }
}

bool Ended(const Effect& e, const EffectRow& row) {
    switch (row.end) {
    case EndRule::StrengthOut: return e.strength <= 0.0f;
    case EndRule::ScaleOut: return e.scale <= 0.0f;
    case EndRule::ScaleAtLeastTwo: return e.scale >= 2.0f;
    case EndRule::AgeAbove: return e.age > row.endAge;
    }
    return false;
}

}  // namespace

void UpdateEffects() {
    WalkObjectList(effectList, [](int32_t i) {
        // A copy: the steps may spawn Effects, which can move the list.
        Effect e = effectList[i];
        ++e.age;
        const EffectRow* row = FindRow(effectRows, e.type);
        if (e.age >= 0 && row) StepEffect(e, *row);
        effectList[i] = e;
        return e.age >= 0 && row && Ended(e, *row) ? WalkStep::Erase : WalkStep::Keep;
    });
}

namespace {

ScreenRect SystemCell(const hud_sheets::Cell& c) { return {c.left, c.top, c.right, c.bottom}; }

// The ring about a fighter: white while its hit flash runs, red while it is
// knocked back with a full hyper gauge bar.
void AddRingOverlay(int32_t side, std::vector<ObjectSprite>& out) {
    const PlayerRecord& p = players[side];
    const int32_t c = p.hitFlashCounter;
    float half;
    uint32_t colour;
    if (c != 0) {
        half = c > 50 ? 200.0f : 4.0f * static_cast<float>(c);
        colour = WhiteWithAlpha(150);
    } else if (p.state == PLAYER_KNOCKED_BACK && p.hyperGauge >= 1.0f) {
        half = 4.0f * static_cast<float>(p.stateTimer) + 30.0f;
        colour = (static_cast<uint32_t>(255 - 10 * p.stateTimer) & 0xFFu) << 24 | 0x00FF0000u;
    } else {
        return;
    }
    const int32_t h = ScreenLength(half);
    out.push_back({side, SpriteSheet::BattleSystem, CentredRect(WorldToScreen(p.x, p.y), h, h), SystemCell(hud_sheets::kRing), p.ringPhase,
                   colour, SpriteBlend::AlphaAdd});
}

uint32_t Alpha(float strength, float factor) { return WhiteWithAlpha(TruncateScreenValue(strength * factor)); }

ScreenRect Cell(int32_t left, int32_t top, int32_t width, int32_t height) {
    return {left, top, left + width - 1, top + height - 1};
}

// The picture of a graze line (also used by 620): a 60-wide column picked by
// the random age, bright rows while the line is strong.
ScreenRect GrazeLineCell(const Effect& e) { return Cell(60 * (e.age % 4), e.strength >= 0.6f ? 0 : 180, 60, 180); }

// Draws an Effect's picture: the common case is the owner's item sheet turned
// by the Effect's angle, alpha from the strength, added.
struct EffectPainter {
    const Effect& e;
    std::vector<ObjectSprite>& out;

    ObjectSprite& Add(SpriteSheet sheet, float a, float b, ScreenRect source, uint32_t colour,
                    SpriteBlend blend = SpriteBlend::AlphaAdd) {
        out.push_back(WorldSprite(sheet, e.owner, e.position, a, b, source, e.angle, colour, blend));
        return out.back();
    }
    ObjectSprite& Item(float a, float b, ScreenRect source) {
        return Add(SpriteSheet::Item, a, b, source, Alpha(e.strength, 255.0f));
    }
    ObjectSprite& Item(float a, float b, ScreenRect source, float alphaFactor) {
        return Add(SpriteSheet::Item, a, b, source, Alpha(e.strength, alphaFactor));
    }
    // k x (1 - scale) and k x (scale + 0.5): half-extents taken in double and
    // rounded once.
    float Shrinking(double k) const { return static_cast<float>(k * (1.0 - e.scale)); }
    float FromHalf(double k) const { return static_cast<float>(k * (e.scale + 0.5)); }
    void Paint();
    void PaintShared();
};

void Upright(ObjectSprite& s) {
    s.turned = false;
    s.rotation = 0;
}

// The shared codes: sparks, rings, graze mark and line, move and knock-out
// effects.
void EffectPainter::PaintShared() {
    const float sc = e.scale;
    const uint32_t alpha = Alpha(e.strength, 255.0f);
    const int32_t column = 64 * (e.age / 3);
    switch (e.type) {
    case 10:
        Add(SpriteSheet::BattleEffect, 30 * sc, 30 * sc, e.age / 2 % 2 == 0 ? Cell(0, 0, 100, 100) : Cell(100, 0, 100, 100), alpha);
        break;
    case 11: Add(SpriteSheet::BattleEffect, 40 * sc, 40 * sc, Cell(column, 100, 64, 64), alpha, SpriteBlend::Alpha); break;
    case 21: Add(SpriteSheet::BattleEffect, 40 * sc, 40 * sc, Cell(column, 164, 64, 64), alpha); break;
    case 22:
        Add(SpriteSheet::BattleEffect, 30 * sc, 30 * sc, Cell(column, 100, 64, 64), Alpha(e.strength, 200.0f), SpriteBlend::Alpha);
        break;
    case 31: case 32: {
        const uint32_t ringAlpha = WhiteWithAlpha(127 - TruncateScreenValue(-128.0f * e.strength));
        Add(SpriteSheet::Ring, 20 * sc, 40 * sc, Cell(64 * (e.age / 7), e.type == 31 ? 360 : 424, 64, 64), ringAlpha);
        break;
    }
    case 900:
        Upright(Add(SpriteSheet::BattleSystem, 60 + Shrinking(40), 15 * sc, SystemCell(hud_sheets::kGrazeMark), alpha));
        break;
    case 1000: Add(SpriteSheet::Ring, 100 * sc, 100 * sc, {240, 0, 439, 199}, alpha); break;
    case 1100: case 1101:
        Add(SpriteSheet::Ring, (e.type == 1100 ? 100 : 150) * sc, sc < 1 ? 20.0f : static_cast<float>(20 * (2.0 - sc)),
            {240, 200, 439, 249}, alpha);
        break;
    case 1200: {
        // Placed in screen pixels, not in the world.
        const int32_t h = ScreenLength(50 * sc);
        const ScreenPoint centre{TruncateScreenValue(e.position[0]), TruncateScreenValue(e.position[1])};
        out.push_back({e.owner, SpriteSheet::BattleSystem, CentredRect(centre, h, h), SystemCell(hud_sheets::kMoveBurst),
                       RadianToAngle(Negate(e.angle)), alpha, SpriteBlend::AlphaAdd});
        break;
    }
    case 1300: Add(SpriteSheet::BattleEffect, 600 * sc, 600 * sc, {0, 292, 199, 491}, alpha); break;
    case 1301: Add(SpriteSheet::BattleEffect, 600 * sc, 600 * sc, {200, 292, 399, 491}, alpha); break;
    default:
        if (IsGrazeLine(e.type)) Add(SpriteSheet::Ring, 15 * sc, 80 * sc, GrazeLineCell(e), alpha);
        break;
    }
}

// The characters' codes, all on the owner's item sheet unless stated.
void EffectPainter::Paint() {
    const float sc = e.scale;
    const float st = e.strength;
    const int32_t k = e.age / 2 % 2;
    const ScreenRect flame = {260 + 80 * k, 0, 339 + 80 * k, 79};
    const ScreenRect blast = e.age % 2 == 0 ? ScreenRect{200, 0, 299, 99} : ScreenRect{300, 0, 399, 99};
    switch (e.type) {
    case 101: case 102: Item(60, 20 * sc, {64, 0, 127, 23}); break;
    case 110: {
        const uint32_t v = static_cast<uint32_t>(TruncateScreenValue(st * 255.0f)) & 0xFFu;
        Add(SpriteSheet::Item, static_cast<float>(600 * (1.0 - sc) + 300), 80 * sc, {0, 210, 499, 241},
            v << 24 | v << 16 | v << 8 | 0xFFu);
        break;
    }
    case 111: Item(Shrinking(300), 80 * sc, {256, 160, 455, 189}); break;
    case 120: Item(120 * sc, 120 * sc, {256, 511, 511, 257}); break;
    case 121: Item(120 * sc, 120 * sc, {256, 256, 511, 511}); break;
    case 130: {
        const bool forward = std::fabs(e.angle) < PI_F / 2.0f;
        const uint32_t colour = (Alpha(st, 255.0f) & 0xFF000000u) | 0x00FF00FFu;
        Add(SpriteSheet::Item, 250 * sc, 200 * sc, forward ? ScreenRect{0, 250, 199, 449} : ScreenRect{0, 449, 199, 251}, colour);
        break;
    }
    case 140: Item(15 * sc, 50 * sc, {200, 250, 229, 349}); break;
    case 200: Upright(Add(SpriteSheet::Ring, 800 * sc, 100 * sc, {240, 0, 439, 199}, Alpha(st, 255.0f))); break;
    case 201: Upright(Add(SpriteSheet::Ring, 600 * sc, 600 * sc, {240, 0, 439, 199}, Alpha(st, 200.0f))); break;
    case 202: Upright(Item(500 * sc, 500 * sc, {0, 286, 99, 385}, 200.0f)); break;
    case 310: Item(160 * sc, 160 * sc, blast, e.age % 2 == 0 ? 80.0f : 150.0f); break;
    case 311:
        Item(460 * sc, 460 * sc, {400, 90, 499, 189}, e.age % 2 == 0 ? 40.0f : 80.0f);
        Item(400 * sc, 400 * sc, blast, e.age % 2 == 0 ? 100.0f : 160.0f);
        break;
    case 315: Item(250 * sc, 250 * sc, blast, e.age % 2 == 0 ? 80.0f : 150.0f); break;
    case 320: Item(12 * sc, 40 * sc, {0, 260, 29, 359}); break;
    case 321: Item(30 * sc, 120 * sc, {0, 260, 29, 359}); break;
    case 410: Item(60, 20 * sc, {288, 0, 335, 47}); break;
    case 420: Item(20, 20, {0, 0, 59, 59}, 200.0f); break;
    case 421: Item(20 * sc, 20 * sc, {0, 240, 127, 367}); break;
    case 501: Item(15 * sc, 50 * sc, {120, 110, 149, 209}); break;
    case 502: Item(150, 35 * sc, {0, 50, 239, 79}); break;
    case 503: Item(Shrinking(300), 80 * sc, {0, 270, 199, 299}); break;
    case 510: Item(180 * sc, 70 * sc, {0, 50, 239, 79}); break;
    case 511: Item(240 * sc, 100 * sc, {0, 50, 239, 79}); break;
    case 520: Item(Shrinking(360), 160 * sc, flame); break;
    case 521: Item(Shrinking(120), FromHalf(60), flame, 100.0f); break;
    case 522: {
        ObjectSprite& s = Item(Shrinking(160), FromHalf(90), flame, 100.0f);
        s.rotation = RadianToAngle(Negate(-PI_F / 2.0f));
        break;
    }
    case 530: Item(250 * sc, 250 * sc, {260, 80, 419, 239}, 100.0f); break;
    case 610: Add(SpriteSheet::Item, 46, 15, {380, 0, 439, 49}, OPAQUE_WHITE); break;
    case 611: Add(SpriteSheet::Item, 56, 30, {380, 0, 439, 49}, OPAQUE_WHITE); break;
    case 620: Add(SpriteSheet::Ring, 8 * sc, 60 * sc, GrazeLineCell(e), Alpha(st, 255.0f)); break;
    case 630:
        Add(SpriteSheet::Item, 50 * sc, e.age > 10 ? static_cast<float>(2 * (20 - e.age)) : 20.0f,
            {180, 50, 279, 79}, OPAQUE_WHITE);
        break;
    case 631: Item(Shrinking(300), 80 * sc, {0, 170, 199, 199}); break;
    case 635: case 636:
        Add(SpriteSheet::Item, 100 * sc, e.age > 10 ? static_cast<float>(7 * (20 - e.age)) : 100.0f,
            {150, 200, 429, 339}, OPAQUE_WHITE);
        break;
    case 701: Item(60, 30 * sc, {64, 0, 127, 23}); break;
    case 702: Item(60, 30 * sc, {64, 24, 127, 47}); break;
    case 711: Item(Shrinking(300), 80 * sc, {290, 280, 489, 309}); break;
    case 712: Item(Shrinking(300), 80 * sc, {290, 310, 489, 339}); break;
    case 720: Item(Shrinking(35), 90 * sc, {220, 310, 289, 489}, 200.0f); break;
    case 730: Item(80 * sc, 80 * sc, k == 0 ? ScreenRect{0, 150, 99, 249} : ScreenRect{100, 150, 199, 249}, 200.0f); break;
    case 741: Item(Shrinking(8), 25 * sc, {220, 310, 289, 489}, 200.0f); break;
    case 750: Add(SpriteSheet::Item, 50 * sc, 40, {200, 100, 499, 199}, OPAQUE_WHITE); break;
    case 760: Item(600 * sc, 600 * sc, {290, 340, 449, 499}, 100.0f); break;
    case 810: Item(20 * sc, 80 * sc, {0, 260, 29, 359}); break;
    case 890: {
        // The sine and cosine of whole degrees; a negative half-extent mirrors.
        constexpr double degree = 3.14159265358979323846 / 180.0;
        const float a = static_cast<float>(20.0 * sc * std::sin(7 * e.age % 360 * degree));
        const float b = static_cast<float>(20.0 * sc * std::cos(3 * e.age % 360 * degree));
        const int32_t c = e.age % 4;
        ObjectSprite& s = Item(a, b, {30 * c, 460, 30 * c + 29, 489}, 200.0f);
        s.rotation = ToAngle16(DegreeToAngle(17 * e.age % 360));
        break;
    }
    default: PaintShared(); break;
    }
}

}  // namespace

std::vector<ObjectSprite> EffectSprites() {
    std::vector<ObjectSprite> sprites;
    AddRingOverlay(0, sprites);
    AddRingOverlay(1, sprites);
    for (int32_t i = 0; i < effectList.Size(); ++i) {
        const Effect& e = effectList[i];
        if (e.age < 0) continue;
        EffectPainter{e, sprites}.Paint();
    }
    return sprites;
}

void DrawEffects() { DrawObjectSprites(EffectSprites()); }
