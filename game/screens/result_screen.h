#pragma once
// The result screen after every battle: the winner's stand picture and
// closing line, five panels that slide in (life, time bonus, best combo,
// score, grade), the replay save on the hyper button, and in the Arcade the
// continue countdown and the step along the ladder, the ranking entry and
// the clear flags. After a playback it only returns to the title.
#include <cstdint>

enum ResultPhase : int32_t {
    RESULT_PHASE_FADE_IN = 10,
    RESULT_PHASE_SHOW = 20,
    RESULT_PHASE_LEAVE = 90,
    RESULT_PHASE_CONTINUE = 110,
    RESULT_PHASE_CONTINUE_LEAVE = 190,
};

// Frames to choose to continue; one shown digit lasts this many.
constexpr int32_t RESULT_CONTINUE_FRAMES = 1199;
constexpr int32_t RESULT_CONTINUE_DIGIT_FRAMES = 120;

struct ResultScreenState {
    int32_t phase = 0;
    uint8_t leavePending = 0;
    float standAlpha = 0;
    float bandAlpha = 0;
    float comboSlide = 0;
    float lifeSlide = 0;
    float gradeSlide = 0;
    float headingSlide = 0;  // also tints the stand picture and times the arcade-loss wait
    float timeSlide = 0;
    float scoreSlide = 0;
    float continueAlpha = 0;
    int32_t continueCountdown = 0;
    uint8_t continueChosen = 0;
    uint8_t replaySaved = 0;  // this battle's replay file has been written
};

extern ResultScreenState resultScreen;
// Puts the screen's state back as it is at program start; its pictures,
// model and font are forgotten, not released (the device lists free them).
void ResetResultScreenState();

void RunResultScene();
void InitResult();
void DrawResult();
void UpdateResult();
void LeaveResult();
