#include "tools/datagen/shot_sheets.h"

#include <algorithm>
#include <vector>

#include "tools/datagen/shapes.h"

namespace datagen {
namespace {

enum class Look {
    Orb,       // a round shot, glowing from its core
    Bolt,      // a shot flying to the right, its head brightest
    Beam,      // a band of light along the cell
    Streak,    // a band of light up the cell
    Burst,     // an explosion: a glow with rays
    Crescent,  // a slash, its arc bulging to the right
    Ring,      // a ring of light
    Drone,     // a solid pod in the costume's colour with a glowing eye
};

// A cell of a sheet, as the drawing code cuts it: left, top, right and
// bottom pixels, all inclusive.
struct Cell {
    int left, top, right, bottom;
    Look look;
};

using Cells = std::vector<Cell>;

// `count` cells of w x h side by side from (left, top).
void Strip(Cells& out, int left, int top, int w, int h, int count, Look look) {
    for (int i = 0; i < count; ++i) out.push_back({left + w * i, top, left + w * i + w - 1, top + h - 1, look});
}

// The cells of each character's item sheet: its shots, heavy shots and
// beams, move effects, attack areas and, for perila, the satellites. Cells
// that two uses share are listed once.
Cells ItemCells(int characterId) {
    using enum Look;
    Cells c;
    switch (characterId) {
    case 1:  // kirune
        c = {{0, 0, 63, 23, Bolt},         {64, 0, 127, 23, Bolt},      {128, 0, 175, 23, Bolt},
             {0, 32, 249, 71, Beam},       {0, 72, 249, 111, Beam},     {0, 112, 249, 151, Beam},
             {256, 0, 511, 79, Beam},      {256, 80, 511, 159, Beam},   {256, 160, 455, 189, Beam},
             {0, 152, 49, 201, Orb},       {0, 210, 499, 241, Beam},    {0, 250, 199, 449, Crescent},
             {200, 250, 229, 349, Streak}, {256, 256, 511, 511, Burst}};
        break;
    case 2:  // bemo
        c = {{0, 0, 47, 47, Orb},          {48, 0, 95, 47, Orb},   {0, 48, 47, 95, Orb}, {48, 48, 95, 95, Orb},
             {100, 0, 169, 29, Bolt},      {170, 0, 239, 69, Orb}, {0, 96, 159, 255, Ring},
             {0, 286, 99, 385, Burst}};
        break;
    case 3:  // oza
        c = {{0, 0, 63, 23, Bolt},       {0, 30, 79, 79, Bolt},       {200, 0, 299, 99, Burst},
             {300, 0, 399, 99, Burst},   {400, 90, 499, 189, Burst},  {200, 100, 299, 199, Burst},
             {300, 100, 399, 199, Burst}, {400, 190, 479, 229, Bolt}, {0, 200, 299, 229, Beam},
             {0, 230, 299, 259, Beam},   {0, 260, 29, 359, Streak}};
        Strip(c, 0, 100, 50, 50, 4, Orb);
        Strip(c, 0, 150, 50, 50, 4, Orb);
        for (int f = 0; f < 3; ++f) c.push_back({400, 30 * f, 449, 30 * f + 29, Bolt});
        break;
    case 4:  // perila
        c = {{240, 0, 287, 47, Orb},       {288, 0, 335, 47, Orb},      {336, 0, 383, 47, Orb},
             {400, 0, 459, 59, Orb},       {0, 60, 249, 99, Beam},      {0, 100, 249, 139, Beam},
             {0, 240, 127, 367, Burst},    {130, 240, 429, 319, Beam},  {256, 370, 511, 449, Beam},
             {0, 370, 249, 409, Beam},     {0, 410, 249, 449, Beam},    {0, 450, 249, 489, Beam}};
        Strip(c, 0, 0, 60, 60, 4, Drone);     // the satellites
        Strip(c, 30, 170, 60, 60, 3, Drone);  // and their turning frames
        break;
    case 5:  // ruo
        c = {{48, 0, 117, 29, Bolt},      {0, 50, 239, 79, Beam},     {0, 110, 119, 269, Orb},
             {120, 110, 149, 209, Streak}, {260, 0, 339, 79, Burst},  {340, 0, 419, 79, Burst},
             {260, 80, 419, 239, Burst},  {0, 270, 199, 299, Beam}};
        break;
    case 6:  // torvi
        c = {{180, 0, 379, 49, Beam},     {380, 0, 439, 49, Orb},     {180, 50, 279, 79, Bolt},
             {200, 80, 449, 119, Beam},   {200, 120, 249, 159, Orb},  {200, 160, 249, 199, Orb},
             {0, 170, 199, 199, Beam},    {150, 200, 429, 339, Burst}, {0, 430, 255, 509, Beam}};
        Strip(c, 0, 0, 60, 80, 3, Orb);      // the charges
        Strip(c, 0, 80, 40, 90, 3, Streak);  // the pillars
        Strip(c, 0, 350, 60, 80, 3, Orb);    // the large charge
        break;
    case 7:  // nebu
        c = {{0, 0, 63, 23, Bolt},         {64, 0, 127, 23, Bolt},       {0, 24, 63, 47, Bolt},
             {64, 24, 127, 47, Bolt},      {0, 50, 59, 74, Bolt},        {0, 75, 59, 99, Bolt},
             {60, 50, 109, 99, Orb},       {0, 100, 49, 149, Orb},       {50, 100, 99, 149, Orb},
             {100, 100, 179, 149, Bolt},   {200, 0, 499, 99, Beam},      {200, 100, 499, 199, Beam},
             {0, 150, 99, 249, Burst},     {100, 150, 199, 249, Burst},  {220, 200, 469, 239, Beam},
             {220, 240, 469, 279, Beam},   {0, 250, 219, 309, Beam},     {0, 310, 219, 369, Beam},
             {0, 370, 219, 429, Beam},     {0, 430, 219, 489, Beam},     {220, 310, 289, 489, Streak},
             {290, 280, 489, 309, Beam},   {290, 310, 489, 339, Beam},   {290, 340, 449, 499, Burst}};
        break;
    default:  // welo
        c = {{0, 0, 63, 23, Bolt},     {0, 32, 249, 71, Beam},      {0, 72, 249, 111, Beam},
             {0, 112, 249, 151, Beam}, {256, 0, 511, 79, Beam},     {250, 80, 299, 129, Orb},
             {0, 260, 29, 359, Streak}, {0, 360, 99, 459, Burst},   {100, 360, 199, 459, Burst}};
        Strip(c, 0, 460, 30, 30, 4, Orb);  // sparks
        break;
    }
    return c;
}

// The ring sheet: the graze lines (bright, then faint), the rings of the
// shared effects growing along their rows, the wide ring and the sweep, and
// kirune's ring of its large slash.
Cells RingCells(int characterId) {
    using enum Look;
    Cells c;
    Strip(c, 0, 0, 60, 180, 4, Streak);
    Strip(c, 0, 180, 60, 180, 4, Streak);
    c.push_back({240, 0, 439, 199, Ring});
    c.push_back({240, 200, 439, 249, Beam});
    if (characterId == 1) c.push_back({260, 250, 379, 409, Ring});
    Strip(c, 0, 360, 64, 64, 8, Ring);
    Strip(c, 0, 424, 64, 64, 8, Ring);
    return c;
}

// The battle's shared effect sheet: two hit flashes, a blast growing along
// the second row, sparks along the third, and the two flashes of a
// knock-out.
Cells EffectCells() {
    using enum Look;
    Cells c = {{0, 0, 99, 99, Burst}, {100, 0, 199, 99, Burst}, {0, 292, 199, 491, Ring}, {200, 292, 399, 491, Burst}};
    Strip(c, 0, 100, 64, 64, 8, Orb);
    Strip(c, 0, 164, 64, 64, 8, Burst);
    return c;
}

constexpr Colour CORE{255, 250, 235, 255};

// Shapes in picture pixels (y down), on the unit scale of the shapes.
Vec Px(float x, float y) { return {x, -y}; }

void AddLook(std::vector<Shape>& out, const Cell& cell, Colour costume, Colour glow, Colour light, float phase) {
    const float x0 = static_cast<float>(cell.left), y0 = static_cast<float>(cell.top);
    const float w = static_cast<float>(cell.right - cell.left + 1), h = static_cast<float>(cell.bottom - cell.top + 1);
    const float cx = x0 + w / 2, cy = y0 + h / 2, half = std::min(w, h) / 2 - 1;
    switch (cell.look) {
    case Look::Orb:
        out.push_back(Glow(Px(cx, cy), half * (0.55f + 0.45f * phase), glow));
        out.push_back(Glow(Px(cx, cy), half * (0.3f + 0.25f * phase), light));
        out.push_back(Glow(Px(cx, cy), half * 0.25f, CORE));
        break;
    case Look::Bolt:
    case Look::Beam: {
        const Vec a = Px(x0 + half + 1, cy), b = Px(x0 + w - half - 1, cy);
        Shape outer = Capsule(a, b, half, glow, Outline::None);
        Shape inner = Capsule(a, b, half * 0.5f, light, Outline::None);
        outer.soft = inner.soft = true;
        out.push_back(outer);
        out.push_back(inner);
        out.push_back(Capsule(a, b, std::max(1.0f, half * 0.15f), CORE, Outline::None));
        if (cell.look == Look::Bolt) out.push_back(Glow(b, half * 0.9f, CORE));
        break;
    }
    case Look::Streak: {
        const Vec a = Px(cx, y0 + half + 1), b = Px(cx, y0 + h - half - 1);
        Shape outer = Capsule(a, b, half, glow, Outline::None);
        outer.soft = true;
        out.push_back(outer);
        out.push_back(Capsule(a, b, std::max(1.0f, half * 0.2f), light, Outline::None));
        break;
    }
    case Look::Burst:
        out.push_back(Glow(Px(cx, cy), half, glow));
        for (int i = 0; i < 12; ++i) {
            const float angle = Radians(30.0f * static_cast<float>(i) + 15.0f * phase);
            Shape ray = Capsule(Px(cx, cy), Along(Px(cx, cy), angle, half * (i % 2 ? 0.7f : 0.95f)), half * 0.07f,
                                light, Outline::None);
            ray.soft = true;
            out.push_back(ray);
        }
        out.push_back(Glow(Px(cx, cy), half * 0.4f, CORE));
        break;
    case Look::Crescent: {
        const float radius = std::min(w * 0.5f, h * 0.42f);
        const Vec centre = Px(x0 + w - radius - half * 0.2f - 1, cy);
        out.push_back(Arc(centre, radius * 0.85f, Radians(-70), Radians(70), radius * 0.14f, glow, true));
        out.push_back(Arc(centre, radius * 0.88f, Radians(-60), Radians(60), radius * 0.05f, CORE));
        break;
    }
    case Look::Drone: {
        // A pod pointing right, its eye turning with the frame.
        out.push_back(Polygon({Px(cx + half * 0.8f, cy), Px(cx - half * 0.1f, cy - half * 0.6f), Px(cx - half * 0.6f, cy),
                               Px(cx - half * 0.1f, cy + half * 0.6f)},
                              costume));
        out.push_back(Disc(Px(cx, cy), half * 0.35f, Shade(costume, 0.6f)));
        out.push_back(Glow(Along(Px(cx, cy), Radians(90 * phase), half * 0.12f), half * 0.25f, light));
        break;
    }
    case Look::Ring:
        out.push_back(Arc(Px(cx, cy), half * (0.45f + 0.4f * phase), 0, 2 * PI, half * 0.12f + 1, glow, true));
        out.push_back(Arc(Px(cx, cy), half * (0.45f + 0.4f * phase), 0, 2 * PI, std::max(0.6f, half * 0.03f), light));
        break;
    }
}

// Cells of one look along a row grow with their place in the row, so that a
// strip cut frame by frame animates; a cell alone is full grown.
FigurePainter SheetPainter(Cells cells, Colour costume) {
    return [cells = std::move(cells), costume](Canvas& c, Lettering&) {
        const Colour glow = WithAlpha(Shade(costume, 1.25f), 220), light = Shade(costume, 1.7f);
        std::vector<Shape> shapes;
        for (size_t i = 0; i < cells.size(); ++i) {
            size_t run = 0, at = 0;
            for (size_t k = 0; k < cells.size(); ++k) {
                if (cells[k].top != cells[i].top || cells[k].look != cells[i].look) continue;
                at += k < i;
                ++run;
            }
            AddLook(shapes, cells[i], costume, glow, light, run > 1 ? static_cast<float>(at) / static_cast<float>(run - 1) : 1.0f);
        }
        PaintShapes(c, {0, 0, 1}, shapes);
    };
}

}  // namespace

FigurePainter ShotSheetPainter(int characterId, Colour costume) { return SheetPainter(ItemCells(characterId), costume); }

FigurePainter RingSheetPainter(int characterId, Colour costume) { return SheetPainter(RingCells(characterId), costume); }

FigurePainter EffectSheetPainter() { return SheetPainter(EffectCells(), {255, 190, 90, 255}); }

}  // namespace datagen
