#include "game/shots/heavy_shots.h"

#include <cmath>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "game/shots/object_rules.h"

namespace {

struct HeavyShotSpawn {
    int32_t type;
    float speed;
    float param;
    float hitShape[3];
    int32_t damage;
    float knockBackSpeed;
    uint8_t vanishesOnHit = 1;
};

// Ascending by code; every value a row leaves out is 0.
constexpr HeavyShotSpawn heavyShotSpawns[] = {
    {101, 15, 0, {12, 6, 0}, 120, 8},   {102, 14, 0, {12, 6, 0}, 60, 8},   {103, 16, 0, {20, 10, 0}, 140, 14},
    {104, 16, 0, {0, 0, 0}, 30, 10},    {114, 0, 0, {0, 0, 0}, 0, 8},      {115, 0, 0, {0, 0, 0}, 0, 8},
    {120, 20, 0, {0, 0, 0}, 0, 0},      {121, 16, 0, {20, 60, 0}, 120, 6}, {210, 5, -0.1f, {0, 0, 0}, 50, 3},
    {211, 5, -0.1f, {0, 0, 0}, 50, 3},  {220, 5, 0, {0, 0, 0}, 50, 8},     {221, 5, 0, {0, 0, 0}, 50, 8},
    {230, 0, 0, {0, 0, 0}, 0, 0, 0},    {301, 15, 0, {12, 6, 0}, 80, 8},   {302, 20, 0, {25, 12, 0}, 200, 8},
    {310, 20, 0, {0, 0, 0}, 0, 0},      {401, 12, 0, {0, 0, 10}, 40, 8},   {402, 14, 0, {0, 0, 8}, 100, 8},
    {403, 12, 0, {0, 0, 10}, 50, 6},    {411, 0, 0, {0, 0, 0}, 10, 4},     {420, 0, 0, {0, 0, 0}, 0, 0},
    {421, 0, 0, {0, 0, 0}, 0, 0},       {422, 0, 0, {0, 0, 0}, 0, 0},      {510, 12, 0, {10, 40, 0}, 30, 6},
    {512, 16, 0, {20, 8, 0}, 50, 6},    {520, 0, 0, {0, 0, 0}, 0, 0},      {610, -8, 0, {40, 5, 0}, 60, 6},
    {611, 16, 0, {20, 5, 0}, 40, 6},    {612, 16, 0, {20, 10, 0}, 80, 6},  {613, 16, 0, {20, 10, 0}, 80, 6},
    {650, 0, 0, {0, 0, 0}, 0, 0},       {701, 15, 0, {12, 6, 0}, 120, 8},  {702, 0, 0, {12, 6, 0}, 120, 8},
    {703, 0, 0, {12, 6, 0}, 120, 8},    {710, 0, 0, {0, 0, 0}, 0, 0},      {720, -8, 1.0f, {30, 8, 0}, 60, 6},
    {721, 0, 0, {30, 8, 0}, 20, 2},     {730, 0, 0, {0, 0, 0}, 20, 2, 0},  {740, -5, 0, {0, 0, 0}, 60, 6},
    {741, 1, 0, {0, 0, 0}, 60, 6},      {750, 0, 0, {0, 0, 0}, 0, 0},      {760, 0, -0.1f, {0, 0, 0}, 0, 0},
    {761, 0, 0.1f, {0, 0, 0}, 0, 0},    {762, 0, -0.1f, {0, 0, 0}, 0, 0},  {763, 0, 0.1f, {0, 0, 0}, 0, 0},
    {770, 10, 0, {0, 0, 0}, 60, 2},     {801, 15, 0, {12, 6, 0}, 120, 8},  {802, 14, 0, {12, 6, 0}, 60, 8},
    {803, 16, 0, {20, 10, 0}, 80, 8},   {804, 6, 0, {0, 0, 0}, 20, 6, 0},  {820, 0, 0, {0, 0, 0}, 0, 0},
    {830, 30, 0, {0, 0, 160}, 75, 15, 0},
};

}  // namespace

int32_t SpawnHeavyShot(int32_t type, float angle, const float position[2], int32_t owner) {
    TraceSpawn(ObjectKind::HeavyShot, type, angle, position, owner);
    const HeavyShotSpawn* row = FindRow(heavyShotSpawns, type);
    if (!row) return heavyShotList.LastIndex();
    HeavyShot h{};
    StartProjectile(h, type, angle, position, owner);
    h.angle = angle;
    h.vanishesOnHit = row->vanishesOnHit;
    h.knocksBack = 1;
    h.speed = row->speed;
    h.param = row->param;
    for (int k = 0; k < 3; ++k) h.hitShape[k] = row->hitShape[k];
    h.damage = row->damage;
    h.knockBackSpeed = row->knockBackSpeed;
    return heavyShotList.Append(h);
}

bool IsBeam(int32_t type) {
    switch (type) {
    case 110:
    case 114:
    case 115:
    case 420:
    case 421:
    case 422:
    case 650:
    case 820: return true;
    }
    return false;
}

namespace {

// The step of one HeavyShot works on a copy of its record, stored back when
// the step is done: spawning may move the records.
struct HeavyShotStep {
    HeavyShot h;

    PlayerRecord& Owner() const { return PlayerOf(h.owner); }
    PlayerRecord& Opponent() const { return players[h.targetSide == 0 ? 0 : 1]; }
    void HomeOnto(const PlayerRecord& target, float maxTurn) {
        HomeOn(&h.heading, h.position, target, maxTurn);
        h.angle = h.heading;
    }
    void Effect(int32_t code) { SpawnEffect(code, h.angle, h.position, h.owner); }
    int32_t Area(int32_t code) { return SpawnAttackArea(code, h.angle, h.position, h.owner); }
    void Particles(int32_t type, int32_t count) { SpawnParticles(type, count, h.angle + PI_F, h.position); }
    // On even ages: a low flicker while age < a, a high one while age < b,
    // then param falls with (c - age) * fall.
    void Flicker(int32_t a, int32_t b, int32_t c, double fall) {
        if (h.age % 2 != 0) return;
        if (h.age < a) h.param = RandomFloat(0.2f, 0.5f);
        else if (h.age < b) h.param = RandomFloat(1.2f, 1.8f);
        else h.param = static_cast<float>((c - h.age) * fall);
    }
    void BurstFlicker(int32_t a, int32_t c) {
        if (h.age % 2 != 0) return;
        if (h.age < a) h.param = RandomFloat(1.0f, 1.4f);
        else h.param = static_cast<float>((c - h.age) * 0.1);
    }
    // Areas of code every n ages strictly between from and to, each given
    // across and power when those are above 0.
    void Areas(int32_t code, int32_t n, int32_t from, int32_t to, float across = 0.0f, int32_t power = 0,
               float knockBack = 0.0f) {
        if (h.age <= from || h.age >= to || h.age % n != 0) return;
        const int32_t area = Area(code);
        attackAreaList.Adjust(area, [&](AttackArea& a) {
            if (across > 0.0f) a.hitShape[1] = across;
            if (power > 0) a.power = power;
            if (knockBack > 0.0f) a.knockBackSpeed = knockBack;
        });
    }
    void ClearExtents() { h.hitShape[0] = h.hitShape[1] = 0.0f; }

    bool Run();  // false: the HeavyShot ends
    bool Ray(float across, int32_t power);
};

// 110, 114 and 115: the long rays.
bool HeavyShotStep::Ray(float across, int32_t power) {
    Areas(10, 4, 14, 60, across, power);
    Flicker(20, 60, 100, 0.025);
    if (h.age == 20) PlaySe(SE_RAY);
    return h.age <= 100;
}

bool HeavyShotStep::Run() {
    const int32_t age = h.age;
    switch (h.type) {
    case 101:
    case 102:
        HomeOnto(Opponent(), 0.01f);
        Effect(h.type);
        break;
    case 104:
        if (age == 3) {
            h.hitShape[1] = 10.0f;
            h.hitShape[0] = 16.0f;
        }
        [[fallthrough]];
    case 103:
    case 803: Particles(ColourNumber(h.owner, 0) + 10, 2); break;
    case 110: return Ray(0.0f, 0);
    case 114: return Ray(60.0f, 60);
    case 115: {
        const bool lives = Ray(40.0f, 25);
        if (age > 50) {
            const double a = (100 - age) * 0.02 * h.heading + Owner().aimAngle;
            PlaceAround(h.position, Owner(), a, 625.0);
            h.angle = static_cast<float>(a);
        }
        return lives;
    }
    case 120:
        if (age < 10) {
            Effect(130);
            if (age % 2 == 0) Area(130);
        }
        if (age == 10) h.speed = 0.0f;
        return age <= 19;
    case 121:
        if (age == 10) h.speed = 5.0f;
        return age <= 19;
    case 210:
    case 211:
        if (age == 10) {
            h.hitShape[1] = 4.0f;
            h.hitShape[0] = 15.0f;
        }
        if (age == 50) h.param = 0.2f;
        if (age > 50 && age < 300) {
            AddInDouble(&h.heading, h.type == 210 ? 0.01 : -0.01);
            h.angle = h.heading;
        }
        h.speed += h.param;
        if (h.hitShape[0] > 0.0f && OutsideWall(h.position)) h.hitShape[0] = h.hitShape[1] = h.hitShape[2] = 0.0f;
        break;
    case 220:
    case 221:
        if (age < 200) {
            HomeOnto(Owner(), 0.08f);
        } else if (age < 300) {
            if (h.speed < 16.0f) AddInDouble(&h.speed, 0.1);
            h.hitShape[2] = 15.0f;
            HomeOnto(Opponent(), 0.04f);
        }
        break;
    case 230:
        AddInDouble(&h.angle, 0.1);
        WrapAbove(&h.angle);
        if (age < 300) {
            if (h.speed < 8.0 - h.param) AddInDouble(&h.speed, 0.05);
            HomeOn(&h.heading, h.position, Opponent(), 0.03f);
        }
        if (age % 5 == 0) {
            const float radius = h.param * 50.0f;
            attackAreaList.Adjust(Area(201), [radius](AttackArea& a) { a.hitShape[2] = radius; });
            h.grazed = 0;
        }
        break;
    case 301: Effect(102); break;
    case 302:
        Effect(101);
        if (age % 4 == 0) Effect(320);
        break;
    case 310:
        if (age % 3 == 0) {
            float offset[2];
            offset[0] = RandomFloat(-20.0f, 20.0f);
            offset[1] = RandomFloat(0.0f, 8.0f * static_cast<float>(age));
            if (age / 3 % 2 == 0) offset[1] = -offset[1];
            RotateVector2(offset, h.heading);
            const float at[2] = {h.position[0] + offset[0], h.position[1] + offset[1]};
            SpawnEffect(315, 0.0f, at, h.owner);
        }
        break;
    case 402: Effect(410); break;
    case 403:
        if (h.speed > 2.0f) h.speed -= 0.5f;
        if (age == 50) {
            h.hitShape[2] = 0.0f;
            Effect(421);
            h.speed = 0.0f;
        }
        return age != 75;
    case 411:
        if (age % 5 == 0 && age < 20) {
            Area(401);
            h.previousPosition[0] = static_cast<float>(h.position[0] - 600.0 * std::cos(static_cast<double>(h.angle)));
            h.previousPosition[1] = static_cast<float>(h.position[1] - 600.0 * std::sin(static_cast<double>(h.angle)));
            h.grazed = 0;
        }
        return age <= 40;
    case 420:
    case 421:
    case 422:
        if (h.type == 420) Areas(420, 5, 4, 30);
        else if (h.type == 421) Areas(420, 4, 3, 30);
        else Areas(420, 4, 3, 30, 70.0f, 64, 6.0f);
        Flicker(5, 30, 40, 0.1);
        if (age == 4) PlaySe(SE_RAY);
        return age <= 40;
    case 510: HomeOnto(Opponent(), 0.01f); break;
    case 512:
        if (h.speed > 10.0f) h.speed -= 0.5f;
        break;
    case 520:
        if (age % 10 == 0) SpawnEffect(530, RandomFloat(-PI_F, PI_F), h.position, h.owner);
        if (age % 2 == 0) {
            const float d = RandomFloat(-PI_F, PI_F);
            const float r = RandomFloat(0.0f, 60.0f);
            const float at[2] = {static_cast<float>(h.position[0] + r * std::cos(static_cast<double>(d))),
                                 static_cast<float>(h.position[1] + r * std::sin(static_cast<double>(d)))};
            SpawnEffect(521, PI_F / 2.0f, at, h.owner);
        }
        if (age > 30 && age < 350 && age % 12 == 0) SpawnAttackArea(540, 0.0f, h.position, h.owner);
        return age <= 400;
    case 610:
        if (h.speed < 20.0f) h.speed += 2.0f;
        break;
    case 611:
    case 612:
    case 613: {
        const bool small = h.type == 611;
        if (age < 20) {
            if (h.speed > 2.0f) h.speed -= 1.0f;
        } else {
            if (h.speed < (small ? 12.0f : 20.0f)) h.speed += small ? 2.0f : 1.0f;
            if (age < (small ? 50 : 40)) HomeOnto(Opponent(), static_cast<float>((50 - age) * (small ? 0.003 : 0.004)));
        }
        Effect(small ? 610 : 611);
        break;
    }
    case 650:
        Areas(650, 3, 5, 10);
        BurstFlicker(10, 20);
        if (age == 4) PlaySe(SE_RAY);
        return age <= 20;
    case 701:
        HomeOnto(Opponent(), 0.01f);
        Effect(701);
        break;
    case 702:
    case 703:
        if (age >= 20) Effect(702);
        if (age == 20) {
            float a = DirectionTo(h.position, Opponent());
            if (h.type == 703) a += RandomFloat(-0.2f, 0.2f);
            h.heading = h.angle = a;
            h.speed = 15.0f;
        }
        break;
    case 710:
        if (age > 100) {
            SpawnParticles(ColourNumber(h.owner, 1) + 10, 3, h.heading, h.position);
            return false;
        }
        break;
    case 720:
        h.param = RandomFloat(1.0f, 4.0f);
        if (h.speed < 16.0f) AddInDouble(&h.speed, 0.8);
        if (age == 40) ClearExtents();
        return age != 50;
    case 721:
        if (h.speed < 16.0f) h.speed += 0.5f;
        if (age == 30) ClearExtents();
        return age != 40;
    case 730:
        if (age >= 10 && age % 5 == 0) {
            h.hitShape[0] = 100.0f;
            h.hitShape[1] = 40.0f;
            if (age == 80) h.knockBackSpeed = 16.0f;
        } else {
            ClearExtents();
        }
        if (age > 10) {
            AddInDouble(&h.heading, 0.1);
            WrapAbove(&h.heading);
        }
        PlaceAround(h.position, Owner(), h.heading, 100.0f);
        return age != 100;
    case 740:
    case 741:
        if (h.type == 740) {
            if (h.speed < 12.0f) AddInDouble(&h.speed, 0.1);
            if (h.speed > 1.0f && h.speed < 12.0f) AddInDouble(&h.speed, 0.1);
        } else {
            if (h.speed < 14.0f) AddInDouble(&h.speed, 0.2);
            if (h.speed < 10.0f) {
                AddInDouble(&h.heading, 0.05);
                WrapAbove(&h.heading);
                h.angle = h.heading;
            }
            Effect(702);
        }
        if (age == 30) {
            h.hitShape[0] = 20.0f;
            h.hitShape[1] = 5.0f;
        }
        if (age == 170) ClearExtents();
        return age != 190;
    case 750:
        if (age % 4 == 0) SpawnEffect(620, h.heading, h.position, h.owner);
        if (h.param < 1.0f) AddInDouble(&h.param, 0.2);
        return age != 100;
    case 760:
    case 761:
    case 762:
    case 763:
        h.heading += h.param;
        PlaceAround(h.position, Owner(), h.heading, static_cast<float>(age) * 9.375f);
        return age <= 25;
    case 770:
        if (h.speed > 2.0f) h.speed -= 0.5f;
        if (age == 10) h.hitShape[2] = 10.0f;
        return age != 100;
    case 801:
        HomeOnto(Opponent(), 0.01f);
        Effect(101);
        break;
    case 802:
        if (age > 18) {
            ClearExtents();
            h.speed = 8.0f;
        }
        return age != 28;
    case 804:
        h.hitShape[0] = h.hitShape[1] = age % 3 == 0 ? 20.0f : 0.0f;
        Particles(ColourNumber(h.owner, 0) + 20, 2);
        return age <= 30;
    case 820:
        Areas(820, 6, 5, 20);
        BurstFlicker(20, 30);
        if (age == 4) PlaySe(SE_RAY);
        return age <= 30;
    case 830: h.hitShape[2] = age % 3 == 0 ? 260.0f : 0.0f; break;
    }
    return true;
}

WalkStep UpdateHeavyShot(int32_t index) {
    HeavyShotStep step{heavyShotList[index]};
    HeavyShot& h = step.h;
    h.age += 1;
    if (h.age < 0) {
        heavyShotList[index].age = h.age;
        return WalkStep::Keep;
    }
    h.previousPosition[0] = h.position[0];
    h.previousPosition[1] = h.position[1];
    if (!step.Run()) return WalkStep::Erase;
    MoveAlong(h.position, h.heading, h.speed);
    h.trailPosition[0] = h.position[0];
    h.trailPosition[1] = h.position[1];
    heavyShotList[index] = h;
    return h.speed != 0.0f && OutsideBox(h.position) ? WalkStep::Erase : WalkStep::Keep;
}

}  // namespace

void UpdateHeavyShots() { WalkObjectList(heavyShotList, UpdateHeavyShot); }

namespace {

enum class HitPlace { Own, Hit, Opponent };

// The answer of a HeavyShot type to a hit: an Effect along its heading, one
// or two particle bursts in its colours, a sound, and for a few types a
// follow-up HeavyShot.
struct HeavyShotHit {
    int32_t effect;  // 0: the type has no response
    HitPlace place;
    int32_t firstCount;   // particles in colour 1
    int32_t secondCount;  // particles in colour 2
    int32_t followUp = 0;
};

HeavyShotHit HeavyShotHitOf(int32_t type) {
    using enum HitPlace;
    switch (type) {
    case 101:
    case 301:
    case 612:
    case 613:
    case 801: return {31, Own, 15, 0};
    case 102:
    case 401:
    case 402:
    case 403:
    case 411:
    case 510:
    case 512:
    case 610:
    case 611:
    case 802: return {31, Own, 10, 0};
    case 103:
    case 104: return {31, Own, 20, 0, 104};
    case 121: return {111, Hit, 0, 0};
    case 210:
    case 220: return {32, Own, 10, 0};
    case 211:
    case 221: return {31, Own, 0, 10};
    case 230: return {31, Hit, 5, 5};
    case 302: return {31, Own, 20, 0};
    case 701:
    case 702:
    case 703:
    case 741: return {32, Own, 0, 10};
    case 720: return {32, Own, 0, 15};
    case 721: return {712, Hit, 0, 5, 721};
    case 730: return {31, Hit, 5, 0};
    case 740: return {31, Own, 0, 10};
    case 770: return {32, Hit, 0, 5};
    case 803: return {31, Own, 20, 0, 804};
    case 830: return {31, Opponent, 5, 0};
    }
    return {0, Own, 0, 0};
}

}  // namespace

void HitHeavyShot(int32_t index, const float hitPosition[2]) {
    if (index < 0 || index >= heavyShotList.Size()) return;
    const HeavyShot h = heavyShotList[index];
    const HeavyShotHit hit = HeavyShotHitOf(h.type);
    if (hit.effect == 0) return;
    const PlayerRecord& opponent = players[h.targetSide == 0 ? 0 : 1];
    const float opponentAt[2] = {opponent.x, opponent.y};
    const float hitAt[2] = {hitPosition[0], hitPosition[1]};
    const float* place = hit.place == HitPlace::Own ? h.position : hit.place == HitPlace::Hit ? hitAt : opponentAt;
    float effectAngle = h.heading;
    if (h.type == 121) effectAngle = h.heading + RandomFloat(PI_F / 5.0f, 4.0f * PI_F / 5.0f);
    if (h.type == 721) effectAngle = h.heading + PI_F / 2.0f;
    SpawnEffect(hit.effect, effectAngle, place, h.owner);
    if (hit.firstCount > 0) SpawnParticles(ColourNumber(h.owner, 0) + 10, hit.firstCount, h.heading, place);
    if (hit.secondCount > 0) SpawnParticles(ColourNumber(h.owner, 1) + 10, hit.secondCount, h.heading, place);
    PlaySe(h.type == 121 ? SE_HIT_S : SE_DAMAGE);
    if (hit.followUp == 0) return;
    const int32_t next = SpawnHeavyShot(hit.followUp, h.heading, h.position, h.owner);
    if (h.type != 721) return;
    heavyShotList.Adjust(next, [&h](HeavyShot& n) {
        n.hitShape[0] = n.hitShape[1] = 0.0f;
        n.age = h.age;
    });
}
