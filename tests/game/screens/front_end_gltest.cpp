// The front end's screens on OpenGL from the generated data set, as a player
// meets them: the title with its logo and menu, the name entry and the
// ranking, the select screens of every mode, the network select's strips
// told apart by their words, the versus screen, the animation and story
// viewers and the staff roll. The checks compare places of the screen with
// the generator's own painting of what belongs there, the candidates beside
// it, so that a picture of the wrong words, the wrong character or a label
// fails. Every picture is saved in build/front_end_screens, and the
// documentation's set also in the folder that AERIAL_SCREENSHOTS names
// (scripts/screenshots.sh writes docs/screenshots this way).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "engine/devices/network.h"
#include "game/arena/player_record.h"
#include "game/arena/roster.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "game/screens/animation_viewer.h"
#include "game/screens/network_select.h"
#include "game/screens/select_screen.h"
#include "game/screens/staff_roll.h"
#include "game/screens/story_viewer.h"
#include "game/screens/title_menu.h"
#include "game/screens/title_sheets.h"
#include "game/screens/versus_screen.h"
#include "game/screens/viewer_sheets.h"
#include "platform/keyboard.h"
#include "platform/system.h"
#include "tests/support/back_buffer_pixels.h"
#include "tests/support/fake_transport.h"
#include "tests/support/scene_harness.h"
#include "tools/datagen/picture_set.h"
#include "tools/datagen/select_pictures.h"

namespace {

using Pixels = std::vector<uint32_t>;

struct Rgb {
    int r, g, b;
};
Rgb Split(uint32_t p) { return {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)}; }

// A rectangle of the screen, [left, right) x [top, bottom), or a sheet's
// source rectangle as a screen passes it to the draw call.
struct Rect {
    int left, top, right, bottom;
};
Rect FromCell(const title_sheets::Cell& c) { return {c.left, c.top, c.right, c.bottom}; }
Rect FromCell(const viewer_sheets::Cell& c) { return {c.left, c.top, c.right, c.bottom}; }

// What a sheet pixel (B, G, R, A) looks like on the screen where it is drawn.
using Shown = std::function<Rgb(const uint8_t*)>;

// What lies under a place where little is drawn over it: the median of each
// channel.
Rgb Backdrop(const Pixels& screen, Rect place) {
    std::vector<int> channels[3];
    for (int y = std::max(place.top, 0); y < std::min(place.bottom, 480); ++y)
        for (int x = std::max(place.left, 0); x < std::min(place.right, 640); ++x) {
            const Rgb p = Split(screen[static_cast<size_t>(y) * 640 + x]);
            channels[0].push_back(p.r), channels[1].push_back(p.g), channels[2].push_back(p.b);
        }
    int median[3];
    for (int c = 0; c < 3; ++c) {
        std::nth_element(channels[c].begin(), channels[c].begin() + channels[c].size() / 2, channels[c].end());
        median[c] = channels[c][channels[c].size() / 2];
    }
    return {median[0], median[1], median[2]};
}

// A sheet pixel drawn with its alpha (at `strength` of 255) over `under`.
Shown Over(Rgb under, int strength = 255) {
    return [under, strength](const uint8_t* p) {
        const int a = p[3] * strength / 255;
        auto mix = [a](int v, int u) { return (v * a + u * (255 - a)) / 255; };
        return Rgb{mix(p[2], under.r), mix(p[1], under.g), mix(p[0], under.b)};
    };
}

// The sheet's pixel at (u, v), filtered from its four neighbours as the
// device samples it (u, v in texels, 0 at the first texel's centre).
std::array<uint8_t, 4> Sample(const datagen::Canvas& sheet, double u, double v) {
    const int u0 = std::clamp(static_cast<int>(std::floor(u)), 0, sheet.Width() - 2);
    const int v0 = std::clamp(static_cast<int>(std::floor(v)), 0, sheet.Height() - 2);
    const double fu = std::clamp(u - u0, 0.0, 1.0), fv = std::clamp(v - v0, 0.0, 1.0);
    std::array<uint8_t, 4> out{};
    for (int c = 0; c < 4; ++c) {
        auto at = [&](int x, int y) { return sheet.Pixels()[(static_cast<size_t>(y) * sheet.Width() + x) * 4 + c]; };
        const double top = at(u0, v0) * (1 - fu) + at(u0 + 1, v0) * fu;
        const double bottom = at(u0, v0 + 1) * (1 - fu) + at(u0 + 1, v0 + 1) * fu;
        out[c] = static_cast<uint8_t>(std::lround(top * (1 - fv) + bottom * fv));
    }
    return out;
}

// How far the screen's `place` is from the sheet's `source` stretched over
// it and shown as `shown` says: the mean difference per channel (0..255).
// The draw call maps the source's edges, half a texel in, onto the place's
// edges; the outermost pixels are left out, where filtering mixes in the
// neighbours.
double Distance(const Pixels& screen, const datagen::Canvas& sheet, Rect source, Rect place, const Shown& shown) {
    const double sx = static_cast<double>(source.right - source.left - 1) / (place.right - place.left);
    const double sy = static_cast<double>(source.bottom - source.top - 1) / (place.bottom - place.top);
    double sum = 0.0;
    int count = 0;
    for (int y = std::max(place.top, 0) + 1; y < std::min(place.bottom, 480) - 1; ++y)
        for (int x = std::max(place.left, 0) + 1; x < std::min(place.right, 640) - 1; ++x) {
            const auto texel = Sample(sheet, source.left + (x - place.left + 0.5) * sx, source.top + (y - place.top + 0.5) * sy);
            const Rgb want = shown(texel.data());
            const Rgb got = Split(screen[static_cast<size_t>(y) * 640 + x]);
            sum += std::abs(got.r - want.r) + std::abs(got.g - want.g) + std::abs(got.b - want.b);
            ++count;
        }
    return sum / (3.0 * count);
}

// The candidate that the screen's place shows most closely, how close, and
// how much closer than the runner-up.
struct Match {
    int index = -1;
    double distance = 0.0;
    double margin = 0.0;
};
Match BestMatch(const std::vector<double>& distances) {
    Match m;
    double second = std::numeric_limits<double>::max();
    m.distance = second;
    for (size_t i = 0; i < distances.size(); ++i) {
        if (distances[i] < m.distance) {
            second = m.distance;
            m.distance = distances[i];
            m.index = static_cast<int>(i);
        } else if (distances[i] < second) {
            second = distances[i];
        }
    }
    m.margin = second - m.distance;
    return m;
}

// A cell drawn at full strength differs from its picture only by filtering;
// candidates tell apart when the best is this much nearer than the next.
constexpr double kSamePicture = 20.0;
constexpr double kDistinct = 4.0;

// How far the place is from the cell drawn with its alpha over what lies
// under the place.
double DistanceOverBackdrop(const Pixels& screen, const datagen::Canvas& sheet, Rect source, Rect place) {
    return Distance(screen, sheet, source, place, Over(Backdrop(screen, place)));
}

// The screen's `place` shows candidate `expected` of `candidates` cells of
// the sheet, clearly (drawn over what lies under the place, unless `shown`
// says otherwise).
void ExpectShows(const Pixels& screen, const datagen::Canvas& sheet, const std::vector<Rect>& candidates,
                 int expected, Rect place, const std::string& what, Shown shown = nullptr) {
    if (!shown) shown = Over(Backdrop(screen, place));
    std::vector<double> distances;
    for (const Rect& source : candidates) distances.push_back(Distance(screen, sheet, source, place, shown));
    const Match m = BestMatch(distances);
    EXPECT_EQ(m.index, expected) << what;
    EXPECT_LT(m.distance, kSamePicture) << what;
    EXPECT_GT(m.margin, kDistinct) << what;
}

// The generator's painting of a picture.
datagen::Canvas Paint(const std::string& archive, const std::string& key) {
    datagen::Lettering lettering;
    for (const datagen::Picture& p : datagen::PictureCatalogue())
        if (p.archive == archive && p.key == key) {
            datagen::Canvas canvas(p.width, p.height, {0, 0, 0, 0});
            p.paint(canvas, lettering);
            return canvas;
        }
    ADD_FAILURE() << "no picture " << key;
    return datagen::Canvas(1, 1, {});
}
datagen::Canvas PaintSystem(const std::string& key) { return Paint("gf/system.dat", key); }

// The name plates of characters 1 to 8, as the select and versus screens cut them.
std::vector<Rect> NamePlates() {
    std::vector<Rect> plates;
    for (int id = 1; id <= CHARACTER_COUNT; ++id) {
        const title_sheets::Cell c = title_sheets::NamePlate(id);
        plates.push_back({c.left, c.top, c.right - 1, c.bottom - 1});
    }
    return plates;
}

class FrontEndGLTest : public testing::Test {
protected:
    static void WritePictures(const std::string& folder) {
        const auto catalogue = datagen::PictureCatalogue();
        for (const char* archive : {"gf/system.dat", "gf/animation.dat", "gf/extra.dat"})
            ASSERT_TRUE(datagen::WritePictureArchive(folder, catalogue, archive)) << archive;
    }

    // The picture on the screen now, saved under `name`; a picture of the
    // documentation's set also goes to the folder AERIAL_SCREENSHOTS names.
    Pixels Shoot(const std::string& name, bool documented = true) {
        const Pixels pixels = test::ReadEngineBackBuffer();
        EXPECT_TRUE(test::SaveScreenshot(screens_, name, pixels, documented)) << name;
        return pixels;
    }
    void Enter(int32_t scene) {
        sceneNumber = scene;
        sceneInitPending = 1;
    }
    // A key pressed for a frame and let go for another.
    void Press(int key, int times = 1) {
        for (int i = 0; i < times; ++i) {
            harness.Tap(key);
            harness.RunFrames(1);
        }
    }
    void RunUntil(const std::function<bool()>& done, int limit = 600) {
        for (int frames = 0; frames < limit && !done(); ++frames) harness.RunFrames(1);
        ASSERT_TRUE(done());
    }

    // Beside the test programs' folder, found before the harness moves the
    // program folder into its temporary one.
    const std::filesystem::path screens_ =
        std::filesystem::path(platform::ProgramFolder()).parent_path() / "front_end_screens";
    test::SceneHarness harness{test::OnOpenGL{WritePictures}};
};

// The title: the logo with the game's name beside the menu, whose highlighted
// item reads as its word among all the main menu's words.
TEST_F(FrontEndGLTest, TitleShowsTheLogoAndTheMenuByItsWords) {
    titleStartState = TITLE_START_MAIN;
    Enter(SCENE_TITLE);
    harness.RunFrames(60);
    ASSERT_EQ(titleState, TITLE_MAIN);
    Press(platform::VK_DOWN);
    harness.RunFrames(20);
    const Pixels screen = Shoot("title");
    // The logo's banner (the middle of its 512 x 256 picture, drawn over
    // (20, 70)-(340, 230)).
    EXPECT_LT(DistanceOverBackdrop(screen, PaintSystem("title_logo"), {64, 72, 448, 184}, {60, 115, 300, 185}),
              kSamePicture);
    const datagen::Canvas menu = PaintSystem("menu_font");
    std::vector<Rect> items;
    for (int k = 0; k < 6; ++k) items.push_back(FromCell(title_sheets::MainItem(k)));
    // The highlighted item, VERSUS, is opaque at its row.
    ExpectShows(screen, menu, items, MAIN_ITEM_VERSUS, {370, 200, 550, 230}, "highlighted item");
}

// The name entry shows the letters typed so far, and the ranking then shows
// the new name in its row among the table's.
TEST_F(FrontEndGLTest, NameEntryAndRankingShowTheTypedName) {
    const int32_t ids[RANKING_ENTRIES] = {3, 1, 0, 5, 2, 8, 4, 6, 7, 2};
    const char* names[RANKING_ENTRIES] = {"ZEPHY", "KIRI ", "", "AURA ", "NOVA ", "STORM", "LUNA ", "ACE  ", "SORA ",
                                          "MIST "};
    for (int k = 0; k < RANKING_ENTRIES; ++k) {
        RankingEntry& entry = rankingTables[DIFFICULTY_NORMAL].entries[k];
        entry.characterId = ids[k] ? ids[k] : 6;
        entry.score = 98000 - 9000 * k;
        for (int i = 0; i < RANKING_LETTERS; ++i) {
            const char ch = names[k][0] ? names[k][i] : 'A';
            entry.letters[i] = static_cast<int32_t>(std::strchr(title_sheets::kSymbolText, ch) - title_sheets::kSymbolText);
        }
    }
    ASSERT_TRUE(SaveRanking());
    difficulty = DIFFICULTY_NORMAL;
    rankingPlace = 2;
    titleStartState = TITLE_START_RANKING;
    Enter(SCENE_TITLE);
    harness.RunFrames(40);
    ASSERT_EQ(titleState, TITLE_NAME_ENTRY);
    // "SKY": S is symbol 18, K 10, Y 24, each from A.
    const int typed[3] = {18, 10, 24};
    for (int letter : typed) {
        Press(platform::VK_DOWN, letter);
        Press('Z');
    }
    harness.RunFrames(10);
    const Pixels entry = Shoot("name_entry");
    const datagen::Canvas sheet = PaintSystem("ranking_font");
    std::vector<Rect> symbols;
    for (int s = 0; s < title_sheets::kSymbolCount; ++s) symbols.push_back(FromCell(title_sheets::RankingSymbol(s)));
    EXPECT_LT(DistanceOverBackdrop(entry, sheet, FromCell(title_sheets::kNameEntryHeading), {192, 200, 448, 232}),
              kSamePicture);
    for (int i = 0; i < 3; ++i)
        ExpectShows(entry, sheet, symbols, typed[i], {240 + 32 * i, 248, 272 + 32 * i, 280},
                    "typed letter " + std::to_string(i));

    Press('Z', 2);
    ASSERT_EQ(titleState, TITLE_RANKING);
    harness.RunFrames(70);  // every row in
    const Pixels ranking = Shoot("ranking");
    EXPECT_LT(DistanceOverBackdrop(ranking, sheet, FromCell(title_sheets::kRankingHeading), {80, 68, 208, 100}),
              kSamePicture);
    std::vector<Rect> tabs;
    for (int d = 0; d < 3; ++d) tabs.push_back(FromCell(title_sheets::RankingTab(d)));
    ExpectShows(ranking, sheet, tabs, DIFFICULTY_NORMAL, {432, 68, 560, 100}, "tab");
    // The new name "SKYAA" in row 2, drawn 24 pixels a letter from x 410.
    const int name[RANKING_LETTERS] = {18, 10, 24, 0, 0};
    for (int i = 0; i < RANKING_LETTERS; ++i)
        ExpectShows(ranking, sheet, symbols, name[i], {410 + 24 * i, 170, 434 + 24 * i, 194},
                    "ranked letter " + std::to_string(i));
}

// Every select screen names the characters under the cursors on their plates.
TEST_F(FrontEndGLTest, SelectScreensNameTheChosenCharacters) {
    const datagen::Canvas plates = PaintSystem("name_plate");
    struct Screen {
        const char* name;
        int32_t mode;
        int moves;  // LEFT presses: side 0's cursor forward
        bool decide;
        int sides;  // with a plate
        Rect plate[2];
    };
    const Screen screens[] = {
        {"select_one_player", MODE_1P_VS_CPU, 2, true, 2, {{470, 140, 610, 180}, {30, 410, 170, 450}}},
        {"select_two_players", MODE_1P_VS_2P, 1, false, 2, {{470, 140, 610, 180}, {30, 410, 170, 450}}},
        {"select_arcade", MODE_ARCADE, 3, false, 1, {{45, 395, 255, 465}, {}}},
    };
    for (const Screen& s : screens) {
        SCOPED_TRACE(s.name);
        gameMode = s.mode;
        Enter(SCENE_SELECT);
        RunUntil([] { return selectScreen.state == SELECT_CHARACTER; });
        selectScreen.whiteFlash = 0.0f;  // as it is once the opening flash has faded
        Press(platform::VK_LEFT, s.moves);
        if (s.decide) Press('Z');
        harness.RunFrames(34);  // the stands and plates slid in, a decision's flash faded
        const Pixels screen = Shoot(s.name);
        for (int side = 0; side < s.sides; ++side) {
            const int32_t id = selectScreen.characterIds[static_cast<size_t>(selectScreen.cursor[side] % 100)];
            ExpectShows(screen, plates, NamePlates(), id - 1, s.plate[side], "side " + std::to_string(side) + "'s plate");
        }
        Press('X', s.decide ? 2 : 1);
        RunUntil([] { return sceneNumber == SCENE_TITLE; });
    }
}

// The network select's strips read "connecting" while it looks for the peer
// and "disconnected" once the peer is lost: each strip is compared with its
// plate painted with each word, and with no word.
TEST_F(FrontEndGLTest, NetworkSelectStripsReadConnectingAndDisconnected) {
    test::FakeTransport transport;
    std::strcpy(config.peerHost, "127.0.0.1");
    config.port = test::kFakePort;
    config.localSide = 0;
    gameMode = MODE_VS_NETWORK;
    InitNetworkSelect();
    transitionRunning = 0;
    selectScreen.whiteFlash = 0.0f;
    struct Strip {
        datagen::NetworkStrip strip;
        Rect place;
    };
    const Strip connecting{datagen::NetworkStrip::Connecting, {475, 435, 625, 465}};
    const Strip disconnected{datagen::NetworkStrip::Disconnected, {200, 225, 440, 255}};
    const char* const words[] = {"CONNECTING...", "DISCONNECTED", ""};
    // Which of the words the screen's strip reads.
    auto reads = [&words](const Pixels& screen, const Strip& s) {
        std::vector<double> distances;
        datagen::Lettering lettering;
        const datagen::StripPlace p = datagen::NetworkStripPlace(s.strip);
        for (const char* word : words) {
            datagen::Canvas plate(512, 512, {0, 0, 0, 0});
            datagen::PaintNetworkStrip(plate, lettering, s.strip, word);
            const Rect source{p.left, p.top, p.left + p.width - 1, p.top + p.height - 1};
            distances.push_back(DistanceOverBackdrop(screen, plate, source, s.place));
        }
        return BestMatch(distances);
    };
    auto draw = [](int32_t state, uint8_t connected, float wheels) {
        selectScreen.state = state;
        netConnected = connected;
        for (int side = 0; side < 2; ++side) {
            selectScreen.wheelShow[side] = wheels;
            selectScreen.standSlide[side] = wheels > 0.0f ? 1.05f : 0.0f;
        }
        DrawNetworkSelect();
    };

    auto expectReads = [&reads](const Pixels& screen, const Strip& s, int word) {
        const Match m = reads(screen, s);
        EXPECT_EQ(m.index, word);
        EXPECT_LT(m.distance, kSamePicture);
        EXPECT_GT(m.margin, kDistinct);
    };

    draw(SELECT_CONNECTING, 0, 0.0f);
    const Pixels looking = Shoot("select_network_connecting");
    expectReads(looking, connecting, 0);
    EXPECT_GT(reads(looking, disconnected).distance, 2 * kSamePicture) << "a strip where none belongs";

    draw(SELECT_CHARACTER, 0, 1.0f);
    expectReads(Shoot("select_network_disconnected"), disconnected, 1);

    selectScreen.state = SELECT_CANCELLED;
    LeaveNetworkSelect();
}

// The versus screen: both fighters' stand pictures and their name plates,
// side 1's above, side 0's below.
TEST_F(FrontEndGLTest, VersusShowsBothFightersByName) {
    players[0].characterId = 1;
    players[1].characterId = 6;
    Enter(SCENE_VERSUS);
    harness.RunFrames(1);
    RunUntil([] { return versusCounter >= 130; });
    const Pixels screen = Shoot("versus");
    const datagen::Canvas plates = PaintSystem("name_plate");
    // Plates of 256 x 80 at their resting places (side 1's 20 pixels higher
    // for character 6).
    ExpectShows(screen, plates, NamePlates(), 5, {332, -10, 588, 70}, "side 1's plate");
    ExpectShows(screen, plates, NamePlates(), 0, {52, 390, 308, 470}, "side 0's plate");
}

// The animation: its lines are dark letters on the white page beside the
// still, which fades into the page without an edge as it drifts.
TEST_F(FrontEndGLTest, AnimationWritesItsLinesBesideStillsThatFadeIntoThePage) {
    animationNextScene = SCENE_TITLE;
    Enter(SCENE_ANIMATION);
    harness.RunFrames(250);
    Shoot("animation_title", false);
    RunUntil([] { return animationPhase == ANIMATION_FIRST && animationTimer >= 200; }, 800);
    const Pixels screen = Shoot("animation");
    // Line 1 (100 < t < 300) stands at x = 150 + (t - 100) / 10, at alpha 240
    // over the page: white where the sheet is clear.
    const Shown overWhite = Over({255, 255, 255}, 240);
    const int x = 150 + (animationTimer - 1 - 100) / 10;
    std::vector<Rect> lines;
    for (const viewer_sheets::Cell& c : viewer_sheets::kAnimationLines) lines.push_back(FromCell(c));
    ExpectShows(screen, Paint("gf/animation.dat", "anm_font"), lines, 0, {x - 150, 150, x + 150, 210}, "line",
                overWhite);
    // Along a row below the lines, from the page across the still's left
    // edge (x - 256 of its centre 500 - scroll): no step between neighbours.
    const int edge = 500 - static_cast<int>(animationScroll - 0.2f) - 256;
    int steepest = 0;
    for (int px = std::max(1, edge - 40); px < edge + 40; ++px) {
        const Rgb a = Split(screen[380 * 640 + px - 1]), b = Split(screen[380 * 640 + px]);
        steepest = std::max({steepest, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
    }
    EXPECT_LT(steepest, 12) << "the still's edge shows at x " << edge;
}

// The story viewer: the page added over the darkened background.
TEST_F(FrontEndGLTest, StoryPageShowsOverItsDarkenedBackground) {
    extraItem = 1;
    Enter(SCENE_STORY);
    harness.RunFrames(60);
    Press('Z');
    Press(platform::VK_RIGHT);
    harness.RunFrames(70);
    ASSERT_EQ(storyState, STORY_PAGES);
    ASSERT_EQ(storyPage, 1);
    const Pixels screen = Shoot("story");
    // The screen adds the page to the background darkened to 55/255.
    const datagen::Canvas page = Paint("gf/extra.dat", "st_kirune_01");
    const datagen::Canvas background = Paint("gf/extra.dat", "bp_kirune");
    double sum = 0.0;
    int count = 0;
    for (int y = 60; y < 470; y += 3)
        for (int x = 20; x < 500; x += 3) {
            const uint8_t* p = &page.Pixels()[(static_cast<size_t>(y - 44) * 512 + (x - 4)) * 4];
            const uint8_t* b = &background.Pixels()[(static_cast<size_t>(y) * 640 + x) * 4];
            const Rgb got = Split(screen[static_cast<size_t>(y) * 640 + x]);
            for (int c = 0; c < 3; ++c) {
                const int want = std::min(255, b[2 - c] * 55 / 255 + p[2 - c] * p[3] / 255);
                sum += std::abs((c == 0 ? got.r : c == 1 ? got.g : got.b) - want);
            }
            count += 3;
        }
    EXPECT_LT(sum / count, 8.0);
}

// The staff roll: the credit lines rise over the dark screen, each as its
// line, and then the picture.
TEST_F(FrontEndGLTest, StaffRollShowsItsCreditsAndPicture) {
    Enter(SCENE_STAFF_ROLL);
    // To scroll s, X held (five a frame), then one frame drawn at s.
    auto scrollTo = [this](float s) {
        harness.Hold('X');
        RunUntil([s] { return staffRollScroll > s; }, 1000);
        harness.Release('X');
        harness.RunFrames(1);
    };
    scrollTo(2700.0f);
    const Pixels screen = Shoot("staff_roll_lines", false);
    const datagen::Canvas staff = PaintSystem("ed_staff");
    // Added over the grey 0x11.
    const Shown added = [](const uint8_t* p) {
        auto add = [p](int v) { return std::min(255, 0x11 + v * p[3] / 255); };
        return Rgb{add(p[2]), add(p[1]), add(p[0])};
    };
    std::vector<Rect> lines;
    for (int k = 0; k < viewer_sheets::kStaffLineCount; ++k) lines.push_back(FromCell(viewer_sheets::StaffLine(k)));
    // The roll's strips 4 and 5 are credit lines 3 and 4, drawn at the
    // scroll before this frame's step.
    for (int strip : {4, 5}) {
        const StaffStrip at = StaffStripAt(strip, staffRollScroll - 1.0f);
        ASSERT_TRUE(at.shown) << strip;
        ExpectShows(screen, staff, lines, strip - 1, {192, at.y - 25, 448, at.y + 25}, "strip " + std::to_string(strip),
                    added);
    }
    scrollTo(3050.0f);
    const Pixels picture = Shoot("staff_roll");
    const StaffStrip at = StaffStripAt(6, staffRollScroll - 1.0f);
    ASSERT_TRUE(at.shown);
    EXPECT_LT(Distance(picture, staff, FromCell(viewer_sheets::kStaffPicture), {202, at.y - 256, 458, at.y + 256}, added),
              kSamePicture);
}

}  // namespace
