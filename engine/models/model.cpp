#include "engine/models/model.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/graphics_log.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/visibility.h"
#include "engine/models/animation_track.h"
#include "engine/models/frame.h"
#include "engine/models/height_field_node.h"
#include "engine/models/material.h"
#include "engine/models/mesh.h"
#include "engine/models/primitives.h"
#include "engine/models/vertex_shader.h"
#include "platform/cp932.h"

ResourceList modelList;
char modelTextureArchive[256];
int32_t modelDrawMode = 0;
Matrix modelDrawMatrix;
Camera* modelProjectionCamera = nullptr;

namespace {

uint32_t LowBits(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

Vector3 Normalized(Vector3 v) {
    v.Normalize();
    return v;
}

Vector3 CrossOf(const Vector3& a, const Vector3& b) {
    Vector3 out;
    out.Cross(a, b);
    return out;
}

Vector3 Row(const Matrix& m, int row) { return {m.Get(row, 1), m.Get(row, 2), m.Get(row, 3)}; }

void SetRow(Matrix* m, int row, const Vector3& v, float w) {
    m->Set(row, 1, v.x);
    m->Set(row, 2, v.y);
    m->Set(row, 3, v.z);
    m->Set(row, 4, w);
}

float ClampUnit(float v) { return std::clamp(v, -1.0f, 1.0f); }

// The texts SetMeshMorphTarget returns, in CP932 like every text the engine keeps.
const char* NoSuchMeshText() {
    static const std::string text = platform::Utf8ToCp932("存在しないメッシュIDを指定しています");
    return text.c_str();
}

const char* NoSuchTargetMeshText() {
    static const std::string text = platform::Utf8ToCp932("ターゲットに存在しないメッシュIDを指定しています");
    return text.c_str();
}

}  // namespace

template <typename F>
void Model::ForEachMesh(uint32_t meshIndex, F f) const {
    const int32_t count = meshes.GetCount();
    if (meshIndex < static_cast<uint32_t>(count)) {
        f(GetMesh(static_cast<int32_t>(meshIndex)));
        return;
    }
    for (ResourceObject* node = meshes.head; node; node = node->next) f(static_cast<Mesh*>(node));
}

// ---------------------------------------------------------------------------
// Life

Model::Model() { world.SetIdentity(); }

Model::~Model() {
    heightFieldNodes.ReleaseAll();
    meshes.ReleaseAll();
    animationTracks.ReleaseAll();
    frames.ReleaseAll();
    if (attachedModel) attachedModel->Release();
    LogGraphics("● ReleaseModel / ID [0x%08X]\n", LowBits(this));
}

Model* NewModel() {
    auto* model = new Model;
    modelList.PushBack(model);
    LogGraphics("○ CreateModel   / ID [0x%08X] / ", LowBits(model));
    return model;
}

void ReleaseModelDeviceObjects() {
    for (ResourceObject* m = modelList.head; m; m = m->next) {
        for (ResourceObject* mesh = static_cast<Model*>(m)->meshes.head; mesh; mesh = mesh->next) {
            static_cast<Mesh*>(mesh)->ReleaseDeviceObjects();
        }
    }
}

void RestoreModelDeviceObjects() {
    for (ResourceObject* m = modelList.head; m; m = m->next) {
        for (ResourceObject* mesh = static_cast<Model*>(m)->meshes.head; mesh; mesh = mesh->next) {
            static_cast<Mesh*>(mesh)->RestoreDeviceObjects();
        }
    }
}

int InitializeModels() {
    modelList.Reset();
    ResetPrimitiveNameCounters();
    modelProjectionCamera = nullptr;
    modelDrawMode = 0;
    std::memset(modelTextureArchive, 0, sizeof modelTextureArchive);
    modelDrawMatrix.SetIdentity();
    SetDeviceObjectWalks(DEVICE_OBJECTS_MODELS, ReleaseModelDeviceObjects, RestoreModelDeviceObjects);
    return 1;
}

void DestroyModels() {
    LogGraphics("\n============================================== Destroy Model\n");
    modelList.ReleaseAll();
    if (modelProjectionCamera) modelProjectionCamera->Release();
    modelProjectionCamera = nullptr;
    modelDrawMatrix.SetIdentity();
}

void SetModelTextureArchive(const char* path) {
    std::memset(modelTextureArchive, 0, sizeof modelTextureArchive);
    if (path) std::strncpy(modelTextureArchive, path, sizeof modelTextureArchive - 1);
}

Mesh* Model::GetMesh(int32_t index) const { return static_cast<Mesh*>(meshes.GetAt(index)); }

// ---------------------------------------------------------------------------
// Placement

Vector3* Model::GetViewPosition(Vector3* out) const {
    Matrix view;
    GetCurrentView(&view);
    out->TransformCoord(position, view);
    return out;
}

int32_t Model::GetScreenPosition(float out[3], float* w) const {
    Matrix viewProjection;
    GetCurrentViewProjection(&viewProjection);
    const float p[4] = {position.x, position.y, position.z, 1.0f};
    float clip[4];
    for (int c = 0; c < 4; ++c) {
        clip[c] = p[0] * viewProjection.Get(1, c + 1) + p[1] * viewProjection.Get(2, c + 1) +
                  p[2] * viewProjection.Get(3, c + 1) + p[3] * viewProjection.Get(4, c + 1);
    }
    if (clip[3] == 0.0f) return 0;
    const float depth = clip[2] / clip[3];
    if (depth < 0.0f || depth >= clip[3]) return 0;
    gpu::RECT viewport{};
    GetViewportRect(&viewport);
    const float width = static_cast<float>(viewport.right - viewport.left);
    const float height = static_cast<float>(viewport.bottom - viewport.top);
    out[0] = (clip[0] / clip[3] + 1.0f) * width * 0.5f + viewport.left;
    out[1] = (1.0f - clip[1] / clip[3]) * height * 0.5f + viewport.top;
    out[2] = depth;
    if (w) *w = clip[3];
    return 1;
}

int32_t Model::ResetTransform() {
    front = {0, 0, 1};
    up = {0, 1, 0};
    right = {1, 0, 0};
    position = {0, 0, 0};
    scale = {1, 1, 1};
    return 0;
}

void Model::RotateFrame(const Matrix& rotation) {
    Matrix axes;
    axes.SetIdentity();
    SetRow(&axes, 1, right, 0.0f);
    SetRow(&axes, 2, up, 0.0f);
    SetRow(&axes, 3, front, 0.0f);
    axes.SetProduct(rotation, axes);
    right = Row(axes, 1);
    up = Row(axes, 2);
    front = Row(axes, 3);
}

void Model::RotateAbout(void (Matrix::*setRotation)(Angle16), Angle16 a) {
    Matrix r;
    (r.*setRotation)(a);
    RotateFrame(r);
}

void Model::LookAt(const Vector3* eye, const Vector3* target, const Vector3* upVector) {
    position = *eye;
    front = Normalized(target->Subtract(*eye));
    Vector3 u = upVector ? *upVector : Vector3{0, 1, 0};
    if (front.x == 0.0f && front.z == 0.0f && (front.y == 1.0f || front.y == -1.0f)) u = {0, 0, -front.y};
    right = Normalized(CrossOf(u, front));
    up = Normalized(CrossOf(front, right));
}

void Model::SetAxes(const Vector3* f, const Vector3* u, const Vector3* r) {
    front = *f;
    up = *u;
    right = *r;
}

void Model::SetFront(const Vector3* f) {
    front = *f;
    right = Normalized(CrossOf(up, front));
    up = CrossOf(front, right);
}

void Model::SetRight(const Vector3* r) {
    right = *r;
    front = Normalized(CrossOf(right, up));
    up = CrossOf(front, right);
}

void Model::SetUp(const Vector3* u) {
    up = Normalized(*u);
    front = Normalized(CrossOf(right, up));
    right = CrossOf(up, front);
}

void Model::SetTransformMatrix(const Matrix& m) {
    right = Row(m, 1);
    up = Row(m, 2);
    front = Row(m, 3);
    position = Row(m, 4);
}

void Model::SetRotationQuaternion(const float q[4]) {
    // The engine's quaternion matrix turns by the conjugate: conjugating
    // first gives the rotation of q itself.
    const float conjugate[4] = {-q[0], -q[1], -q[2], q[3]};
    Matrix m;
    m.SetRotationQuaternion(conjugate);
    right = Row(m, 1);
    up = Row(m, 2);
    front = Row(m, 3);
}

Angle16 Model::GetPitchAngle() const { return RadianToAngle(std::asin(ClampUnit(front.y))); }

Angle16 Model::GetYawAngle() const {
    if (front.y == 1.0f || front.y == -1.0f) return RadianToAngle(std::atan2(up.x, up.z));
    return RadianToAngle(std::atan2(front.x, front.z));
}

Angle16 Model::GetRollAngle() const {
    const float across = std::sqrt(std::max(0.0f, 1.0f - front.y * front.y));
    if (across == 0.0f) return 0;  // looking straight up or down: no roll to measure
    float r = std::asin(ClampUnit(right.y / across));
    if (up.y < 0.0f) r = 3.14159265f - r;
    return RadianToAngle(r);
}

// ---------------------------------------------------------------------------
// Update and drawing

void Model::AnimateFrames(float time) { ::AnimateFrames(frames, time); }

void Model::UpdateMeshes(float time) {
    AnimateFrames(time);
    if (attachedModel) {
        attachedModel->world = world;
        attachedModel->AnimateFrames(time);
    }
    for (ResourceObject* node = meshes.head; node; node = node->next) {
        auto* mesh = static_cast<Mesh*>(node);
        mesh->CombineMatrix(nullptr, mesh->frame ? mesh->frame->GetCombinedMatrix() : nullptr, &world);
        mesh->UpdateWorldBox();
    }
    for (ResourceObject* node = heightFieldNodes.head; node; node = node->next) {
        static_cast<HeightFieldNode*>(node)->UpdateWorldBox(world);
    }
}

void Model::Update(float time) {
    if (billboard) {
        Vector3 camera{0, 0, 0};
        GetCurrentCameraPosition(&camera);
        const Vector3 eye = position, ownUp = up;
        LookAt(&eye, &camera, &ownUp);
    }
    Matrix s, r;
    s.SetScaling(scale.x, scale.y, scale.z);
    r.SetIdentity();
    SetRow(&r, 1, right, 0.0f);
    SetRow(&r, 2, up, 0.0f);
    SetRow(&r, 3, front, 0.0f);
    SetRow(&r, 4, position, 1.0f);
    world.SetProduct(s, r);
    UpdateMeshes(time);
}

void Model::UpdateWithMatrix(const Matrix& m) {
    world = m;
    UpdateMeshes(0.0f);
}

void Model::DrawInMode(int32_t mode) {
    modelDrawMode = mode;
    drawnCellCount = 0;
    std::fill(cellFlags.begin(), cellFlags.end(), 0);
    for (int stage = 0; stage < 4; ++stage) ::SetTexture(nullptr, stage);
    if (heightFieldNodes.head) {
        const auto visible = [](const HeightFieldNode& n) { return IsVisible(n.worldBoxCorners, n.worldBoxPlanes); };
        const auto drawCell = [](Mesh* mesh) { mesh->Draw(); };
        // Cells outside the flag table (none in a generated field) are drawn unmarked.
        std::vector<int32_t> spare;
        int32_t* flags = cellFlags.data();
        if (cellFlags.empty()) {
            spare.assign(static_cast<size_t>(std::max(heightFieldNodes.GetCount(), 1)), 0);
            flags = spare.data();
        }
        static_cast<HeightFieldNode*>(heightFieldNodes.head)->Draw(&drawnCellCount, flags, visible, drawCell);
        return;
    }
    for (ResourceObject* node = meshes.head; node; node = node->next) static_cast<Mesh*>(node)->Draw();
}

void Model::DrawBoundingBoxes(uint32_t colour) {
    if (heightFieldNodes.head) return;
    for (ResourceObject* node = meshes.head; node; node = node->next) {
        static_cast<Mesh*>(node)->DrawBoundingBox(colour);
    }
}

// ---------------------------------------------------------------------------
// Per-mesh setters

const char* Model::SetMeshMorphTarget(uint32_t meshIndex, Model* target, uint32_t targetMeshIndex) {
    if (meshIndex >= static_cast<uint32_t>(meshes.GetCount())) return NoSuchMeshText();
    if (!target || targetMeshIndex >= static_cast<uint32_t>(target->meshes.GetCount())) {
        return NoSuchTargetMeshText();
    }
    return GetMesh(static_cast<int32_t>(meshIndex))
        ->SetMorphTarget(target->GetMesh(static_cast<int32_t>(targetMeshIndex)), nullptr);
}

void Model::SetMeshVectorX(float v, uint32_t i) { ForEachMesh(i, [v](Mesh* m) { m->SetVectorX(v); }); }
void Model::SetMeshVectorY(float v, uint32_t i) { ForEachMesh(i, [v](Mesh* m) { m->SetVectorY(v); }); }
void Model::SetMeshVectorZ(float v, uint32_t i) { ForEachMesh(i, [v](Mesh* m) { m->SetVectorZ(v); }); }
void Model::SetMeshTexOffsetU(float v, uint32_t i) { ForEachMesh(i, [v](Mesh* m) { m->SetTexOffsetU(v); }); }
void Model::SetMeshTexOffsetV(float v, uint32_t i) { ForEachMesh(i, [v](Mesh* m) { m->SetTexOffsetV(v); }); }
void Model::SetMeshCulling(int32_t flag, uint32_t i) { ForEachMesh(i, [flag](Mesh* m) { m->culling = flag; }); }
void Model::SetMeshEnabled(int32_t flag, uint32_t i) { ForEachMesh(i, [flag](Mesh* m) { m->enabled = flag; }); }
void Model::SetMeshLightingMode(uint32_t mode, uint32_t i) {
    ForEachMesh(i, [mode](Mesh* m) { m->lightingMode = mode; });
}
void Model::SetMeshTexCoordMode(uint32_t mode, uint32_t i) {
    ForEachMesh(i, [mode](Mesh* m) { m->texCoordMode = mode; });
}
void Model::SetMeshTransformMode(uint32_t mode, uint32_t i) {
    ForEachMesh(i, [mode](Mesh* m) { m->transformMode = mode; });
}
void Model::RebuildMeshShaders(uint32_t i) { ForEachMesh(i, [](Mesh* m) { m->RebuildShader(); }); }
void Model::ApplyMeshLights(uint32_t i) {
    ForEachMesh(i, [this](Mesh* m) { m->ApplyLights(&world, nullptr); });
}

void Model::SetTexture(uint32_t stage, Texture* texture, uint32_t meshIndex, uint32_t materialIndex) {
    ForEachMesh(meshIndex, [=](Mesh* m) {
        m->ForEachMaterial(materialIndex, [=](Material* material) { material->SetTexture(texture, stage); });
    });
}

void Model::SetDiffuse(float alpha, float red, float green, float blue, uint32_t meshIndex) {
    ForEachMesh(meshIndex, [=](Mesh* m) {
        m->ForEachMaterial(kAll, [=](Material* material) {
            gpu::D3DMATERIAL8 d;
            material->GetMaterial(&d);
            d.Diffuse = {red, green, blue, alpha};
            material->SetMaterial(&d);
        });
    });
}

void Model::SetTextureStageState(uint32_t state, uint32_t value, uint32_t meshIndex, uint32_t materialIndex) {
    ForEachMesh(meshIndex, [=](Mesh* m) { m->SetTextureStageState(state, value, materialIndex); });
}

void Model::SetShaderConstantA(uint32_t reg, uint32_t kind, const float* v, uint32_t i) {
    ForEachMesh(i, [=](Mesh* m) { m->SetShaderConstantA(reg, kind, v); });
}

void Model::SetShaderConstantB(uint32_t reg, uint32_t kind, const float* v, uint32_t i) {
    ForEachMesh(i, [=](Mesh* m) { m->SetShaderConstantB(reg, kind, v); });
}

// ---------------------------------------------------------------------------
// Height field

int32_t Model::IsCellDrawn(int32_t i, int32_t j) const {
    if (i < 0 || j < 0 || i >= gridCellsPerSide || j >= gridCellsPerSide) return 0;
    const size_t at = static_cast<size_t>(i + gridCellsPerSide * j);
    return at < cellFlags.size() ? cellFlags[at] : 0;
}

int32_t Model::GetCellAt(float x, float z, int32_t* i, int32_t* j) const {
    if (gridCellsPerSide <= 0 || !(x > -fieldSizeX / 2 && x < fieldSizeX / 2 && z > -fieldSizeZ / 2 &&
                                   z < fieldSizeZ / 2)) {
        return 0;
    }
    // Rounding just inside the far edge may reach the count: stay on the grid.
    *i = std::clamp(static_cast<int32_t>((fieldSizeX / 2 + x) / cellSizeX), 0, gridCellsPerSide - 1);
    *j = std::clamp(static_cast<int32_t>((fieldSizeZ / 2 + z) / cellSizeZ), 0, gridCellsPerSide - 1);
    return 1;
}

float Model::GetHeightAt(float x, float z, Vector3* normal) const {
    int32_t i = 0, j = 0;
    if (!GetCellAt(x, z, &i, &j)) return 0.0f;
    const Mesh* cell = GetMesh(gridCellsPerSide * j + i);
    const int32_t perRow = cellVerticesPerRow;
    if (!cell || perRow < 2 || cell->vertexCount < perRow * perRow) return 0.0f;
    const WorkVertex& q = cell->vertices[0];
    const int32_t col = std::clamp(static_cast<int32_t>((x - q.position[0]) / quadSizeX), 0, perRow - 2);
    const int32_t row = std::clamp(static_cast<int32_t>((z - q.position[2]) / quadSizeZ), 0, perRow - 2);
    const auto at = [&](int32_t r, int32_t c) {
        const float* p = cell->vertices[static_cast<size_t>(r * perRow + c)].position;
        return Vector3{p[0], p[1], p[2]};
    };
    const Vector3 p00 = at(row, col), p01 = at(row, col + 1), p10 = at(row + 1, col), p11 = at(row + 1, col + 1);
    const Plane plane = (x - p10.x) * (z - p01.z) - (z - p10.z) * (x - p01.x) >= 0.0f
                            ? PlaneFromPoints(p01, p11, p10)
                            : PlaneFromPoints(p00, p01, p10);
    Vector3 hit;
    if (!PlaneIntersectLine(&hit, plane, {x, maxHeight * 1.1f, z}, {x, maxHeight * -1.1f, z})) return 0.0f;
    if (normal) *normal = Normalized({-plane.a, -plane.b, -plane.c});
    return hit.y;
}

void Model::BuildHeightFieldNode(HeightFieldNode* node, int32_t i, int32_t j, int32_t size) {
    ::BuildHeightFieldNode(node, i, j, size, gridCellsPerSide, [this](int32_t cellIndex) {
        Mesh* mesh = GetMesh(cellIndex);
        return mesh ? HeightFieldCell{mesh, mesh->boxMin, mesh->boxMax} : HeightFieldCell{nullptr, {}, {}};
    }, &heightFieldNodes);
}

// ---------------------------------------------------------------------------
// Picking, discarding, attaching, single meshes

int32_t Model::PickMesh(float x, float y, float z) const {
    const Vector3 origin{x, y, z}, direction{0, 0, 1};
    int32_t index = 0;
    for (ResourceObject* node = meshes.head; node; node = node->next, ++index) {
        const auto* mesh = static_cast<const Mesh*>(node);
        if (IntersectRayBox(mesh->world, mesh->boxMin, mesh->boxMax, &origin, &direction)) return index;
    }
    return -1;
}

int32_t Model::DiscardMeshBuffers() {
    if (discarded) return 0;
    for (ResourceObject* node = meshes.head; node; node = node->next) {
        auto* mesh = static_cast<Mesh*>(node);
        mesh->materials.ReleaseAll();
        mesh->ReleaseDeviceObjects();
        mesh->enabled = 0;
    }
    discarded = 1;
    return 1;
}

int32_t Model::AttachModel(Model* other) {
    if (!other || !other->discarded) return 0;
    other->AddRef();
    if (attachedModel) attachedModel->Release();
    attachedModel = other;
    return 1;
}

Matrix* Model::GetMeshMatrix(uint32_t meshIndex, Matrix* out) const {
    if (const Mesh* mesh = GetMesh(static_cast<int32_t>(meshIndex))) *out = mesh->world;
    return out;
}

void Model::DrawMeshAt(uint32_t meshIndex, const Matrix& m) {
    Mesh* mesh = GetMesh(static_cast<int32_t>(meshIndex));
    if (!mesh) return;
    mesh->world = m;
    mesh->UpdateWorldBox();
    mesh->Draw();
}

void Model::DrawMeshWithMatrix(uint32_t meshIndex, const Matrix& m) { DrawMeshAt(meshIndex, m); }

void Model::DrawMeshWithMeshMatrix(uint32_t meshIndex, Model* other, uint32_t otherMeshIndex) {
    const Mesh* source = other ? other->GetMesh(static_cast<int32_t>(otherMeshIndex)) : nullptr;
    if (source) DrawMeshAt(meshIndex, source->world);
}

void Model::DrawMeshWithFrameMatrix(uint32_t meshIndex, Model* other, uint32_t frameIndex) {
    const auto* frame = other ? static_cast<const Frame*>(other->frames.GetAt(static_cast<int32_t>(frameIndex)))
                              : nullptr;
    if (frame) DrawMeshAt(meshIndex, frame->local);
}

int32_t Model::FindFrameIndex(const char* name) const {
    int32_t index = 0;
    for (ResourceObject* node = frames.head; node; node = node->next, ++index) {
        if (static_cast<Frame*>(node)->HasName(name)) return index;
    }
    return -1;
}

int32_t Model::FindMeshIndex(const char* name) const {
    int32_t index = 0;
    for (ResourceObject* node = meshes.head; node; node = node->next, ++index) {
        if (name && std::strcmp(static_cast<Mesh*>(node)->GetName(), name) == 0) return index;
    }
    return -1;
}

void Model::GetFrameMatrixAt(Matrix* out, uint32_t frameIndex, float time) const {
    if (const auto* frame = static_cast<const Frame*>(frames.GetAt(static_cast<int32_t>(frameIndex)))) {
        *out = ComputeAnimatedMatrix(*frame, time);
    }
}
