#include "tools/datagen/story_pictures.h"

#include <cctype>
#include <string>
#include <vector>

#include "game/screens/viewer_sheets.h"
#include "tools/datagen/cast.h"
#include "tools/datagen/fighter_figures.h"
#include "tools/datagen/screen_art.h"

namespace datagen {
namespace {

constexpr Colour NAVY{25, 35, 75, 255};
constexpr Colour HALO{255, 255, 255, 170};
constexpr Colour PAGE_TEXT{235, 235, 245, 255};

// A name as a sentence writes it: "Kirune".
std::string Proper(const char* name) {
    std::string out = name;
    out[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[0])));
    return out;
}

std::string Lower(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

// Placeholder story text: sentences in which {N} is the character, {R} a
// rival and {P} a place.
const char* const SENTENCES[] = {
    "{N} woke before the wind did.",
    "The sky road shone faintly in the east.",
    "{R} was already waiting above the clouds.",
    "\"Race me to the gate,\" {R} said.",
    "{N} only smiled and took to the air.",
    "Below them, the {P} rolled past.",
    "Every duel is a question asked in light.",
    "{N} answered with a burst of fire.",
    "The clouds parted like a curtain.",
    "Somewhere far ahead, the old seal hummed.",
    "No one knew who had drawn the road.",
    "{N} remembered the very first flight.",
    "Falling is easy. Flying takes a reason.",
    "{R} laughed and circled once.",
    "The shots scattered like sparks of rain.",
    "A graze of light, and then silence.",
    "{N} held on, and the wind held back.",
    "By dusk the {P} glowed gold and red.",
    "Stars came out one by one.",
    "\"Again tomorrow?\" asked {R}.",
    "{N} nodded. The road was not over.",
    "The gate would open for one flier only.",
    "Wings tired, {N} still looked up.",
    "Every road in the sky ends in a beginning.",
};
constexpr int SENTENCE_COUNT = sizeof SENTENCES / sizeof SENTENCES[0];

std::string Sentence(int index, const std::string& name, const std::string& rival, const std::string& place) {
    std::string text = SENTENCES[index % SENTENCE_COUNT];
    for (const auto& [mark, word] : {std::pair<std::string, std::string>{"{N}", name}, {"{R}", rival}, {"{P}", place}})
        for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark)) text.replace(at, mark.size(), word);
    return text;
}

// One figure of a scene.
struct Flier {
    int id;
    PoseKind pose;
    float x, y, pixels;
    bool facingLeft = false;
};

void PaintFliers(Canvas& c, const std::vector<Flier>& fliers) {
    for (const Flier& f : fliers)
        PaintFigure(c, f.id, CharacterOf(f.id).colour, {f.pose, 0.5f}, f.x, f.y, f.pixels, f.facingLeft);
}

// Dark lines of text on the white page, with a light rim for where they
// cross a still.
void PaintLine(Canvas& c, Lettering& l, const Area& a, const std::string& text, int height) {
    c.OutlinedText(l, text, a.x0, a.y0, a.x1, a.y1, height, NAVY, HALO, 1);
}

// Letters set one under another down a column.
void PaintColumn(Canvas& c, Lettering& l, const viewer_sheets::Cell& cell, const std::string& text) {
    const int step = (cell.bottom - cell.top - 10) / static_cast<int>(text.size());
    for (size_t k = 0; k < text.size(); ++k) {
        const int y = cell.top + 5 + step * static_cast<int>(k);
        PaintLine(c, l, {cell.left, y, cell.right + 1, y + step}, std::string(1, text[k]), std::min(step, 44));
    }
}

}  // namespace

void PaintAnimationFont(Canvas& c, Lettering& l) {
    using viewer_sheets::kAnimationLines;
    const char* const doubleLines[2][2] = {{"Far above the clouds,", "an old sky road still shines."},
                                           {"Eight fliers set out", "to find where it ends."}};
    for (int i = 0; i < 2; ++i) {
        const viewer_sheets::Cell cell = kAnimationLines[i];
        const int middle = (cell.top + cell.bottom + 1) / 2;
        PaintLine(c, l, {cell.left, cell.top, cell.right + 1, middle}, doubleLines[i][0], 24);
        PaintLine(c, l, {cell.left, middle, cell.right + 1, cell.bottom + 1}, doubleLines[i][1], 24);
    }
    const char* const singleLines[] = {"They raced over the forest,", "crossed the silent lake,",
                                       "flew through the starry night", "and came to the sealed gate."};
    for (int i = 2; i < viewer_sheets::kAnimationLineCount; ++i) {
        const viewer_sheets::Cell cell = kAnimationLines[i];
        PaintLine(c, l, {cell.left, cell.top, cell.right + 1, cell.bottom + 1}, singleLines[i - 2], 22);
    }
    PaintColumn(c, l, viewer_sheets::kClosingRightColumn, "THE END");
    PaintColumn(c, l, viewer_sheets::kClosingLeftColumn, "THANK YOU");
}

void PaintAnimationTitle(Canvas& c, Lettering& l) {
    c.Disc(256, 250, 230, {70, 90, 170, 200}, true);  // a haze of light behind the title
    PaintStars(c, {0, 70, c.Width(), 440}, 90, 1999);
    c.Disc(380, 150, 90, {255, 240, 190, 60}, true);
    c.Disc(380, 150, 34, {255, 245, 210, 255});
    c.Disc(394, 140, 30, {0, 0, 0, 255});  // the night cuts a crescent out of the moon
    c.OutlinedText(l, "THE SKY ROAD", 40, 220, 472, 290, 56, {255, 225, 150, 255}, {120, 60, 20, 255}, 2);
    c.CentredText(l, "a story of Tobrazel", 100, 300, 412, 328, 24, {170, 200, 255, 255});
}

void PaintAnimationStill(Canvas& c, int entry) {
    static const int STAGES[ANIMATION_STILLS] = {0, 5, 0, 1, 2, 3, 4, 7, 6, 8, 5};
    PaintScenery(c, STAGES[entry % ANIMATION_STILLS], {0, 0, c.Width(), c.Height()});
    std::vector<Flier> fliers;
    switch (entry) {
    case 0: fliers = {{1, PoseKind::MoveForward, 330, 250, 4.0f}}; break;
    case 1:
        for (int k = 0; k < CHARACTER_COUNT; ++k)
            fliers.push_back({k + 1, PoseKind::MoveForward, 440.0f - 44.0f * static_cast<float>((k + 1) / 2),
                              230.0f + (k % 2 ? -1.0f : 1.0f) * 40.0f * static_cast<float>((k + 1) / 2), 2.2f});
        break;
    case 2:
        c.Annulus(2 * 560, 2 * 760, 560, 584, {255, 230, 150, 150});
        c.Annulus(2 * 560, 2 * 760, 566, 578, {255, 250, 220, 220});
        fliers = {{2, PoseKind::MoveForward, 300, 290, 3.0f}, {3, PoseKind::MoveForward, 380, 250, 3.0f}};
        break;
    case 3:
        fliers = {{2, PoseKind::MoveForward, 260, 180, 3.0f}, {3, PoseKind::DashForward, 350, 220, 3.0f},
                  {4, PoseKind::MoveForward, 420, 170, 3.0f}};
        break;
    case 4: fliers = {{5, PoseKind::DashForward, 320, 300, 3.5f}}; break;
    case 5: fliers = {{6, PoseKind::Idle, 330, 240, 5.0f}}; break;
    case 6:
        fliers = {{1, PoseKind::Shoot, 250, 240, 3.5f}, {8, PoseKind::Cast, 420, 220, 3.5f, true}};
        break;
    case 7:
        fliers = {{4, PoseKind::Idle, 280, 260, 3.0f}, {7, PoseKind::Cast, 400, 300, 3.0f, true}};
        break;
    case 8: fliers = {{3, PoseKind::Shoot, 330, 230, 4.5f}}; break;
    case 9:
        fliers = {{1, PoseKind::Idle, 230, 330, 2.5f}, {5, PoseKind::Idle, 290, 350, 2.5f},
                  {6, PoseKind::Idle, 430, 340, 2.5f, true}};
        break;
    default:
        c.Disc(340, 230, 280, {255, 255, 250, 230}, true);
        fliers = {{1, PoseKind::MoveForward, 330, 260, 3.0f}};
        break;
    }
    PaintFliers(c, fliers);
    // The scene fades into the white page the viewer writes its lines on.
    c.HorizontalGradient(0, 0, 190, c.Height(), WHITE, WithAlpha(WHITE, 0));
}

void PaintStoryBackground(Canvas& c, int characterId) {
    const Colour colour = CharacterOf(characterId).colour;
    c.VerticalGradient(0, 0, c.Width(), c.Height(), Shade(colour, 0.45f), Shade(colour, 0.15f));
    Dice dice(static_cast<uint32_t>(characterId) * 97u);
    for (int k = 0; k < 14; ++k)
        c.Disc(dice.Roll(c.Width()), dice.Roll(c.Height()), 20 + dice.Roll(50), WithAlpha(Shade(colour, 1.6f), 50), true);
    c.Disc(480, 230, 190, WithAlpha(Shade(colour, 1.5f), 90), true);
    PaintFigure(c, characterId, colour, {PoseKind::Idle, 0.5f}, 480, 250, 9.0f, true);
}

void PaintStoryPage(Canvas& c, Lettering& l, int characterId, int page) {
    const Character& ch = CharacterOf(characterId);
    const std::string name = Proper(ch.name);
    const int rivalId = characterId % CHARACTER_COUNT + 1;
    const int stage = (characterId + page) % STAGE_COUNT;
    // The picture; the page is drawn from screen row 44 and its last rows
    // lie below the screen, so everything stands in its top 430 rows.
    const Area picture = page == 0 ? Area{32, 20, 480, 290} : Area{32, 16, 480, 216};
    PaintScenery(c, stage, picture);
    c.ClipTo(picture.x0, picture.y0, picture.x1, picture.y1);
    if (page == 0) {
        PaintFliers(c, {{characterId, PoseKind::MoveForward, 256, 160, 5.5f}});
    } else {
        static const PoseKind POSES[] = {PoseKind::Idle,  PoseKind::MoveForward, PoseKind::Shoot, PoseKind::Cast,
                                         PoseKind::DashForward, PoseKind::Slash, PoseKind::Shield};
        const float x = 140.0f + 90.0f * static_cast<float>(page % 3);
        std::vector<Flier> fliers{{characterId, POSES[page % 7], x, 120, 4.0f}};
        if (page % 2) fliers.push_back({rivalId, POSES[(page + 3) % 7], 400, 110, 3.5f, true});
        PaintFliers(c, fliers);
    }
    c.Unclip();
    c.Frame(picture.x0, picture.y0, picture.x1, picture.y1, 2, {230, 230, 245, 255});
    if (page == 0) {
        c.OutlinedText(l, DisplayName(ch), 32, 306, 480, 366, 56, Shade(ch.colour, 1.6f), {30, 30, 45, 255}, 2);
        c.CentredText(l, "STORY", 32, 372, 480, 398, 24, PAGE_TEXT);
        return;
    }
    c.Fill(32, 228, 480, 424, {60, 62, 92, 210});
    c.Frame(32, 228, 480, 424, 1, {150, 150, 190, 255});
    const std::string rival = Proper(CharacterOf(rivalId).name), place = Lower(StageName(stage));
    for (int k = 0; k < 4; ++k) {
        const std::string line = Sentence(page * 3 + k * 5 + characterId * 7, name, rival, place);
        int height = 20;
        while (height > 12 && Canvas::TextWidth(l, line, height) > 410) --height;
        c.Text(l, line, 48, 244 + 44 * k, height, PAGE_TEXT);
    }
}

void PaintStaffRoll(Canvas& c, Lettering& l) {
    struct Credit {
        const char* role;
        const char* name;
    };
    const Credit credits[viewer_sheets::kStaffLineCount] = {
        {"GAME DESIGN", "Tessaphoro"},        {"PROGRAM", "Tessaphoro"},
        {"GRAPHICS", "Tessaphoro"},           {"MUSIC AND SOUND", "Tessaphoro"},
        {"SPECIAL THANKS", "everyone who played"}, {nullptr, "THANK YOU FOR PLAYING"},
        {"STAFF", "TOBRAZEL"},
    };
    for (int i = 0; i < viewer_sheets::kStaffLineCount; ++i) {
        const viewer_sheets::Cell cell = viewer_sheets::StaffLine(i);
        const Credit& credit = credits[i];
        if (!credit.role) {
            c.CentredText(l, credit.name, cell.left, cell.top, cell.right + 1, cell.bottom + 1, 24, WHITE);
            continue;
        }
        c.CentredText(l, credit.role, cell.left, cell.top + 2, cell.right + 1, cell.top + 20, 16, {150, 190, 255, 255});
        c.CentredText(l, credit.name, cell.left, cell.top + 20, cell.right + 1, cell.bottom, 26, WHITE);
    }
    // The picture: the eight fliers rising through a night sky.
    const viewer_sheets::Cell p = viewer_sheets::kStaffPicture;
    const Area sky{p.left, p.top, p.right + 1, p.bottom + 1};
    c.VerticalGradient(sky.x0, sky.y0, sky.x1, sky.y1, {40, 60, 165, 255}, {55, 20, 70, 255});
    c.ClipTo(sky.x0, sky.y0, sky.x1, sky.y1);
    PaintStars(c, sky, 120, 777);
    for (int k = 0; k < CHARACTER_COUNT; ++k)
        PaintFigure(c, k + 1, CharacterOf(k + 1).colour, {PoseKind::MoveForward, 0.5f},
                    static_cast<float>(sky.x0 + (k % 2 ? 170 : 86)), static_cast<float>(sky.y0 + 40 + 58 * k), 2.0f,
                    k % 2 == 1);
    c.Unclip();
}

}  // namespace datagen
