#pragma once
// Where the select screens cut their pictures from the sheets of
// "gf\\system.dat". The data generator paints its placeholder sheets from the
// same numbers, so art and screen agree.
#include <algorithm>

namespace select_sheets {

// A cell as its left, top, width and height.
struct Cell {
    int left, top, width, height;
};

// "select_face" (512 x 512): the characters' faces, 128 x 128, four a row by
// character id; below them the network select's strips and the two sides'
// labels.
constexpr Cell FaceCell(int id) { return {128 * (id % 4), 128 * (id / 4), 128, 128}; }
constexpr Cell kConnectingStrip{0, 400, 150, 30};
constexpr Cell kDisconnectedStrip{150, 400, 240, 30};
constexpr Cell kSideLabels[2] = {{0, 430, 150, 30}, {0, 460, 150, 30}};

// "select_stand", "select_stand2", "select_stand3" (512 x 512 each): a strip
// of 512 x 150 per character, three a sheet.
constexpr int StandSheet(int id) { return std::min(id, 8) / 3; }
constexpr Cell StandCell(int id) { return {0, 150 * (std::min(id, 8) % 3), 512, 150}; }

// "select_stage" (512 x 512): the stages' pictures in the faces' grid.
constexpr Cell StageCell(int stage) { return FaceCell(stage); }

// "select_stagename" (512 x 512): the stages' names, 256 x 40, twelve a
// column, and the win counts' digits along the top of the second column.
constexpr Cell StageNameCell(int stage) { return {256 * (stage / 12), 40 * (stage % 12), 256, 40}; }
constexpr Cell WinDigit(int d) { return {256 + 25 * d, 0, 25, 35}; }

}  // namespace select_sheets
