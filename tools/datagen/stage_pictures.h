#pragma once
// The scenery of the nine battle stages: the textures of "gf/model.dat" that
// the stage models wear (skies, clouds, forest, water, desert, tunnel walls,
// moon and stars, and the seals and blocks of the last stage). Each shows the
// place it stands for, without lettering, and stays dim and soft enough that
// the fighters, the white cores of shots and the HUD read over it.
#include <vector>

#include "tools/datagen/picture_set.h"

namespace datagen {

// The stage textures the battle's stage loading names, in its order.
std::vector<Picture> StagePictures();

}  // namespace datagen
