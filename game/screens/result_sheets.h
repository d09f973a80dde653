#pragma once
// Where the result screen cuts its pictures from "conclusion_font" (512 x
// 512) of "gf\\system.dat". The data generator paints its placeholder sheet
// from the same numbers, so art and screen agree. Cells are (left, top,
// width, height).

#include <cstdint>

namespace result_sheets {

struct Cell {
    int32_t left, top, width, height;
};

// 240 x 48 labels on a grid of 256 x 50, two a row.
enum Label : int32_t {
    LABEL_RESULT,
    LABEL_LIFE,
    LABEL_TIME_BONUS,
    LABEL_BEST_COMBO,
    LABEL_SCORE,
    LABEL_HITS,
    LABEL_CONTINUE,
    LABEL_COUNT
};
constexpr const char* kLabelText[LABEL_COUNT] = {"RESULT", "LIFE", "TIME BONUS", "BEST COMBO",
                                                 "SCORE",  "HITS", "CONTINUE?"};
constexpr Cell LabelCell(int32_t label) { return {256 * (label % 2), 50 * (label / 2), 240, 48}; }
// Digits 24 x 29 at (25 d, 200).
constexpr Cell DigitCell(int32_t d) { return {25 * d, 200, 24, 29}; }
// Grade letters 50 apart from y 240, best first; the last is the lost arcade
// battle's.
constexpr int32_t kGrades = 8;
constexpr char kGradeText[] = "PSABCDE-";
static_assert(sizeof kGradeText == kGrades + 1);
constexpr Cell GradeCell(int32_t grade) { return {50 * grade, 240, 50, 50}; }
// The continue countdown's digits on a grid of 25 x 35, five a row.
constexpr Cell ContinueDigitCell(int32_t d) { return {25 * (d % 5), 300 + 35 * (d / 5), 25, 35}; }

}  // namespace result_sheets
