#include "tools/datagen/picture_set.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "engine/graphics/image.h"
#include "game/screens/title_sheets.h"
#include "game/screens/viewer_sheets.h"
#include "tools/datagen/fighter_figures.h"
#include "tools/datagen/hud_pictures.h"
#include "tools/datagen/model_set.h"
#include "tools/datagen/shot_sheets.h"
#include "tools/datagen/stage_pictures.h"

namespace datagen {
namespace {

constexpr Colour CLEAR{0, 0, 0, 0};
constexpr Colour WHITE{255, 255, 255, 255};
constexpr Colour BLACK{0, 0, 0, 255};
constexpr float PI = 3.14159265f;

constexpr const char* SYSTEM = "gf/system.dat";
constexpr const char* ANIMATION = "gf/animation.dat";
constexpr const char* EXTRA = "gf/extra.dat";
constexpr const char* MODEL = "gf/model.dat";

struct Character {
    const char* name;
    int frames;
    const char* actionPrefix;  // null when the character has no action frames
    int actions;
    int actionSide;
    Colour colour;
    int storyPages;  // 0: no story
};

// CharacterId 1 to 8.
constexpr Character CHARACTERS[] = {
    {"kirune", 59, "act_sw", 21, 128, {225, 60, 60}, 28},
    {"bemo", 59, "act_np", 4, 128, {245, 150, 40}, 26},
    {"oza", 40, "act_wp", 8, 128, {215, 205, 40}, 26},
    {"perila", 53, nullptr, 0, 0, {60, 190, 80}, 19},
    {"ruo", 49, nullptr, 0, 0, {40, 190, 215}, 22},
    {"torvi", 45, nullptr, 0, 0, {70, 95, 235}, 16},
    {"nebu", 74, nullptr, 0, 0, {165, 75, 225}, 22},
    {"welo", 57, "act_gn", 20, 128, {235, 85, 175}, 0},
};

constexpr Colour STAGE_COLOURS[] = {{130, 154, 250}, {90, 170, 110}, {50, 200, 255}, {150, 120, 80},
                                    {90, 40, 140},   {200, 200, 230}, {60, 60, 60},  {30, 60, 200},
                                    {200, 120, 200}};

std::string TwoDigits(const char* prefix, int n) {
    char key[32];
    std::snprintf(key, sizeof key, "%s%02d", prefix, n);
    return key;
}

// The colour of a character's first or second costume.
Colour CostumeColour(const Character& c, int colour) { return colour == 0 ? c.colour : Shade(c.colour, 0.55f); }

// ---- Painters --------------------------------------------------------------

using Painter = std::function<void(Canvas&, Lettering&)>;

// A full picture: a gradient of the base colour, a border, the title large
// and the key small in the top-left corner.
Painter Poster(std::string title, std::string key, Colour base) {
    return [=](Canvas& c, Lettering& l) {
        c.VerticalGradient(0, 0, c.Width(), c.Height(), Shade(base, 1.3f), Shade(base, 0.35f));
        c.Frame(0, 0, c.Width(), c.Height(), std::max(2, c.Width() / 64), Shade(base, 1.6f));
        c.CentredText(l, title, 8, c.Height() / 4, c.Width() - 8, c.Height() * 3 / 4, c.Height() / 5, WHITE);
        c.Text(l, key, 6, 6, std::clamp(c.Height() / 24, 10, 20), WHITE);
    };
}

// The big standing picture of a character.
Painter Stand(std::string key, const Character& ch) {
    Colour body = ch.colour;
    std::string name = ch.name;
    return [=](Canvas& c, Lettering& l) {
        c.Fill(176, 200, 336, 500, body);
        c.Disc(256, 130, 80, body);
        c.Disc(256, 130, 74, Shade(body, 1.4f), true);
        c.Frame(176, 200, 336, 500, 4, Shade(body, 0.5f));
        c.CentredText(l, name, 0, 400, 512, 470, 64, WHITE);
        c.Text(l, key, 6, 6, 16, WHITE);
    };
}

// The transition sprite: a black cell and a white cell on the top row, and
// the banner's two particle colours below.
void PaintTransitionSprite(Canvas& c, Lettering& l) {
    c.Fill(0, 0, 32, 32, BLACK);
    c.Fill(32, 0, 64, 32, WHITE);
    c.Text(l, "black", 66, 8, 12, WHITE);
    c.Disc(32, 96, 31, {110, 170, 255, 255}, true);
    c.Disc(96, 96, 31, {255, 120, 110, 255}, true);
}

// Particle sheet: 23 x 23 sparks on a 24-pixel grid, a colour per row; along
// a row (the animation) each spark twinkles, its glow and four rays waxing
// and waning about a white core.
void PaintParticleSheet(Canvas& c, Lettering&) {
    const Colour rows[] = {{255, 255, 255}, {255, 90, 90}, {90, 255, 90}, {90, 140, 255},
                           {255, 230, 80},  {255, 90, 255}, {80, 240, 255}, {255, 160, 60}};
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 8; ++col) {
            const int cx = 24 * col + 11, cy = 24 * row + 11;
            const float pulse = 0.5f + 0.5f * std::cos(2 * PI * static_cast<float>(col) / 8);
            c.Disc(cx, cy, 5 + static_cast<int>(5 * pulse), WithAlpha(rows[row], 200), true);
            const int reach = 4 + static_cast<int>(7 * pulse);
            for (int k = 1; k <= reach; ++k) {
                const auto alpha = static_cast<uint8_t>(230 * (reach + 1 - k) / (reach + 1));
                const Colour ray = WithAlpha(Shade(rows[row], 1.4f), alpha);
                for (const auto& [dx, dy] : {std::pair{k, 0}, std::pair{-k, 0}, std::pair{0, k}, std::pair{0, -k}})
                    c.Fill(cx + dx, cy + dy, cx + dx + 1, cy + dy + 1, ray);
            }
            c.Disc(cx, cy, 2, WHITE, true);
        }
}

// Name plates: 128 x 40, two a row; ids 1 to 8 name the characters, 11 is
// the locked plate.
void PaintNamePlates(Canvas& c, Lettering& l) {
    for (int id = 0; id < 12; ++id) {
        int x = 128 * (id % 2), y = 40 * (id / 2);
        bool character = id >= 1 && id <= 8;
        Colour base = character ? CHARACTERS[id - 1].colour : Colour{120, 120, 120};
        std::string text = character ? CHARACTERS[id - 1].name : id == 11 ? "LOCKED" : "plate " + std::to_string(id);
        c.Fill(x + 2, y + 2, x + 126, y + 38, Shade(base, 0.7f));
        c.Frame(x + 2, y + 2, x + 126, y + 38, 2, Shade(base, 1.5f));
        c.CentredText(l, text, x + 4, y + 4, x + 124, y + 36, 24, WHITE);
    }
    c.Text(l, "name_plate", 4, 244, 10, WHITE);
}

// A labelled cell of a title sheet: a tinted plate with its text.
void PaintLabel(Canvas& c, Lettering& l, const title_sheets::Cell& cell, const std::string& text, Colour base) {
    c.Fill(cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1, WithAlpha(base, 200));
    c.Frame(cell.left, cell.top, cell.right - 1, cell.bottom - 1, 1, Shade(base, 1.6f));
    c.CentredText(l, text, cell.left + 2, cell.top + 2, cell.right - 2, cell.bottom - 2, cell.bottom - cell.top - 6,
                  WHITE);
}

// A bare glyph of a title sheet on a clear background.
void PaintGlyph(Canvas& c, Lettering& l, const title_sheets::Cell& cell, const std::string& text, Colour colour) {
    c.CentredText(l, text, cell.left, cell.top, cell.right, cell.bottom, cell.bottom - cell.top - 2, colour);
}

// The title's menu items, the glow behind the highlighted one and the
// notice of an empty replay list.
void PaintMenuFont(Canvas& c, Lettering& l) {
    using namespace title_sheets;
    const char* main[] = {"ARCADE", "VERSUS", "REPLAY", "RANKING", "EXIT", "EXTRA"};
    const char* versus[] = {"1P VS 2P", "1P VS CPU", "NETWORK", "PRACTICE"};
    const char* difficulties[] = {"EASY", "NORMAL", "HARD"};
    for (int k = 0; k < 6; ++k) PaintLabel(c, l, MainItem(k), main[k], {40, 70, 160});
    for (int k = 0; k < 4; ++k) PaintLabel(c, l, VersusItem(k), versus[k], {150, 60, 60});
    for (int k = 0; k < 3; ++k) PaintLabel(c, l, DifficultyItem(k), difficulties[k], {60, 140, 70});
    for (int x = kItemGlow.left; x < kItemGlow.right; x += 6)
        c.Disc(x, (kItemGlow.top + kItemGlow.bottom) / 2, 14, {255, 240, 160, 170}, true);
    PaintLabel(c, l, kNoReplaysNotice, "NO REPLAY FILES", {90, 90, 90});
    c.Text(l, "menu_font", 300, 496, 12, WHITE);
}

// The replay list's digits, faces, marks and labels.
void PaintReplayFont(Canvas& c, Lettering& l) {
    using namespace title_sheets;
    for (int d = 0; d < 10; ++d) PaintGlyph(c, l, ReplayDigit(d), std::to_string(d), WHITE);
    PaintGlyph(c, l, kReplaySlash, "/", WHITE);
    PaintGlyph(c, l, kReplayColon, ":", WHITE);
    for (int id = 1; id <= 8; ++id) {
        const Cell face = ReplayFace(id);
        const Character& ch = CHARACTERS[id - 1];
        c.Disc((face.left + face.right) / 2, (face.top + face.bottom) / 2, 22, ch.colour);
        c.CentredText(l, std::string(ch.name).substr(0, 3), face.left, face.top + 12, face.right, face.bottom - 12, 20,
                      WHITE);
    }
    PaintLabel(c, l, kReplayWinner, "WIN", {200, 160, 30});
    PaintGlyph(c, l, kReplayVersus, "VS", {255, 120, 120, 255});
    const char* modes[] = {"PRACTICE", "1P VS 2P", "VS CPU", "NETWORK", "ARCADE"};
    for (int m = 0; m < 5; ++m) PaintLabel(c, l, ReplayMode(m), modes[m], {50, 90, 150});
    const char* difficulties[] = {"EASY", "NORMAL", "HARD"};
    for (int d = 0; d < 3; ++d) PaintLabel(c, l, ReplayDifficulty(d), difficulties[d], {60, 140, 70});
    PaintGlyph(c, l, kReplayDamageLabel, "DMG", {255, 200, 120, 255});
    PaintGlyph(c, l, kReplayHitsLabel, "HIT", {255, 200, 120, 255});
    c.Text(l, "replay_font", 300, 496, 12, WHITE);
}

// The ranking's places, faces, digits, tabs, headings and name symbols.
void PaintRankingFont(Canvas& c, Lettering& l) {
    using namespace title_sheets;
    for (int p = 0; p < 10; ++p) {
        const char* suffix = p == 0 ? "ST" : p == 1 ? "ND" : p == 2 ? "RD" : "TH";
        PaintGlyph(c, l, RankingPlace(p), std::to_string(p + 1) + suffix, {255, 220, 120, 255});
    }
    for (int id = 1; id <= 8; ++id) {
        const Cell face = RankingFace(id);
        c.Disc((face.left + face.right) / 2, (face.top + face.bottom) / 2, 28, CHARACTERS[id - 1].colour);
        c.CentredText(l, std::to_string(id), face.left, face.top + 16, face.right, face.bottom - 16, 28, WHITE);
    }
    for (int d = 0; d < 10; ++d) PaintGlyph(c, l, RankingDigit(d), std::to_string(d), WHITE);
    const char* tabs[] = {"EASY", "NORMAL", "HARD"};
    for (int d = 0; d < 3; ++d) PaintLabel(c, l, RankingTab(d), tabs[d], {60, 140, 70});
    PaintLabel(c, l, kRankingHeading, "RANKING", {150, 80, 160});
    PaintLabel(c, l, kNameEntryHeading, "ENTER YOUR NAME", {150, 80, 160});
    for (int s = 0; s < kSymbolCount; ++s) PaintGlyph(c, l, RankingSymbol(s), std::string(1, kSymbolText[s]), WHITE);
    c.Text(l, "ranking_font", 300, 496, 12, WHITE);
}

// Character faces: 128 x 128, four a row, then the strips and labels below.
void PaintSelectFaces(Canvas& c, Lettering& l) {
    for (int id = 0; id < 12; ++id) {
        int x = 128 * (id % 4), y = 128 * (id / 4);
        bool character = id >= 1 && id <= 8;
        Colour base = character ? CHARACTERS[id - 1].colour : Colour{100, 100, 100};
        c.Fill(x + 1, y + 1, x + 127, y + 127, Shade(base, 0.5f));
        c.Disc(x + 64, y + 56, 40, base);
        c.CentredText(l, character ? CHARACTERS[id - 1].name : "face " + std::to_string(id), x + 4, y + 98, x + 124,
                      y + 124, 20, WHITE);
    }
    const char* strips[] = {"STRIP 400", "LABEL 430", "LABEL 460"};
    for (int i = 0; i < 3; ++i) {
        int y = 400 + 30 * i;
        c.Fill(0, y, i == 0 ? 512 : 150, y + 29, {60, 80, 160, 220});
        c.Text(l, strips[i], 6, y + 6, 16, WHITE);
    }
    c.Text(l, "select_face", 300, 496, 12, WHITE);
}

// Stand strips: three 512 x 150 rows; sheet s holds ids 3s to 3s + 2.
Painter SelectStands(std::string key, int sheet) {
    return [=](Canvas& c, Lettering& l) {
        for (int row = 0; row < 3; ++row) {
            int id = sheet * 3 + row, y = 150 * row;
            bool character = id >= 1 && id <= 8;
            Colour base = character ? CHARACTERS[id - 1].colour : Colour{110, 110, 110};
            c.VerticalGradient(0, y, 512, y + 149, Shade(base, 1.2f), Shade(base, 0.4f));
            c.CentredText(l, character ? CHARACTERS[id - 1].name : "random", 0, y + 30, 512, y + 120, 64, WHITE);
        }
        c.Text(l, key, 4, 456, 14, WHITE);
    };
}

// Stage pictures: 128 x 128, four a row, a colour per stage.
void PaintSelectStages(Canvas& c, Lettering& l) {
    for (int id = 0; id < 12; ++id) {
        int x = 128 * (id % 4), y = 128 * (id / 4);
        Colour base = id < 9 ? STAGE_COLOURS[id] : Colour{90, 90, 90};
        c.VerticalGradient(x + 1, y + 1, x + 127, y + 127, Shade(base, 1.3f), Shade(base, 0.5f));
        c.CentredText(l, "STAGE " + std::to_string(id), x + 4, y + 40, x + 124, y + 88, 24, WHITE);
    }
    c.Text(l, "select_stage", 4, 496, 12, WHITE);
}

// Stage names: 256 x 40, twelve a column; digits 24 wide at x 256 + 25 d.
void PaintStageNames(Canvas& c, Lettering& l) {
    for (int id = 0; id < 12; ++id) {
        int y = 40 * id;
        c.Fill(0, y + 2, 255, y + 38, WithAlpha(id < 9 ? STAGE_COLOURS[id] : Colour{90, 90, 90}, 200));
        c.CentredText(l, "STAGE " + std::to_string(id) + " NAME", 4, y + 4, 252, y + 36, 24, WHITE);
        for (int d = 0; d < 10; ++d)
            c.CentredText(l, std::to_string(d), 256 + 25 * d, y + 4, 256 + 25 * d + 24, y + 36, 28, WHITE);
    }
    c.Text(l, "select_stagename", 4, 490, 12, WHITE);
}

// A wheel of spokes and rings filling a 512 x 512 picture.
Painter Wheel(std::string key, Colour base) {
    return [=](Canvas& c, Lettering& l) {
        for (int r = 250; r > 40; r -= 30) c.Disc(256, 256, r, WithAlpha(Shade(base, r % 60 ? 0.6f : 1.2f), 200));
        for (int k = 0; k < 12; ++k) {
            float a = 2 * PI * static_cast<float>(k) / 12;
            for (int r = 40; r < 250; r += 4)
                c.Disc(256 + static_cast<int>(std::cos(a) * r), 256 + static_cast<int>(std::sin(a) * r), 2, WHITE);
        }
        c.Text(l, key, 6, 6, 16, WHITE);
    };
}

// The versus mark: two 100 x 100 letters.
void PaintVersusMark(Canvas& c, Lettering& l) {
    c.CentredText(l, "V", 0, 0, 100, 100, 96, {255, 80, 80, 255});
    c.CentredText(l, "S", 100, 0, 200, 100, 96, {80, 140, 255, 255});
    c.Text(l, "vs_font", 204, 4, 10, WHITE);
}

// Credits: seven lines of 256 x 50 on the left, a picture on the right.
void PaintStaffRoll(Canvas& c, Lettering& l) {
    for (int i = 0; i < viewer_sheets::kStaffLineCount; ++i) {
        const viewer_sheets::Cell cell = viewer_sheets::StaffLine(i);
        c.CentredText(l, "STAFF LINE " + std::to_string(i + 1), cell.left, cell.top, cell.right + 1, cell.bottom + 1,
                      28, WHITE);
    }
    const viewer_sheets::Cell p = viewer_sheets::kStaffPicture;
    c.VerticalGradient(p.left, p.top, p.right + 1, p.bottom + 1, {120, 160, 255, 255}, {40, 20, 80, 255});
    c.CentredText(l, "ed_staff", p.left, 200, p.right + 1, 300, 40, WHITE);
}

// The animation's lettering: white lines on a faint band for the two still
// sequences, and two columns of letters set one under another for the
// closing screen.
void PaintAnimationFont(Canvas& c, Lettering& l) {
    for (int i = 0; i < viewer_sheets::kAnimationLineCount; ++i) {
        const viewer_sheets::Cell cell = viewer_sheets::kAnimationLines[i];
        c.Fill(cell.left, cell.top, cell.right + 1, cell.bottom + 1, {40, 40, 80, 90});
        c.CentredText(l, "ANIMATION LINE " + std::to_string(i + 1), cell.left, cell.top, cell.right + 1,
                      cell.bottom + 1, 24, WHITE);
    }
    const std::pair<viewer_sheets::Cell, std::string> columns[] = {{viewer_sheets::kClosingRightColumn, "THE END"},
                                                                    {viewer_sheets::kClosingLeftColumn, "THANKS"}};
    for (const auto& [cell, text] : columns) {
        c.Fill(cell.left, cell.top, cell.right + 1, cell.bottom + 1, {40, 40, 80, 90});
        for (size_t k = 0; k < text.size(); ++k) {
            const int y = cell.top + 10 + 50 * static_cast<int>(k);
            c.CentredText(l, std::string(1, text[k]), cell.left, y, cell.right + 1, y + 44, 40, WHITE);
        }
    }
    c.Text(l, "anm_font", 420, 496, 12, WHITE);
}

// Height picture of the hilly stage: the red channel is the height.
void PaintHeightField(Canvas& c, Lettering&) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            float h = 0.5f + 0.25f * std::sin(static_cast<float>(x) * 0.07f) + 0.25f * std::cos(static_cast<float>(y) * 0.05f);
            c.SetRed(x, y, static_cast<uint8_t>(std::clamp(h, 0.0f, 1.0f) * 255));
        }
}

// The characters' colours, for their tabs on the HUD sheets.
std::array<Colour, 8> TabColours() {
    std::array<Colour, 8> colours;
    for (size_t i = 0; i < colours.size(); ++i) colours[i] = CHARACTERS[i].colour;
    return colours;
}

// ---- Catalogue ---------------------------------------------------------------

void Add(std::vector<Picture>& out, const char* archive, std::string key, int w, int h, int format, Painter paint) {
    out.push_back({archive, std::move(key), w, h, format, std::move(paint)});
}

void AddSystemPictures(std::vector<Picture>& out) {
    const int LZ = IMAGE_PIXEL_32_LZSS, LZ16 = IMAGE_PIXEL_16_LZSS;
    Add(out, SYSTEM, "black", 128, 128, IMAGE_PIXEL_32, PaintTransitionSprite);
    Add(out, SYSTEM, "morvel", 640, 480, LZ, Poster("MORVEL", "morvel", {60, 60, 140}));
    Add(out, SYSTEM, "quastel", 640, 480, LZ16, Poster("QUASTEL", "quastel", {140, 60, 60}));
    Add(out, SYSTEM, "effect", 512, 512, LZ, EffectSheetPainter());
    Add(out, SYSTEM, "perticle", 256, 256, LZ, PaintParticleSheet);
    for (bool replay : {false, true})
        Add(out, SYSTEM, replay ? "system_r" : "system", 512, 512, LZ,
            [replay](Canvas& c, Lettering& l) { PaintSystemSheet(c, l, TabColours(), replay); });
    Add(out, SYSTEM, "name_plate", 256, 256, LZ, PaintNamePlates);
    Add(out, SYSTEM, "message", 512, 256, LZ, PaintMessageSheet);
    Add(out, SYSTEM, "menu_font", 512, 512, LZ, PaintMenuFont);
    Add(out, SYSTEM, "replay_font", 512, 512, LZ, PaintReplayFont);
    Add(out, SYSTEM, "title_logo", 512, 256, LZ, Poster("TITLE LOGO", "title_logo", {200, 140, 40}));
    Add(out, SYSTEM, "ranking_font", 512, 512, LZ, PaintRankingFont);
    Add(out, SYSTEM, "menu_bgp", 512, 512, LZ, Wheel("menu_bgp", {90, 110, 200}));
    Add(out, SYSTEM, "menu_bgpS", 640, 480, LZ16, Poster("MENU", "menu_bgpS", {90, 90, 150}));
    Add(out, SYSTEM, "select_face", 512, 512, LZ, PaintSelectFaces);
    Add(out, SYSTEM, "select_stand", 512, 512, LZ, SelectStands("select_stand", 0));
    Add(out, SYSTEM, "select_stand2", 512, 512, LZ, SelectStands("select_stand2", 1));
    Add(out, SYSTEM, "select_stand3", 512, 512, LZ, SelectStands("select_stand3", 2));
    Add(out, SYSTEM, "select_stage", 512, 512, LZ, PaintSelectStages);
    Add(out, SYSTEM, "select_stagename", 512, 512, LZ, PaintStageNames);
    Add(out, SYSTEM, "select_wheel", 512, 512, LZ, Wheel("select_wheel", {200, 80, 80}));
    Add(out, SYSTEM, "select_wheel2", 512, 512, LZ, Wheel("select_wheel2", {80, 200, 120}));
    Add(out, SYSTEM, "select_sky", 512, 512, LZ, Poster("SELECT SKY", "select_sky", {110, 150, 240}));
    for (const Character& ch : CHARACTERS) {
        std::string key = std::string("stand_") + ch.name;
        Add(out, SYSTEM, key, 512, 512, LZ, Stand(key, ch));
    }
    Add(out, SYSTEM, "conclusion_font", 512, 512, LZ, PaintConclusionSheet);
    Add(out, SYSTEM, "vs_font", 256, 128, LZ, PaintVersusMark);
    Add(out, SYSTEM, "vs_bgp", 640, 480, LZ16, Poster("VERSUS", "vs_bgp", {120, 40, 90}));
    Add(out, SYSTEM, "ed_staff", 512, 512, LZ, PaintStaffRoll);
}

void AddAnimationPictures(std::vector<Picture>& out) {
    Add(out, ANIMATION, "anm_font", 512, 512, IMAGE_PIXEL_32_LZSS, PaintAnimationFont);
    for (int i = 0; i < 12; ++i) {
        std::string key = TwoDigits("anm", i);
        Add(out, ANIMATION, key, 512, 512, IMAGE_PIXEL_32_LZSS,
            Poster(i == 0 ? "ANIMATION TITLE" : "ANIMATION STILL " + std::to_string(i), key, STAGE_COLOURS[i % 9]));
    }
}

void AddExtraPictures(std::vector<Picture>& out) {
    for (const Character& ch : CHARACTERS) {
        if (ch.storyPages == 0) continue;
        std::string bp = std::string("bp_") + ch.name;
        Add(out, EXTRA, bp, 640, 480, IMAGE_PIXEL_16_LZSS, Poster(std::string(ch.name) + " story", bp, Shade(ch.colour, 0.6f)));
        for (int page = 0; page < ch.storyPages; ++page) {
            std::string key = TwoDigits((std::string("st_") + ch.name + "_").c_str(), page);
            Add(out, EXTRA, key, 512, 512, IMAGE_PIXEL_32_LZSS,
                Poster(std::string(ch.name) + " page " + std::to_string(page), key, ch.colour));
        }
    }
}

void AddStagePictures(std::vector<Picture>& out) {
    for (Picture& p : StagePictures()) out.push_back(std::move(p));
    Add(out, MODEL, "03land", 161, 161, IMAGE_PIXEL_32_LZSS, PaintHeightField);
    for (Picture& p : StageModelTextures()) out.push_back(std::move(p));
}

void AddCharacterPictures(std::vector<Picture>& out) {
    for (int id = 1; id <= 8; ++id) {
        const Character& ch = CHARACTERS[id - 1];
        for (int colour = 0; colour < 2; ++colour) {
            std::string archive = "gf/mdl_" + std::to_string(id) + std::to_string(colour + 1) + ".dat";
            auto add = [&](std::string key, int w, int h, Painter p) {
                out.push_back({archive, std::move(key), w, h, IMAGE_PIXEL_32_LZSS, std::move(p)});
            };
            for (int k = 0; k < ch.frames; ++k) {
                std::string key = TwoDigits("mdl", k);
                add(key, 64, 64, FighterPosePainter(id, CostumeColour(ch, colour), k));
            }
            for (int k = 0; k < ch.actions; ++k) {
                std::string key = TwoDigits(ch.actionPrefix, k);
                add(key, ch.actionSide, ch.actionSide, FighterPartPainter(id, CostumeColour(ch, colour), k));
            }
            add("item", 512, 512, ShotSheetPainter(id, CostumeColour(ch, colour)));
            add("ring", 512, 512, RingSheetPainter(id, CostumeColour(ch, colour)));
        }
    }
}

}  // namespace

std::vector<Picture> PictureCatalogue() {
    std::vector<Picture> out;
    AddSystemPictures(out);
    AddAnimationPictures(out);
    AddExtraPictures(out);
    AddStagePictures(out);
    AddCharacterPictures(out);
    return out;
}

std::vector<std::string> PictureArchives(const std::vector<Picture>& catalogue) {
    std::vector<std::string> archives;
    for (const Picture& p : catalogue)
        if (std::find(archives.begin(), archives.end(), p.archive) == archives.end()) archives.push_back(p.archive);
    return archives;
}

bool WritePictureArchive(const std::string& folder, const std::vector<Picture>& catalogue, const std::string& archive) {
    namespace fs = std::filesystem;
    fs::path path = fs::path(folder) / archive;
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    if (!fs::is_directory(path.parent_path(), error)) return false;
    Lettering lettering;
    KagWriter writer;
    for (const Picture& p : catalogue) {
        if (p.archive != archive) continue;
        Canvas canvas(p.width, p.height, CLEAR);
        p.paint(canvas, lettering);
        std::vector<uint8_t> data(static_cast<size_t>(GetDataSize(p.width, p.height, p.format)));
        ConvertPixels(p.width, p.height, IMAGE_PIXEL_32, canvas.Pixels().data(), p.format, data.data(), nullptr);
        // Entry names are lower-case; the reader lowers the keys it is asked for.
        std::string name = p.key;
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char ch) { return std::tolower(ch); });
        writer.Add(name, p.width, p.height, p.format, data.data());
    }
    return writer.WriteFile(path.string());
}

bool WritePictureSet(const std::string& folder) {
    const std::vector<Picture> catalogue = PictureCatalogue();
    const std::vector<std::string> archives = PictureArchives(catalogue);
    std::atomic<size_t> next{0};
    std::atomic<bool> ok{true};
    auto work = [&] {
        for (size_t i = next++; i < archives.size(); i = next++) {
            if (WritePictureArchive(folder, catalogue, archives[i])) continue;
            std::fprintf(stderr, "datagen: cannot write %s/%s\n", folder.c_str(), archives[i].c_str());
            ok = false;
        }
    };
    std::vector<std::thread> threads;
    unsigned count = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    for (unsigned t = 0; t < count; ++t) threads.emplace_back(work);
    for (std::thread& t : threads) t.join();
    return ok;
}

}  // namespace datagen
