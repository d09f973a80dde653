#include "engine/models/primitives.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "engine/graphics/graphics_log.h"
#include "engine/graphics/surface.h"
#include "engine/models/frame.h"
#include "engine/models/height_field_node.h"
#include "engine/models/material.h"
#include "engine/models/mesh.h"
#include "engine/models/model.h"

namespace {

uint32_t billboardNameCounter = 0;
uint32_t planeNameCounter = 0;
uint32_t cubeNameCounter = 0;
uint32_t sphereNameCounter = 0;
uint32_t heightFieldNameCounter = 0;

constexpr int64_t kMaxMeshVertices = 65536;  // 16-bit indices
constexpr float kPi = 3.14159265358979f;

// The model's root frame, named from the counter's value before its increment.
Frame* AddRootFrame(Model* model, const char* format, uint32_t* counter) {
    auto* frame = new Frame;
    char name[64];
    std::snprintf(name, sizeof name, format, (*counter)++);
    frame->SetName(name);
    model->rootFrame = frame;
    model->frames.PushBack(frame);
    return frame;
}

// A plain mesh of the root frame with zeroed arrays and one material that
// draws all its indices.
Mesh* AddMesh(Model* model, const char* name, int32_t vertexCount, int32_t indexCount) {
    auto* mesh = new Mesh;
    model->meshes.PushBack(mesh);
    mesh->SetName(name);
    mesh->frame = model->rootFrame;
    mesh->layout = 0;
    mesh->stride = LayoutStride(0);
    mesh->AllocateArrays(vertexCount, indexCount);
    auto* material = new Material;
    mesh->materials.PushBack(material);
    material->SetIndexRange(0, static_cast<uint32_t>(indexCount / 3));
    return mesh;
}

void LogMeshComplete(const Mesh* mesh) {
    LogGraphics("Vertex %d, Index %d, (%8.3lf,%8.3lf,%8.3lf)-(%8.3lf,%8.3lf,%8.3lf), %.3lfKB / Complete!\n",
                mesh->vertexCount, mesh->indexCount, mesh->boxMin.x, mesh->boxMin.y, mesh->boxMin.z,
                mesh->boxMax.x, mesh->boxMax.y, mesh->boxMax.z, mesh->GetMemorySize() / 1024.0);
}

// Buffers and box of a generator's one mesh, then its log line.
Model* FinishMesh(Model* model, Mesh* mesh, ProgressCallback progress) {
    ReportProgress(progress);
    mesh->CreateBuffers(progress);
    ReportProgress(progress);
    LogMeshComplete(mesh);
    return model;
}

// The two triangles of every quad of a grid `perRow` vertices wide, in row
// order: k + perRow, k + 1, k, then k + perRow + 1, k + 1, k + perRow.
template <typename Index>
void FillGridIndices(Index* out, int32_t perRow, int32_t quadColumns, int32_t quadRows) {
    for (int32_t j = 0; j < quadRows; ++j) {
        for (int32_t i = 0; i < quadColumns; ++i) {
            const Index k = static_cast<Index>(j * perRow + i), w = static_cast<Index>(perRow);
            const Index six[6] = {static_cast<Index>(k + w), static_cast<Index>(k + 1), k,
                                  static_cast<Index>(k + w + 1), static_cast<Index>(k + 1), static_cast<Index>(k + w)};
            for (Index n : six) *out++ = n;
        }
    }
}

void SetWorkVertex(WorkVertex* v, float x, float y, float z, const float normal[3], float u, float tv) {
    const float p[3] = {x, y, z}, uv[2] = {u, tv};
    FillWorkVertices(v, p, normal, uv, 1);
}

// Both planes: the second coordinate goes to y (XY) or to z (XZ); the
// normal is (0, 0, -1) in both.
Model* CreatePlane(float width, float height, int32_t columns, int32_t rows, float repeat, bool alongZ,
                   ProgressCallback progress) {
    Model* model = NewModel();
    if (columns < 2 || rows < 2) {
        LogGraphics("Error 頂点数は最低でも各軸2つ必要です\n");
        return model;
    }
    if (static_cast<int64_t>(columns) * rows > kMaxMeshVertices) {
        LogGraphics("ERROR : Vertex Overflow!!! [%lld]\n", static_cast<long long>(columns) * rows);
        return model;
    }
    AddRootFrame(model, "Frame_Plane_%02u", &planeNameCounter);
    char name[64];
    std::snprintf(name, sizeof name, "Mesh_Plane_%02u", planeNameCounter - 1);
    Mesh* mesh = AddMesh(model, name, columns * rows, (columns - 1) * (rows - 1) * 6);
    ReportProgress(progress);
    const float normal[3] = {0.0f, 0.0f, -1.0f};
    for (int32_t j = 0; j < rows; ++j) {
        for (int32_t i = 0; i < columns; ++i) {
            const float fi = static_cast<float>(i) / static_cast<float>(columns - 1);
            const float fj = static_cast<float>(j) / static_cast<float>(rows - 1);
            const float x = width * static_cast<float>(i) / static_cast<float>(columns - 1) - width / 2;
            const float second = height * static_cast<float>(j) / static_cast<float>(rows - 1) - height / 2;
            const float u = (fi - 0.5f) * repeat + 0.5f, v = ((1.0f - fj) - 0.5f) * repeat + 0.5f;
            SetWorkVertex(&mesh->vertices[static_cast<size_t>(j * columns + i)], x, alongZ ? 0.0f : second,
                          alongZ ? second : 0.0f, normal, u, v);
        }
    }
    ReportProgress(progress);
    FillGridIndices(mesh->indices.data(), columns, columns - 1, rows - 1);
    return FinishMesh(model, mesh, progress);
}

}  // namespace

void ResetPrimitiveNameCounters() {
    billboardNameCounter = planeNameCounter = cubeNameCounter = sphereNameCounter = heightFieldNameCounter = 0;
}

Model* CreateBillboardModel(float width, float height, ProgressCallback progress) {
    Model* model = NewModel();
    model->billboard = 1;
    AddRootFrame(model, "Frame_Billboard_%02u", &billboardNameCounter);
    char name[64];
    std::snprintf(name, sizeof name, "Mesh_Billboard_%02u", billboardNameCounter - 1);
    Mesh* mesh = AddMesh(model, name, 4, 6);
    ReportProgress(progress);
    const float w = width / 2, h = height / 2;
    const float positions[12] = {-w, h, 0, w, h, 0, -w, -h, 0, w, -h, 0};
    const float normals[12] = {0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1};
    const float texCoords[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    FillWorkVertices(mesh->vertices.data(), positions, normals, texCoords, 4);
    ReportProgress(progress);
    const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    std::copy_n(indices, 6, mesh->indices.begin());
    return FinishMesh(model, mesh, progress);
}

Model* CreatePlaneModelXY(float width, float height, int32_t columns, int32_t rows, float repeat,
                          ProgressCallback progress) {
    return CreatePlane(width, height, columns, rows, repeat, false, progress);
}

Model* CreatePlaneModelXZ(float width, float depth, int32_t columns, int32_t rows, float repeat,
                          ProgressCallback progress) {
    return CreatePlane(width, depth, columns, rows, repeat, true, progress);
}

Model* CreateCubeModel(float sizeX, float sizeY, float sizeZ, ProgressCallback progress) {
    Model* model = NewModel();
    AddRootFrame(model, "Frame_Cube_%02u", &cubeNameCounter);
    char name[64];
    std::snprintf(name, sizeof name, "Mesh_Cube_%02u", cubeNameCounter - 1);
    Mesh* mesh = AddMesh(model, name, 24, 36);
    ReportProgress(progress);
    const float a = sizeX / 2, b = sizeY / 2, c = sizeZ / 2;
    struct Face { float normal[3]; float corners[4][3]; };
    const Face faces[6] = {
        {{0, 1, 0}, {{-a, b, c}, {a, b, c}, {-a, b, -c}, {a, b, -c}}},
        {{0, -1, 0}, {{a, -b, c}, {-a, -b, c}, {a, -b, -c}, {-a, -b, -c}}},
        {{0, 0, -1}, {{-a, b, -c}, {a, b, -c}, {-a, -b, -c}, {a, -b, -c}}},
        {{0, 0, 1}, {{a, b, c}, {-a, b, c}, {a, -b, c}, {-a, -b, c}}},
        {{1, 0, 0}, {{a, b, -c}, {a, b, c}, {a, -b, -c}, {a, -b, c}}},
        {{-1, 0, 0}, {{-a, b, c}, {-a, b, -c}, {-a, -b, c}, {-a, -b, -c}}},
    };
    const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (int f = 0; f < 6; ++f) {
        for (int k = 0; k < 4; ++k) {
            const float* p = faces[f].corners[k];
            SetWorkVertex(&mesh->vertices[static_cast<size_t>(4 * f + k)], p[0], p[1], p[2], faces[f].normal,
                          uv[k][0], uv[k][1]);
        }
        const uint16_t q = static_cast<uint16_t>(4 * f);
        const uint16_t six[6] = {q, static_cast<uint16_t>(q + 1), static_cast<uint16_t>(q + 2),
                                 static_cast<uint16_t>(q + 3), static_cast<uint16_t>(q + 2),
                                 static_cast<uint16_t>(q + 1)};
        std::copy_n(six, 6, mesh->indices.begin() + 6 * f);
    }
    return FinishMesh(model, mesh, progress);
}

Model* CreateSphereModel(float radiusX, float radiusY, float radiusZ, int32_t rings, int32_t segments,
                         ProgressCallback progress) {
    Model* model = NewModel();
    if (rings < 3 || segments < 3) {
        LogGraphics("Error スライスとスタックが少なすぎます\n");
        return model;
    }
    const int64_t vertexCount = (static_cast<int64_t>(segments) + 1) * rings;
    if (vertexCount > kMaxMeshVertices) {
        LogGraphics("ERROR : Vertex Overflow!!! [%lld]\n", static_cast<long long>(vertexCount));
        return model;
    }
    AddRootFrame(model, "Frame_Sphere_%02u", &sphereNameCounter);
    char name[64];
    std::snprintf(name, sizeof name, "Mesh_Sphere_%02u", sphereNameCounter - 1);
    Mesh* mesh = AddMesh(model, name, static_cast<int32_t>(vertexCount), (rings - 1) * segments * 6);
    ReportProgress(progress);
    for (int32_t r = 0; r < rings; ++r) {
        const float phi = static_cast<float>(r) * kPi / static_cast<float>(rings - 1);
        for (int32_t s = 0; s <= segments; ++s) {
            const float theta = 2 * kPi - static_cast<float>(s) * 2 * kPi / static_cast<float>(segments);
            // (0, 1, 0) turned about x by phi, then about y by theta.
            const float dx = std::sin(phi) * std::sin(theta), dy = std::cos(phi), dz = std::sin(phi) * std::cos(theta);
            Vector3 n{radiusX * dx, radiusY * dy, radiusZ * dz};
            const Vector3 p = n;
            n.Normalize();
            const float normal[3] = {n.x, n.y, n.z};
            SetWorkVertex(&mesh->vertices[static_cast<size_t>(r * (segments + 1) + s)], p.x, p.y, p.z, normal,
                          1.0f - static_cast<float>(s) / static_cast<float>(segments), (1.0f - dy) / 2);
        }
    }
    ReportProgress(progress);
    uint16_t* out = mesh->indices.data();
    for (int32_t r = 0; r < rings - 1; ++r) {
        for (int32_t s = 0; s < segments; ++s) {
            const int32_t k = r * (segments + 1) + s;
            const int32_t six[6] = {k, k + 1, k + segments + 1, k + 1, k + segments + 2, k + segments + 1};
            for (int32_t n : six) *out++ = static_cast<uint16_t>(n);
        }
    }
    return FinishMesh(model, mesh, progress);
}

namespace {

// The grid fields, the cell flags and the quadtree of a built field.
void FinishHeightField(Model* model, int32_t meshNum, int32_t cell, float sizeX, float sizeZ, float height) {
    model->SetMeshCulling(0, Model::kAll);
    model->gridCellsPerSide = meshNum;
    model->cellVerticesPerRow = cell + 1;
    model->cellSizeX = sizeX / static_cast<float>(meshNum);
    model->cellSizeZ = sizeZ / static_cast<float>(meshNum);
    model->fieldSizeX = sizeX;
    model->fieldSizeZ = sizeZ;
    model->quadSizeX = model->cellSizeX / static_cast<float>(cell);
    model->quadSizeZ = model->cellSizeZ / static_cast<float>(cell);
    model->maxHeight = height;
    auto* root = new HeightFieldNode;
    model->heightFieldNodes.PushFront(root);
    model->BuildHeightFieldNode(root, 0, 0, meshNum);
    model->ResetTransform();
    model->Update(0.0f);
}

}  // namespace

Model* CreateHeightFieldModel(const HeightImage& image, int32_t meshNum, float sizeX, float sizeZ, float height,
                              int32_t repeat, ProgressCallback progress) {
    Model* model = NewModel();
    const int32_t W = image.width, H = image.height;
    const int32_t cell = meshNum > 0 ? W / meshNum : 0;
    const auto allocateFlags = [&] {
        model->cellFlags.assign(meshNum > 0 ? static_cast<size_t>(meshNum) * meshNum : 0, 0);
    };
    LogGraphics("MeshNum [%d x %d = %d] / CellSize [%d x %d] {\n", meshNum, meshNum, meshNum * meshNum, cell, cell);
    if (W != H) {
        LogGraphics("ERROR : 画像サイズが正方形では有りません\n");
        allocateFlags();
        return model;
    }
    if (cell < 1 || W % cell != 1) {
        LogGraphics("ERROR : 画像サイズが不正です\n    << 画像サイズ = (mesh_num * １メッシュの１列の頂点数) + 1 >>\n");
        allocateFlags();
        return model;
    }
    Frame* root = AddRootFrame(model, "HightField_%02u", &heightFieldNameCounter);
    if (image.format != gpu::D3DFMT_A8R8G8B8) {
        LogGraphics("ERROR : FORMAT_WIDEUSE を指定して作成されたサーフェイスではありません\n");
        allocateFlags();
        return model;
    }
    if (!image.bits) {
        LogGraphics("ERROR : サーフェイスロックに失敗\n");
        allocateFlags();
        return model;
    }
    const int32_t cellVertices = (cell + 1) * (cell + 1);
    if (cellVertices > 65535) {
        LogGraphics("ERROR : Vertex Overflow!!! [%u]\n", static_cast<uint32_t>(cellVertices));
        allocateFlags();
        return model;
    }
    ReportProgress(progress);

    // The whole field as one grid, so neighbouring cells share their normals.
    std::vector<WorkVertex> grid(static_cast<size_t>(W) * H, WorkVertex{});
    for (int32_t j = 0; j < H; ++j) {
        const uint8_t* row = image.bits + static_cast<std::ptrdiff_t>(j) * image.pitch;
        for (int32_t i = 0; i < W; ++i) {
            const float fi = static_cast<float>(i) / static_cast<float>(W - 1);
            const float fj = static_cast<float>(j) / static_cast<float>(H - 1);
            const float y = static_cast<float>(row[4 * i + 2]) * height / 255.0f;
            const float up[3] = {0, 1, 0};
            SetWorkVertex(&grid[static_cast<size_t>(j * W + i)], sizeX * static_cast<float>(i) / (W - 1) - sizeX / 2, y,
                          sizeZ * static_cast<float>(j) / (H - 1) - sizeZ / 2, up, fi * repeat, fj * repeat);
        }
    }
    std::vector<uint32_t> gridIndices(static_cast<size_t>(W - 1) * (H - 1) * 6);
    FillGridIndices(gridIndices.data(), W, W - 1, H - 1);
    ComputeAngleWeightedNormals(grid, gridIndices.data(), gridIndices.size());
    for (WorkVertex& v : grid) std::copy_n(v.normal, 3, v.morphNormal);
    ReportProgress(progress);

    const int32_t cellIndices = cell * cell * 6;
    double bytes = 0;
    for (int32_t cz = 0; cz < meshNum; ++cz) {
        for (int32_t cx = 0; cx < meshNum; ++cx) {
            char name[300];
            std::snprintf(name, sizeof name, "%s_%d_%d", root->GetName(), cx, cz);
            Mesh* mesh = AddMesh(model, name, cellVertices, cellIndices);
            for (int32_t r = 0; r <= cell; ++r) {
                for (int32_t c = 0; c <= cell; ++c) {
                    mesh->vertices[static_cast<size_t>(r * (cell + 1) + c)] =
                        grid[static_cast<size_t>((cz * cell + r) * W + cx * cell + c)];
                }
            }
            FillGridIndices(mesh->indices.data(), cell + 1, cell, cell);
            mesh->CreateBuffers(progress);
            LogGraphics("\tMesh { No.%02d, Vertex %d, Index %d, (%8.3lf,%8.3lf,%8.3lf)-(%8.3lf,%8.3lf,%8.3lf), "
                        "%.3lfKB}\n", cz * meshNum + cx, mesh->vertexCount, mesh->indexCount, mesh->boxMin.x,
                        mesh->boxMin.y, mesh->boxMin.z, mesh->boxMax.x, mesh->boxMax.y, mesh->boxMax.z,
                        mesh->GetMemorySize() / 1024.0);
            bytes += mesh->GetMemorySize();
        }
        ReportProgress(progress);
    }
    allocateFlags();
    LogGraphics("} %.3lfM ByteUse / Complete!\n", (bytes + model->cellFlags.size() * 4.0) / (1024.0 * 1024.0));
    FinishHeightField(model, meshNum, cell, sizeX, sizeZ, height);
    return model;
}

Model* CreateHeightFieldModel(Surface* image, int32_t meshNum, float sizeX, float sizeZ, float height,
                              int32_t repeat, ProgressCallback progress) {
    HeightImage view;
    void* bits = nullptr;
    int pitch = 0;
    bool locked = false;
    if (image) {
        view.width = image->GetWidth();
        view.height = image->GetHeight();
        view.format = image->GetFormat();
        locked = view.format == gpu::D3DFMT_A8R8G8B8 && image->Lock(&bits, &pitch);
        view.bits = locked ? static_cast<const uint8_t*>(bits) : nullptr;
        view.pitch = pitch;
    }
    Model* model = CreateHeightFieldModel(view, meshNum, sizeX, sizeZ, height, repeat, progress);
    if (locked) image->Unlock();
    return model;
}
