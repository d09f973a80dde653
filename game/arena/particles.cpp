#include "game/arena/particles.h"

#include <cmath>

#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "game/arena/battle_assets.h"
#include "game/flow/numeric_helpers.h"

ObjectList<Particle> particleList;

namespace {

struct Burst {
    int32_t kind;
    bool cone;         // around the given angle, else in every direction
    float baseSpeed;   // plus RandomFloat(0, speedRange)
    float speedRange;
};

// The burst of a type, or kind 0 for a type that makes nothing.
Burst BurstOf(int32_t type) {
    if (type >= 10 && type <= 16) return {100 + type % 10, true, 2.0f, 6.0f};
    if (type >= 20 && type <= 26) return {100 + type % 20, false, 2.0f, 10.0f};
    if (type == 27) return {107, false, 2.0f, 10.0f};
    if (type >= 30 && type <= 36) return {100 + type % 30, false, 1.0f, 5.0f};
    return {0, false, 0.0f, 0.0f};
}

}  // namespace

void SpawnParticles(int32_t type, int32_t count, float angle, const float position[2]) {
    const Burst burst = BurstOf(type);
    if (burst.kind == 0) return;
    for (int32_t i = 0; i < count; ++i) {
        Particle p{};
        p.frame = RandomInt(0, 8);
        p.angle = burst.cone ? angle + RandomFloat(-1.2f, 1.2f) : RandomFloat(0.0f, TWO_PI_F);
        p.speed = burst.baseSpeed + RandomFloat(0.0f, burst.speedRange);
        p.kind = burst.kind;
        p.x = position[0];
        p.y = position[1];
        p.alpha = 1.0f;
        p.size = 1.0f;
        particleList.Append(p);
    }
}

void UpdateParticles() {
    WalkObjectList(particleList, [](int32_t i) {
        Particle& p = particleList[i];
        ++p.frame;
        p.x = static_cast<float>(p.x + std::cos(static_cast<double>(p.angle)) * p.speed);
        p.y = static_cast<float>(p.y + std::sin(static_cast<double>(p.angle)) * p.speed);
        // Single-precision steps: a particle goes on its 51st update.
        p.alpha -= 0.02f;
        p.size -= 0.02f;
        return p.alpha <= 0.0f ? WalkStep::Erase : WalkStep::Keep;
    });
}

std::vector<ParticleSprite> ParticleSprites() {
    std::vector<ParticleSprite> sprites;
    sprites.reserve(static_cast<size_t>(particleList.Size()));
    for (int32_t i = 0; i < particleList.Size(); ++i) {
        const Particle& p = particleList[i];
        const int32_t half = ScreenLength(p.size * 10.0);
        const int32_t column = p.frame / 2 % 8;
        const int32_t row = p.kind == 107 ? p.frame % 7 : p.kind % 100;
        const ScreenRect source{24 * column, 24 * row, 24 * column + 23, 24 * row + 23};
        sprites.push_back({CentredRect(WorldToScreen(p.x, p.y), half, half), source, RadianToAngle(p.angle),
                           WhiteWithAlpha(TruncateScreenValue(p.alpha * 255.0))});
    }
    return sprites;
}

void DrawParticles() {
    if (!battlePerticleTexture) return;
    for (const ParticleSprite& s : ParticleSprites()) {
        const gpu::RECT destination = ToDeviceRect(s.destination), source = ToDeviceRect(s.source);
        battlePerticleTexture->DrawRotated(&destination, 0.0f, &source, s.rotation, s.colour, BLEND_ALPHA_ADD);
    }
}

void ResetParticleState() { particleList.Free(); }
