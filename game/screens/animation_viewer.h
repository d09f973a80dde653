#pragma once
// The animation viewer (scene 13): a title picture, two sequences of drifting,
// cross-fading stills with lines of text, and a closing screen of two text
// columns between letterbox bars. Side 0's Z skips to the closing fade; the
// scene that follows is animationNextScene.
#include <cstdint>

enum AnimationPhase : int32_t {
    ANIMATION_TITLE = 5,
    ANIMATION_FIRST = 10,
    ANIMATION_SECOND = 20,
    ANIMATION_CLOSING = 30,
    ANIMATION_LEAVING = 90,
};

extern int32_t animationPhase;
extern int32_t animationTimer;  // frames in the current phase
extern float animationScroll;   // drift of the stills
// Puts the viewer's state back as it is at program start; its pictures are
// forgotten, not released (the texture list frees them).
void ResetAnimationViewerState();

// The stills drawn in a sequence phase at timer t: `base` opaque, then
// `next` over it at alpha `nextAlpha`.
struct StillPair {
    int32_t base, next, nextAlpha;
};
StillPair AnimationStills(int32_t phase, int32_t t);

// The alpha of a text line shown while a < t < b: rising by 12 a frame over
// its first 20 frames, 240, then falling over its last 20.
int32_t AnimationLineAlpha(int32_t t, int32_t a, int32_t b);

void RunAnimationScene();
