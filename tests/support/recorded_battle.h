#pragma once
// A battle fixture for scripted fights between two characters, run as the
// battle scene runs them: recorded into a replay with each frame's two
// words, or played back from a replay read, with the state hash after every
// frame.
#include <filesystem>
#include <string>
#include <vector>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_objects_fixture.h"
#include "tests/support/object_battle.h"
#include "tests/support/temp_dir.h"

namespace test {

// Makes a folder the current one for the life of the object.
class InFolder {
public:
    explicit InFolder(const std::filesystem::path& folder) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

class RecordedBattleFixture : public BattleObjectsFixture {
protected:
    static constexpr int32_t FRAME_LIMIT = 30000;

    void SetUp() override {
        BattleObjectsFixture::SetUp();
        spawnTrace = nullptr;  // a long run: keep no trace
        replayPlayback = 0;
    }
    void TearDown() override {
        replayPlayback = 0;
        BattleObjectsFixture::TearDown();
    }

    // A battle of the match with no time limit, until a knock-out ends it:
    // recorded with the words of `word` (side, frame), or, during a
    // playback, with the words of the replay read. Returns the state hash
    // after every frame.
    template <class WordOf>
    std::vector<uint64_t> Battle(const ReplayMatch& match, WordOf word) {
        for (int side = 0; side < 2; ++side) {
            players[side].characterId = side == 0 ? match.p1CharacterId : match.p2CharacterId;
            players[side].colour = side == 0 ? match.p1Colour : match.p2Colour;
            ResetPlayerForBattle(side);
        }
        gameMode = match.gameMode;
        difficulty = match.difficulty;
        battleTimer = 100;
        SeedRandom(static_cast<unsigned>(match.randomSeed));
        if (!replayPlayback) StartReplayRecording(match);
        std::vector<uint64_t> hashes;
        for (int32_t frame = 0; frame < FRAME_LIMIT && !battleOver; ++frame) {
            // The frame's input comes first; the characters act on it.
            for (int side = 0; side < 2; ++side) {
                const InputWord w = replayPlayback ? PlaybackReplayInput(side, frame) : word(side, frame);
                if (!replayPlayback) RecordReplayInput(side, w);
                Press(side, w);
            }
            RunObjectFrame([](int32_t) {});
            hashes.push_back(HashBattleState());
        }
        return hashes;
    }

    // The battle that `first` was, ended by a knock-out: its loser lies
    // knocked out with no life left for 50 frames; run again from a fresh
    // start (after `reset`) it gives the same states frame by frame, and so
    // does the playback of its saved recording. `read` is the match read back.
    template <class WordOf, class Reset>
    void ExpectKnockOutThatReplays(const ReplayMatch& match, WordOf word, const std::vector<uint64_t>& first,
                                   Reset reset, ReplayMatch* read) {
        const int32_t loser = players[0].state == PLAYER_KNOCKED_OUT ? 0 : 1;
        ASSERT_EQ(players[loser].state, PLAYER_KNOCKED_OUT);
        EXPECT_LE(players[loser].life, 0);
        EXPECT_EQ(players[loser].stateTimer, 50);

        TearDown();
        SetUp();
        reset();
        const std::vector<uint64_t> second = Battle(match, word);
        ASSERT_EQ(first.size(), second.size());
        EXPECT_EQ(first, second);

        // Saved as the result screen does, read back from the file and played.
        std::vector<uint64_t> replayed;
        PlayBackSavedReplay(read, &replayed);
        EXPECT_EQ(replayed, first);
    }

    // The recording of the battle just run, saved as the result screen saves
    // it (the side not knocked out has won), read back from the file into a
    // fresh battle and played: `match` is the match read, `hashes` the state
    // hashes of the playback.
    void PlayBackSavedReplay(ReplayMatch* match, std::vector<uint64_t>* hashes) {
        TempDir dir;
        const InFolder programFolder(dir.path());
        const int32_t winnerSide = players[0].state == PLAYER_KNOCKED_OUT ? 1 : 0;
        const PlayerRecord& winner = players[winnerSide];
        ASSERT_TRUE(MakeReplayFileName(replayFileName));
        ASSERT_TRUE(WriteReplayFile({winnerSide, winner.bestComboDamage, winner.bestComboHits}));
        // The fresh battle starts with the game's state reset: only the file
        // carries the recording over.
        const std::string saved = replayFileName;
        TearDown();
        SetUp();
        ASSERT_EQ(ReadReplayFile(saved.c_str()), 0);
        replayPlayback = 1;
        *match = GetPlaybackMatch();
        *hashes = Battle(*match, [](int, int32_t) { return InputWord{0}; });
    }
};

}  // namespace test
