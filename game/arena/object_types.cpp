#include "game/arena/object_types.h"

#include <algorithm>

namespace {

constexpr int32_t heavyShotCodes[] = {
    101, 102, 103, 104, 114, 115, 120, 121, 210, 211, 220, 221, 230, 301, 302, 310, 401, 402,
    403, 411, 420, 421, 422, 510, 512, 520, 610, 611, 612, 613, 650, 701, 702, 703, 710, 720,
    721, 730, 740, 741, 750, 760, 761, 762, 763, 770, 801, 802, 803, 804, 820, 830,
};

// 101 is appended by kirune's own code, not by the spawner.
constexpr int32_t shotCodes[] = {
    110, 120, 210, 221, 222, 225, 226, 231, 232, 301, 310, 315, 320, 410,
    420, 510, 610, 615, 620, 621, 630, 631, 632, 701, 702, 703, 710, 711,
    712, 713, 715, 716, 717, 718, 720, 721, 730, 740, 741, 770, 801, 802,
};

// 121, 502, 513 and 514 are stored as 120, 501, 510 and 511.
constexpr int32_t attackAreaCodes[] = {
    10,  11,  101, 102, 110, 120, 121, 122, 130, 201, 202, 203, 210, 211, 212,
    213, 220, 221, 225, 301, 302, 310, 311, 312, 313, 320, 321, 401, 402, 420,
    430, 501, 502, 503, 510, 511, 513, 514, 520, 521, 530, 540, 630, 635, 640,
    650, 710, 711, 715, 720, 730, 740, 741, 801, 802, 820, 830, 831,
};

// 11 and 21 append five Effects each, 12 one Effect of type 11.
constexpr int32_t effectCodes[] = {
    10,   11,   12,   21,   22,   31,   32,   101,  102,  110,  111,  120,  121,  130,
    140,  200,  201,  202,  310,  311,  315,  320,  321,  401,  410,  420,  421,  501,
    502,  503,  510,  511,  520,  521,  522,  530,  610,  611,  620,  630,  631,  635,
    636,  701,  702,  711,  712,  720,  730,  740,  741,  750,  760,  810,  890,  900,
    1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1100, 1101, 1200, 1300, 1301,
};

}  // namespace

std::span<const int32_t> SpawnableCodes(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::HeavyShot: return heavyShotCodes;
    case ObjectKind::Shot: return shotCodes;
    case ObjectKind::AttackArea: return attackAreaCodes;
    case ObjectKind::Effect: return effectCodes;
    }
    return {};
}

bool IsSpawnableCode(ObjectKind kind, int32_t type) {
    const std::span<const int32_t> codes = SpawnableCodes(kind);
    return std::binary_search(codes.begin(), codes.end(), type);
}
