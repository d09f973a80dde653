#pragma once
// Globals that the result screen writes but the title menu owns: the place of
// the last ranking entry and the scene the animation viewer goes on to. They
// stand here only until the title menu lands, and go when it does.
#include <cstdint>

// The place of the last arcade score entered; 10 and above for none.
extern int32_t rankingPlace;
// The scene the animation viewer goes on to when it ends.
extern int32_t animationNextScene;
