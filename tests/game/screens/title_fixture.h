#pragma once
// The title scene run headless: a scene harness, a silent sound-effect table
// whose per-frame flags show which effects a frame played, and replay files
// written into the program folder's "replay".
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "game/flow/replay_header.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/flow/sound_tables.h"
#include "game/screens/title_menu.h"
#include "tests/support/scene_harness.h"

namespace test {

// A replay header the list accepts.
inline ReplayHeader ListedReplayHeader(int32_t p1 = 1, int32_t p2 = 2) {
    ReplayHeader h;
    h.formatId = REPLAY_FORMAT_ID;
    std::snprintf(h.versionText, sizeof h.versionText, "Ver1.0");
    h.p1CharacterId = p1;
    h.p2CharacterId = p2;
    h.p2Colour = 1;
    h.stageNumber = 3;
    h.gameMode = 2;
    h.difficulty = 1;
    h.randomSeed = 1234;
    std::snprintf(h.comment, sizeof h.comment, "comment");
    return h;
}

inline std::vector<uint8_t> HeaderBytes(const ReplayHeader& header) {
    std::vector<uint8_t> bytes(REPLAY_HEADER_SIZE);
    WriteReplayHeader(header, std::span<uint8_t, REPLAY_HEADER_SIZE>(bytes.data(), REPLAY_HEADER_SIZE));
    return bytes;
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The header and `frames` frames of zero words as replay/<name> under folder.
inline void WriteReplay(const std::filesystem::path& folder, const std::string& name, const ReplayHeader& header,
                        int frames = 0) {
    std::vector<uint8_t> bytes = HeaderBytes(header);
    bytes.resize(bytes.size() + REPLAY_FRAME_SIZE * static_cast<size_t>(frames), 0);
    WriteBytes(folder / "replay" / name, bytes);
}

inline std::string ReplayName(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "tobra%03d.rpl", n);
    return name;
}

// `count` listed replays tobra000.rpl on; replay k has side 0's character
// k mod 8 + 1, so entries can be told apart.
inline void WriteReplays(const std::filesystem::path& folder, int count) {
    for (int k = 0; k < count; ++k) WriteReplay(folder, ReplayName(k), ListedReplayHeader(k % 8 + 1), 10);
}

class TitleSceneTest : public testing::Test {
protected:
    void SetUp() override {
        // Every effect has one silent voice, so PlaySe marks the effects a
        // frame played without a sound layer.
        soundOff = 0;
        seTable.assign(SE_COUNT, SeEntry{0, {nullptr}});
    }

    // Enters the title as a scene change does and runs its first frame.
    void EnterTitle(int32_t startState) {
        titleStartState = startState;
        sceneNumber = SCENE_TITLE;
        sceneInitPending = 1;
        harness.RunFrames(1);
    }
    // The main menu after the opening wipe.
    void EnterMainMenu() {
        EnterTitle(TITLE_START_MAIN);
        harness.RunFrames(60);
    }
    // Taps a key for one frame and lets a frame pass with it up, so that the
    // next tap is a new press; the effects of the tap's frame.
    std::set<int32_t> Press(int virtualKey) {
        harness.Tap(virtualKey);
        std::set<int32_t> played = PlayedEffects();
        harness.RunFrames(1);
        return played;
    }
    static std::set<int32_t> PlayedEffects() {
        std::set<int32_t> played;
        for (size_t id = 0; id < seTable.size(); ++id)
            if (seTable[id].playedThisFrame) played.insert(static_cast<int32_t>(id));
        return played;
    }
    // Runs frames until the scene is left (sceneInitPending set again).
    void RunUntilLeft(int limit = 200) {
        for (int frames = 0; frames < limit && !sceneInitPending; ++frames) harness.RunFrames(1);
    }
    std::filesystem::path Folder() const { return harness.folder().path(); }

    SceneHarness harness;
};

}  // namespace test
