#pragma once
// The eight characters, CharacterId 1 to 8, with the facts that the battle,
// the screens, the data generator and the tests all read: the name their
// picture keys are spelled with, their picture sets, their story and their
// movement constants. Plain data with no other game header, so that the data
// generator paints what the game loads without depending on the game's code.
#include <cstdint>

// The pictures of one character: its archive's numbered body poses
// ("mdl00".."mdlNN") and, for some characters, action frames on larger planes.
struct CharacterFrameSet {
    int32_t frames;
    const char* actionPrefix;  // null: no action frames
    int32_t actions;
    float actionPlaneSize;
};

struct CharacterParams {
    float moveSpeed;
    float dashSpeed;
    float boostSpeed;
    int32_t particleColours[2][2];  // [colour][first, second]
};

struct RosterEntry {
    const char* name;  // lower case, as in "stand_kirune", "bp_kirune", "st_kirune_00"
    CharacterFrameSet pictures;
    int32_t storyPages;  // the pages "st_<name>_00".. of the extra menu's story; 0: none
    CharacterParams params;
};

inline constexpr int32_t CHARACTER_COUNT = 8;

// Entry id - 1 for CharacterId id.
inline constexpr RosterEntry ROSTER[CHARACTER_COUNT] = {
    {"kirune", {59, "act_sw", 21, 100.0f}, 28, {4.0f, 13.0f, 10.0f, {{4, 6}, {2, 3}}}},
    {"bemo", {59, "act_np", 4, 80.0f}, 26, {5.0f, 12.0f, 9.0f, {{2, 4}, {1, 3}}}},
    {"oza", {40, "act_wp", 8, 80.0f}, 26, {4.0f, 10.0f, 9.0f, {{3, 3}, {4, 4}}}},
    {"perila", {53, nullptr, 0, 0.0f}, 19, {2.5f, 10.0f, 8.0f, {{6, 6}, {1, 1}}}},
    {"ruo", {49, nullptr, 0, 0.0f}, 22, {3.0f, 14.0f, 7.0f, {{1, 1}, {6, 6}}}},
    {"torvi", {45, nullptr, 0, 0.0f}, 16, {2.0f, 10.0f, 6.0f, {{4, 4}, {3, 3}}}},
    {"nebu", {74, nullptr, 0, 0.0f}, 22, {2.5f, 13.0f, 10.0f, {{4, 6}, {1, 3}}}},
    {"welo", {57, "act_gn", 20, 80.0f}, 0, {4.0f, 13.0f, 10.0f, {{2, 3}, {1, 2}}}},
};

// The entry of CharacterId 1..8; null for any other id.
constexpr const RosterEntry* FindRosterEntry(int32_t characterId) {
    return characterId >= 1 && characterId <= CHARACTER_COUNT ? &ROSTER[characterId - 1] : nullptr;
}
