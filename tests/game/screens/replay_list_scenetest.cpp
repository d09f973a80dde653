// The title's replay list: which files it lists, how the cursor pages through
// them, the start of a playback and the way back to the list.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <numeric>
#include <random>

#include "engine/graphics/font.h"
#include "engine/graphics/texture.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/flow/replay_file.h"
#include "game/flow/transitions.h"
#include "game/screens/replay_list.h"
#include "platform/keyboard.h"
#include "platform/safe_file.h"
#include "tests/game/screens/title_fixture.h"
#include "tests/support/fake_glyphs.h"
#include "tests/support/hostile_files.h"

namespace {

namespace fs = std::filesystem;
using platform::VK_DOWN;
using platform::VK_LEFT;
using platform::VK_RIGHT;
using platform::VK_UP;
using test::ListedReplayHeader;
using test::ReplayName;
using test::WriteReplay;
using Effects = std::set<int32_t>;

struct ReplayListTest : test::TitleSceneTest {
    fs::path ReplayFolder() const { return Folder() / "replay"; }

    // From the main menu into the list.
    void OpenList() {
        EnterMainMenu();
        Press(VK_DOWN);
        Press(VK_DOWN);
        Press('Z');
    }
};

// ---- Scan ---------------------------------------------------------------------

TEST_F(ReplayListTest, ScanListsFullHeadersOfTheFormatSortedByName) {
    ScanReplays();
    EXPECT_TRUE(replayHeaders.empty());  // an empty folder

    ReplayHeader other = ListedReplayHeader();
    other.formatId = 2000;
    WriteReplay(Folder(), "c.rpl", ListedReplayHeader(3));
    WriteReplay(Folder(), "a.RPL", ListedReplayHeader(1));  // the suffix in any case
    WriteReplay(Folder(), "b.rpl", other);
    WriteReplay(Folder(), "d.rpl.bak", ListedReplayHeader());
    WriteReplay(Folder(), "rpl", ListedReplayHeader());
    fs::create_directory(ReplayFolder() / "dir.rpl");
    fs::create_symlink("c.rpl", ReplayFolder() / "link.rpl");
    std::vector<uint8_t> shortFile = test::HeaderBytes(ListedReplayHeader(4));
    shortFile.pop_back();
    test::WriteBytes(ReplayFolder() / "e.rpl", shortFile);

    ScanReplays();
    EXPECT_EQ(replayFileNames, (std::vector<std::string>{"a.RPL", "c.rpl"}));
    EXPECT_EQ(replayPaths, (std::vector<std::string>{"replay/a.RPL", "replay/c.rpl"}));
    ASSERT_EQ(replayHeaders.size(), 2u);
    EXPECT_EQ(replayHeaders[0].p1CharacterId, 1);
    EXPECT_EQ(replayHeaders[1].p1CharacterId, 3);

    fs::remove_all(ReplayFolder());
    ScanReplays();
    EXPECT_TRUE(replayHeaders.empty());  // no folder at all
}

TEST_F(ReplayListTest, ScanKeepsTheFirstHundredByName) {
    std::vector<int> order(150);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    for (int n : order) WriteReplay(Folder(), ReplayName(n), ListedReplayHeader(n % 8 + 1));
    ScanReplays();
    ASSERT_EQ(replayHeaders.size(), size_t{REPLAY_LIST_MAX});
    ASSERT_EQ(replayFileNames.size(), size_t{REPLAY_LIST_MAX});
    for (int n = 0; n < REPLAY_LIST_MAX; ++n) EXPECT_EQ(replayFileNames[static_cast<size_t>(n)], ReplayName(n));
    EXPECT_EQ(replayHeaders[99].p1CharacterId, 99 % 8 + 1);
}

TEST_F(ReplayListTest, AFileThatCannotBeOpenedIsSkippedAndTheScanGoesOn) {
    test::WriteReplays(Folder(), 6);
    fs::permissions(Folder(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(ReplayFolder(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(ReplayFolder() / ReplayName(3), fs::perms::none);
    // The scan runs in a child without the right to read that file (an
    // administrator gives that right up first).
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) std::_Exit(100);
            ScanReplays();
            std::_Exit(static_cast<int>(replayHeaders.size()));
        },
        testing::ExitedWithCode(5), "");
}

// A backslash in a name is part of the name: the file is opened as found,
// inside the replay folder, and the replays after it stay listed.
TEST_F(ReplayListTest, NamesWithABackslashAreOpenedAsFoundInsideTheFolder) {
    WriteReplay(Folder(), "a.rpl", ListedReplayHeader(1));
    WriteReplay(Folder(), "b\\c.rpl", ListedReplayHeader(2));
    WriteReplay(Folder(), "..\\outside.rpl", ListedReplayHeader(3));
    WriteReplay(Folder(), "z.rpl", ListedReplayHeader(4));
    test::WriteBytes(Folder() / "outside.rpl", test::HeaderBytes(ListedReplayHeader(8)));  // never to be read
    ScanReplays();
    EXPECT_EQ(replayFileNames, (std::vector<std::string>{"..\\outside.rpl", "a.rpl", "b\\c.rpl", "z.rpl"}));
    std::vector<int32_t> characters;
    for (const ReplayHeader& h : replayHeaders) characters.push_back(h.p1CharacterId);
    EXPECT_EQ(characters, (std::vector<int32_t>{3, 1, 2, 4}));
    EXPECT_EQ(ReadReplayFileAt(replayPaths[2]), 0);
    EXPECT_EQ(replayHeader.p1CharacterId, 2);
}

// A replay swapped for a FIFO after the scan is unreadable when chosen: the
// title stays, at once.
TEST_F(ReplayListTest, AReplaySwappedForAFifoIsUnreadableAtOnce) {
    test::WriteReplays(Folder(), 2);
    ScanReplays();
    ASSERT_EQ(replayPaths.size(), 2u);
    fs::remove(replayPaths[1]);
    test::MakeFifo(replayPaths[1]);
    EXPECT_BOUNDED(ReadReplayFileAt(replayPaths[1]) + 10, 9);
}

// A replay save killed at its rename leaves its temporary in the folder; the
// scan removes it, and what the replay tool left beside a listed replay, but
// not one that a running save holds, another user's, a temporary of a file
// that is no replay, or a user's own file named like a temporary of a replay
// that no writer makes.
TEST_F(ReplayListTest, TheScanRemovesWhatSavesKilledAtTheirRenameLeft) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The new file is flushed just before its rename.
        platform::syncCall = [](int) -> int {
            ::raise(SIGKILL);
            return -1;
        };
        StartReplayRecording(ReplayMatch{1, 2, 0, 0, 1, 0, 0, 5, 0});
        RecordReplayInput(0, 1);
        RecordReplayInput(1, 2);
        std::snprintf(replayFileName, sizeof replayFileName, "replay\\tobra000.rpl");
        WriteReplayFile(ReplayOutcome{});
        std::_Exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_TRUE(fs::exists(ReplayFolder() / ".tobra000.rpl.tmp0"));

    WriteReplay(Folder(), "tobra001.rpl", ListedReplayHeader(1));
    WriteReplay(Folder(), "best match.rpl", ListedReplayHeader(2));
    const std::vector<uint8_t> bytes{1, 2, 3};
    for (const char* name : {".tobra001.rpl.tmp1", ".tobra002.rpl.tmp0", ".notes.txt.tmp0", ".tobra001.rpl.swp",
                             ".best match.rpl.tmp4", ".my notes.rpl.tmp0", ".tobra999.rpl.tmp0", ".Tobra003.rpl.tmp0"})
        test::WriteBytes(ReplayFolder() / name, bytes);
    const int held = ::open((ReplayFolder() / ".tobra001.rpl.tmp1").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);  // a save still running
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown((ReplayFolder() / ".tobra002.rpl.tmp0").c_str(), 65534, 65534), 0);
    }

    ScanReplays();
    ::close(held);
    EXPECT_EQ(replayFileNames, (std::vector<std::string>{"best match.rpl", "tobra001.rpl"}));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(ReplayFolder())) left.push_back(entry.path().filename());
    std::vector<std::string> expected = {".Tobra003.rpl.tmp0", ".my notes.rpl.tmp0", ".notes.txt.tmp0",
                                         ".tobra001.rpl.swp",  ".tobra001.rpl.tmp1", ".tobra999.rpl.tmp0",
                                         "best match.rpl",     "tobra001.rpl"};
    if (root) expected.push_back(".tobra002.rpl.tmp0");
    std::sort(left.begin(), left.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
}

// ---- Navigation ---------------------------------------------------------------

TEST_F(ReplayListTest, CursorPagesThroughTheListWithWraps) {
    struct Step {
        int key;
        int32_t page, row;
        bool newPage;  // the page fades in anew
    };
    struct Case {
        int files;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {7,
         {{VK_UP, 1, 1, true},
          {VK_DOWN, 0, 0, true},
          {VK_DOWN, 0, 1, false},
          {VK_DOWN, 0, 2, false},
          {VK_DOWN, 0, 3, false},
          {VK_DOWN, 0, 4, false},
          {VK_RIGHT, 1, 1, true},
          {VK_LEFT, 0, 1, true},
          {VK_LEFT, 1, 1, true},
          {VK_UP, 1, 0, false},
          {VK_UP, 0, 4, true}}},
        {5,
         {{VK_UP, 0, 4, true},
          {VK_DOWN, 0, 0, true},
          {VK_DOWN, 0, 1, false},
          {VK_RIGHT, 0, 1, true},
          {VK_LEFT, 0, 1, true}}},
        {1, {{VK_UP, 0, 0, true}, {VK_DOWN, 0, 0, true}, {VK_RIGHT, 0, 0, true}, {VK_LEFT, 0, 0, true}}},
        {10,
         {{VK_LEFT, 1, 0, true},
          {VK_UP, 0, 4, true},
          {VK_RIGHT, 1, 4, true},
          {VK_DOWN, 0, 0, true},
          {VK_UP, 1, 4, true},
          {VK_UP, 1, 3, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.files << " files");
        fs::remove_all(ReplayFolder());
        test::WriteReplays(Folder(), c.files);
        OpenList();
        ASSERT_EQ(titleState, TITLE_REPLAY_LIST);
        ASSERT_EQ(replayPage, 0);
        ASSERT_EQ(titleCursor, 0);
        harness.RunFrames(30);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            SCOPED_TRACE(testing::Message() << "step " << i);
            EXPECT_EQ(Press(step.key), Effects{SE_CURSOR});
            EXPECT_EQ(replayPage, step.page);
            EXPECT_EQ(titleCursor, step.row);
            // Reset to 0 by the move, then a fade step in its frame and the next.
            if (step.newPage) {
                EXPECT_FLOAT_EQ(replayListAlpha, 0.1f);
            } else {
                EXPECT_GT(replayListAlpha, 0.1f);
            }
            harness.RunFrames(30);
        }
        EXPECT_EQ(Press('X'), Effects{SE_CANCEL});
        EXPECT_EQ(titleState, TITLE_MAIN);
        EXPECT_EQ(titleCursor, MAIN_ITEM_REPLAYS);
    }
}

// ---- Comment sheet ------------------------------------------------------------

// Whether any pixel of the sheet's rows [top, bottom) is set.
bool SheetRowsInked(int top, int bottom) {
    void* bits = nullptr;
    int pitch = 0;
    if (!commentSheet || !commentSheet->Lock(&bits, &pitch)) return false;
    const auto* bytes = static_cast<const uint8_t*>(bits);
    bool inked = std::any_of(bytes + top * pitch, bytes + bottom * pitch, [](uint8_t b) { return b != 0; });
    commentSheet->Unlock();
    return inked;
}

TEST_F(ReplayListTest, TheSheetShowsTheHighlightedCommentAsPlainText) {
    // Every glyph a 8 x 10 block on 16-pixel lines: line 2 holds the comment.
    SetGlyphProviderFactory([](const char*, int, bool, bool) -> std::unique_ptr<platform::GlyphProvider> {
        return std::make_unique<test::FakeGlyphProvider>();
    });
    // A comment that fills its field with no end, made of conversions that
    // would write through a format.
    ReplayHeader full = ListedReplayHeader();
    for (size_t i = 0; i < REPLAY_COMMENT_SIZE; ++i) full.comment[i] = "%n%s"[i % 4];
    WriteReplay(Folder(), ReplayName(0), full);
    ReplayHeader blank = ListedReplayHeader();
    blank.comment[0] = '\0';
    WriteReplay(Folder(), ReplayName(1), blank);

    OpenList();
    EXPECT_TRUE(SheetRowsInked(0, 16));  // the file name
    EXPECT_TRUE(SheetRowsInked(32, 48));
    Press(VK_DOWN);
    EXPECT_TRUE(SheetRowsInked(0, 16));
    EXPECT_FALSE(SheetRowsInked(32, 256));  // the sheet was cleared first
    SetGlyphProviderFactory(nullptr);
}

// ---- Playback ---------------------------------------------------------------

TEST_F(ReplayListTest, AChosenReplayPlaysAndTheTitleReopensOnIt) {
    test::WriteReplays(Folder(), 15);
    ReplayHeader network = ListedReplayHeader(6, 7);
    network.gameMode = MODE_VS_NETWORK;
    network.p1Colour = 1;
    network.stageNumber = 8;
    WriteReplay(Folder(), ReplayName(12), network, 25);
    OpenList();
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    Press(VK_DOWN);
    Press(VK_DOWN);
    EXPECT_EQ(Press('Z'), Effects{SE_DECIDE});
    EXPECT_EQ(titleState, TITLE_LEAVING);
    RunUntilLeft();

    EXPECT_EQ(sceneNumber, SCENE_BATTLE);
    EXPECT_EQ(playedReplayIndex, 12);
    EXPECT_EQ(replayPlayback, 1);
    EXPECT_EQ(replayListReturn, 1);
    EXPECT_EQ(gameMode, MODE_1P_VS_2P);  // a network match plays on one machine
    EXPECT_EQ(difficulty, 1);
    EXPECT_EQ(players[0].characterId, 6);
    EXPECT_EQ(players[1].characterId, 7);
    EXPECT_EQ(players[0].colour, 1);
    EXPECT_EQ(players[1].colour, 1);
    EXPECT_EQ(stageNumber, 8);
    EXPECT_EQ(replayInputs[0].size(), 25u);

    // The battle and the result screen are over: the title again.
    EnterTitle(TITLE_START_MAIN);
    EXPECT_EQ(titleState, TITLE_REPLAY_LIST);
    EXPECT_EQ(replayPage, 2);
    EXPECT_EQ(titleCursor, 2);
    EXPECT_EQ(replayListReturn, 0);
}

TEST_F(ReplayListTest, TheReopenedListIsClampedToWhatIsLeft) {
    struct Case {
        int filesLeft;
        int32_t state, page, row;
    };
    const Case cases[] = {{15, TITLE_REPLAY_LIST, 2, 2}, {4, TITLE_REPLAY_LIST, 0, 3}, {0, TITLE_NO_REPLAYS, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.filesLeft << " files left");
        fs::remove_all(ReplayFolder());
        test::WriteReplays(Folder(), c.filesLeft);
        playedReplayIndex = 12;
        replayListReturn = 1;
        EnterTitle(TITLE_START_MAIN);
        EXPECT_EQ(titleState, c.state);
        EXPECT_EQ(replayPage, c.page);
        EXPECT_EQ(titleCursor, c.row);
        // The list works from there.
        if (c.state == TITLE_REPLAY_LIST) {
            Press(VK_DOWN);
            EXPECT_LE(HighlightedReplayIndex(), c.filesLeft - 1);
        }
    }
}

TEST_F(ReplayListTest, AReplayUnreadableWhenChosenKeepsTheTitle) {
    test::WriteReplays(Folder(), 3);
    OpenList();
    Press(VK_DOWN);
    Press(VK_DOWN);
    ReplayHeader damaged = ListedReplayHeader();
    damaged.p1CharacterId = 0;  // no such character
    WriteReplay(Folder(), ReplayName(2), damaged);
    Press('Z');
    RunUntilLeft();
    EXPECT_EQ(PlayedEffects(), Effects{SE_ERROR});
    EXPECT_EQ(sceneNumber, SCENE_TITLE);
    EXPECT_EQ(sceneInitPending, 1);
    EXPECT_EQ(replayPlayback, 0);
    EXPECT_TRUE(replayInputs[0].empty());

    // The title starts again on the rescanned list, where the damaged file
    // is still listed (its header is whole), on the last entry.
    harness.RunFrames(1);
    EXPECT_EQ(titleState, TITLE_REPLAY_LIST);
    EXPECT_EQ(HighlightedReplayIndex(), 2);
    EXPECT_EQ(replayListReturn, 0);
}

}  // namespace
