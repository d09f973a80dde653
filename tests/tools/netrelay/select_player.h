#pragma once
// A player at one machine of a network match, for the two-process select
// harness: it enters the network select screen at its own time, holds and
// taps keys as people do (a key held while the peer appears, both players
// pressing at the same moment, Z pressed again and again, decisions taken
// back, either player choosing the stage, the versus screen skipped or not)
// and reacts only to what its own screen shows. Everything it does comes
// from the match's seed, and times are counted from the match's start, which
// both players share, so "the same moment" is the same on both machines.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "game/flow/input_words.h"

class SelectPlayer {
public:
    SelectPlayer(uint32_t matchSeed, int side);

    // When this player chooses network play, in ms from the match's start.
    int64_t enterMs() const { return enterMs_; }
    // The keys held on this machine for the frame about to run, `nowMs` from
    // the match's start; the game's globals tell what the screen shows.
    InputWord Keys(int64_t nowMs);
    // A line that tells what kind of player this is.
    const char* describe() const { return description_.c_str(); }

private:
    struct Tap {
        int64_t fromMs, toMs;
        InputWord word;
    };
    // What the screen shows, as far as the player cares.
    struct Sight {
        int32_t scene, state;
        bool ownDecided, connected;
        bool operator==(const Sight&) const = default;
    };

    Sight Look() const;
    void React(const Sight& sight, int64_t nowMs);
    void PlanTurnsThenDecide(int64_t atMs, int maxTurns, InputWord forward, InputWord backward);
    void PlanTap(int64_t atMs, InputWord word);
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
    int64_t Between(int64_t low, int64_t high) { return std::uniform_int_distribution<int64_t>(low, high)(random_); }

    int side_;
    std::mt19937 random_;
    int64_t enterMs_ = 0;
    std::vector<Tap> timeline_;  // taps and holds that do not depend on the screen
    std::vector<Tap> reactions_; // taps planned from what the screen showed last
    Sight seen_{-1, -1, false, false};
    int64_t seenSinceMs_ = 0;    // when the screen last changed
    int64_t lookAgainMs_ = 0;    // when an unchanged screen is reacted to anew
    int takeBacks_ = 0;          // decisions this player still takes back
    bool choosesStage_ = false;
    bool takesStageBack_ = false;
    bool cancels_ = false;       // leaves the screen with X while undecided
    bool skipsVersus_ = false;
    std::string description_;
};
