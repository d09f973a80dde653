#include "tests/support/pose_table.h"

namespace test {

std::vector<ExpectedModel> PoseAndPart(int32_t pose, int32_t part, int32_t partBlendMode) {
    std::vector<ExpectedModel> models{Pose(pose)};
    if (part >= 0) models.push_back(Part(part, partBlendMode));
    return models;
}

void ExpectModelDraws(const std::vector<CharacterModelDraw>& draws, const std::vector<ExpectedModel>& models,
                      const Turn& turn, float x, const char* what) {
    EXPECT_EQ(draws.size(), models.size()) << what;
    if (draws.size() != models.size()) return;
    for (size_t i = 0; i < draws.size(); ++i) {
        const CharacterModelDraw& d = draws[i];
        EXPECT_EQ(d.kind, models[i].kind) << what << ", Model " << i;
        EXPECT_EQ(d.index, models[i].index) << what << ", Model " << i;
        EXPECT_EQ(d.blendMode, models[i].blendMode) << what << ", Model " << i;
        EXPECT_EQ(d.x, x) << what << ", Model " << i;
        EXPECT_EQ(d.y, kPoseRowY) << what << ", Model " << i;
        EXPECT_EQ(d.turn.rolled, turn.rolled) << what << ", Model " << i;
        EXPECT_EQ(d.turn.roll, turn.roll) << what << ", Model " << i;
        EXPECT_EQ(d.turn.mirrored, turn.mirrored) << what << ", Model " << i;
    }
}

}  // namespace test
