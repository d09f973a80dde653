#pragma once
// The staff roll (scene 16): the strips of "ed_staff" scrolled up the screen
// to the ending music, then back to the title menu. Z on either side ends it;
// X held on either side runs it five times as fast.
#include <cstdint>

enum StaffRollState : int32_t {
    STAFF_ROLL_SCROLLING = 0,
    STAFF_ROLL_LEAVING = 90,
};

extern int32_t staffRollState;
extern float staffRollScroll;  // s, one a frame (five with X held)
// Puts the roll's state back as it is at program start; its picture is
// forgotten, not released (the texture list frees it).
void ResetStaffRollState();

// Where a strip of the roll is at scroll s; shown is false before its start
// value has passed and once it has left the top of the screen.
struct StaffStrip {
    bool shown;
    int32_t y;  // the strip's centre
};
constexpr int kStaffStripCount = 8;
StaffStrip StaffStripAt(int strip, float s);

void RunStaffRollScene();
