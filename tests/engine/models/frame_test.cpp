#include "engine/models/frame.h"

#include "engine/models/animation_track.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace {

using Vec3 = std::array<float, 3>;

Vec3 Apply(const Matrix& m, Vec3 p) {
    Vector3 v{p[0], p[1], p[2]};
    v.TransformCoordInPlace(m);
    return {v.x, v.y, v.z};
}

void ExpectNear(Vec3 got, Vec3 expected, const char* what) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], expected[i], 1e-5f) << what << " [" << i << "]";
}

const float kS45 = std::sqrt(0.5f);
// A key whose matrix turns x into y (a quarter turn about z).
const RotationKey kTurnXToY = {0, 0, 0, -kS45, kS45};

class FrameTest : public testing::Test {
protected:
    Frame* AddFrame(const char* name, Frame* parent) {
        auto* frame = new Frame;
        frame->SetName(name);
        frame->parent = parent;
        frames.PushBack(frame);
        return frame;
    }
    AnimationTrack* AddTrack() {
        auto* track = new AnimationTrack;
        tracks.PushBack(track);
        return track;
    }

    ResourceList frames;
    ResourceList tracks;
};

TEST_F(FrameTest, FrameWithoutTrackAnimatesToItsLocalMatrix) {
    Frame* frame = AddFrame("a", nullptr);
    frame->local.SetTranslation(1, 2, 3);
    AnimateFrames(frames, 12.0f);
    ExpectNear(Apply(frame->animated, {0, 0, 0}), {1, 2, 3}, "animated");
    ExpectNear(Apply(*frame->GetCombinedMatrix(), {0, 0, 0}), {1, 2, 3}, "combined");
}

TEST_F(FrameTest, ScaleRotationAndPositionKeysApplyInThatOrder) {
    Frame* frame = AddFrame("a", nullptr);
    frame->local.SetTranslation(100, 100, 100);  // replaced by the position keys
    AnimationTrack* track = AddTrack();
    track->SetScaleKeys({{0, 2, 2, 2}});
    track->SetRotationKeys({kTurnXToY});
    track->SetPositionKeys({{0, 5, 0, 0}});
    frame->SetAnimationTrack(track);
    // (1, 0, 0) scaled to (2, 0, 0), turned to (0, 2, 0), moved to (5, 2, 0).
    ExpectNear(Apply(ComputeAnimatedMatrix(*frame, 0), {1, 0, 0}), {5, 2, 0}, "S x R x T");
}

TEST_F(FrameTest, WithoutPositionKeysTheLocalTranslationStays) {
    Frame* frame = AddFrame("a", nullptr);
    const float turnYToZ[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 7, 8, 9, 1};
    frame->local.SetElements(turnYToZ);  // its rotation is replaced by the keys
    AnimationTrack* track = AddTrack();
    track->SetRotationKeys({kTurnXToY});
    frame->SetAnimationTrack(track);
    const Matrix animated = ComputeAnimatedMatrix(*frame, 0);
    ExpectNear(Apply(animated, {1, 0, 0}), {7, 9, 9}, "turned then moved by the local translation");
    EXPECT_EQ(animated.Get(4, 4), 1.0f);
}

TEST_F(FrameTest, MatrixKeysWinOverTheOtherKeys) {
    Frame* frame = AddFrame("a", nullptr);
    AnimationTrack* track = AddTrack();
    Matrix keyMatrix;
    keyMatrix.SetTranslation(0, 0, 4);
    track->SetMatrixKeys({{0, keyMatrix}});
    track->SetScaleKeys({{0, 3, 3, 3}});
    track->SetPositionKeys({{0, 9, 9, 9}});
    frame->SetAnimationTrack(track);
    ExpectNear(Apply(ComputeAnimatedMatrix(*frame, 0), {1, 1, 1}), {1, 1, 5}, "matrix key only");
}

// The combined matrix runs from the frame up to the root, whatever the order
// of the frames in the list: here the child comes first.
TEST_F(FrameTest, CombinedMatrixChainsAnimatedMatricesUpToTheRoot) {
    Frame* grandchild = AddFrame("hand", nullptr);
    Frame* root = AddFrame("MASTER_FRAME", nullptr);
    Frame* child = AddFrame("arm", root);
    grandchild->parent = child;
    root->local.SetTranslation(0, 10, 0);
    const float turnXToY[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    child->local.SetElements(turnXToY);
    AnimationTrack* track = AddTrack();
    track->SetPositionKeys({{0, 0, 0, 0}, {10, 2, 0, 0}});
    grandchild->SetAnimationTrack(track);

    AnimateFrames(frames, 5.0f);  // the hand sits at (1, 0, 0) of the arm, turned to (0, 1, 0)
    ExpectNear(Apply(grandchild->combined, {0, 0, 0}), {0, 11, 0}, "hand");
    ExpectNear(Apply(child->combined, {1, 0, 0}), {0, 11, 0}, "arm");

    AnimateFrames(frames, 10.0f);
    ExpectNear(Apply(grandchild->combined, {0, 0, 0}), {0, 12, 0}, "hand later");
}

TEST(FrameNameTest, SetNameCutsAndHasNameComparesBytes) {
    Frame frame;
    EXPECT_EQ(frame.HasName(""), 1);
    frame.SetName(std::string(300, 'x').c_str());
    EXPECT_EQ(std::string(frame.GetName()), std::string(255, 'x'));
    frame.SetName("\x83\x7B\x81\x5C");  // CP932 bytes, one a backslash-valued trail byte
    EXPECT_EQ(frame.HasName("\x83\x7B\x81\x5C"), 1);
    EXPECT_EQ(frame.HasName("\x83\x7B"), 0);
    EXPECT_EQ(frame.HasName(nullptr), 0);
}

}  // namespace
