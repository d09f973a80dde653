#pragma once
// Particles: the small sparks of the battle. They touch nothing; they move in
// a straight line, fade and shrink, and go after 51 updates.
#include <cstdint>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "game/arena/screen_mapping.h"

struct Particle {
    int32_t frame;  // age in updates, from a random 0..8; picks the animation cell
    int32_t kind;   // 100 + colour number (100..106), or 107 cycling the colours
    float x, y;
    float angle;  // direction of motion and drawn rotation
    float alpha;  // 1.0 at spawn, -0.02 per update
    float size;   // 1.0 at spawn, -0.02 per update
    float speed;  // world units per update
};

static_assert(sizeof(Particle) == 32);

extern ObjectList<Particle> particleList;
// Frees the particles, as at program start.
void ResetParticleState();

// Appends count particles of a type 10..36: the tens digit picks the burst
// (10s a cone about angle, 20s and 30s every direction), the units digit the
// colour (27 cycles); 17..19, 28 and 29 make nothing. Each particle draws, in
// this order, its frame, its angle and its speed.
void SpawnParticles(int32_t type, int32_t count, float angle, const float position[2]);

// Moves and fades every particle once, removing the faded ones in place.
void UpdateParticles();

// One sprite of the "perticle" sheet, drawn rotated with BLEND_ALPHA_ADD at
// depth 0.
struct ParticleSprite {
    ScreenRect destination;
    ScreenRect source;  // a 23x23 cell on the sheet's 24-pixel grid
    Angle16 rotation;
    uint32_t colour;  // white with the particle's alpha
};

// The sprites of all particles, in list order, under the current battle view.
std::vector<ParticleSprite> ParticleSprites();
// Issues those sprites from the "perticle" sheet.
void DrawParticles();
