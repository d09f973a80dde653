#pragma once
// Where the animation viewer and the staff roll cut their pictures from
// "anm_font" and "ed_staff". The data generator paints its placeholder
// sheets from the same numbers, so art and screen agree.

namespace viewer_sheets {

struct Cell {
    int left, top, right, bottom;  // right and bottom inclusive, as drawn
};

// "anm_font" (512 x 512): the lines of the two still sequences and the two
// columns of the closing screen.
constexpr Cell kAnimationLines[] = {
    {0, 0, 299, 59},    {0, 60, 299, 119},  // first sequence
    {0, 120, 239, 149}, {0, 150, 239, 179}, {0, 180, 239, 209}, {0, 210, 239, 239},  // second sequence
};
constexpr int kAnimationLineCount = 6;
constexpr Cell kClosingRightColumn{300, 0, 349, 399};
constexpr Cell kClosingLeftColumn{350, 0, 399, 399};

// "ed_staff" (512 x 512): seven credit lines of 256 x 50 down the left half
// and one picture over the right half.
constexpr int kStaffLineCount = 7;
constexpr Cell StaffLine(int k) { return {0, 50 * k, 255, 50 * k + 49}; }
constexpr Cell kStaffPicture{256, 0, 511, 511};

}  // namespace viewer_sheets
