#pragma once
#include <cstdint>

#include "engine/core/resource.h"
#include "platform/gpu_device.h"

class Model;
class Surface;

// Models built from parameters instead of a model file: each has one root
// frame and meshes of one material each. All return the model, also after a
// parameter error (then without frame or meshes, and the error logged).

Model* CreateBillboardModel(float width, float height, ProgressCallback progress);
// columns and rows count vertices along x and along y (XY) or z (XZ).
Model* CreatePlaneModelXY(float width, float height, int32_t columns, int32_t rows, float repeat,
                          ProgressCallback progress);
Model* CreatePlaneModelXZ(float width, float depth, int32_t columns, int32_t rows, float repeat,
                          ProgressCallback progress);
Model* CreateCubeModel(float sizeX, float sizeY, float sizeZ, ProgressCallback progress);
// rings: vertex rings from pole to pole; segments: divisions around the axis.
Model* CreateSphereModel(float radiusX, float radiusY, float radiusZ, int32_t rings, int32_t segments,
                         ProgressCallback progress);

// The pixels of a height image as a locked surface shows them: rows `pitch`
// bytes apart, top row first; bits null when the lock failed.
struct HeightImage {
    int32_t width = 0, height = 0;
    gpu::D3DFORMAT format = gpu::D3DFMT_UNKNOWN;
    const uint8_t* bits = nullptr;
    int32_t pitch = 0;
};
// A terrain of meshNum x meshNum cell meshes from a square A8R8G8B8 image of
// side meshNum x cell + 1 whose red bytes are the heights (255 = height).
Model* CreateHeightFieldModel(const HeightImage& image, int32_t meshNum, float sizeX, float sizeZ, float height,
                              int32_t repeat, ProgressCallback progress);

// The same from a Surface made for wide use (A8R8G8B8), locked while the
// heights are read.
Model* CreateHeightFieldModel(Surface* image, int32_t meshNum, float sizeX, float sizeZ, float height,
                              int32_t repeat, ProgressCallback progress);

// The generators' name counters back to 0 (model layer start-up).
void ResetPrimitiveNameCounters();
