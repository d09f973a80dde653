#include "tools/datagen/hud_pictures.h"

#include <cmath>
#include <string>

#include "game/arena/hud_sheets.h"
#include "game/screens/result_sheets.h"

namespace datagen {
namespace {

using hud_sheets::Cell;

constexpr Colour WHITE{255, 255, 255, 255};
constexpr Colour BLACK{0, 0, 0, 255};
// The colours of the dial's three levels, also their badges'.
constexpr Colour LEVEL_COLOURS[3] = {{70, 170, 255, 255}, {255, 215, 60, 255}, {255, 70, 100, 255}};

// A half-open box [x0, x1) x [y0, y1) of the sheet.
struct Box {
    int x0, y0, x1, y1;
};
// The box of a cell up to its right and bottom edges as the code gives them
// (some are the last pixel, right = left + width - 1), so that painting
// never reaches into the neighbouring cell.
Box Inside(const Cell& c) { return {c.left, c.top, c.right, c.bottom}; }

// Text centred in a box with a dark outline, so it reads over any scenery.
void OutlinedText(Canvas& c, Lettering& l, const std::string& text, const Box& b, int maxHeight, Colour colour) {
    c.OutlinedText(l, text, b.x0, b.y0, b.x1, b.y1, maxHeight, colour, WithAlpha(BLACK, 200));
}

// An opaque plate with a light rim and its text: words that must read at
// full strength whatever lies behind (timer, menu labels, notices).
void Plate(Canvas& c, Lettering& l, const Box& b, const std::string& text, Colour base, int maxHeight) {
    c.VerticalGradient(b.x0, b.y0, b.x1, b.y1, Shade(base, 1.25f), Shade(base, 0.6f));
    c.Frame(b.x0, b.y0, b.x1, b.y1, 1, Shade(base, 1.8f));
    if (!text.empty()) c.CentredText(l, text, b.x0 + 2, b.y0 + 1, b.x1 - 2, b.y1 - 1, maxHeight, WHITE);
}

// Side 1 draws its tab mirrored, so a tab carries no words (the name plate
// beside it names the character): the character's colour with a band of
// diamonds that reads the same both ways.
void PaintTabs(Canvas& c, const std::array<Colour, CHARACTER_COUNT>& tabColours) {
    for (int id = 1; id <= CHARACTER_COUNT; ++id) {
        const Colour colour = tabColours[static_cast<size_t>(id - 1)];
        const Box b = Inside(hud_sheets::CharacterTab(id));
        c.VerticalGradient(b.x0, b.y0, b.x1, b.y1, Shade(colour, 1.3f), Shade(colour, 0.55f));
        c.Frame(b.x0, b.y0, b.x1, b.y1, 1, WithAlpha(WHITE, 200));
        const int cy = (b.y0 + b.y1) / 2;
        for (int x = b.x0 + 8; x + 4 <= b.x1 - 4; x += 11)
            for (int dy = -4; dy <= 4; ++dy) {
                const int half = 4 - std::abs(dy);
                c.Fill(x + 4 - half, cy + dy, x + 5 + half, cy + dy + 1, Shade(colour, 1.7f));
            }
    }
}

// The bar's layers are stretched to the life's width, so each is a band
// that only changes downwards: red for the last third, then yellow, green.
void PaintLifeBar(Canvas& c) {
    const Box frame = Inside(hud_sheets::kLifeFrame);
    c.Fill(frame.x0, frame.y0, frame.x1, frame.y1, {20, 20, 40, 190});
    c.Fill(frame.x0, frame.y0, frame.x1, frame.y0 + 2, WHITE);
    c.Fill(frame.x0, frame.y1 - 2, frame.x1, frame.y1, WHITE);
    const Colour layers[3] = {{230, 50, 40, 255}, {250, 200, 40, 255}, {60, 220, 90, 255}};
    for (int i = 0; i < 3; ++i) {
        const Box b = Inside(hud_sheets::LifeLayer(i));
        c.VerticalGradient(b.x0, b.y0, b.x1, b.y1, Shade(layers[i], 1.5f), Shade(layers[i], 0.7f));
        c.Fill(b.x0, b.y1 - 2, b.x1, b.y1, Shade(layers[i], 0.4f));
    }
    const Box trail = Inside(hud_sheets::kLifeTrail);
    c.VerticalGradient(trail.x0, trail.y0, trail.x1, trail.y1, {255, 240, 240, 255}, {255, 120, 100, 255});
}

// Each strip is a diameter of the dial: its two ends, turned about its
// centre strip by strip, sweep the ring. The face is a dark ring with a rim;
// a level is the ring in its colour, brighter at the end of the sweep so
// the fill shows where it has got to.
void PaintDial(Canvas& c) {
    const int w = hud_sheets::kDialWidth;
    const auto ends = [&](int left, int y, int x0, int x1, Colour colour) {
        c.Fill(left + x0, y, left + x1, y + 1, colour);
        c.Fill(left + w - x1, y, left + w - x0, y + 1, colour);
    };
    for (int k = 0; k < hud_sheets::kDialStrips + 2; ++k) {  // the last strip reads two rows
        const int y = hud_sheets::kDialTop + k;
        ends(hud_sheets::kDialFaceLeft, y, 0, 2, {230, 230, 240, 255});
        ends(hud_sheets::kDialFaceLeft, y, 2, 11, {30, 30, 50, 220});
        const float rise = 0.55f + 0.6f * static_cast<float>(k) / hud_sheets::kDialStrips;
        for (int level = 0; level < 3; ++level) ends(hud_sheets::DialLevelLeft(level), y, 2, 10, Shade(LEVEL_COLOURS[level], rise));
    }
}

void PaintBadges(Canvas& c, Lettering& l) {
    for (int level = 1; level <= 3; ++level) {
        const Box b = Inside(hud_sheets::LevelBadge(level));
        c.Annulus(b.x0 + b.x1, b.y0 + b.y1, 0.0f, 11.5f, Shade(LEVEL_COLOURS[level - 1], 0.8f));
        c.Annulus(b.x0 + b.x1, b.y0 + b.y1, 10.0f, 11.5f, WHITE);
        OutlinedText(c, l, std::to_string(level), {b.x0, b.y0 + 4, b.x1, b.y1 - 4}, 20, WHITE);
    }
}

// Digits drawn tinted by the HUD: white figures with a dark outline.
void PaintOutlinedDigits(Canvas& c, Lettering& l, Cell (*cell)(int32_t), int maxHeight) {
    for (int d = 0; d < 10; ++d) OutlinedText(c, l, std::to_string(d), Inside(cell(d)), maxHeight, WHITE);
}

void PaintTimer(Canvas& c, Lettering& l, Colour plate) {
    for (int d = 0; d < 10; ++d) {
        // The units digit is cut a pixel wider: its plate covers that pixel.
        const Box b = Inside(hud_sheets::TimerDigit(d, 1));
        Plate(c, l, b, "", plate, 0);
        c.CentredText(l, std::to_string(d), b.x0, b.y0 + 2, b.x1, b.y1 - 2, 32, WHITE);
    }
    const Box none = Inside(hud_sheets::kTimerNoLimit);
    Plate(c, l, none, "", plate, 0);
    // "∞" (CP932), a full-width glyph as wide as it is tall.
    c.Text(l, "\x81\x87", none.x0 + (none.x1 - none.x0 - 30) / 2, none.y0 + 2, 30, WHITE);
    Plate(c, l, Inside(hud_sheets::kTimerLabel), "TIME", plate, 16);
}

void PaintLabels(Canvas& c, Lettering& l, Colour plate) {
    OutlinedText(c, l, "BOOST", Inside(hud_sheets::kBoostLabel), 20, WHITE);
    OutlinedText(c, l, "%", Inside(hud_sheets::kBoostUnit), 20, WHITE);
    // Added to the scene: a glowing pill with the word.
    const Box shield = Inside(hud_sheets::kShieldReady);
    c.Fill(shield.x0 + 2, shield.y0 + 3, shield.x1 - 2, shield.y1 - 3, {40, 120, 200, 150});
    c.CentredText(l, "SHIELD", shield.x0 + 4, shield.y0 + 4, shield.x1 - 4, shield.y1 - 4, 20, {190, 250, 255, 255});
    // The combo's labels are laid under the damage digits' lower edge and
    // beside the hit count's units: their words keep to the part left clear.
    const Box damage = Inside(hud_sheets::kComboDamageLabel), hits = Inside(hud_sheets::kComboHitsLabel);
    OutlinedText(c, l, "DAMAGE", {damage.x0, damage.y0 + 10, damage.x1, damage.y1}, 20, {255, 230, 140, 255});
    OutlinedText(c, l, "HITS", {hits.x0 + 12, hits.y0 + 4, hits.x1, hits.y1}, 20, {255, 230, 140, 255});
    for (int k = 0; k < hud_sheets::kMenuEntries; ++k)
        Plate(c, l, Inside(hud_sheets::MenuLabel(k)), hud_sheets::kMenuLabelText[k], plate, 24);
    Plate(c, l, Inside(hud_sheets::kDisconnected), "DISCONNECTED", {170, 40, 40, 255}, 22);
    OutlinedText(c, l, "GRAZE", Inside(hud_sheets::kGrazeMark), 24, {255, 240, 120, 255});
}

// The ring about a fighter, turned as it is drawn: notches show the turn.
void PaintRing(Canvas& c) {
    const Box b = Inside(hud_sheets::kRing);
    const int cx2 = b.x0 + b.x1, cy2 = b.y0 + b.y1;
    c.Annulus(cx2, cy2, 66.0f, 78.0f, {255, 255, 255, 170});
    c.Annulus(cx2, cy2, 70.0f, 74.0f, WHITE);
    for (int k = 0; k < 8; ++k) {
        const float a = 2.0f * 3.14159265f * static_cast<float>(k) / 8.0f;
        c.Disc(cx2 / 2 + static_cast<int>(std::cos(a) * 60.0f), cy2 / 2 + static_cast<int>(std::sin(a) * 60.0f), 4,
               WHITE, true);
    }
}

}  // namespace

void PaintSystemSheet(Canvas& c, Lettering& l, const std::array<Colour, CHARACTER_COUNT>& tabColours, bool replay) {
    const Colour plate = replay ? Colour{150, 90, 20, 255} : Colour{25, 45, 110, 255};
    PaintTabs(c, tabColours);
    PaintLifeBar(c);
    PaintDial(c);
    PaintBadges(c, l);
    PaintOutlinedDigits(c, l, hud_sheets::SmallDigit, 22);
    PaintOutlinedDigits(c, l, hud_sheets::ComboDigit, 34);
    PaintTimer(c, l, plate);
    PaintLabels(c, l, plate);
    PaintRing(c);
}

// Banner letters, one a cell; the blank of a word leaves its cell clear.
void PaintMessageSheet(Canvas& c, Lettering& l) {
    for (int row = 0; row < hud_sheets::kBannerRows; ++row) {
        const std::string word = hud_sheets::kBannerWords[row];
        for (size_t i = 0; i < word.size(); ++i) {
            if (word[i] == ' ') continue;
            const Cell cell = hud_sheets::BannerLetter(row, static_cast<int32_t>(i));
            OutlinedText(c, l, std::string(1, word[i]), {cell.left, cell.top + 4, cell.right, cell.bottom - 3}, 50,
                         {255, 230, 120, 255});
        }
    }
}

// Labels on blue plates filling their cells; digits, grade letters and the
// continue digits with a dark outline.
void PaintConclusionSheet(Canvas& c, Lettering& l) {
    using namespace result_sheets;
    const auto box = [](const result_sheets::Cell& cell) {
        return Box{cell.left, cell.top, cell.left + cell.width, cell.top + cell.height};
    };
    for (int i = 0; i < LABEL_COUNT; ++i) {
        const Box b = box(LabelCell(i));
        c.Fill(b.x0, b.y0, b.x1, b.y1, {40, 70, 150, 220});
        c.Frame(b.x0, b.y0, b.x1, b.y1, 2, {160, 190, 255, 255});
        c.CentredText(l, kLabelText[i], b.x0 + 6, b.y0 + 6, b.x1 - 6, b.y1 - 6, 34, WHITE);
    }
    for (int d = 0; d < 10; ++d) OutlinedText(c, l, std::to_string(d), box(DigitCell(d)), 29, WHITE);
    for (int g = 0; g < kGrades; ++g)
        OutlinedText(c, l, std::string(1, kGradeText[g]), box(GradeCell(g)), 48, {255, 220, 90, 255});
    for (int d = 0; d < 10; ++d) OutlinedText(c, l, std::to_string(d), box(ContinueDigitCell(d)), 34, {255, 150, 150, 255});
}

}  // namespace datagen
