// The game's save files as another user finds them: the game, run as the
// user nobody, loads its settings, progress and rankings and saves progress
// and rankings, in folders and over files that belong to nobody or to root
// with various permissions. What the user protected stays byte- and
// inode-identical; what a new file could not stand in for is rewritten in
// place; the user's own files are replaced whole.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "game/flow/save_files.h"
#include "tests/support/other_user.h"
#include "tests/support/temp_dir.h"

namespace {

using test::Outcome;

struct SaveFile {
    const char* name;
    size_t size;
};
constexpr SaveFile kSaveFiles[] = {{"config.dat", sizeof(Config)},
                                   {"system.dat", sizeof(SystemData)},
                                   {"ranking.dat", sizeof rankingTables}};

// What the game does with its save files from a start to an arcade result
// entered in the ranking: 0 when it ran.
int StartAndSave(const std::string& folder) {
    if (::chdir(folder.c_str()) != 0) return 2;
    LoadConfig();
    LoadSystemData();
    systemData.extraUnlocked ^= 1;
    SaveSystemData();
    LoadRanking();
    InsertRanking(0, 3, 123456);
    SaveRanking();
    return 0;
}

TEST(SavePermissions, TheGameAsAnotherUserKeepsWhatTheUserProtected) {
    if (!test::IsRoot()) GTEST_SKIP() << "giving files to another user takes the superuser";
    struct Case {
        const char* what;
        uid_t folderOwner;
        std::optional<uid_t> fileOwner;  // none: no save files yet
        mode_t fileMode;
        Outcome config, saved;  // config.dat; system.dat and ranking.dat
    };
    const Case cases[] = {
        {"nobody's read-only files in nobody's folder", test::kNobody, test::kNobody, 0444, Outcome::Left,
         Outcome::Left},
        {"root's files in nobody's folder", test::kNobody, test::kRoot, 0644, Outcome::Left, Outcome::Left},
        {"root's files that anyone may write, in root's folder", test::kRoot, test::kRoot, 0666, Outcome::Left,
         Outcome::InPlace},
        {"nobody's files in nobody's folder", test::kNobody, test::kNobody, 0644, Outcome::Left,
         Outcome::Replaced},
        {"no files yet in nobody's folder", test::kNobody, std::nullopt, 0, Outcome::Created, Outcome::Created},
        {"no files yet in root's folder", test::kRoot, std::nullopt, 0, Outcome::Absent, Outcome::Absent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
        const std::string folder = test::MakeFolder(dir.path().string(), "game", c.folderOwner, 0755);
        ASSERT_NE(folder, "");
        std::vector<test::FileState> before;
        for (const SaveFile& file : kSaveFiles) {
            const std::string path = folder + "/" + file.name;
            if (c.fileOwner) test::PlaceFile(path, std::vector<uint8_t>(file.size, 1), *c.fileOwner, c.fileMode);
            before.push_back(test::StateOf(path));
        }

        ASSERT_EQ(test::RunAsNobody([&] { return StartAndSave(folder); }), 0);

        size_t entries = 0;
        for (size_t i = 0; i < std::size(kSaveFiles); ++i) {
            const test::FileState after = test::StateOf(folder + "/" + kSaveFiles[i].name);
            const Outcome expected = i == 0 ? c.config : c.saved;
            EXPECT_STREQ(test::OutcomeName(test::OutcomeOf(before[i], after)), test::OutcomeName(expected))
                << kSaveFiles[i].name;
            if (expected == Outcome::Replaced || expected == Outcome::Created) {
                EXPECT_EQ(after.owner, test::kNobody) << kSaveFiles[i].name;
            }
            if (expected == Outcome::Replaced) {
                EXPECT_EQ(after.mode, c.fileMode) << kSaveFiles[i].name;
            }
            entries += after.exists ? 1 : 0;
        }
        // No temporary file is left beside them.
        EXPECT_EQ(static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {})), entries);
    }
}

}  // namespace
