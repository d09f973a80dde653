// Plays a fixed set of battles headless through the real battle scene and
// prints the state hash after every frame, so that builds made with other
// compilers, flags or sanitizers can be compared frame by frame.
//
//   battle_trace                  every battle: a line "battle NAME" and then
//                                 one hexadecimal hash per frame
//   battle_trace --fields NAME N  the battle NAME up to its frame N (0 is the
//                                 first), then every field of the battle
//                                 state with a hash of its value, one a line
//
// scripts/determinism.sh compares these lines between builds, and with the
// digest of each battle's lines kept in reference.txt beside this file: a
// change to what a battle computes rewrites it (determinism.sh
// --update-reference). The battles play without the data set, whose pictures
// and models carry no battle state.
//
// The set: every pairing of the characters with random presses, each pairing
// on another stage so that every stage is fought, and the computer against the
// computer on every stage. The presses come from a seeded generator of this
// program's own, never stored, and the game's own generator is left alone;
// characters still played by the stand-in fighter take part as they are, so
// a character or a computer routine that lands joins the set by itself.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/roster.h"
#include "game/battle/battle_scene.h"
#include "game/flow/input_words.h"
#include "game/flow/run_state.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_run.h"
#include "tests/support/computer_opponent.h"

namespace {

constexpr int32_t STAGE_COUNT = 9;
// The whole time limit, the start countdown and the knock-out's wind-down.
constexpr int FRAME_LIMIT = 99 * FRAMES_PER_TIMER_UNIT + 1000;

// Random presses: a word of arrows and buttons held for 1 to 24 frames.
// T is never pressed: the pause menu could quit the battle.
class RandomPresses {
public:
    explicit RandomPresses(uint32_t seed) : state_(seed) {}
    InputWord Word(int side) {
        if (held_[side]-- <= 0) {
            constexpr InputWord kKeys = INPUT_UP | INPUT_DOWN | INPUT_LEFT | INPUT_RIGHT | INPUT_Z | INPUT_X |
                                        INPUT_V | INPUT_C | INPUT_A | INPUT_S;
            word_[side] = static_cast<InputWord>(Next() & kKeys);
            held_[side] = static_cast<int32_t>(Next() % 24);
        }
        return word_[side];
    }

private:
    uint32_t Next() {  // xorshift32
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    uint32_t state_;
    InputWord word_[2] = {0, 0};
    int32_t held_[2] = {0, 0};
};

struct Battle {
    std::string name;
    test::BattleSetup setup;
    bool computers;  // the computer on both sides, else random presses
    uint32_t seed;
};

std::vector<Battle> AllBattles() {
    std::vector<Battle> battles;
    int32_t index = 0;
    for (int32_t a = 1; a <= CHARACTER_COUNT; ++a) {
        for (int32_t b = 1; b <= CHARACTER_COUNT; ++b, ++index) {
            test::BattleSetup setup;
            setup.characters[0] = a;
            setup.characters[1] = b;
            setup.stage = index % STAGE_COUNT;
            const std::string name = "random_c" + std::to_string(a) + "_c" + std::to_string(b) + "_s" +
                                     std::to_string(setup.stage);
            battles.push_back({name, setup, false, static_cast<uint32_t>(1000 + index)});
        }
    }
    for (int32_t stage = 0; stage < STAGE_COUNT; ++stage) {
        test::BattleSetup setup;
        setup.characters[0] = stage % CHARACTER_COUNT + 1;
        setup.characters[1] = (stage * 3 + 1) % CHARACTER_COUNT + 1;
        setup.stage = stage;
        setup.mode = MODE_1P_VS_CPU;
        setup.difficulty = DIFFICULTY_HARD;
        const std::string name = "computer_c" + std::to_string(setup.characters[0]) + "_c" +
                                 std::to_string(setup.characters[1]) + "_s" + std::to_string(stage);
        battles.push_back({name, setup, true, static_cast<uint32_t>(2000 + stage)});
    }
    return battles;
}

// Plays the battle to its end, or only up to its frame `stopAt` when that is
// not negative; returns the hash after every frame run.
std::vector<uint64_t> Play(test::BattleRun& run, const Battle& battle, int stopAt) {
    RandomPresses presses(battle.seed);
    test::ComputerAtSideZero computer(battle.seed * 7919u + 1u);
    if (battle.computers) {
        run.SetScript(computer.Script());
    } else {
        run.SetScript([&presses](int side, int32_t) { return presses.Word(side); });
    }
    SeedRandom(battle.seed);
    run.Start(battle.setup);
    const int limit = stopAt >= 0 ? stopAt + 1 : FRAME_LIMIT;
    for (int frame = 0; frame < limit && run.RunFrame(); ++frame) {
    }
    run.SetScript(nullptr);
    return run.hashes();
}

int PrintAll() {
    test::BattleRun run;
    run.UseRealDrawing(false);  // the picture carries no state that is compared
    for (const Battle& battle : AllBattles()) {
        std::printf("battle %s\n", battle.name.c_str());
        for (const uint64_t hash : Play(run, battle, -1)) {
            std::printf("%016llx\n", static_cast<unsigned long long>(hash));
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int PrintFields(const char* name, int frame) {
    for (const Battle& battle : AllBattles()) {
        if (battle.name != name) continue;
        test::BattleRun run;
        run.UseRealDrawing(false);
        if (static_cast<int>(Play(run, battle, frame).size()) != frame + 1) {
            std::fprintf(stderr, "battle %s ends before its frame %d\n", name, frame);
            return 1;
        }
        for (const test::StateField& field : test::BattleStateFields()) {
            std::printf("%s %016llx\n", field.name.c_str(), static_cast<unsigned long long>(field.hash));
        }
        return 0;
    }
    std::fprintf(stderr, "no battle %s\n", name);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 1) return PrintAll();
    if (argc == 4 && std::strcmp(argv[1], "--fields") == 0) return PrintFields(argv[2], std::atoi(argv[3]));
    std::fprintf(stderr, "usage: battle_trace\n       battle_trace --fields BATTLE FRAME\n");
    return 2;
}
