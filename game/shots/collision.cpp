#include "game/shots/collision.h"

#include <cmath>

#include "engine/graphics/collision2d.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/object_types.h"
#include "game/arena/particles.h"
#include "game/arena/player_record.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/run_state.h"
#include "game/flow/sound_tables.h"
#include "game/shots/object_rules.h"

namespace {

// The five points of a hit rectangle: the four corners turned by the angle
// and moved to the position, then the first corner again.
struct HitRectangle {
    float points[10];
    Polygon2D outline{5, points};

    HitRectangle(const float position[2], const float shape[3], float angle) {
        const float corners[4][2] = {
            {-shape[0], -shape[1]}, {shape[0], -shape[1]}, {shape[0], shape[1]}, {-shape[0], shape[1]}};
        for (int n = 0; n < 4; ++n) {
            float corner[2] = {corners[n][0], corners[n][1]};
            RotateVector2(corner, angle);
            points[2 * n] = corner[0] + position[0];
            points[2 * n + 1] = corner[1] + position[1];
        }
        points[8] = points[0];
        points[9] = points[1];
    }
    HitRectangle(const HitRectangle&) = delete;
};

bool CircleHitsRectangle(const float centre[2], float radius, const float position[2], const float shape[3],
                         float angle) {
    const HitRectangle rectangle(position, shape, angle);
    const float circle[3] = {centre[0], centre[1], radius};
    return CircleHitsPolygon(circle, &rectangle.outline);
}

}  // namespace

bool CheckHitShapes(const float positionA[2], const float positionB[2], const float shapeA[3],
                    const float shapeB[3], float angleA, float angleB) {
    if (shapeA[2] > 0.0f && shapeB[2] > 0.0f) {
        const float r = shapeA[2] + shapeB[2];
        const float dx = positionA[0] - positionB[0];
        const float dy = positionA[1] - positionB[1];
        if ((dx < 0.0f ? -dx : dx) <= r && (dy < 0.0f ? -dy : dy) <= r) return true;
    }
    if (shapeA[0] > 0.0f && shapeB[0] > 0.0f) {
        const HitRectangle a(positionA, shapeA, angleA);
        const HitRectangle b(positionB, shapeB, angleB);
        return PolygonsOverlap(&a.outline, &b.outline);
    }
    if (shapeA[2] > 0.0f && shapeB[0] > 0.0f) return CircleHitsRectangle(positionA, shapeA[2], positionB, shapeB, angleB);
    if (shapeB[2] > 0.0f && shapeA[0] > 0.0f) return CircleHitsRectangle(positionB, shapeB[2], positionA, shapeA, angleA);
    return false;
}

namespace {

// A Shot with neither an across extent nor a radius takes no part as the
// first object of the object-against-object passes.
bool TakesPart(const Shot& s) { return !(s.hitShape[1] == 0.0f && s.hitShape[2] == 0.0f); }

float* HyperGauge(int32_t side) { return &PlayerOf(side).hyperGauge; }

}  // namespace

void HitShotsWithAttackAreas() {
    WalkObjectList(shotList, [](int32_t i) {
        if (!TakesPart(shotList[i])) return WalkStep::Keep;
        for (int32_t a = 0; a < attackAreaList.Size(); ++a) {
            const AttackArea& area = attackAreaList[a];
            Shot& s = shotList[i];
            if (area.owner == s.owner) continue;
            if (!CheckHitShapes(s.position, area.position, s.hitShape, area.hitShape, s.angle, area.angle)) continue;
            s.hitPoints -= area.power;
            if (s.hitPoints < 1) {
                const float at[2] = {s.position[0], s.position[1]};
                EndShot(i, at);
                return WalkStep::Erase;
            }
        }
        return WalkStep::Keep;
    });
}

void HitShotsWithShots() {
    WalkObjectList(shotList, [](int32_t i) {
        if (!TakesPart(shotList[i])) return WalkStep::Keep;
        for (int32_t j = i; j < shotList.Size();) {
            Shot& a = shotList[i];
            Shot& b = shotList[j];
            if (a.owner == b.owner ||
                !CheckHitShapes(a.position, b.position, a.hitShape, b.hitShape, a.angle, b.angle)) {
                ++j;
                continue;
            }
            a.hitPoints -= b.power;
            b.hitPoints -= a.power;
            const int32_t ownerI = a.owner;
            const int32_t ownerJ = b.owner;
            const bool iEnds = a.hitPoints <= 0;
            if (b.hitPoints <= 0) {
                *HyperGauge(ownerI) += 0.02;
                const float at[2] = {b.position[0], b.position[1]};
                EndShot(j, at);
                shotList.Erase(j);
            } else {
                ++j;
            }
            if (iEnds) {
                *HyperGauge(ownerJ) += 0.02;
                const float at[2] = {shotList[i].position[0], shotList[i].position[1]};
                EndShot(i, at);
                return WalkStep::Erase;
            }
        }
        return WalkStep::Keep;
    });
}

namespace {

bool IsReflector(int32_t type) { return type == 620 || type == 621; }

// A reflecting Shot turns a HeavyShot that vanishes on hit into its own 611.
// Returns whether the HeavyShot was used up.
bool Reflect(const Shot& s, int32_t h) {
    if (!heavyShotList[h].vanishesOnHit) return false;
    const float at[2] = {heavyShotList[h].position[0], heavyShotList[h].position[1]};
    const float from[2] = {s.position[0], s.position[1]};
    SpawnEffect(620, s.heading, at, s.owner);
    SpawnHeavyShot(611, s.heading, from, s.owner);
    PlaySe(SE_REFLECT);
    return true;
}

}  // namespace

void HitHeavyShotsWithShots() {
    WalkObjectList(shotList, [](int32_t i) {
        if (!TakesPart(shotList[i])) return WalkStep::Keep;
        for (int32_t h = 0; h < heavyShotList.Size();) {
            const Shot s = shotList[i];
            const HeavyShot heavy = heavyShotList[h];
            if (heavy.owner == s.owner ||
                !CheckHitShapes(s.position, heavy.position, s.hitShape, heavy.hitShape, s.angle, heavy.angle)) {
                ++h;
                continue;
            }
            if (IsReflector(s.type)) {
                if (Reflect(s, h)) heavyShotList.Erase(h);
                else ++h;
                continue;
            }
            shotList[i].hitPoints -= heavy.damage;
            if (shotList[i].hitPoints < 1) {
                *HyperGauge(heavy.owner) += 0.02;
                EndShot(i, s.position);
                return WalkStep::Erase;
            }
            HitHeavyShot(h, s.position);
            if (heavy.vanishesOnHit) heavyShotList.Erase(h);
            else ++h;
        }
        return WalkStep::Keep;
    });
}

namespace {

// What a fighter pass needs of the object that touched it.
struct Blow {
    float heading;
    float knockBackSpeed;
    bool knocksBack;
    int32_t base;
    double attackerGain;  // added to the float gauge in double, rounded once
};

void KnockBack(PlayerRecord& victim, const Blow& blow) {
    victim.state = PLAYER_KNOCKED_BACK;
    victim.stateTimer = 0;
    victim.aimAngle = blow.heading;
    victim.moveAngle = blow.heading;
    victim.speed = blow.knockBackSpeed;
    WrapAngleDouble(&victim.moveAngle);
}

void CountCombo(PlayerRecord& attacker, int32_t damage) {
    if (attacker.comboTimer < 0) {
        attacker.comboTimer = 120;
        attacker.comboDamage = damage;
        attacker.comboHits = 1;
        if (damage > attacker.bestComboDamage) {
            attacker.bestComboDamage = damage;
            attacker.bestComboHits = 1;
        }
        return;
    }
    if (attacker.comboTimer < 100) attacker.comboTimer = 100;
    attacker.comboDamage += damage;
    attacker.comboHits += 1;
    if (attacker.comboDamage > attacker.bestComboDamage) {
        attacker.bestComboDamage = attacker.comboDamage;
        attacker.bestComboHits = attacker.comboHits;
    }
}

// The effect of one blow on the victim and on the attacker's gauges and
// combo, before the object's own response.
void TakeBlow(int32_t side, const Blow& blow) {
    PlayerRecord& victim = players[side];
    PlayerRecord& attacker = players[1 - side];
    if (blow.knocksBack) KnockBack(victim, blow);
    int32_t damage = blow.base + static_cast<int32_t>(static_cast<float>(blow.base) * victim.boostGauge);
    if (difficulty == DIFFICULTY_HARD && side == 0) damage += blow.base;
    victim.life -= damage;
    if (attacker.invulnerableTimer == 0) attacker.hyperGauge += blow.attackerGain;
    victim.hyperGauge += 0.01;
    if (victim.comboTimer >= 0) victim.comboTimer = -1;
    CountCombo(attacker, damage);
}

bool Touches(int32_t side, const float position[2], const float shape[3], float angle) {
    const PlayerRecord& p = players[side];
    const float at[2] = {p.x, p.y};
    return CheckHitShapes(at, position, p.hitShape, shape, p.aimAngle, angle);
}

}  // namespace

void HitPlayersWithHeavyShots(int32_t side) {
    WalkObjectList(heavyShotList, [side](int32_t h) {
        const HeavyShot heavy = heavyShotList[h];
        if (heavy.owner == side || !Touches(side, heavy.position, heavy.hitShape, heavy.angle))
            return WalkStep::Keep;
        TakeBlow(side, {heavy.heading, heavy.knockBackSpeed, heavy.knocksBack != 0, heavy.damage, 0.05});
        const float at[2] = {players[side].x, players[side].y};
        HitHeavyShot(h, at);
        return heavy.vanishesOnHit ? WalkStep::Erase : WalkStep::Keep;
    });
}

void HitPlayersWithShots(int32_t side) {
    WalkObjectList(shotList, [side](int32_t i) {
        const Shot s = shotList[i];
        if (s.owner == side || !Touches(side, s.position, s.hitShape, s.angle)) return WalkStep::Keep;
        TakeBlow(side, {s.heading, s.knockBackSpeed, s.knocksBack != 0, s.power, 0.05});
        const float at[2] = {players[side].x, players[side].y};
        EndShot(i, at);
        return s.vanishesOnHit ? WalkStep::Erase : WalkStep::Keep;
    });
}

void HitPlayersWithAttackAreas(int32_t side) {
    for (int32_t a = 0; a < attackAreaList.Size(); ++a) {
        const AttackArea area = attackAreaList[a];
        // Read for each area: an earlier area of this pass may have knocked
        // the fighter out of its dash.
        const bool dashing = players[side].state == PLAYER_DASH;
        if (area.owner == side || (area.missesDashingPlayer && dashing)) continue;
        if (!Touches(side, area.position, area.hitShape, area.angle)) continue;
        TakeBlow(side, {area.angle, area.knockBackSpeed, area.knocksBack != 0, area.power,
                        area.type == 201 ? 0.02 : 0.05});
        const float at[2] = {players[side].x, players[side].y};
        HitAttackArea(a, at);
    }
}

namespace {

// The graze line of an Effect: its scale * 50 to each side of its position
// along its angle, each end taken in double with the double cos and sin and
// rounded once.
struct GrazeLine {
    float from[2];
    float to[2];
};

GrazeLine GrazeLineOf(const Effect& e) {
    const double half = e.scale * 50.0;
    const double angle = e.angle;
    const double along[2] = {std::cos(angle) * half, std::sin(angle) * half};
    GrazeLine line{};
    for (int k = 0; k < 2; ++k) {
        line.from[k] = static_cast<float>(e.position[k] - along[k]);
        line.to[k] = static_cast<float>(e.position[k] + along[k]);
    }
    return line;
}

template <class Record>
void GrazeList(ObjectList<Record>& list, int32_t grazer, const GrazeLine& line) {
    for (int32_t i = 0; i < list.Size(); ++i) {
        const Record r = list[i];
        if (r.owner == grazer || r.grazed != 0) continue;
        if (!IntersectSegments(r.previousPosition, r.trailPosition, line.from, line.to)) continue;
        SpawnParticles(10, 4, r.heading, r.position);
        SpawnEffect(EFFECT_GRAZE_MARK, 0.0f, r.position, grazer);
        list[i].grazed = 1;
        PlayerOf(grazer).hyperGauge += 0.03;
        PlaySe(SE_GRAZE);
    }
}

}  // namespace

void GrazeShots() {
    for (int32_t e = 0; e < effectList.Size(); ++e) {
        const Effect effect = effectList[e];
        if (effect.type < EFFECT_GRAZE_LINE_FIRST || effect.strength < 0.2f) continue;
        const int32_t grazer = effect.owner == 0 ? 0 : 1;
        const GrazeLine line = GrazeLineOf(effect);
        GrazeList(heavyShotList, grazer, line);
        GrazeList(shotList, grazer, line);
    }
    for (PlayerRecord& p : players)
        if (p.hyperGauge > 3.0f) p.hyperGauge = 3.0f;
}

namespace {

void SetHitShape(PlayerRecord& p) {
    const bool dash = p.state == PLAYER_DASH;
    p.hitShape[0] = dash ? 8.0f : 0.0f;
    p.hitShape[1] = dash ? 2.0f : 0.0f;
    p.hitShape[2] = dash ? 0.0f : 8.0f;
    if (p.invulnerableTimer != 0) p.hitShape[0] = p.hitShape[1] = p.hitShape[2] = 0.0f;
}

void KnockOut() {
    for (PlayerRecord& p : players) {
        if (p.life >= 1) continue;
        if (gameMode == MODE_PRACTICE) {
            p.life = 1;
            continue;
        }
        p.life = 0;
        p.state = PLAYER_KNOCKED_OUT;
        p.stateTimer = 0;
    }
}

}  // namespace

void ResolveHits() {
    if (battleOver) return;
    HitShotsWithAttackAreas();
    HitShotsWithShots();
    HitHeavyShotsWithShots();
    if (players[0].state == PLAYER_KNOCKED_OUT || players[1].state == PLAYER_KNOCKED_OUT || battleTimer < 1) return;
    SetHitShape(players[0]);
    SetHitShape(players[1]);
    for (int32_t side = 0; side < 2; ++side)
        if (players[side].state != PLAYER_DASH) HitPlayersWithHeavyShots(side);
    HitPlayersWithShots(0);
    HitPlayersWithShots(1);
    HitPlayersWithAttackAreas(0);
    HitPlayersWithAttackAreas(1);
    GrazeShots();
    KnockOut();
}
