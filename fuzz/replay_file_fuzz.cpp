// A replay file chosen in the game's replay list: read for playback, played
// back frame by frame, and saved again.
#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "game/flow/replay_file.h"
#include "platform/little_endian.h"
#include "game/flow/run_state.h"
#include "platform/paths.h"

namespace {

constexpr const char* kPath = "chosen.rpl";

platform::LocalTime FixedTime() { return {2005, 3, 7, 9, 5}; }

bool HeaderIsZero() {
    std::array<uint8_t, REPLAY_HEADER_SIZE> bytes;
    WriteReplayHeader(replayHeader, bytes);
    return std::ranges::all_of(bytes, [](uint8_t b) { return b == 0; });
}

// What was read saves to a file that reads back with the same words.
void CheckSavedAgain() {
    const std::vector<InputWord> words[2] = {replayInputs[0], replayInputs[1]};
    replayPlayback = 0;
    FUZZ_CHECK(MakeReplayFileName(replayFileName));
    FUZZ_CHECK(WriteReplayFile({1, 100, 2}));
    const std::string saved = replayFileName;
    FUZZ_CHECK(ReadReplayFile(saved.c_str()) == 0);
    FUZZ_CHECK(replayHeader.formatId == REPLAY_FORMAT_ID && replayHeader.winnerSide == 1);
    FUZZ_CHECK(replayInputs[0] == words[0] && replayInputs[1] == words[1]);
    std::filesystem::remove_all("replay");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetLocalTimeSource(FixedTime);
    fuzz::WriteFile(kPath, {data, size});
    if (ReadReplayFile(kPath) != 0) {
        FUZZ_CHECK(HeaderIsZero() && replayInputs[0].empty() && replayInputs[1].empty());
        return 0;
    }
    FUZZ_CHECK(size >= REPLAY_HEADER_SIZE);
    const size_t frames = (size - REPLAY_HEADER_SIZE) / REPLAY_FRAME_SIZE;
    FUZZ_CHECK(replayInputs[0].size() == frames && replayInputs[1].size() == frames);
    for (size_t f = 0; f <= frames; ++f) {
        const uint8_t* record = data + REPLAY_HEADER_SIZE + f * REPLAY_FRAME_SIZE;
        for (int side = 0; side < 2; ++side) {
            const InputWord expected = f < frames ? platform::ReadLe16(record + 2 * side) : 0;
            FUZZ_CHECK(PlaybackReplayInput(side, static_cast<int32_t>(f)) == expected);
        }
    }
    const ReplayMatch match = GetPlaybackMatch();
    FUZZ_CHECK(match.gameMode != MODE_VS_NETWORK);
    FUZZ_CHECK(match.p1CharacterId >= 1 && match.p1CharacterId <= 8 && match.p2CharacterId >= 1 &&
               match.p2CharacterId <= 8);
    CheckSavedAgain();
    return 0;
}

void WriteFuzzSeeds(fuzz::Seeds& seeds) {
    SetLocalTimeSource(FixedTime);
    const ReplayMatch matches[] = {
        {3, 8, 0, 1, 2, MODE_ARCADE, 2, 4321, 0},
        {1, 1, 1, 0, 0, MODE_VS_NETWORK, 0, 0, 1},
    };
    int n = 0;
    for (const ReplayMatch& match : matches) {
        StartReplayRecording(match);
        for (int frame = 0; frame < 90; ++frame) {
            RecordReplayInput(0, static_cast<InputWord>(frame * 37));
            RecordReplayInput(1, static_cast<InputWord>(0x7FF - frame));
        }
        FUZZ_CHECK(MakeReplayFileName(replayFileName));
        FUZZ_CHECK(WriteReplayFile({n, 1500, 9}));
        seeds.AddFile("match" + std::to_string(n++) + ".rpl", platform::ResolvePath(replayFileName));
    }
}
