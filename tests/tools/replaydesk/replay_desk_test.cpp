#include "tools/replaydesk/core/replay_desk.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/temp_dir.h"
#include "tests/tools/replaydesk/replay_fixture.h"

namespace replaydesk {
namespace {

using test::CommentOf;
using test::ReadBytes;
using test::ReplayBytes;
using test::WriteBytes;

// A desk whose file dialog answers with `chosen` and records where it opened.
class ReplayDeskTest : public testing::Test {
protected:
    ReplayDeskTest()
        : desk_([this](const std::string& folder) {
                    chooserFolders_.push_back(folder);
                    return chosen_;
                },
                "/opt/aerial") {}

    std::string AddReplay(const std::string& name, const ReplayHeader& header, size_t frames = 10) {
        WriteBytes(dir_.file(name), ReplayBytes(header, frames));
        return dir_.file(name);
    }

    ::test::TempDir dir_;
    std::optional<std::string> chosen_;
    std::vector<std::string> chooserFolders_;
    ReplayDesk desk_;
};

TEST_F(ReplayDeskTest, UpdateBeforeAnyReplayDoesNothing) {
    EXPECT_FALSE(desk_.Update("comment", true));
    EXPECT_FALSE(desk_.replayShown());
    EXPECT_EQ(desk_.SummaryText(), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(ReplayDeskTest, OpenAsksInTheProgramFolderAndShowsTheChosenReplay) {
    EXPECT_FALSE(desk_.Open());  // cancelled
    EXPECT_FALSE(desk_.replayShown());

    chosen_ = AddReplay("tobra003.rpl", test::SampleHeader());
    EXPECT_TRUE(desk_.Open());
    EXPECT_EQ(chooserFolders_, (std::vector<std::string>{"/opt/aerial", "/opt/aerial"}));
    EXPECT_TRUE(desk_.replayShown());
    EXPECT_EQ(desk_.replayPath(), *chosen_);
    EXPECT_EQ(desk_.SummaryText(),
              "Tobrazel(Ver1.0) \r\nMatch:キルネ(w) vs ベモ \r\nMode :Practice \r\nDamage 1234 (7Hit) \r\n"
              "Date :2005/ 3/ 7/09:05");
    EXPECT_EQ(desk_.CommentText(), "ここにコメントが入ります。");
}

TEST_F(ReplayDeskTest, AFailedLoadKeepsThePreviousReplayAndItsPath) {
    const std::string good = AddReplay("good.rpl", test::SampleHeader());
    WriteBytes(dir_.file("short.rpl"), std::vector<uint8_t>(100, 0x20));
    ASSERT_TRUE(desk_.Load(good));

    chosen_ = dir_.file("short.rpl");
    EXPECT_FALSE(desk_.Open());
    EXPECT_FALSE(desk_.Load(dir_.file("missing.rpl")));
    EXPECT_EQ(desk_.replayPath(), good);

    ASSERT_TRUE(desk_.Update("edited", true));
    EXPECT_EQ(CommentOf(ReadBytes(good)), "edited");
    EXPECT_EQ(ReadBytes(dir_.file("short.rpl")), std::vector<uint8_t>(100, 0x20));
    EXPECT_FALSE(std::filesystem::exists(dir_.file("missing.rpl")));
}

TEST_F(ReplayDeskTest, EditedCommentIsStoredInCp932WithSingleLineFeeds) {
    const std::string path = AddReplay("tobra004.rpl", test::SampleHeader());
    ASSERT_TRUE(desk_.Load(path));
    // The text box hands back LF line ends; CRs and unencodable characters may come from a paste.
    ASSERT_TRUE(desk_.Update("一行目\r\n2\n\xF0\x9F\x98\x80", true));
    EXPECT_EQ(CommentOf(ReadBytes(path)), "\x88\xEA\x8D\x73\x96\xDA\n2\n?");
    EXPECT_EQ(desk_.CommentText(), "一行目\r\n2\r\n?");
}

TEST_F(ReplayDeskTest, AnUneditedCommentKeepsBytesThatUnicodeWouldChange) {
    // NEC-selected and IBM extension duplicates come back from Unicode as
    // other codes; 0x80 and 0xA0 are no CP932 characters at all.
    const std::string stored = "\xED\x40\x87\x90\xFA\x54\x80\xA0";
    ReplayHeader header = test::SampleHeader();
    std::memset(header.comment, 0, sizeof header.comment);
    std::memcpy(header.comment, stored.data(), stored.size());
    const std::string path = AddReplay("tobra005.rpl", header);
    const std::vector<uint8_t> original = ReadBytes(path);
    ASSERT_TRUE(desk_.Load(path));

    ASSERT_TRUE(desk_.Update(desk_.CommentText(), false));
    EXPECT_EQ(ReadBytes(path), original);

    // The same text, once edited, is what Unicode makes of it.
    ASSERT_TRUE(desk_.Update(desk_.CommentText(), true));
    EXPECT_NE(CommentOf(ReadBytes(path)), stored);
}

}  // namespace
}  // namespace replaydesk
