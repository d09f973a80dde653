#include "tools/launcher/core/shortcuts.h"

#include "tests/tools/launcher/launcher_env.h"

#include <gtest/gtest.h>

namespace {

TEST(Shortcuts, DesktopFileNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"テスト.lnk", "テスト.desktop"}, {"Game.LNK", "Game.desktop"}, {"site.url", "site.desktop"},
        {"old.pif", "old.desktop"},     {"readme.txt", "readme.txt.desktop"}, {"a/b.lnk", "a_b.desktop"},
        {"..", ""}, {".", ""}, {".lnk", ""}, {"", ""},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(launcher::DesktopFileName(name), expected) << name;
}

// Exec quoting first escapes ", `, $ and \ inside double quotes and doubles
// %; the string escapes of the entry then double every backslash.
TEST(Shortcuts, ExecArgumentsAreQuotedAndEscaped) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/My Game/game", R"("/opt/My Game/game")"},
        {R"(/opt/say "hi")", R"("/opt/say \\"hi\\"")"},
        {"/opt/$HOME/`x`", R"("/opt/\\$HOME/\\`x\\`")"},
        {R"(/opt/a\b)", R"("/opt/a\\\\b")"},
        {"/opt/100%/%f", R"("/opt/100%%/%%f")"},
        {"/opt/ゲーム", R"("/opt/ゲーム")"},
    };
    for (const auto& [argument, expected] : cases) {
        EXPECT_EQ(launcher::QuoteExecArgument(argument), expected) << argument;
    }
}

TEST(Shortcuts, EntryStartsTheTargetOrOpensIt) {
    EXPECT_EQ(launcher::DesktopEntry("テスト", "/g/T G/game", "/g/T G", true),
              "[Desktop Entry]\nType=Application\nName=テスト\nExec=\"/g/T G/game\"\nPath=/g/T G\n"
              "Terminal=false\nCategories=Game;\n");
    EXPECT_EQ(launcher::DesktopEntry("説明", "/g/readme.txt", "/g", false),
              "[Desktop Entry]\nType=Application\nName=説明\nExec=xdg-open \"/g/readme.txt\"\nPath=/g\n"
              "Terminal=false\nCategories=Game;\n");
}

TEST(Shortcuts, TargetsStayInsideTheInstallFolder) {
    EXPECT_EQ(launcher::TargetPath("/g/Game", "/etc/passwd"), "/g/Game//etc/passwd");
    EXPECT_EQ(launcher::TargetPath("/g/Game", "bin/game"), "/g/Game/bin/game");
}

TEST(Shortcuts, MenuFolderFallsBackToTheGameFolderName) {
    launcher_test::UserFolders folders;
    const auto maker = folders.data() / "applications" / "ミルヴァ";
    EXPECT_EQ(launcher::GameMenuFolder("テスト", "TestGame"), maker / "テスト");
    EXPECT_EQ(launcher::GameMenuFolder("A/B", "TestGame"), maker / "A_B");
    EXPECT_EQ(launcher::GameMenuFolder("", "TestGame"), maker / "TestGame");
    EXPECT_EQ(launcher::GameMenuFolder("..", "TestGame"), maker / "TestGame");
}

}  // namespace
