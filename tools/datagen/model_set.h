#pragma once
#include <string>
#include <vector>

#include "tools/datagen/picture_set.h"

namespace datagen {

// The way the stage's one light falls, in the model's space: the game bakes
// it into the model's corner colours as the model loads, with no ambient
// light, so a corner gets the light in the measure that its normal faces
// back against this direction.
constexpr float kStageLightDirection[3] = {-8.0f, -20.0f, 8.0f};
// The least share of that light that any corner of the model gets.
constexpr float kStageModelDimmestLight = 0.72f;

// The stage model "gf/model2.dat": a floating island with four pillars and a
// slowly turning halo above it, in text X format, its materials naming their textures as
// image files that do not exist, so that the game finds them in the model
// texture archive "gf/model.dat" under their keys.
std::vector<uint8_t> StageModelBytes();

// The textures the stage model names, as entries of "gf/model.dat" (the
// picture catalogue holds them, so the archive is written once, whole).
std::vector<Picture> StageModelTextures();

// Writes "gf/model2.dat" below folder; false, with a message on standard
// error, when it cannot be written.
bool WriteModelSet(const std::string& folder);

}  // namespace datagen
