#include "game/battle/stage_drawing.h"

#include <cmath>
#include <initializer_list>

#include "engine/core/math.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "engine/models/model.h"
#include "game/arena/battle_assets.h"
#include "game/arena/battle_state.h"
#include "game/shots/object_rules.h"

float stageSwayAngle;
float stageTurnAngle;
float stageScrollA;
float stageScrollB;

namespace {

constexpr float kTwoPi = 6.2831855f;

// How far one frame moves each animation value on a stage. Each step is
// added in double and rounded once; the wraps are single-precision.
struct StageAnimationStep {
    double turn, sway, scrollA, scrollB;
};

constexpr StageAnimationStep kAnimationSteps[9] = {
    {0.001, 0.003, 0.0, 0.0},   {0.001, 0.003, 0.001, 0.003}, {0.001, 0.003, 0.002, 0.0},
    {0.001, 0.003, 0.0, 0.0},   {0.002, 0.003, 0.01, 0.0},    {0.001, 0.003, 0.0, 0.0},
    {0.002, 0.003, 0.025, 0.0}, {0.001, 0.003, 0.001, 0.0},   {0.05, 0.001, 0.002, 0.0},
};

void Advance(float* value, double step, float wrap) {
    *value = static_cast<float>(*value + step);
    if (*value > wrap) *value -= wrap;
}

void AdvanceAnimation(const StageAnimationStep& step) {
    Advance(&stageTurnAngle, step.turn, kTwoPi);
    Advance(&stageSwayAngle, step.sway, kTwoPi);
    Advance(&stageScrollA, step.scrollA, 1.0f);
    Advance(&stageScrollB, step.scrollB, 1.0f);
}

Model* StageModel(size_t k) { return k < stageModels.size() ? stageModels[k] : nullptr; }

// An angle taken in double reaches the model rounded once.
Angle16 Radians(double r) { return RadianToAngle(static_cast<float>(r)); }
Angle16 Degrees(int32_t d) { return ToAngle16(DegreeToAngle(d)); }

// One turn of a model's frame, applied in the order given.
struct Turn {
    void (Model::*rotate)(Angle16);
    Angle16 angle;
};
Turn Pitch(double r) { return {&Model::Pitch, Radians(r)}; }
Turn Yaw(double r) { return {&Model::Yaw, Radians(r)}; }
Turn RotateX(Angle16 a) { return {&Model::RotateX, a}; }
Turn RotateY(Angle16 a) { return {&Model::RotateY, a}; }
Turn RotateZ(Angle16 a) { return {&Model::RotateZ, a}; }

// Places and draws a model: fresh axes, the turns, the scale and the
// position, then the update. Turns leave the position alone, so setting the
// position before or after them gives the same picture.
void Place(Model* model, std::initializer_list<Turn> turns, float x, float y, float z, float scale = 1.0f) {
    if (!model) return;
    model->ResetTransform();
    for (const Turn& turn : turns) (model->*turn.rotate)(turn.angle);
    model->SetScale(scale, scale, scale);
    model->SetPosition(x, y, z);
    model->Update(0.0f);
    model->Draw();
}

void ScrollV(Model* model, float offset) {
    if (model) model->SetMeshTexOffsetV(offset, Model::kAll);
}
void ScrollU(Model* model, double offset) {
    if (model) model->SetMeshTexOffsetU(static_cast<float>(offset), Model::kAll);
}

// (z, y) turned by theta in the plane of the two axes.
void TurnZY(float* z, float* y, double theta) {
    float v[2] = {*z, *y};
    RotateVector2(v, theta);
    *z = v[0];
    *y = v[1];
}

// The values a recipe reads, taken after the frame's animation step; the
// recipes' expressions are taken in double with the double sin and cos.
struct Phase {
    double S;   // sin(sway)
    double T;   // turn
    double St;  // sin(turn)
};

void DrawStage0(const Phase& p) {
    Place(StageModel(0), {Pitch(0.6 * p.S - 0.2), Yaw(p.T)}, 0, -200, 0);
}

void DrawStage1(const Phase& p) {
    const double pitch = 0.2 * p.S - 0.6;
    Place(StageModel(0), {Pitch(pitch), Yaw(p.T)}, 0, -30, 0);
    ScrollV(StageModel(2), stageScrollA);
    Place(StageModel(2), {Pitch(pitch), Yaw(p.T)}, 0, -100, 0);
    ScrollV(StageModel(1), stageScrollB);
    Place(StageModel(1), {Pitch(pitch), Yaw(p.T)}, 0, -45, 0);
}

void DrawStage2(const Phase& p) {
    const double pitch = 0.2 * p.S - 0.2;
    Place(StageModel(0), {Pitch(pitch), Yaw(p.T)}, 0, -50, 0);
    ScrollV(StageModel(1), stageScrollA);
    Place(StageModel(1), {Pitch(pitch), Yaw(p.T)}, 0, -30, 0);
}

void DrawStage3(const Phase& p) {
    ClearTarget(0xff967850);
    Place(StageModel(0), {Pitch(-(0.3 * p.S + 0.7853982)), RotateY(Radians(p.T))}, 0, -200, 1000);
}

void DrawStage4(const Phase& p) {
    ClearTarget(0xff331166);
    Model* cloud = StageModel(0);
    ScrollV(cloud, stageScrollA);
    Place(cloud, {RotateY(Radians(0.2 * p.S)), RotateX(Degrees(60))}, 0, 0, 300);
    Place(cloud, {RotateY(Radians(0.2 * p.S)), RotateX(Degrees(60))}, 0, 0, 50);
}

void DrawStage5(const Phase& p) {
    Place(StageModel(0), {Pitch(0.8 * p.S - 0.5), Yaw(p.T)}, 0, -30, 0);
    Place(StageModel(1), {Pitch(0.6 * p.S - 0.1), Yaw(p.T)}, 0, 60, 300, 0.8f);
}

// Four walls of a tunnel: floor, ceiling and the two sides turned upright.
void DrawStage6(const Phase& p) {
    Model* wall = StageModel(0);
    const Turn sway[2] = {RotateX(Radians(0.5 * p.St)), RotateY(Radians(0.2 * p.S))};
    ScrollV(wall, stageScrollA);
    Place(wall, {sway[0], sway[1]}, 0, -80, 0);
    Place(wall, {sway[0], sway[1]}, 0, 80, 0);
    Place(wall, {sway[0], sway[1], RotateZ(Degrees(90))}, 80, 0, 0);
    Place(wall, {sway[0], sway[1], RotateZ(Degrees(90))}, -80, 0, 0);
}

// Night sky: the moon and the stars glow additively without writing depth,
// then a grid of clouds drawn over everything.
void DrawStage7(const Phase& p) {
    const Angle16 tilt = Radians((p.St + 1.0) * 0.2);
    Place(StageModel(0), {RotateX(tilt)}, 0, 0, 0);

    const double theta = -0.2 * p.St - 0.2;
    SetBlendMode(BLEND_ALPHA_ADD);
    float z = 225, y = 80;
    TurnZY(&z, &y, theta);
    Place(StageModel(2), {}, 0, y, z);

    SetBlendMode(BLEND_ALPHA);
    SetBlendMode(BLEND_ALPHA_ADD);
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 0);
    for (const Vector3& point : stageScatterPoints) {
        z = point.z;
        y = point.y;
        TurnZY(&z, &y, theta);
        Place(StageModel(3), {}, point.x, y, z);
    }

    SetBlendMode(BLEND_ALPHA);
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 1);
    SetRenderState(gpu::D3DRS_ZENABLE, 0);
    Model* cloud = StageModel(1);
    const double rowTheta = -0.3 * p.St - 0.2;
    for (int row = 0; row < 6; ++row) {  // z from 220 down to 20
        z = static_cast<float>(220 - 40 * row);
        y = static_cast<float>(35 - 8 * row);
        const int k = 5 - row;
        TurnZY(&z, &y, rowTheta);
        for (int x = -80; x <= 80; x += 40) {
            ScrollU(cloud, 0.2 * k + stageScrollA);
            Place(cloud, {RotateX(tilt)}, static_cast<float>(x), y, z);
        }
    }
}

// Two turning seals with a ring of 100 blocks between them.
void DrawStage8(const Phase& p) {
    Place(StageModel(0), {RotateY(Radians(stageSwayAngle))}, 0, -30, 0);
    SetBlendMode(BLEND_ALPHA_ADD);
    SetRenderState(gpu::D3DRS_ZENABLE, 0);
    Place(StageModel(2), {RotateY(Radians(-3.0 * stageSwayAngle))}, 0, static_cast<float>(10.0 * p.St - 35.0), 0);
    SetBlendMode(BLEND_ALPHA);
    SetRenderState(gpu::D3DRS_ZENABLE, 1);
    for (int i = 0; i < 20; ++i) {
        const double a = i * 0.31415927 + stageSwayAngle;
        const float x = static_cast<float>(150.0 * std::sin(a)), z = static_cast<float>(150.0 * std::cos(a));
        for (int y = -30; y <= 30; y += 15) {
            Place(StageModel(1), {Yaw(a)}, x, static_cast<float>(y), z);
        }
    }
}

using StageRecipe = void (*)(const Phase&);
constexpr StageRecipe kRecipes[9] = {DrawStage0, DrawStage1, DrawStage2, DrawStage3, DrawStage4,
                                     DrawStage5, DrawStage6, DrawStage7, DrawStage8};

}  // namespace

void DrawStage(int32_t stage) {
    if (stage < 0 || stage > 8) return;
    if (!battlePaused) AdvanceAnimation(kAnimationSteps[stage]);
    const double sway = stageSwayAngle, turn = stageTurnAngle;
    kRecipes[stage]({std::sin(sway), turn, std::sin(turn)});
}

void ResetStageDrawingState() {
    stageSwayAngle = 0.0f;
    stageTurnAngle = 0.0f;
    stageScrollA = 0.0f;
    stageScrollB = 0.0f;
}
