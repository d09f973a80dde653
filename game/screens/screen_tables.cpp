#include "game/screens/screen_tables.h"

const char standPictureKeys[STAND_PICTURE_KEYS][100] = {
    "stand_kirune", "stand_kirune", "stand_bemo", "stand_oza",  "stand_perila",
    "stand_ruo",    "stand_torvi",  "stand_nebu", "stand_welo",
};

// Lines 0 to 2 are the usual ones; line 3 answers a special pairing.
const char conclusionLines[9][CONCLUSION_LINES_PER_CHARACTER][CONCLUSION_LINE_SIZE] = {
    {},
    {"Too slow. The sky belongs to the quick.", "Keep your wings up next time.",
     "That was a good warm-up. Again?", "We meet in the air at last. I win."},
    {"Did you see that? Not even close!", "Bigger is better, I always said so.",
     "Come back when you can keep up.", "You and me again? Same result."},
    {"Steady hands, steady aim.", "The wind was on my side today.",
     "Nothing personal. Just practice.", "I expected more from you of all people."},
    {"My little lights never miss.", "Round and round they go, and down you go.",
     "Thank you for the dance.", "Seven lights against one. Hardly fair."},
    {"Two of me are better than one of you.", "You hit the wrong one.",
     "Try to guess which one is real next time.", "Even the real me was bored."},
    {"Slow and sure wins the day.", "Patience is a weapon too.",
     "I never needed to hurry.", "You rushed. You always rush."},
    {"Out of the dark, into your way.", "The night sky is mine.",
     "Did you really think you could hide?", "Back to the shadows with you."},
    {"A clean shot from far away.", "Distance is everything.",
     "One shot, one fall.", "I had you in my sights from the start."},
};

const char* StandPictureKey(int32_t characterId) {
    return characterId >= 0 && characterId < STAND_PICTURE_KEYS ? standPictureKeys[characterId] : "";
}

const char* ConclusionLine(int32_t characterId, int32_t line) {
    if (characterId < 1 || characterId > 8 || line < 0 || line >= CONCLUSION_LINES_PER_CHARACTER) return "";
    return conclusionLines[characterId][line];
}
