#pragma once
// Effects: the battle's short-lived pictures (sparks, trails, blasts, rings,
// the graze mark). Most only look; a few lay AttackAreas while they live, and
// codes from 1001 on are graze lines while their strength is at least 0.2.
// SpawnEffect is declared with the other spawners: codes 11 and 21 append
// five delayed Effects and return the last one's index, 12 appends one 11.
#include <cstdint>
#include <vector>

#include "game/shots/object_sprite.h"

// Once per unpaused battle frame, after the Shots: every Effect in list
// order, those appended during the walk included. The age grows first; an
// Effect whose age is still negative waits.
void UpdateEffects();

// The two fighters' ring overlays (side 0, then side 1), then every Effect
// whose age is not negative, in list order.
std::vector<ObjectSprite> EffectSprites();
// Issues those pictures.
void DrawEffects();
