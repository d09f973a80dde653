#include "game/shots/attack_areas.h"

#include <cmath>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/arena/player_record.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "game/shots/object_rules.h"

namespace {

struct AttackAreaSpawn {
    int32_t type;
    int32_t storedAs;
    float hitShape[3];  // along, across, radius
    int32_t power;
    float knockBackSpeed;
    float scaleX, scaleY;
};

// Every value a row leaves out is 0. The scales of 301 and
// 302 are drawn at the spawn (see SpawnAttackArea).
constexpr AttackAreaSpawn attackAreaSpawns[] = {
    {10, 10, {600, 50, 0}, 30, 4, 0, 0},     {11, 11, {0, 0, 80}, 110, 2, 0, 0},
    {101, 101, {0, 0, 60}, 120, 2, 0, 0},    {102, 102, {0, 0, 60}, 120, 2, 0, 0},
    {110, 110, {160, 70, 0}, 500, 4, 0, 0},  {120, 120, {60, 10, 0}, 65, 4, 0, 0},
    {121, 120, {60, 10, 0}, 85, 12, 0, 0},   {122, 122, {80, 20, 0}, 85, 12, 0, 0},
    {130, 130, {150, 150, 0}, 85, 5, 0, 0},  {201, 201, {0, 0, 0}, 30, 8, 0, 0},
    {202, 202, {0, 0, 0}, 0, 0, 0, 0},       {203, 203, {0, 0, 180}, 1000, 20, 0, 0},
    {210, 210, {20, 10, 0}, 25, 2, 0, 0},    {211, 211, {0, 0, 0}, 25, 2, 0, 0},
    {212, 212, {20, 10, 0}, 25, 2, 0, 0},    {213, 213, {0, 0, 0}, 25, 2, 0, 0},
    {220, 220, {0, 0, 40}, 180, 14, 0, 0},   {221, 221, {0, 0, 40}, 360, 14, 0, 0},
    {225, 225, {0, 0, 60}, 20, 14, 0, 0},    {301, 301, {0, 0, 0}, 30, 2, 1, 0},
    {302, 302, {0, 0, 0}, 30, 2, 1, 0},      {310, 310, {0, 0, 60}, 20, 3, 0, 0},
    {311, 311, {0, 0, 180}, 45, 6, 0, 0},    {312, 312, {0, 0, 0}, 0, 0, 1, 1},
    {313, 313, {0, 0, 0}, 0, 0, 1, 1},       {320, 320, {0, 0, 0}, 30, 4, 1, 1},
    {321, 321, {0, 0, 0}, 30, 4, 1, 1},      {401, 401, {600, 30, 0}, 15, 2, 0, 0},
    {402, 402, {40, 20, 0}, 70, 2, 0, 0},    {420, 420, {600, 40, 0}, 12, 4, 0, 0},
    {430, 430, {35, 15, 0}, 10, 2, 1, 1},    {501, 501, {0, 0, 80}, 140, 1, 0, 0},
    {502, 501, {0, 0, 60}, 50, 1, 0, 0},     {503, 503, {0, 0, 80}, 90, 16, 0, 0},
    {510, 510, {60, 40, 0}, 50, 4, 0, 0},    {511, 511, {60, 50, 0}, 160, 20, 0, 0},
    {513, 510, {60, 40, 0}, 95, 4, 0, 0},    {514, 511, {60, 50, 0}, 435, 20, 0, 0},
    {520, 520, {60, 40, 0}, 85, 0, 0, 0},    {521, 521, {60, 20, 0}, 175, 20, 0, 0},
    {530, 530, {0, 0, 40}, 25, 6, 0, 0},     {540, 540, {0, 0, 60}, 10, 0, 0, 0},
    {630, 630, {80, 20, 0}, 60, 1, 0, 0},    {635, 635, {140, 40, 0}, 40, 1, 0, 0},
    {640, 640, {0, 0, 50}, 40, 10, 0, 0},    {650, 650, {550, 35, 0}, 20, 6, 0, 0},
    {710, 710, {40, 15, 0}, 5, 12, 0, 0},    {711, 711, {0, 0, 0}, 5, 8, 0, 0},
    {715, 715, {40, 10, 0}, 20, 4, 0, 0},    {720, 720, {90, 20, 0}, 65, 2, 0, 0},
    {730, 730, {0, 0, 120}, 65, 0, 0, 0},    {740, 740, {0, 0, 0}, 15, 8, 1, 1},
    {741, 741, {0, 0, 0}, 15, 8, 1, 1},      {801, 801, {0, 0, 70}, 100, 2, 0, 0},
    {802, 802, {0, 0, 70}, 100, 2, 0, 0},    {820, 820, {600, 35, 0}, 20, 4, 0, 0},
    {830, 830, {0, 0, 0}, 65, 6, 1, 0},      {831, 831, {0, 0, 0}, 65, 6, 1, 0},
};

}  // namespace

int32_t SpawnAttackArea(int32_t type, float angle, const float position[2], int32_t owner) {
    TraceSpawn(ObjectKind::AttackArea, type, angle, position, owner);
    const AttackAreaSpawn* row = FindRow(attackAreaSpawns, type);
    if (!row) return attackAreaList.LastIndex();
    AttackArea area{};
    area.type = row->storedAs;
    area.missesDashingPlayer = type == 310 || type == 540 || type == 640 ? 1 : 0;
    area.position[0] = position[0];
    area.position[1] = position[1];
    area.angle = angle;
    area.scaleX = row->scaleX;
    area.scaleY = type == 301 || type == 302 ? RandomFloat(0.9f, 1.1f) : row->scaleY;
    area.owner = owner;
    for (int k = 0; k < 3; ++k) area.hitShape[k] = row->hitShape[k];
    area.power = row->power;
    area.knockBackSpeed = row->knockBackSpeed;
    area.knocksBack = type == 540 ? 0 : 1;
    return attackAreaList.Append(area);
}

namespace {

// One hit's response on a copy of the area: the Effects it spawns cannot move
// the area list, but nothing here relies on that.
struct AreaHit {
    AttackArea area;
    float at[2];  // where the fighter was touched

    PlayerRecord& Victim() const { return OpponentOf(area.owner); }
    // SpawnEffect at the hit position with the area's owner.
    int32_t E(int32_t code, float angle) const { return SpawnEffect(code, angle, at, area.owner); }
    // A particle burst of the owner's first (which 0) or second colour plus k.
    void P(int which, int32_t k, int32_t count) const {
        SpawnParticles(ColourNumber(area.owner, which) + k, count, area.angle, at);
    }
    static float R() { return RandomFloat(PI_F / 5.0f, 4.0f * PI_F / 5.0f); }
    void Slash(int32_t code) const {  // two Effects across the area's angle
        E(code, area.angle + PI_F / 4.0f);
        E(code, area.angle - PI_F / 4.0f);
    }
    // Six Effects 1100 about the victim, spread evenly with a random wobble.
    void Ring1100() const {
        const PlayerRecord& v = Victim();
        const float centre[2] = {v.x, v.y};
        for (int32_t k = 0; k < 6; ++k) {
            const double angle = k * TWO_PI_WIDE / 6.0 + RandomFloat(-0.3f, 0.3f);
            SpawnEffect(1100, static_cast<float>(angle), centre, area.owner);
        }
    }
    // Effects of code at base + random offsets, delayed by the given ages;
    // each offset draws x, then y, after the angle's draws.
    void Delayed(int32_t code, float angle, const float base[2], float dx, float dyLow, float dyHigh,
                 std::initializer_list<int32_t> ages) const {
        for (int32_t age : ages) {
            const float p[2] = {base[0] + RandomFloat(-dx, dx), base[1] + RandomFloat(dyLow, dyHigh)};
            const int32_t index = SpawnEffect(code, angle, p, area.owner);
            effectList.Adjust(index, [age](Effect& e) { e.age = age; });
        }
    }
    void PowerUp(std::initializer_list<int32_t> ages) const {
        if (PlayerOf(area.owner).modeFlag < 1) return;
        const PlayerRecord& v = Victim();
        const float base[2] = {v.x, v.y};
        Delayed(521, PI_F / 2.0f, base, 15.0f, -20.0f, 0.0f, ages);
        PlaySe(SE_FIRE);
    }
    // The owner is thrown back from the area's centre.
    void Recoil() const {
        PlayerRecord& o = PlayerOf(area.owner);
        const double away = std::atan2(static_cast<double>(o.y) - area.position[1],
                                       static_cast<double>(o.x) - area.position[0]);
        o.state = PLAYER_KNOCKED_BACK;
        o.stateTimer = 0;
        o.aimAngle = static_cast<float>(away);
        o.moveAngle = away;
        WrapAngleDouble(&o.moveAngle);
        o.speed = 10.0;
    }
    void Respond();
};

void AreaHit::Respond() {
    const float a = area.angle;
    switch (area.type) {
    case 10: case 210: case 301: case 302: case 320: case 321: case 401: case 420: case 430: case 650: case 820:
        E(31, a); P(0, 10, 5); PlaySe(SE_DAMAGE);
        break;
    case 101: E(111, a); P(1, 10, 10); PlaySe(SE_HIT_S); break;
    case 102: case 110: Slash(111); P(1, 20, 30); PlaySe(SE_HIT_S2); break;
    case 120: case 130:
        E(111, static_cast<float>(a + static_cast<double>(RandomFloat(-0.8f, 0.8f)) + PI_WIDE / 4.0));
        P(1, 20, 6); PlaySe(SE_HIT_S);
        break;
    case 122: Slash(111); P(1, 20, 20); PlaySe(SE_HIT_S2); break;
    case 201: E(31, a); P(1, 20, 6); PlaySe(SE_DAMAGE); break;
    case 203: P(0, 20, 30); PlaySe(SE_DON); break;
    case 212: E(32, a); P(1, 10, 5); PlaySe(SE_DAMAGE); break;
    case 220:
        SpawnParticles(22, 10, 0.0f, at);
        Ring1100();
        PlaySe(SE_HIT);
        break;
    case 221:
        SpawnParticles(22, 10, 0.0f, at);
        Delayed(21, a, area.position, 30.0f, -30.0f, 30.0f, {0, -5, -10, -15, -20, -25});
        Ring1100();
        Recoil();
        PlaySe(SE_DON);
        break;
    case 225: case 312: case 313: break;
    case 310: P(0, 10, 5); PlaySe(SE_DAMAGE); break;
    case 311: {
        const PlayerRecord& v = Victim();
        const float centre[2] = {v.x, v.y};
        SpawnEffect(21, a, centre, area.owner);
        SpawnParticles(21, 4, 0.0f, at);
        PlaySe(SE_DAMAGE);
        break;
    }
    case 402: E(31, a); P(0, 20, 8); PlaySe(SE_DAMAGE); break;
    case 501:
        E(503, a); P(0, 10, 10); PlaySe(SE_HIT);
        PowerUp({0, -4, -8, -12});
        break;
    case 503:
        Slash(503); P(0, 10, 10); PlaySe(SE_HIT_F);
        PowerUp({0, -3, -6, -9, -12});
        break;
    case 510: E(503, a + R()); P(0, 10, 6); PlaySe(SE_HIT); break;
    case 511: Slash(503); P(0, 20, 15); PlaySe(SE_HIT_F); break;
    case 520: P(0, 10, 4); PlaySe(SE_HIT); break;
    case 521:
        P(0, 20, 16);
        SpawnEffect(21, a, area.position, area.owner);
        PlaySe(SE_DON);
        break;
    case 530: P(0, 20, 6); PlaySe(SE_DAMAGE); break;
    case 540:
        Delayed(521, PI_F / 2.0f, at, 10.0f, -20.0f, 0.0f, {0});
        Victim().boostGauge += 0.2;
        PlaySe(SE_FIRE);
        break;
    case 630: E(631, a + R()); P(0, 10, 6); PlaySe(SE_HIT_S); break;
    case 635:
        E(631, a + R());
        E(631, a + R());
        P(0, 10, 6); PlaySe(SE_HIT_S2);
        break;
    case 640: E(31, a); P(0, 20, 5); PlaySe(SE_DAMAGE); break;
    case 710: P(0, 10, 8); break;
    case 711: case 715: E(712, a + R()); PlaySe(SE_DAMAGE); break;
    case 720: E(711, a + R()); P(0, 10, 6); PlaySe(SE_HIT_S); break;
    case 730: P(0, 20, 6); E(711, RandomFloat(-PI_F, PI_F)); PlaySe(SE_HIT_S2); break;
    case 740: P(0, 20, 4); PlaySe(SE_DAMAGE); break;
    case 741: P(1, 20, 4); PlaySe(SE_DAMAGE); break;
    case 801: E(111, a); P(1, 10, 10); PlaySe(SE_HIT_S); break;
    case 802: E(111, a); P(1, 20, 30); PlaySe(SE_HIT_S2); break;
    case 830: case 831: P(0, 10, 5); PlaySe(SE_DAMAGE); break;
    default:  // 11, 202, 211, 213
        E(31, a);
        SpawnParticles(14, 10, a, at);
        break;
    }
}

}  // namespace

void HitAttackArea(int32_t index, const float hitPosition[2]) {
    if (index < 0 || index >= attackAreaList.Size()) return;
    AreaHit hit{attackAreaList[index], {hitPosition[0], hitPosition[1]}};
    hit.Respond();
}

namespace {

struct AreaPicture {
    float a, b;  // half-extents in world units
    ScreenRect source;
    uint32_t colour;
};

uint32_t AlphaFromScale(float scaleX, float factor) {
    return WhiteWithAlpha(TruncateScreenValue(scaleX * factor));
}

// The picture of an area, or false for the areas that have none.
bool PictureOf(const AttackArea& area, AreaPicture* p) {
    const float sy = area.scaleY;
    switch (area.type) {
    case 202: *p = {sy * 120.0f, sy * 120.0f, {0, 96, 159, 255}, OPAQUE_WHITE}; return true;
    case 210: case 211: *p = {30.0f, 30.0f, {47, 0, 1, 47}, OPAQUE_WHITE}; return true;
    case 212: case 213: *p = {30.0f, 30.0f, {95, 0, 49, 47}, OPAQUE_WHITE}; return true;
    case 301: *p = {sy * 140.0f, sy * 140.0f, {200, 100, 299, 199}, OPAQUE_WHITE}; return true;
    case 302: *p = {sy * 140.0f, sy * 140.0f, {300, 100, 399, 199}, OPAQUE_WHITE}; return true;
    case 312: *p = {40.0f, sy * 25.0f, {400, 190, 479, 229}, WhiteWithAlpha(150)}; return true;
    case 313: *p = {35.0f, 35.0f, {400, 190, 479, 229}, WhiteWithAlpha(200)}; return true;
    case 320: *p = {1200.0f, sy * 160.0f, {0, 200, 299, 229}, AlphaFromScale(area.scaleX, 200.0f)}; return true;
    case 321: *p = {1200.0f, sy * 140.0f, {0, 230, 299, 259}, AlphaFromScale(area.scaleX, 250.0f)}; return true;
    case 430: *p = {150.0f, sy * 40.0f, {130, 240, 429, 319}, OPAQUE_WHITE}; return true;
    case 740: *p = {1200.0f, sy * 160.0f, {220, 200, 469, 239}, AlphaFromScale(area.scaleX, 200.0f)}; return true;
    case 741: *p = {1200.0f, sy * 140.0f, {220, 240, 469, 279}, AlphaFromScale(area.scaleX, 250.0f)}; return true;
    case 830: *p = {sy * 400.0f, sy * 400.0f, {0, 360, 99, 459}, OPAQUE_WHITE}; return true;
    case 831: *p = {sy * 400.0f, sy * 400.0f, {100, 360, 199, 459}, OPAQUE_WHITE}; return true;
    }
    return false;
}

}  // namespace

std::vector<ObjectSprite> AttackAreaSprites() {
    std::vector<ObjectSprite> sprites;
    for (int32_t i = 0; i < attackAreaList.Size(); ++i) {
        const AttackArea& area = attackAreaList[i];
        AreaPicture p;
        if (!PictureOf(area, &p)) continue;
        sprites.push_back(WorldSprite(SpriteSheet::Item, area.owner, area.position, p.a, p.b, p.source,
                                      area.angle, p.colour, SpriteBlend::AlphaAdd));
    }
    return sprites;
}

void DrawAttackAreas() { DrawObjectSprites(AttackAreaSprites()); }
