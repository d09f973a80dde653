#include "tools/datagen/picture_set.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "engine/graphics/image.h"
#include "game/arena/hud_sheets.h"
#include "game/arena/roster.h"
#include "game/screens/result_sheets.h"
#include "game/screens/title_sheets.h"
#include "tests/support/temp_dir.h"

namespace {

using datagen::Picture;

// The whole set is written once; every test reads it back through the
// engine's own archive reader.
class PictureSetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new test::TempDir();
        written = datagen::WritePictureSet(dir->path().string());
    }
    static void TearDownTestSuite() { delete dir; }

    struct Loaded {
        int width = 0, height = 0, pitch = 0;
        std::vector<uint8_t> pixels;  // B, G, R, A
        const uint8_t* At(int x, int y) const { return &pixels[static_cast<size_t>(y) * pitch + x * 4]; }
    };

    // Reads a key the way the game names it: "gf\\..." relative to the folder.
    static Loaded Load(const std::string& archive, const std::string& key) {
        Loaded out;
        Image* image = CreateImage();
        std::string path = dir->path().string() + "/" + archive;
        const char* error = image->LoadFromArchive(path.c_str(), key.c_str(), nullptr);
        EXPECT_EQ(error, nullptr) << archive << " " << key;
        uint8_t* px = nullptr;
        image->GetSize(&out.width, &out.height);
        image->GetPixels(&px, &out.pitch);
        if (px) out.pixels.assign(px, px + static_cast<size_t>(out.pitch) * out.height);
        image->Release();
        return out;
    }

    // Opaque-enough pixels inside a rectangle [x0, x1) x [y0, y1).
    static int Visible(const Loaded& p, int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += p.At(x, y)[3] >= 128;
        return n;
    }

    static test::TempDir* dir;
    static bool written;
};

test::TempDir* PictureSetTest::dir = nullptr;
bool PictureSetTest::written = false;

TEST_F(PictureSetTest, EveryCataloguedPictureReadsBackAtItsSizeAndShowsSomething) {
    ASSERT_TRUE(written);
    for (const Picture& p : datagen::PictureCatalogue()) {
        Loaded img = Load("gf\\" + p.archive.substr(3), p.key);
        ASSERT_EQ(img.width, p.width) << p.key;
        ASSERT_EQ(img.height, p.height) << p.key;
        std::set<uint32_t> colours;
        for (size_t i = 0; i < img.pixels.size() && colours.size() < 3; i += 4)
            colours.insert(img.pixels[i] | img.pixels[i + 1] << 8 | img.pixels[i + 2] << 16);
        EXPECT_GE(colours.size(), 2u) << p.archive << " " << p.key << " is blank";
    }
}

// Keys and sizes that the game reads, as its screens and battle name them.
TEST_F(PictureSetTest, HoldsTheKeysTheGameReads) {
    struct Want {
        const char* archive;
        const char* key;
        int width, height;
    };
    const Want wants[] = {
        {"gf\\system.dat", "morvel", 640, 480},        {"gf\\system.dat", "vs_bgp", 640, 480},
        {"gf\\system.dat", "menu_bgpS", 640, 480},     {"gf\\system.dat", "stand_welo", 512, 512},
        {"gf\\system.dat", "select_wheel2", 512, 512}, {"gf\\system.dat", "ed_staff", 512, 512},
        {"gf\\system.dat", "system_r", 0, 0},          {"gf\\system.dat", "perticle", 0, 0},
        {"gf\\animation.dat", "anm00", 512, 512},      {"gf\\animation.dat", "anm11", 512, 512},
        {"gf\\extra.dat", "bp_nebu", 640, 480},        {"gf\\extra.dat", "st_kirune_27", 512, 512},
        {"gf\\extra.dat", "st_torvi_15", 512, 512},    {"gf\\model.dat", "03land", 161, 161},
        {"gf\\model.dat", "08seal2", 0, 0},            {"gf\\mdl_72.dat", "mdl73", 0, 0},
        {"gf\\mdl_11.dat", "act_sw20", 0, 0},          {"gf\\mdl_82.dat", "act_gn19", 0, 0},
        {"gf\\mdl_41.dat", "ring", 512, 512},          {"gf\\mdl_41.dat", "item", 512, 512},
    };
    for (const Want& w : wants) {
        Loaded img = Load(w.archive, w.key);
        if (w.width) {
            EXPECT_EQ(img.width, w.width) << w.key;
            EXPECT_EQ(img.height, w.height) << w.key;
        }
    }
    // Numbering ends where the characters' frames end.
    Image* image = CreateImage();
    std::string mdl72 = dir->path().string() + "/gf\\mdl_72.dat";
    std::string mdl31 = dir->path().string() + "/gf\\mdl_31.dat";
    EXPECT_NE(image->LoadFromArchive(mdl72.c_str(), "mdl74", nullptr), nullptr);
    EXPECT_NE(image->LoadFromArchive(mdl31.c_str(), "mdl40", nullptr), nullptr);
    EXPECT_NE(image->LoadFromArchive(mdl31.c_str(), "act_wp08", nullptr), nullptr);
    image->Release();
}

TEST_F(PictureSetTest, SheetCellsThatScreensReadAreFilled) {
    Loaded faces = Load("gf\\system.dat", "select_face");
    for (int id = 0; id <= CHARACTER_COUNT; ++id)
        EXPECT_GT(Visible(faces, 128 * (id % 4), 128 * (id / 4), 128 * (id % 4) + 127, 128 * (id / 4) + 127), 1000);
    EXPECT_GT(Visible(faces, 0, 430, 149, 459), 1000);
    EXPECT_GT(Visible(faces, 0, 460, 149, 489), 1000);

    Loaded plates = Load("gf\\system.dat", "name_plate");
    for (int id = 0; id < 12; ++id)
        EXPECT_GT(Visible(plates, 128 * (id % 2), 40 * (id / 2), 128 * (id % 2) + 127, 40 * (id / 2) + 39), 1000);

    Loaded particles = Load("gf\\system.dat", "perticle");
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 8; ++col)
            EXPECT_GT(Visible(particles, 24 * col, 24 * row, 24 * col + 23, 24 * row + 23), 0) << row << "," << col;

    Loaded message = Load("gf\\system.dat", "message");
    for (int row = 0; row < 4; ++row) EXPECT_GT(Visible(message, 0, 60 * row, 44, 60 * row + 59), 50) << row;

    Loaded vs = Load("gf\\system.dat", "vs_font");
    EXPECT_GT(Visible(vs, 0, 0, 99, 99), 200);
    EXPECT_GT(Visible(vs, 100, 0, 199, 99), 200);
}

// Every cell the title menu and its replay list cut from their sheets shows
// its item.
TEST_F(PictureSetTest, TitleSheetCellsAreFilled) {
    using namespace title_sheets;
    auto expectFilled = [](const Loaded& sheet, const Cell& c, int minimum, const char* what, int index) {
        EXPECT_GT(Visible(sheet, c.left, c.top, c.right, c.bottom), minimum) << what << " " << index;
    };
    Loaded menu = Load("gf\\system.dat", "menu_font");
    for (int k = 0; k < 6; ++k) expectFilled(menu, MainItem(k), 2000, "main item", k);
    for (int k = 0; k < 4; ++k) expectFilled(menu, VersusItem(k), 2000, "versus item", k);
    for (int k = 0; k < 3; ++k) expectFilled(menu, DifficultyItem(k), 2000, "difficulty item", k);
    expectFilled(menu, kItemGlow, 500, "glow", 0);
    expectFilled(menu, kNoReplaysNotice, 2000, "notice", 0);

    Loaded replay = Load("gf\\system.dat", "replay_font");
    for (int d = 0; d < 10; ++d) expectFilled(replay, ReplayDigit(d), 20, "digit", d);
    for (int id = 1; id <= CHARACTER_COUNT; ++id) expectFilled(replay, ReplayFace(id), 800, "face", id);
    for (int m = 0; m < 5; ++m) expectFilled(replay, ReplayMode(m), 1000, "mode", m);
    for (int d = 0; d < 3; ++d) expectFilled(replay, ReplayDifficulty(d), 800, "difficulty", d);
    for (const Cell& c : {kReplaySlash, kReplayColon, kReplayWinner, kReplayVersus, kReplayDamageLabel, kReplayHitsLabel})
        expectFilled(replay, c, 10, "mark", c.left);

    Loaded ranking = Load("gf\\system.dat", "ranking_font");
    for (int p = 0; p < 10; ++p) expectFilled(ranking, RankingPlace(p), 50, "place", p);
    for (int id = 1; id <= CHARACTER_COUNT; ++id) expectFilled(ranking, RankingFace(id), 1000, "face", id);
    for (int d = 0; d < 10; ++d) expectFilled(ranking, RankingDigit(d), 30, "digit", d);
    for (int d = 0; d < 3; ++d) expectFilled(ranking, RankingTab(d), 1500, "tab", d);
    // Symbol 36 is the blank.
    for (int s = 0; s < kSymbolCount; ++s)
        if (s != 36) expectFilled(ranking, RankingSymbol(s), 15, "symbol", s);
}

// Every cell the battle's HUD, pause menu, banners and the result screen cut
// from their sheets shows its picture; the HUD's digits and labels differ
// from one another.
TEST_F(PictureSetTest, HudAndResultSheetCellsAreFilled) {
    auto expectFilled = [](const Loaded& sheet, const hud_sheets::Cell& c, int minimum, const char* what, int index) {
        EXPECT_GT(Visible(sheet, c.left, c.top, c.right, c.bottom), minimum) << what << " " << index;
    };
    auto cellPixels = [](const Loaded& sheet, const hud_sheets::Cell& c) {
        std::vector<uint8_t> out;
        for (int y = c.top; y < c.bottom; ++y) out.insert(out.end(), sheet.At(c.left, y), sheet.At(c.right, y));
        return out;
    };
    for (const char* key : {"system", "system_r"}) {
        SCOPED_TRACE(key);
        using namespace hud_sheets;
        Loaded sheet = Load("gf\\system.dat", key);
        for (int id = 1; id <= CHARACTER_COUNT; ++id) expectFilled(sheet, CharacterTab(id), 1200, "tab", id);
        for (int i = 0; i < 3; ++i) expectFilled(sheet, LifeLayer(i), 1800, "life layer", i);
        expectFilled(sheet, kLifeFrame, 1500, "life frame", 0);
        expectFilled(sheet, kLifeTrail, 1800, "life trail", 0);
        for (int k = 0; k < kDialStrips; ++k) {
            expectFilled(sheet, DialStrip(kDialFaceLeft, k), 20, "dial face strip", k);
            for (int level = 0; level < 3; ++level) expectFilled(sheet, DialStrip(DialLevelLeft(level), k), 20, "dial strip", k);
        }
        for (int level = 1; level <= 3; ++level) expectFilled(sheet, LevelBadge(level), 250, "badge", level);
        std::set<std::vector<uint8_t>> digits;
        for (int d = 0; d < 10; ++d) {
            expectFilled(sheet, SmallDigit(d), 40, "small digit", d);
            expectFilled(sheet, ComboDigit(d), 80, "combo digit", d);
            expectFilled(sheet, TimerDigit(d, 0), 800, "timer digit", d);
            digits.insert(cellPixels(sheet, SmallDigit(d)));
            digits.insert(cellPixels(sheet, TimerDigit(d, 0)));
        }
        EXPECT_EQ(digits.size(), 20u) << "two digits look the same";
        for (int k = 0; k < kMenuEntries; ++k) expectFilled(sheet, MenuLabel(k), 7500, "menu label", k);
        for (const Cell& c : {kBoostLabel, kBoostUnit, kShieldReady, kComboDamageLabel, kComboHitsLabel, kTimerNoLimit,
                              kTimerLabel, kDisconnected, kGrazeMark, kRing})
            expectFilled(sheet, c, 60, "cell at", c.left * 1000 + c.top);
    }

    Loaded message = Load("gf\\system.dat", "message");
    for (int row = 0; row < hud_sheets::kBannerRows; ++row) {
        const std::string word = hud_sheets::kBannerWords[row];
        for (size_t i = 0; i < word.size(); ++i) {
            const hud_sheets::Cell c = hud_sheets::BannerLetter(row, static_cast<int32_t>(i));
            if (word[i] == ' ') EXPECT_EQ(Visible(message, c.left, c.top, c.right, c.bottom), 0) << row << "," << i;
            else expectFilled(message, c, 150, word.c_str(), static_cast<int>(i));
        }
    }

    using namespace result_sheets;
    Loaded result = Load("gf\\system.dat", "conclusion_font");
    auto expectResultCell = [&](const result_sheets::Cell& c, int minimum, const char* what, int index) {
        EXPECT_GT(Visible(result, c.left, c.top, c.left + c.width, c.top + c.height), minimum) << what << " " << index;
    };
    for (int label = 0; label < LABEL_COUNT; ++label) expectResultCell(LabelCell(label), 8000, "label", label);
    for (int d = 0; d < 10; ++d) expectResultCell(DigitCell(d), 60, "digit", d);
    for (int d = 0; d < 10; ++d) expectResultCell(ContinueDigitCell(d), 60, "continue digit", d);
    for (int g = 0; g < kGrades; ++g) expectResultCell(GradeCell(g), 60, "grade", g);
}

TEST_F(PictureSetTest, TransitionSpriteHasItsBlackAndWhiteCells) {
    Loaded black = Load("gf\\system.dat", "black");
    for (auto [x, y] : {std::pair{0, 0}, std::pair{29, 29}}) {
        const uint8_t* p = black.At(x, y);
        EXPECT_EQ((std::vector<uint8_t>(p, p + 4)), (std::vector<uint8_t>{0, 0, 0, 255}));
    }
    const uint8_t* white = black.At(37, 5);
    EXPECT_EQ((std::vector<uint8_t>(white, white + 4)), (std::vector<uint8_t>{255, 255, 255, 255}));
    EXPECT_GT(Visible(black, 0, 64, 63, 127), 100);
    EXPECT_GT(Visible(black, 64, 64, 127, 127), 100);
}

TEST_F(PictureSetTest, CharactersColoursAndFramesLookDifferent) {
    auto centre = [](const Loaded& img) {
        const uint8_t* p = img.At(img.width / 2, img.height * 5 / 8);
        return std::vector<uint8_t>(p, p + 4);
    };
    std::set<std::vector<uint8_t>> bodies;
    for (int id = 1; id <= CHARACTER_COUNT; ++id)
        for (int colour = 1; colour <= 2; ++colour)
            bodies.insert(centre(Load("gf\\mdl_" + std::to_string(id) + std::to_string(colour) + ".dat", "mdl00")));
    EXPECT_EQ(bodies.size(), 16u);
    EXPECT_NE(Load("gf\\mdl_51.dat", "mdl00").pixels, Load("gf\\mdl_51.dat", "mdl01").pixels);
    EXPECT_NE(Load("gf\\model.dat", "01sky").pixels, Load("gf\\model.dat", "02sky").pixels);
}

TEST_F(PictureSetTest, HeightPictureCarriesHeightsInRed) {
    Loaded land = Load("gf\\model.dat", "03land");
    std::set<uint8_t> heights;
    for (int x = 0; x < 161; x += 10) heights.insert(land.At(x, 80)[2]);
    EXPECT_GT(heights.size(), 5u);
}

TEST(WritePictureSet, ReportsAFolderThatCannotBeWritten) {
    test::TempDir dir;
    std::ofstream(dir.file("gf")) << "a file where the folder should be";
    EXPECT_FALSE(datagen::WritePictureSet(dir.path().string()));
}

}  // namespace
