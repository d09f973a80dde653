#pragma once
#include <string>

// Writes the placeholder sound packs "se.dat" (every sound-effect key of the
// game) and "bgm.dat" (every music key) into `folder`: short synthesised
// sounds, each different, the music pieces a few seconds long and made to
// loop. False when a file cannot be written.
namespace datagen {

bool WriteSoundSet(const std::string& folder);

}  // namespace datagen
