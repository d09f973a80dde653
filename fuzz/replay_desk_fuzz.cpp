// A replay file opened in the replay tool: loading, the summary and comment
// shown, and saving the comment unedited and edited.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/cp932.h"
#include "tests/tools/replaydesk/replay_fixture.h"
#include "tools/replaydesk/core/replay_desk.h"
#include "tools/replaydesk/core/replay_record.h"
#include "tools/replaydesk/core/replay_summary.h"

using replaydesk::ReplayDesk;

namespace {

constexpr const char* kPath = "fuzz.rpl";

ReplayDesk NewDesk() {
    return ReplayDesk([](const std::string&) { return std::optional<std::string>(); }, ".");
}

// The bytes a load keeps: the header and every whole frame record.
std::vector<uint8_t> WholeRecords(const uint8_t* data, size_t size) {
    const size_t frames = (size - REPLAY_HEADER_SIZE) / REPLAY_FRAME_SIZE;
    return {data, data + REPLAY_HEADER_SIZE + frames * REPLAY_FRAME_SIZE};
}

void CheckEditedSave(ReplayDesk& desk, const std::vector<uint8_t>& before) {
    FUZZ_CHECK(desk.Update(desk.CommentText(), true));
    const std::vector<uint8_t> after = fuzz::ReadFile(kPath);
    FUZZ_CHECK(after.size() == before.size());
    // Only the comment field changes: a NUL-terminated text of at most 1023
    // bytes with no CR that was not in the stored comment's line ends, the
    // field's bytes behind its NUL untouched.
    constexpr size_t start = offsetof(ReplayHeader, comment);
    constexpr size_t end = start + REPLAY_COMMENT_SIZE;
    FUZZ_CHECK(std::equal(after.begin(), after.begin() + start, before.begin()));
    FUZZ_CHECK(std::equal(after.begin() + end, after.end(), before.begin() + end));
    const auto nul = std::find(after.begin() + start, after.begin() + end, 0);
    FUZZ_CHECK(nul != after.begin() + end);
    const auto storedEnd = std::find(before.begin() + start, before.begin() + end, 0);
    FUZZ_CHECK(std::count(after.begin() + start, nul, '\r') <= std::count(before.begin() + start, storedEnd, '\r'));
    FUZZ_CHECK(std::equal(nul + 1, after.begin() + end, before.begin() + (nul + 1 - after.begin())));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteFile(kPath, {data, size});
    ReplayDesk desk = NewDesk();
    const bool loaded = desk.Load(kPath);
    FUZZ_CHECK(loaded == (size >= REPLAY_HEADER_SIZE));
    if (!loaded) {
        FUZZ_CHECK(!desk.replayShown() && desk.SummaryText().empty());
        return 0;
    }
    const std::vector<uint8_t> kept = WholeRecords(data, size);
    FUZZ_CHECK(replaydesk::ReplayFileBytes(desk.loadedReplay()) == kept);

    const std::string summary = desk.SummaryText();
    FUZZ_CHECK(fuzz::IsValidUtf8(summary));
    FUZZ_CHECK(replaydesk::FormatReplayDate(desk.loadedReplay().header).size() == 16);
    FUZZ_CHECK(fuzz::IsValidUtf8(desk.CommentText()));

    // An unedited comment is saved byte for byte.
    FUZZ_CHECK(desk.Update("", false));
    FUZZ_CHECK(fuzz::ReadFile(kPath) == kept);
    CheckEditedSave(desk, kept);
    return 0;
}

void WriteFuzzSeeds(fuzz::Seeds& seeds) {
    // The replay tool's sample: a practice match with the game's default
    // comment, and frames of varied words.
    replaydesk::ReplayRecord record;
    record.header = replaydesk::test::SampleHeader();
    for (uint16_t frame = 0; frame < 64; ++frame) {
        record.inputs[0].push_back(static_cast<uint16_t>(frame * 0x0101));
        record.inputs[1].push_back(static_cast<uint16_t>(0xFFFF - frame));
    }
    FUZZ_CHECK(replaydesk::SaveReplay(kPath, record));
    seeds.Add("practice.rpl", fuzz::ReadFile(kPath));

    // An arcade replay with no frames whose comment has several lines and
    // fills its field, as the tool stores an edited one.
    ReplayHeader& h = record.header;
    h.gameMode = 4;
    h.difficulty = 2;
    h.winnerSide = 1;
    std::string longComment;
    while (longComment.size() < 1100) longComment += platform::Utf8ToCp932("一行目\n２行目 abc\n");
    replaydesk::StoreEditedComment(h, longComment);
    record.inputs[0].clear();
    record.inputs[1].clear();
    FUZZ_CHECK(replaydesk::SaveReplay(kPath, record));
    std::vector<uint8_t> arcade = fuzz::ReadFile(kPath);
    seeds.Add("arcade.rpl", arcade);
    arcade.insert(arcade.end(), {1, 2, 3});  // a partial frame record
    seeds.Add("arcade_partial.rpl", arcade);
}
