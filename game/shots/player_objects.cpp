#include "game/shots/player_objects.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/player_record.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "game/shots/object_rules.h"

namespace {

// The blades' second scale: growing by 0.1 a timer below growEnd, shrinking
// toward end above shrinkFrom, the spawn's own scale in between.
std::optional<float> BladeScale(int32_t t, int32_t growEnd, int32_t shrinkFrom, int32_t end) {
    if (t < growEnd) return static_cast<float>(t * 0.1);
    if (t > shrinkFrom) return static_cast<float>((end - t) * 0.1);
    return std::nullopt;
}

// One object's rule, run on a copy of its record that is stored back after
// the rule: the rule spawns into the shared lists.
struct ObjectStep {
    int32_t side;
    int32_t index;
    PlayerObject o;

    PlayerRecord& Owner() const { return players[side]; }
    PlayerRecord& Opponent() const { return players[1 - side]; }
    bool EvenSlot() const { return index % 2 == 0; }
    double SlotAngle() const { return index * SLOT_ANGLE; }

    float DirectionTo(float x, float y) const {
        return static_cast<float>(std::atan2(static_cast<double>(y) - o.position[1], static_cast<double>(x) - o.position[0]));
    }
    float Aim() const { return DirectionTo(Opponent().x, Opponent().y); }
    // centre + offset turned by angle.
    static void Around(const PlayerRecord& centre, float offsetX, float offsetY, double angle, float out[2]) {
        float v[2] = {offsetX, offsetY};
        RotateVector2(v, angle);
        out[0] = centre.x + v[0];
        out[1] = centre.y + v[1];
    }
    // The object's position plus (distance, 0) turned by angle.
    void Offset(float distance, double angle, float out[2]) const {
        float v[2] = {distance, 0.0f};
        RotateVector2(v, angle);
        out[0] = o.position[0] + v[0];
        out[1] = o.position[1] + v[1];
    }
    void TurnToward(const float point[2], float maxTurn) { TurnAngleToward(&o.heading, DirectionTo(point[0], point[1]), maxTurn); }
    void Move(float factor = 1.0f) { MoveAlong(o.position, o.heading, o.speed * factor); }
    // Twice as fast while the owner dashes: the circling orders only.
    void CirclingMove() { Move(Owner().state == PLAYER_DASH ? 2.0f : 1.0f); }
    void SlowDown(float floor) { o.speed = std::max(o.speed - o.slowdown, floor); }
    // Even slots spin one way, odd ones the other; only a spin past pi wraps.
    void Spin(float* angle) const {
        AddInDouble(angle, EvenSlot() ? 0.1 : -0.1);
        if (*angle > PI_F) *angle -= TWO_PI_F;
    }
    // Advances the timer and ends the order once it is above last.
    void Advance(int32_t last) {
        if (++o.timer > last) ReturnToCircling();
    }
    void ReturnToCircling() {
        o.type = SATELLITE_CIRCLING;
        o.timer = 0;
    }
    void AimOnce() {
        if (o.timer == 0) o.heading = o.angle = Aim();
    }

    void Effect(int32_t code, float angle) const { SpawnEffect(code, angle, o.position, side); }
    void Circle(float radius, bool aroundOpponent, float maxTurn);
    void Beam(int32_t heavyShotCode, float angle);
    void CrossAreas(double angle, bool keepsExtents, std::optional<float> secondScale) const;
    void CrossHeavyShots(float angle) const;
    bool Run();
};

// Circling about a slot point of the owner (or of the opponent).
void ObjectStep::Circle(float radius, bool aroundOpponent, float maxTurn) {
    CirclingMove();
    float slot[2];
    Around(aroundOpponent ? Opponent() : Owner(), radius, 0.0f, SlotAngle(), slot);
    TurnToward(slot, maxTurn);
}

// A beam from the object's position plus (605, 0) turned by its angle, with
// its muzzle flashes.
void ObjectStep::Beam(int32_t heavyShotCode, float angle) {
    if (o.timer == 10) {
        float muzzle[2];
        Offset(605.0f, angle, muzzle);
        SpawnHeavyShot(heavyShotCode, angle, muzzle, side);
        PlaySe(SE_RAY);
    }
    if (o.timer == 10 || o.timer == 20 || o.timer == 30) Effect(401, angle);
}

// Four blades about the object, at angle and a half and quarter turn from it;
// they touch only when they keep their extents, and grow in and out through
// their second scale.
void ObjectStep::CrossAreas(double angle, bool keepsExtents, std::optional<float> secondScale) const {
    for (double a : {angle, angle + PI_WIDE, angle + PI_WIDE / 2.0, angle - PI_WIDE / 2.0}) {
        float at[2];
        Offset(20.0f, a, at);
        const int32_t area = SpawnAttackArea(430, static_cast<float>(a), at, side);
        attackAreaList.Adjust(area, [&](AttackArea& blade) {
            if (!keepsExtents) blade.hitShape[0] = blade.hitShape[1] = 0.0f;
            if (secondScale) blade.scaleY = *secondScale;
        });
    }
}

void ObjectStep::CrossHeavyShots(float angle) const {
    for (float a : {angle + PI_F, angle, angle + PI_F / 2.0f, angle - PI_F / 2.0f}) SpawnHeavyShot(403, a, o.position, side);
}

// The object's rule by type; true when the object is to be erased.
bool ObjectStep::Run() {
    const int32_t t = o.timer;
    switch (o.type) {
    case 300: case 331: {
        const int32_t mode = o.type == 331 ? 0 : Owner().modeFlag;
        if (mode == 0) Circle(40.0f, false, 0.15f);
        else if (mode == 1) Circle(150.0f, false, 0.15f);
        else Circle(100.0f, true, 0.15f);
        o.angle = static_cast<float>(std::atan2(static_cast<double>(Opponent().y) - Owner().y,
                                                static_cast<double>(Opponent().x) - Owner().x));
        SlowDown(o.type == 331 ? 10.0f : 5.0f);
        Advance(o.type == 331 ? 30 : 150);
        break;
    }
    case 301:
        AimOnce();
        if (t == 5) {
            SpawnHeavyShot(401, o.heading, o.position, side);
            PlaySe(SE_SHOOT00);
        }
        Advance(30);
        break;
    case 302:
        AimOnce();
        Beam(420, o.heading);
        Advance(50);
        break;
    case 303: case 304:
        Spin(&o.angle);
        o.heading = o.angle;
        if (t == 10 || t == 15 || t == 20) {
            if (o.type == 303) SpawnShot(410, o.angle + PI_F, o.position, side);
            else SpawnHeavyShot(403, o.angle + PI_F, o.position, side);
        }
        Advance(50);
        break;
    case 305:
        AimOnce();
        if (t == 10) {
            Effect(401, o.heading);
            SpawnHeavyShot(402, o.heading, o.position, side);
            PlaySe(SE_SHOOT00);
        }
        Advance(30);
        break;
    case 306: {
        const float s = EvenSlot() ? -1.0f : 1.0f;
        if (t == 0) {
            const float aim = Aim();
            o.heading = aim + s * RandomFloat(0.2f, 1.2f);
            o.angle = aim + s * RandomFloat(0.2f, 1.2f);
        }
        if (t == 5) {
            const int32_t shot = SpawnShot(420, o.heading, o.position, side);
            shotList.Adjust(shot, [s](Shot& turning) { turning.param = s * -0.025f; });
            PlaySe(SE_SHOOT00);
        }
        Advance(30);
        break;
    }
    case 320: case 322:
        if (t % 2 == 0) Effect(420, o.angle);
        Circle(150.0f, true, 0.2f);
        SlowDown(5.0f);
        if (++o.timer > 25) {
            o.type += 1;
            o.timer = 0;
        }
        break;
    case 321: case 323:
        if (t == 0) o.angle = Aim();
        if (t == 5) {
            Effect(401, o.angle);
            const int32_t shot = SpawnHeavyShot(402, o.angle, o.position, side);
            heavyShotList.Adjust(shot, [](HeavyShot& h) {
                h.damage = 40;
                h.knockBackSpeed = 4.0f;
            });
            PlaySe(SE_SHOOT00);
        }
        if (++o.timer > 10) {
            o.type = o.type + 1 > 323 ? SATELLITE_CIRCLING : o.type + 1;
            o.timer = 0;
            o.speed = 20.0f;
            o.slowdown = 2.0f;
        }
        break;
    case 330:
        if (t < 1) {
            Effect(420, o.heading);
            Move();
            TurnAngleToward(&o.heading, Aim(), 0.02f);
            o.angle = o.heading;
            o.speed += 0.25f;
            if (t == 0) o.speed = 20.0f;
        } else {
            if (t < 15) Effect(420, o.angle);
            if (t % 5 == 0) Effect(401, o.angle);
            Move();
            if (t < 15 && t % 4 == 0) SpawnAttackArea(402, o.heading, o.position, side);
            o.speed = std::max(o.speed - 1.0f, 5.0f);
        }
        if (++o.timer > 20) {
            o.type = 331;
            o.timer = 0;
            o.speed = 20.0f;
            o.slowdown = 0.2f;
        }
        break;
    case 340:
        Spin(&o.angle);
        o.heading = o.angle;
        if (t > 9 && t < 21 && t % 6 == 0) CrossHeavyShots(o.angle);
        if (t >= 0 && t <= 30) {
            CrossAreas(o.angle, t == 10 || t == 15 || t == 20, BladeScale(t, 10, 20, 30));
        }
        Advance(50);
        break;
    case 350:
        Beam(421, o.heading);
        Advance(50);
        break;
    case 360: {
        float point[2];
        Around(Owner(), 0.0f, 50.0f, SlotAngle(), point);
        if (t < 0) {
            TurnToward(point, 0.4f);
            o.angle = o.heading;
            if (t < -10) o.speed = 14.0f;
            else o.speed -= 0.5f;
            Move();
        }
        if (t == 0) {
            o.position[0] = point[0];
            o.position[1] = point[1];
            o.heading = o.angle = static_cast<float>(SlotAngle() + PI_WIDE / 2.0);
        } else {
            Beam(422, o.angle);
            Spin(&o.heading);
            if (t >= 1 && t <= 40) {
                CrossAreas(o.heading, t > 10 && t < 30 && t % 8 == 0, BladeScale(t, 10, 30, 40));
            }
            if (t == 12 || t == 18) CrossHeavyShots(o.heading);
        }
        Advance(50);
        break;
    }
    case 410: case 420:
        if (++o.timer > (o.type == 410 ? 100 : 20)) {
            o.heading = o.angle = Aim();
            const double dx = static_cast<double>(Opponent().x) - o.position[0];
            const double dy = static_cast<double>(Opponent().y) - o.position[1];
            o.speed = static_cast<float>(std::min(std::sqrt(dx * dx + dy * dy) * 0.083333336, 15.0));
            o.type += 1;
            o.timer = 0;
        }
        break;
    case 411: case 421:
        Move();
        if (o.speed > 0.0f) o.speed -= 0.5f;
        else o.speed = 0.0f;
        if (t == 10) {
            if (o.type == 411) Owner().speed = 0.0;
            const int32_t area = SpawnAttackArea(501, o.heading, o.position, side);
            const int32_t power = o.type == 411 ? 120 : 40;
            attackAreaList.Adjust(area, [power](AttackArea& a) { a.power = power; });
            for (float across : {0.0f, -10.0f, 10.0f}) {
                float v[2] = {40.0f, across};
                RotateVector2(v, o.heading);
                const float at[2] = {o.position[0] + v[0], o.position[1] + v[1]};
                SpawnEffect(502, o.heading, at, side);
            }
        }
        if (++o.timer > (o.type == 411 ? 100 : 50)) {
            o.type = LAUNCHER_FADING;
            o.timer = 0;
        }
        break;
    case 412:
        return ++o.timer > 19;
    case 600: {
        const int32_t count = static_cast<int32_t>(Owner().objects.size());
        const double t600 = battleFrame % 360 * 0.017453292 + index * (TWO_PI_WIDE / count);
        PlaceAround(o.position, Owner(), t600, 50.0);
        if (++o.timer > 200) o.timer -= 100;
        break;
    }
    }
    return false;
}

}  // namespace

void UpdatePlayerObjects(int32_t side) {
    if (side != 0 && side != 1) return;
    std::vector<PlayerObject>& objects = players[side].objects;
    for (int32_t i = 0; i < static_cast<int32_t>(objects.size());) {
        ObjectStep step{side, i, objects[static_cast<size_t>(i)]};
        const bool erase = step.Run();
        objects[static_cast<size_t>(i)] = step.o;
        if (erase) ErasePlayerObject(side, i);
        else ++i;
    }
}

void ErasePlayerObject(int32_t side, int32_t index) {
    if (side != 0 && side != 1) return;
    std::vector<PlayerObject>& objects = players[side].objects;
    if (index >= 0 && index < static_cast<int32_t>(objects.size())) objects.erase(objects.begin() + index);
}

namespace {

// The frame column of a satellite's order picture: rising over the first
// frames, held while it fires, falling at the end; 0 while it waits.
int32_t OrderFrame(int32_t type, int32_t timer) {
    if (timer < 0) return 0;
    int32_t f;
    switch (type) {
    case 301: case 306: f = timer < 5 ? timer : 9 - timer; break;
    case 305: case 321: case 323: f = timer < 10 ? timer / 2 : timer < 20 ? 3 : 4 - (timer - 20) / 2; break;
    case 340: return std::clamp(timer < 10 ? timer / 5 : timer < 40 ? 2 : 2 - (timer - 40) / 3, 0, 2);
    default: f = timer < 10 ? timer / 2 : timer < 40 ? 3 : 4 - (timer - 40) / 2; break;  // 302..304, 350, 360
    }
    return std::clamp(f, 0, 3);
}

void AddObjectSprites(int32_t side, const PlayerObject& o, std::vector<ObjectSprite>& out) {
    const auto satellite = [&](ScreenRect source) {
        out.push_back(WorldSprite(SpriteSheet::Item, side, o.position, 20, 20, source, o.angle, OPAQUE_WHITE,
                                  SpriteBlend::Alpha));
    };
    const auto unturned = [&](SpriteSheet sheet, float half, ScreenRect source) -> ObjectSprite& {
        out.push_back(WorldSprite(sheet, side, o.position, half, half, source, 0.0f, OPAQUE_WHITE, SpriteBlend::AlphaAdd));
        out.back().turned = false;
        out.back().rotation = 0;
        return out.back();
    };
    const int32_t f = OrderFrame(o.type, o.timer);
    const ScreenRect orderCell = {60 * f, 0, 50 * f + 59, 59};
    switch (o.type) {
    case 300: case 320: case 322: case 331: satellite({0, 0, 59, 59}); break;
    case 301: case 302: case 303: case 304: case 305: case 306: case 321: case 323: case 350: case 360:
        satellite(orderCell);
        break;
    case 340: satellite({60 * f + 30, 170, 60 * f + 89, 229}); break;
    case 330:
        satellite({0, 0, 59, 59});
        if (o.timer >= 1 && o.timer < 15) {
            // The beam starts at the satellite and reaches along its angle.
            float centre[2] = {150.0f, 0.0f};
            RotateVector2(centre, o.angle);
            centre[0] += o.position[0];
            centre[1] += o.position[1];
            out.push_back(WorldSprite(SpriteSheet::Item, side, centre, 150, 50, {130, 240, 429, 319}, o.angle,
                                      OPAQUE_WHITE, SpriteBlend::AlphaAdd));
        }
        break;
    case 410: case 420: case 412: {
        // The launcher pictures cycle with the timer; 412 swells as it fades.
        const float half = o.type == 412 ? 40.0f + 4.0f * static_cast<float>(o.timer) : 40.0f;
        unturned(SpriteSheet::CharacterPicture, half, {0, 0, 63, 63}).picture = std::max(o.timer, 0) / 5 % 4;
        break;
    }
    case 411: case 421:
        out.push_back(WorldSprite(SpriteSheet::CharacterPicture, side, o.position, 40, 40, {0, 0, 63, 63}, o.angle,
                                  OPAQUE_WHITE, SpriteBlend::AlphaAdd));
        out.back().picture = std::max(o.timer, 0) / 5 % 4;
        break;
    case 600: unturned(SpriteSheet::Item, static_cast<float>(std::clamp(o.timer, 0, 20)), {130, 0, 179, 49}); break;
    }
}

}  // namespace

std::vector<ObjectSprite> PlayerObjectSprites(int32_t side) {
    std::vector<ObjectSprite> sprites;
    if (side != 0 && side != 1) return sprites;
    for (const PlayerObject& o : players[side].objects) AddObjectSprites(side, o, sprites);
    return sprites;
}

void DrawPlayerObjects(int32_t side) { DrawObjectSprites(PlayerObjectSprites(side)); }
