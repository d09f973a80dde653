#pragma once
#include <cstdint>
#include <vector>

#include "engine/core/math.h"
#include "engine/core/resource.h"
#include "platform/gpu_device.h"

class Frame;
class HeightFieldNode;
class Mesh;
class Texture;

// The engine's 3D object: a tree of frames with animation tracks, a list of
// meshes, a world matrix built from the model's own axes, position and scale
// and, for terrain, a grid of cell meshes culled through a quadtree.
//
// Per-mesh setters take a mesh index last: an index inside the list
// addresses that mesh, any other value (callers pass -1) every mesh in list
// order; setters that also take a material index treat the mesh's materials
// the same way. They return the value of the last call made (0 for none).
class Model : public ResourceObject {
public:
    static constexpr uint32_t kAll = 0xFFFFFFFFu;

    Model();
    ~Model() override;

    void GetPosition(Vector3* out) const { *out = position; }
    Vector3* GetViewPosition(Vector3* out) const;
    // Viewport pixels (x, y) and depth of the model's position; 0, and out
    // untouched, when it lies behind the camera.
    int32_t GetScreenPosition(float out[3], float* w) const;
    int32_t ResetTransform();
    void UpdateWithMatrix(const Matrix& m);
    void Update(float time);
    void AnimateFrames(float time);
    void Yaw(Angle16 a) { RotateY(a); }
    void Pitch(Angle16 a) { RotateX(a); }
    void Roll(Angle16 a) { RotateZ(a); }
    void RotateX(Angle16 a) { RotateAbout(&Matrix::SetRotationX, a); }
    void RotateY(Angle16 a) { RotateAbout(&Matrix::SetRotationY, a); }
    void RotateZ(Angle16 a) { RotateAbout(&Matrix::SetRotationZ, a); }
    void SetPosition(float x, float y, float z) { position = {x, y, z}; }
    void SetScale(float x, float y, float z) { scale = {x, y, z}; }
    void LookAt(const Vector3* eye, const Vector3* target, const Vector3* upVector);
    void SetAxes(const Vector3* f, const Vector3* u, const Vector3* r);
    void SetFront(const Vector3* f);
    void SetRight(const Vector3* r);
    void SetUp(const Vector3* u);
    void SetTransformMatrix(const Matrix& m);
    void SetRotationQuaternion(const float q[4]);
    Angle16 GetPitchAngle() const;
    Angle16 GetYawAngle() const;
    Angle16 GetRollAngle() const;
    void GetFront(Vector3* out) const { *out = front; }
    void GetRight(Vector3* out) const { *out = right; }
    void GetUp(Vector3* out) const { *out = up; }
    int32_t GetMeshCount() const { return meshes.GetCount(); }
    Mesh* GetMesh(int32_t index) const;

    void Draw() { DrawInMode(0); }
    void DrawMode1() { DrawInMode(1); }
    void DrawBoundingBoxes(uint32_t colour);

    // Null on success; a CP932 text naming the bad index or the count mismatch.
    const char* SetMeshMorphTarget(uint32_t meshIndex, Model* target, uint32_t targetMeshIndex);
    void SetMeshVectorX(float v, uint32_t meshIndex);
    void SetMeshVectorY(float v, uint32_t meshIndex);
    void SetMeshVectorZ(float v, uint32_t meshIndex);
    void SetTexture(uint32_t stage, Texture* texture, uint32_t meshIndex, uint32_t materialIndex);
    void SetMeshCulling(int32_t flag, uint32_t meshIndex);
    void SetMeshTexOffsetU(float v, uint32_t meshIndex);
    void SetMeshTexOffsetV(float v, uint32_t meshIndex);
    // The mode setters show at the next RebuildMeshShaders.
    void SetMeshLightingMode(uint32_t mode, uint32_t meshIndex);
    void SetMeshTexCoordMode(uint32_t mode, uint32_t meshIndex);
    void SetMeshTransformMode(uint32_t mode, uint32_t meshIndex);
    void RebuildMeshShaders(uint32_t meshIndex);
    void ApplyMeshLights(uint32_t meshIndex);
    void SetDiffuse(float alpha, float red, float green, float blue, uint32_t meshIndex);
    void SetMeshEnabled(int32_t flag, uint32_t meshIndex);
    void SetTextureStageState(uint32_t state, uint32_t value, uint32_t meshIndex, uint32_t materialIndex);
    void SetShaderConstantA(uint32_t reg, uint32_t kind, const float* v, uint32_t meshIndex);
    void SetShaderConstantB(uint32_t reg, uint32_t kind, const float* v, uint32_t meshIndex);

    int32_t GetDrawnCellCount() const { return drawnCellCount; }
    // 0 for a cell outside the grid.
    int32_t IsCellDrawn(int32_t i, int32_t j) const;
    int32_t GetCellAt(float x, float z, int32_t* i, int32_t* j) const;
    float GetHeightAt(float x, float z, Vector3* normal) const;

    // The first mesh (in list order) whose box the ray from (x, y, z) along
    // +z meets; -1 when none.
    int32_t PickMesh(float x, float y, float z) const;
    int32_t DiscardMeshBuffers();
    // Accepts only a discarded model; the new one is referenced before the
    // old one is released.
    int32_t AttachModel(Model* other);

    // Bare indices: out of range does nothing (the getters leave out alone).
    Matrix* GetMeshMatrix(uint32_t meshIndex, Matrix* out) const;
    void DrawMeshWithMatrix(uint32_t meshIndex, const Matrix& m);
    void DrawMeshWithMeshMatrix(uint32_t meshIndex, Model* other, uint32_t otherMeshIndex);
    void DrawMeshWithFrameMatrix(uint32_t meshIndex, Model* other, uint32_t frameIndex);
    int32_t FindFrameIndex(const char* name) const;
    int32_t FindMeshIndex(const char* name) const;
    void GetFrameMatrixAt(Matrix* out, uint32_t frameIndex, float time) const;

    // Builds the height-field quadtree below `node` over size x size cells.
    void BuildHeightFieldNode(HeightFieldNode* node, int32_t i, int32_t j, int32_t size);

    Frame* rootFrame = nullptr;
    Matrix world;
    Vector3 front{0, 0, 1}, up{0, 1, 0}, right{1, 0, 0};
    Vector3 position{0, 0, 0};
    Vector3 scale{1, 1, 1};
    ResourceList frames;
    ResourceList meshes;
    ResourceList animationTracks;
    ResourceList heightFieldNodes;
    int32_t billboard = 0;
    int32_t gridCellsPerSide = 0;
    int32_t drawnCellCount = 0;
    int32_t cellVerticesPerRow = 0;
    float cellSizeX = 0, cellSizeZ = 0;
    float fieldSizeX = 0, fieldSizeZ = 0;
    float quadSizeX = 0, quadSizeZ = 0;
    float maxHeight = 0;
    std::vector<int32_t> cellFlags;
    int32_t discarded = 0;
    Model* attachedModel = nullptr;

private:
    void DrawInMode(int32_t mode);
    void UpdateMeshes(float time);
    void RotateFrame(const Matrix& rotation);
    // The frame with rows right, up, front becomes the rotation x the frame.
    void RotateAbout(void (Matrix::*setRotation)(Angle16), Angle16 a);
    void DrawMeshAt(uint32_t meshIndex, const Matrix& m);
    // Calls f on the addressed meshes by the index rule.
    template <typename F>
    void ForEachMesh(uint32_t meshIndex, F f) const;
};

extern ResourceList modelList;
extern char modelTextureArchive[256];

// A new model at the back of modelList, logged as created.
Model* NewModel();
int InitializeModels();
void DestroyModels();
void ReleaseModelDeviceObjects();
void RestoreModelDeviceObjects();
// At most 255 characters are kept.
void SetModelTextureArchive(const char* path);
