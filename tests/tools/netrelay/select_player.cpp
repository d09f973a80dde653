#include "tests/tools/netrelay/select_player.h"

#include <algorithm>
#include <string>

#include "engine/devices/network.h"
#include "game/flow/run_state.h"
#include "game/screens/select_screen.h"

namespace {

// A tap lasts as long as a finger rests on a key: always long enough for a
// send of either line speed to sample it.
constexpr int64_t kTapMinMs = 70, kTapMaxMs = 160;
// A player waiting on "connecting" this long gives up; one that sees
// "disconnected" presses X until the title menu comes back.
constexpr int64_t kGiveUpConnectingMs = 25000;
constexpr int64_t kDisconnectedTapEveryMs = 600;

// Side 0's LEFT and side 1's RIGHT turn their own wheel onward.
InputWord Onward(int side) { return side == 0 ? INPUT_LEFT : INPUT_RIGHT; }
InputWord Backward(int side) { return side == 0 ? INPUT_RIGHT : INPUT_LEFT; }

}  // namespace

SelectPlayer::SelectPlayer(uint32_t matchSeed, int side)
    : side_(side), random_(matchSeed * 2654435761u + static_cast<uint32_t>(side) * 40503u + 1u) {
    // What both players of a match share: who comes late and by how much, who
    // chooses the stage, and the moments at which both press at once.
    std::mt19937 shared(matchSeed);
    const auto sharedBetween = [&shared](int64_t low, int64_t high) {
        return std::uniform_int_distribution<int64_t>(low, high)(shared);
    };
    const int lateSide = static_cast<int>(shared() % 2);
    const int64_t lateBy = shared() % 4 == 0 ? sharedBetween(0, 400) : sharedBetween(0, 10000);
    enterMs_ = side == lateSide ? lateBy : 0;
    const int stageChooser = static_cast<int>(shared() % 3);  // side 0, side 1 or both
    choosesStage_ = stageChooser == 2 || stageChooser == side;
    std::string both;
    // Both press a direction at the same moment and hold it, across the
    // moment the screens connect.
    if (shared() % 3 == 0) {
        const int64_t from = lateBy + sharedBetween(-800, 600);
        const int64_t to = from + sharedBetween(1000, 4000);
        const InputWord keys[] = {INPUT_LEFT, INPUT_RIGHT};
        const InputWord key = keys[shared() % 2], otherKey = keys[shared() % 2];
        timeline_.push_back({from, to, side == 0 ? key : otherKey});
        both += " both-hold-at-connect";
    }
    // Both tap at the same moment while choosing.
    for (int k = static_cast<int>(shared() % 4); k > 0; --k) {
        const int64_t at = lateBy + sharedBetween(1200, 7000);
        const InputWord keys[] = {INPUT_LEFT, INPUT_RIGHT, INPUT_Z, INPUT_LEFT};
        const InputWord key = keys[shared() % 4], otherKey = keys[shared() % 4];
        timeline_.push_back({at, at + 100, side == 0 ? key : otherKey});
        both += " both-tap";
    }

    // This player's own habits.
    if (Chance(0.35)) {
        const InputWord keys[] = {Onward(side), Backward(side), INPUT_Z, INPUT_S, INPUT_UP, INPUT_X};
        // X only rarely: held while connecting it leaves the screen.
        const InputWord key = keys[Between(0, Chance(0.1) ? 5 : 4)];
        const int64_t from = lateBy + Between(-1500, 1200);
        timeline_.push_back({from, from + Between(400, 4000), key});
        description_ += " hold-at-connect";
    }
    if (Chance(0.25)) {
        const int64_t every = Between(300, 2000);
        int64_t at = enterMs_ + Between(0, 1500);
        for (int64_t n = Between(4, 12); n > 0; --n, at += every) timeline_.push_back({at, at + 100, INPUT_Z});
        description_ += " z-storm";
    }
    takeBacks_ = Chance(0.3) ? (Chance(0.3) ? 2 : 1) : 0;
    takesStageBack_ = Chance(0.12);
    cancels_ = Chance(0.03);
    skipsVersus_ = Chance(0.4);
    if (takeBacks_ > 0) description_ += " takes-back";
    if (takesStageBack_) description_ += " stage-back";
    if (cancels_) description_ += " cancels";
    if (skipsVersus_) description_ += " skips-versus";
    if (choosesStage_) description_ += " stage";
    description_ = "enter " + std::to_string(enterMs_) + description_ + both;
}

SelectPlayer::Sight SelectPlayer::Look() const {
    const bool select = sceneNumber == SCENE_SELECT;
    return {sceneNumber, select ? selectScreen.state : 0,
            select && selectScreen.cursor[side_] >= SELECT_DECIDED_OFFSET, netConnected != 0};
}

void SelectPlayer::PlanTap(int64_t atMs, InputWord word) {
    reactions_.push_back({atMs, atMs + Between(kTapMinMs, kTapMaxMs), word});
}

void SelectPlayer::PlanTurnsThenDecide(int64_t atMs, int maxTurns, InputWord forward, InputWord backward) {
    int64_t at = atMs;
    for (int64_t turns = Between(0, maxTurns); turns > 0; --turns) {
        PlanTap(at, Chance(0.8) ? forward : backward);
        at = reactions_.back().toMs + Between(80, 400);
    }
    PlanTap(at, INPUT_Z);
}

void SelectPlayer::React(const Sight& sight, int64_t nowMs) {
    reactions_.clear();
    lookAgainMs_ = nowMs + Between(1500, 3000);
    if (sight.scene == SCENE_VERSUS && skipsVersus_) {
        PlanTap(nowMs + Between(100, 2500), INPUT_Z);
        return;
    }
    if (sight.scene != SCENE_SELECT || !sight.connected) return;
    if (sight.state == SELECT_CHARACTER && !sight.ownDecided) {
        if (cancels_ && Chance(0.5)) PlanTap(nowMs + Between(500, 3000), INPUT_X);
        else PlanTurnsThenDecide(nowMs + Between(150, 700), 5, Onward(side_), Backward(side_));
    } else if (sight.state == SELECT_CHARACTER && takeBacks_ > 0 && Chance(0.6)) {
        --takeBacks_;
        PlanTap(nowMs + Between(200, 1500), INPUT_X);
    } else if (sight.state == SELECT_STAGE && takesStageBack_) {
        takesStageBack_ = false;
        PlanTap(nowMs + Between(200, 1200), INPUT_X);
    } else if (sight.state == SELECT_STAGE && choosesStage_) {
        PlanTurnsThenDecide(nowMs + Between(200, 900), 4, INPUT_RIGHT, INPUT_LEFT);
    }
    if (!reactions_.empty()) lookAgainMs_ += reactions_.back().toMs - nowMs;
}

InputWord SelectPlayer::Keys(int64_t nowMs) {
    const Sight sight = Look();
    if (!(sight == seen_)) {
        seen_ = sight;
        seenSinceMs_ = nowMs;
        React(sight, nowMs);
    } else if (nowMs >= lookAgainMs_) {
        // Nothing came of the last try (a locked character or stage is
        // refused): look again and try anew.
        React(sight, nowMs);
    }
    std::erase_if(reactions_, [nowMs](const Tap& tap) { return tap.toMs <= nowMs; });
    InputWord word = 0;
    for (const std::vector<Tap>* taps : {&timeline_, &reactions_}) {
        for (const Tap& tap : *taps) {
            if (tap.fromMs <= nowMs && nowMs < tap.toMs) word |= tap.word;
        }
    }
    if (sight.scene == SCENE_SELECT) {
        const bool connecting = sight.state == SELECT_CONNECTING;
        const bool disconnected = sight.state > SELECT_CONNECTING && sight.state < SELECT_DECIDED && !sight.connected;
        const int64_t waited = nowMs - seenSinceMs_;
        if ((connecting && waited > kGiveUpConnectingMs) ||
            (disconnected && waited % kDisconnectedTapEveryMs < kTapMaxMs)) {
            word |= INPUT_X;
        }
    }
    return word;
}
