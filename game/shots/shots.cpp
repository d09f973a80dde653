#include "game/shots/shots.h"

#include <cmath>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "game/shots/collision.h"
#include "game/shots/object_rules.h"

namespace {

enum class AngleField { Given, Random, Zero, GivenPlusQuarter };

struct ShotSpawn {
    int32_t type;
    int32_t hitPoints;
    int32_t power;
    float knockBackSpeed;
    float speed;  // 210 draws its own
    AngleField angle;
    float hitShape[3];
    int32_t age = 0;
    float param = 0.0f;
    uint8_t knocksBack = 1;
    uint8_t vanishesOnHit = 1;
};

using enum AngleField;

// Ascending by code.
constexpr ShotSpawn shotSpawns[] = {
    {110, 30, 80, 10.0f, -4.0f, Given, {0, 0, 10}, 1},
    {120, 10, 15, 0.0f, 18.0f, Given, {0, 0, 5}, 1, 0.0f, 0},
    {210, 80, 40, 8.0f, 0.0f, Random, {0, 0, 10}},
    {221, 200, 80, 12.0f, 18.0f, Random, {0, 0, 0}},
    {222, 200, 80, 12.0f, 18.0f, Random, {0, 0, 0}},
    {225, 200, 80, 8.0f, 10.0f, Random, {0, 0, 0}, 0, 0.012f},
    {226, 200, 80, 8.0f, 10.0f, Random, {0, 0, 0}, 0, 0.012f},
    {231, 200, 80, 14.0f, 20.0f, Random, {0, 0, 0}},
    {232, 200, 80, 14.0f, 20.0f, Random, {0, 0, 0}},
    {301, 300, 10, 10.0f, 0.0f, Given, {0, 0, 5}},
    {310, 50, 50, 8.0f, 16.0f, Given, {0, 0, 10}},
    {315, 30, 30, 4.0f, 12.0f, Given, {0, 0, 8}},
    {320, 50, 300, 10.0f, 3.0f, Given, {0, 0, 15}},
    {410, 20, 80, 4.0f, 14.0f, Given, {0, 0, 10}},
    {420, 20, 100, 4.0f, 12.0f, Given, {0, 0, 10}},
    {510, 20, 40, 6.0f, 12.0f, Given, {0, 0, 10}},
    {610, 180, 40, 6.0f, 0.0f, Zero, {0, 0, 0}},
    {615, 360, 50, 6.0f, 0.0f, Zero, {0, 0, 0}},
    {620, 150, 20, 6.0f, 0.0f, Zero, {10, 40, 0}},
    {621, 150, 20, 6.0f, 0.0f, Zero, {10, 40, 0}},
    {630, 360, 50, 6.0f, 0.0f, GivenPlusQuarter, {0, 0, 0}},
    {631, 360, 50, 6.0f, 0.0f, GivenPlusQuarter, {0, 0, 0}},
    {632, 360, 50, 6.0f, 0.0f, GivenPlusQuarter, {0, 0, 0}},
    {701, 30, 100, 8.0f, 14.0f, Zero, {12, 6, 0}},
    {702, 30, 100, 8.0f, 0.0f, Given, {12, 6, 0}},
    {703, 30, 100, 8.0f, 0.0f, Given, {12, 6, 0}},
    {710, 9999, 120, 0.0f, 20.0f, Zero, {0, 0, 0}},
    {711, 9999, 20, 6.0f, 10.0f, Zero, {0, 0, 0}},
    {712, 9999, 20, 6.0f, 10.0f, Zero, {0, 0, 0}},
    {713, 9999, 20, 6.0f, 10.0f, Zero, {0, 0, 0}},
    {715, 9999, 120, 0.0f, 20.0f, Zero, {0, 0, 0}},
    {716, 9999, 20, 6.0f, 10.0f, Zero, {0, 0, 0}},
    {717, 9999, 120, 0.0f, 20.0f, Zero, {0, 0, 0}},
    {718, 9999, 20, 6.0f, 10.0f, Zero, {0, 0, 0}},
    {720, 150, 60, 6.0f, -8.0f, Given, {30, 8, 0}, 0, 1.0f},
    {721, 150, 20, 2.0f, 0.0f, Given, {30, 8, 0}},
    {730, 9999, 20, 2.0f, 0.0f, Given, {0, 0, 0}, 0, 0.0f, 1, 0},
    {740, 120, 60, 6.0f, -5.0f, Given, {0, 0, 0}},
    {741, 120, 60, 6.0f, 1.0f, Given, {0, 0, 0}},
    {770, 120, 60, 2.0f, 10.0f, Given, {0, 0, 0}},
    {801, 30, 80, 10.0f, 5.0f, Given, {0, 0, 10}, 1},
    {802, 150, 100, 10.0f, 6.0f, Given, {0, 0, 10}, 1},
};

float AngleFieldValue(AngleField field, float given) {
    switch (field) {
    case Given: return given;
    case Random: return RandomFloat(0.0f, TWO_PI_F);
    case Zero: return 0.0f;
    case GivenPlusQuarter: return given + PI_F / 2.0f;
    }
    return given;
}

void SetAge(int32_t index, int32_t age) {
    shotList.Adjust(index, [age](Shot& s) { s.age = age; });
}

}  // namespace

int32_t SpawnShot(int32_t type, float angle, const float pos[2], int32_t owner) {
    TraceSpawn(ObjectKind::Shot, type, angle, pos, owner);
    const ShotSpawn* row = FindRow(shotSpawns, type);
    if (!row) return shotList.LastIndex();
    Shot s{};
    StartProjectile(s, type, angle, pos, owner);
    s.vanishesOnHit = row->vanishesOnHit;
    s.knocksBack = row->knocksBack;
    s.hitPoints = row->hitPoints;
    s.power = row->power;
    s.knockBackSpeed = row->knockBackSpeed;
    s.angle = AngleFieldValue(row->angle, angle);  // 210: the angle is drawn before the speed
    s.speed = type == 210 ? RandomFloat(2.0f, 8.0f) : row->speed;
    for (int k = 0; k < 3; ++k) s.hitShape[k] = row->hitShape[k];
    s.age = row->age;
    s.param = row->param;
    return shotList.Append(s);
}

int32_t ChainLinkAge(int32_t headType) {
    switch (headType) {
    case 710: return 80;
    case 715: return 60;
    case 717: return 40;
    }
    return 0;
}

namespace {

// The rule of one Shot works on a copy of its record, stored back once the
// rule is done (or before anything that reads the list, such as EndShot):
// spawning may move the records.
struct ShotRule {
    int32_t index;
    Shot s;

    void Store() { shotList[index] = s; }
    PlayerRecord& Owner() const { return PlayerOf(s.owner); }
    PlayerRecord& Opponent() const { return OpponentOf(s.owner); }
    void Move() { MoveAlong(s.position, s.heading, s.speed); }
    void Orbit() { PlaceAround(s.position, Owner(), s.heading, s.speed); }
    void Home(float maxTurn) { HomeOn(&s.heading, s.position, Opponent(), maxTurn); }
    void Trail() { SpawnEffect(22, s.angle, s.position, s.owner); }
    // Ends the Shot at its own position and asks for its erasure.
    WalkStep EndHere() {
        Store();
        const float at[2] = {s.position[0], s.position[1]};
        EndShot(index, at);
        return WalkStep::Erase;
    }

    WalkStep Run();
    void FourPointBurst(int32_t codeA, int32_t codeB);
    void ChainArea(float extent, const float at[2], float back, bool farPiece);
    WalkStep ChainHead();
    WalkStep ChainEnd();
    void Reflector615();
};

void ShotRule::FourPointBurst(int32_t codeA, int32_t codeB) {
    const double a = s.angle;
    const double angles[4] = {a, a + PI_WIDE, a + PI_WIDE / 2.0, a - PI_WIDE / 2.0};
    for (int n = 0; n < 4; ++n) {
        float at[2] = {20.0f, 0.0f};
        RotateVector2(at, angles[n]);
        at[0] += s.position[0];
        at[1] += s.position[1];
        SpawnAttackArea(n < 2 ? codeA : codeB, static_cast<float>(angles[n]), at, s.owner);
    }
}

bool PlayersClose() {
    const double dx = static_cast<double>(players[0].x) - players[1].x;
    const double dy = static_cast<double>(players[0].y) - players[1].y;
    return dx * dx + dy * dy < 10000.0;
}

float BackOf(float heading) {
    float back = heading + PI_F;
    WrapAngle(&back);
    return back;
}

// One 711 area of a chain: its reach along the chain, 10 across. The areas
// laid from the owner's side knock back only while the fighters stand apart;
// the far pieces (715's and 716's) never knock back and hit with 30.
void ShotRule::ChainArea(float extent, const float at[2], float back, bool farPiece) {
    const int32_t area = SpawnAttackArea(711, back, at, s.owner);
    const bool noKnockBack = farPiece || PlayersClose();
    attackAreaList.Adjust(area, [&](AttackArea& a) {
        a.hitShape[0] = extent;
        a.hitShape[1] = 10.0f;
        if (noKnockBack) a.knockBackSpeed = 0.0f;
        if (farPiece) a.power = 30;
    });
}

float ChainReach(int32_t age, float speed) {
    return static_cast<float>(static_cast<int32_t>(age * static_cast<double>(speed) * 0.5) + 15);
}

WalkStep ShotRule::ChainHead() {
    const int32_t linkAge = ChainLinkAge(s.type);
    if (s.age != 0) {
        float link[2] = {-10.0f, 0.0f};
        RotateVector2(link, s.heading);
        link[0] += s.position[0];
        link[1] += s.position[1];
        const int32_t linkShot = SpawnShot(s.age == 1 ? 711 : 712, s.heading, link, s.owner);
        const int32_t companion = SpawnHeavyShot(710, s.heading, s.position, s.owner);
        SetAge(linkShot, linkAge);
        heavyShotList.Adjust(companion, [linkAge](HeavyShot& h) { h.age = linkAge; });
    }
    if (s.age % 3 == 0) {
        PlaySe(SE_CHAIN);
        if (s.type == 717) SpawnAttackArea(715, s.heading, s.position, s.owner);
    }
    Move();
    const float back = BackOf(s.heading);
    if (s.type == 710 && s.age % 3 == 0) {
        const float middle[2] = {(Owner().x + s.position[0]) / 2.0f, (Owner().y + s.position[1]) / 2.0f};
        ChainArea(ChainReach(s.age, s.speed), middle, back, false);
    }
    if (s.type == 715 && s.age % 15 == 0) {
        float at[2] = {static_cast<float>(s.age) * s.speed * 0.25f, 0.0f};
        RotateVector2(at, back);
        at[0] += s.position[0];
        at[1] += s.position[1];
        ChainArea(ChainReach(s.age, s.speed), at, back, true);
    }
    if (s.age < 11 && !(s.type == 710 && OutsideWall(s.position))) return WalkStep::Keep;
    const int32_t endType = s.type == 710 ? 713 : s.type == 715 ? 716 : 718;
    const int32_t end = SpawnShot(endType, s.heading, s.position, s.owner);
    const float length = static_cast<float>(s.age * static_cast<double>(s.speed) * 0.5 + 15.0);
    shotList.Adjust(end, [&](Shot& e) {
        e.age = linkAge;
        e.speed = length;
    });
    return WalkStep::Erase;
}

// 713 and 716: the still end of a chain, laying its areas back along it.
WalkStep ShotRule::ChainEnd() {
    if (s.type == 713 && s.age < 90 && s.age % 3 == 0) {
        const float middle[2] = {(Owner().x + s.position[0]) / 2.0f, (Owner().y + s.position[1]) / 2.0f};
        ChainArea(static_cast<float>(static_cast<int32_t>(s.speed)), middle, BackOf(s.heading), false);
    }
    if (s.age < 90 && s.age % 30 == 0) {
        const float back = BackOf(s.heading);
        float at[2] = {100.0f, 0.0f};
        RotateVector2(at, back);
        at[0] += s.position[0];
        at[1] += s.position[1];
        ChainArea(ChainReach(s.age, s.speed), at, back, true);
    }
    return s.age > 100 ? WalkStep::Erase : WalkStep::Keep;
}

// 615 turns its side's 612 HeavyShots that it touches into aimed 613s.
void ShotRule::Reflector615() {
    static const float reach[3] = {0.0f, 0.0f, 20.0f};
    for (int32_t h = 0; h < heavyShotList.Size(); ++h) {
        HeavyShot& heavy = heavyShotList[h];
        if (heavy.type != 612 || heavy.owner != s.owner) continue;
        if (!CheckHitShapes(s.position, heavy.position, reach, reach, 0.0f, 0.0f)) continue;
        heavy.type = 613;
        heavy.heading = heavy.angle = DirectionTo(heavy.position, Opponent());
        if (heavy.speed < 12.0f) heavy.speed = 12.0f;
        heavy.age = 40;
        s.param = 1.0f;
        PlaySe(SE_REFLECT);
    }
}

WalkStep ShotRule::Run() {
    const int32_t age = s.age;
    switch (s.type) {
    case 101:
        if (age < 50) {
            if (s.speed > 2.0f) s.speed -= 0.5f;
            Home(0.02f);
        } else if (age < 100) {
            if (s.speed < 10.0f) s.speed += 0.5f;
            Home(0.015f);
        }
        s.angle = s.heading;
        if (age > 50) Trail();
        Move();
        break;
    case 110:
        if (age % 10 == 0) {
            const float amplitude = static_cast<float>(std::fmin(age * 0.02, 1.0));
            if (age / 10 % 2 == 0) s.heading -= RandomFloat(0.0f, amplitude);
            else s.heading += RandomFloat(0.0f, amplitude);
        }
        if (s.speed < 12.0f) s.speed += 0.5f;
        s.angle = s.heading;
        Move();
        Trail();
        break;
    case 120: Move(); break;
    case 210:
        TurnAngleToward(&s.heading, -PI_F / 2.0f, 0.04f);
        if (s.speed < 20.0f) AddInDouble(&s.speed, 0.15);
        AddInDouble(&s.angle, 0.1);
        WrapAbove(&s.angle);
        Move();
        if (s.power < 100 && age > 10) s.power = 150;
        break;
    case 221:
    case 222: {
        const float turn = s.type == 221 ? 1.0f : -1.0f;
        if (s.speed < 40.0f) s.speed += 2.0f;
        s.angle += 0.5f * turn;
        WrapTurn(&s.angle, turn);
        AddInDouble(&s.heading, 0.12 * turn);
        WrapTurn(&s.heading, turn);
        Orbit();
        if (age == 30) return WalkStep::Erase;
        if (age < 20) {
            if (age % 6 == 0) FourPointBurst(210, 212);
            else FourPointBurst(211, 213);
        }
        break;
    }
    case 225:
    case 226:
        s.heading += s.param;
        WrapTurn(&s.heading, s.param);
        if (s.speed > -12.0f) AddInDouble(&s.speed, -0.2);
        s.angle -= 0.5f;
        WrapBelow(&s.angle);
        Move();
        if (age > 5) {
            if (age % 8 == 0) FourPointBurst(210, 212);
            else FourPointBurst(211, 213);
        }
        break;
    case 231:
    case 232: {
        const float turn = s.type == 231 ? 1.0f : -1.0f;
        if (s.speed < 80.0f) s.speed += 2.0f;
        AddInDouble(&s.angle, 0.3 * turn);
        WrapTurn(&s.angle, turn);
        AddInDouble(&s.heading, 0.08 * turn);
        WrapTurn(&s.heading, turn);
        Orbit();
        if (age == 70) return WalkStep::Erase;
        if (age > 10 && age < 50) {
            if (age % 6 == 0) FourPointBurst(210, 212);
            else FourPointBurst(211, 213);
        }
        break;
    }
    case 301:
        if (age > 19 && age < 400) {
            const float areaAngle = RandomFloat(-PI_F, PI_F);
            const int32_t area = SpawnAttackArea(age / 2 % 2 == 0 ? 301 : 302, areaAngle, s.position, s.owner);
            if (age % 4 == 0) attackAreaList.Adjust(area, [](AttackArea& a) { a.hitShape[0] = 70.0f; });
        }
        if (age == 420) return WalkStep::Erase;
        break;
    case 310:
        if (age < 20) {
            if (s.speed > 2.0f) s.speed -= 1.0f;
            Home(0.05f);
        } else if (age < 40) {
            if (s.speed < 10.0f) s.speed += 0.5f;
            Home(0.02f);
        }
        s.angle = s.heading;
        Move();
        Trail();
        if (OutsideWall(s.position)) return EndHere();
        break;
    case 315:
        if (age < 20) {
            if (s.speed > 2.0f) s.speed -= 1.0f;
        } else if (s.speed < 10.0f) {
            AddInDouble(&s.speed, 0.2);
        }
        Move();
        if (age % 2 == 0) Trail();
        if (OutsideWall(s.position)) return EndHere();
        break;
    case 320: {
        if (s.speed < 16.0f) s.speed += 0.25f;
        Move();
        Trail();
        float at[2] = {-30.0f, 0.0f};
        RotateVector2(at, s.angle);
        at[0] += s.position[0];
        at[1] += s.position[1];
        SpawnAttackArea(age / 2 % 2 == 0 ? 312 : 313, s.angle, at, s.owner);
        if (OutsideWall(s.position)) return EndHere();
        break;
    }
    case 410:
    case 420:
        if (s.type == 410) {
            AddInDouble(&s.angle, 0.08);
            WrapAbove(&s.angle);
            if (s.speed > 3.0f) s.speed -= 0.5f;
        } else {
            if (age < 100) s.heading += s.param;
            if (s.speed > 6.0f) AddInDouble(&s.speed, -0.2);
            s.angle = s.heading;
        }
        Move();
        if (OutsideWall(s.position)) {
            SpawnEffect(421, s.angle, s.position, s.owner);
            SpawnParticles(ColourNumber(s.owner, 0) + (s.type == 410 ? 30 : 20), 6, s.heading, s.position);
            return WalkStep::Erase;
        }
        break;
    case 510:
        if (age < 10) s.speed -= 1.0f;
        if (age > 20 && s.speed < 10.0f) s.speed += 0.5f;
        Move();
        if (age < 1000 && OutsideWall(s.position)) {
            const double a = std::atan2(static_cast<double>(s.position[1]), static_cast<double>(s.position[0]));
            s.heading = static_cast<float>(2.0 * a + static_cast<double>(PI_F) - s.heading);
            WrapAngle(&s.heading);
            s.position[0] = static_cast<float>(375.0 * std::cos(a));
            s.position[1] = static_cast<float>(375.0 * std::sin(a));
            s.angle = s.heading;
            s.age = 1000;
        }
        break;
    case 610:
    case 615:
        if (age == 30) s.hitShape[2] = s.type == 610 ? 30.0f : 20.0f;
        if (s.type == 610) {
            if (age == 150) s.heading = DirectionTo(s.position, Opponent());
            if (age >= 150 && age < 1000 && s.speed < 12.0f) s.speed += 0.5f;
        } else if (age > 30 && age < 1000) {
            Reflector615();
            if (s.param > 0.0f) SpawnAttackArea(640, DirectionTo(s.position, Opponent()), s.position, s.owner);
        }
        if (age == 1000) {
            s.hitShape[0] = s.hitShape[1] = s.hitShape[2] = 0.0f;
            s.speed = 0.0f;
        }
        if (age == 1015) return WalkStep::Erase;
        Move();
        break;
    case 620:
        if (s.speed < 60.0f) s.speed += 3.0f;
        AddInDouble(&s.heading, 0.08);
        WrapAbove(&s.heading);
        Orbit();
        if (age == 500) s.hitShape[0] = s.hitShape[1] = 0.0f;
        if (age == 520) return WalkStep::Erase;
        break;
    case 621:
        if (age == 100) s.hitShape[0] = s.hitShape[1] = 0.0f;
        if (age == 120) return WalkStep::Erase;
        break;
    case 630:
    case 631:
    case 632: {
        // Charged at age 15: it grows, hits harder and jumps to the flying ages.
        static constexpr float radii[3] = {40.0f, 50.0f, 70.0f};
        static constexpr int32_t powers[3] = {50, 80, 100};
        static constexpr double gains[3] = {0.5, 0.3, 0.2};
        const int n = s.type - 630;
        if (age == 15) {
            s.hitShape[2] = radii[n];
            s.power = powers[n];
            s.age = 150;
        }
        if (s.age >= 150 && s.age < 1000 && s.speed < 12.0f) AddInDouble(&s.speed, gains[n]);
        Move();
        break;
    }
    case 701:
        Home(0.01f);
        s.angle = s.heading;
        SpawnEffect(701, s.angle, s.position, s.owner);
        Move();
        break;
    case 702:
    case 703:
        if (age >= 20) SpawnEffect(701, s.angle, s.position, s.owner);
        if (age == 20) {
            float a = DirectionTo(s.position, Opponent());
            if (s.type == 703) a += RandomFloat(-0.2f, 0.2f);
            s.heading = s.angle = a;
            s.speed = 15.0f;
        }
        Move();
        break;
    case 710:
    case 715:
    case 717: return ChainHead();
    case 711:
    case 712:
    case 718: return age > 100 ? WalkStep::Erase : WalkStep::Keep;
    case 713:
    case 716: return ChainEnd();
    case 720:
        s.param = RandomFloat(1.0f, 4.0f);
        if (s.speed < 16.0f) AddInDouble(&s.speed, 0.8);
        Move();
        if (age == 40) s.hitShape[0] = s.hitShape[1] = 0.0f;
        if (age == 50) return WalkStep::Erase;
        break;
    case 721:
        if (s.speed < 16.0f) s.speed += 0.5f;
        Move();
        if (age == 30) s.hitShape[0] = s.hitShape[1] = 0.0f;
        if (age == 40) return WalkStep::Erase;
        break;
    case 730:
        if (age >= 10 && age <= 80 && age % 5 == 0) {
            s.hitShape[0] = 100.0f;
            s.hitShape[1] = 40.0f;
            if (age == 80) s.knockBackSpeed = 16.0f;
        } else {
            s.hitShape[0] = s.hitShape[1] = 0.0f;
        }
        if (age > 10) {
            AddInDouble(&s.heading, -0.1);
            WrapBelow(&s.heading);
        }
        PlaceAround(s.position, Owner(), s.heading, 100.0f);
        if (age == 100) return WalkStep::Erase;
        break;
    case 740:
    case 741: {
        const bool turning = s.type == 741;
        if (!turning && s.speed < 12.0f) s.speed += 0.25f;
        if (turning) {
            if (s.speed < 14.0f) AddInDouble(&s.speed, 0.2);
            if (s.speed < 10.0f) {
                AddInDouble(&s.heading, -0.05);
                WrapBelow(&s.heading);
                s.angle = s.heading;
            }
            SpawnEffect(701, s.angle, s.position, s.owner);
        }
        Move();
        if (age == 30) {
            s.hitShape[0] = 20.0f;
            s.hitShape[1] = 5.0f;
        }
        if (age == (turning ? 170 : 70)) s.hitShape[0] = s.hitShape[1] = 0.0f;
        if (age == (turning ? 190 : 90)) return WalkStep::Erase;
        break;
    }
    case 770:
        if (s.speed > 2.0f) s.speed -= 0.5f;
        Move();
        if (age == 10) s.hitShape[2] = 10.0f;
        if (age == 100) return WalkStep::Erase;
        break;
    case 801:
        if (age < 20) {
            if (s.speed > 2.0f) s.speed -= 0.25f;
        } else if (age < 100) {
            if (s.speed < 12.0f) AddInDouble(&s.speed, 0.8);
            Home(0.01f);
        }
        s.angle = s.heading;
        Move();
        break;
    case 802:
        if (age < 100) {
            if (s.speed > 0.5f) AddInDouble(&s.speed, -0.2);
            Home(0.01f);
        } else if (age < 150) {
            if (s.speed < 16.0f) s.speed += 1.0f;
            Home(0.05f);
        }
        s.angle = s.heading;
        if (age > 100) Trail();
        Move();
        break;
    }
    return WalkStep::Keep;
}

WalkStep UpdateShot(int32_t index) {
    ShotRule rule{index, shotList[index]};
    rule.s.previousPosition[0] = rule.s.position[0];
    rule.s.previousPosition[1] = rule.s.position[1];
    if (rule.Run() == WalkStep::Erase) return WalkStep::Erase;
    Shot& s = rule.s;
    s.age += 1;
    s.trailPosition[0] = s.position[0];
    s.trailPosition[1] = s.position[1];
    rule.Store();
    return OutsideBox(s.position) ? WalkStep::Erase : WalkStep::Keep;
}

}  // namespace

void UpdateShots() { WalkObjectList(shotList, UpdateShot); }

namespace {

enum class Place { Own, Hit };           // the Shot's position or the hit position
enum class Turn { Zero, Heading, Side };  // 0, the heading, or heading + pi/2
enum class Colour { Fixed, First, Second };
enum class Rebirth { None, Same, ChainEnd, Link, Blade };

// What a Shot leaves when it ends: one Effect, one burst of particles, a
// sound, and for the pieces that are not used up, a fresh Shot in its place.
struct ShotEnd {
    int32_t effect;  // 0: none
    Turn effectAngle;
    Place effectPlace;
    Colour colour;
    int32_t particles;  // particle type, or the number added to the colour
    int32_t count;      // 0: no particles
    Turn particleAngle;
    Place particlePlace;
    int32_t sound;  // -1: none
    Rebirth rebirth;
    bool flash;
};

constexpr ShotEnd defaultEnd{21, Turn::Zero, Place::Own, Colour::Fixed, 21, 10, Turn::Zero, Place::Hit, SE_DAMAGE,
                             Rebirth::None, false};

ShotEnd ShotEndOf(int32_t type) {
    using enum Turn;
    using enum Place;
    switch (type) {
    case 120: return {0, Zero, Own, Colour::Fixed, 22, 3, Zero, Hit, -1, Rebirth::None, false};
    case 210: return {21, Zero, Own, Colour::Fixed, 21, 10, Zero, Hit, SE_BOMB, Rebirth::None, false};
    case 301: return {21, Zero, Own, Colour::Fixed, 0, 0, Zero, Hit, SE_BOMB, Rebirth::None, false};
    case 310:
    case 315: return {310, Zero, Own, Colour::Fixed, 0, 0, Zero, Hit, SE_BOMB, Rebirth::None, false};
    case 320: return {311, Zero, Own, Colour::Fixed, 0, 0, Zero, Hit, SE_DON, Rebirth::None, true};
    case 410:
    case 420: return {21, Zero, Own, Colour::First, 20, 10, Zero, Hit, SE_BOMB, Rebirth::None, false};
    case 610:
    case 615: return {31, Heading, Own, Colour::First, 20, 15, Zero, Hit, SE_DAMAGE, Rebirth::None, false};
    case 620:
    case 621: return {31, Heading, Own, Colour::First, 20, 10, Zero, Hit, SE_DAMAGE, Rebirth::None, false};
    case 630:
    case 631:
    case 632: return {31, Heading, Own, Colour::First, 20, 10, Zero, Hit, SE_DAMAGE, Rebirth::Same, false};
    case 701:
    case 702:
    case 703: return {31, Heading, Own, Colour::First, 10, 10, Heading, Own, SE_DAMAGE, Rebirth::None, false};
    case 710:
    case 715: return {730, Heading, Hit, Colour::First, 20, 15, Heading, Own, -1, Rebirth::ChainEnd, false};
    case 711:
    case 712:
    case 713: return {31, Heading, Own, Colour::First, 20, 15, Heading, Own, SE_DAMAGE, Rebirth::Link, false};
    case 720: return {31, Heading, Own, Colour::First, 20, 15, Heading, Own, SE_DAMAGE, Rebirth::None, false};
    case 721: return {711, Side, Hit, Colour::First, 20, 5, Heading, Own, SE_DAMAGE, Rebirth::Blade, false};
    case 730: return {32, Heading, Own, Colour::Second, 20, 5, Heading, Own, SE_DAMAGE, Rebirth::None, false};
    case 740:
    case 741: return {31, Heading, Own, Colour::First, 20, 10, Heading, Own, SE_DAMAGE, Rebirth::None, false};
    case 770: return {31, Heading, Own, Colour::First, 10, 5, Heading, Own, SE_DAMAGE, Rebirth::None, false};
    }
    return defaultEnd;
}

float TurnOf(Turn turn, float heading) {
    switch (turn) {
    case Turn::Zero: return 0.0f;
    case Turn::Heading: return heading;
    case Turn::Side: return heading + PI_F / 2.0f;
    }
    return 0.0f;
}

int32_t RebirthType(Rebirth rebirth, int32_t type) {
    switch (rebirth) {
    case Rebirth::None: return 0;
    case Rebirth::Same: return type;
    case Rebirth::ChainEnd: return 713;
    case Rebirth::Link: return 711;
    case Rebirth::Blade: return 721;
    }
    return 0;
}

}  // namespace

void EndShot(int32_t index, const float hitPos[2]) {
    if (index < 0 || index >= shotList.Size()) return;
    const Shot s = shotList[index];
    const ShotEnd end = ShotEndOf(s.type);
    const float hit[2] = {hitPos[0], hitPos[1]};
    auto place = [&](Place p) { return p == Place::Own ? s.position : hit; };
    if (end.effect != 0) SpawnEffect(end.effect, TurnOf(end.effectAngle, s.heading), place(end.effectPlace), s.owner);
    if (end.count > 0) {
        const int32_t colour = end.colour == Colour::Fixed ? 0 : ColourNumber(s.owner, end.colour == Colour::Second);
        SpawnParticles(colour + end.particles, end.count, TurnOf(end.particleAngle, s.heading),
                       place(end.particlePlace));
    }
    if (end.flash) AddScreenFlash();
    if (end.sound >= 0) PlaySe(end.sound);
    const int32_t reborn = RebirthType(end.rebirth, s.type);
    if (reborn == 0) return;
    const int32_t fresh = SpawnShot(reborn, s.heading, s.position, s.owner);
    const bool keepsShape = end.rebirth == Rebirth::Same;
    shotList.Adjust(fresh, [&](Shot& f) {
        f.age = s.age;
        if (!keepsShape) f.hitShape[0] = f.hitShape[1] = 0.0f;
    });
}
