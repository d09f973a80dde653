// Time to load the generated stage model "gf\\model2.dat" into a Model: the
// X-file read, the meshes built and handed to the device, the four textures
// decoded from the model texture archive, on the null backend, from the data
// set that the build writes (tests/support/data_set.h).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "engine/core/math.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/texture.h"
#include "engine/models/model.h"
#include "engine/models/vertex_shader.h"
#include "engine/models/xfile_loader.h"
#include "platform/system.h"
#include "tests/support/data_set.h"

namespace {

void BM_CreateModelFromXFile(benchmark::State& state) {
    const test::DataSetFolder folder;
    if (!folder.linked()) {
        state.SkipWithError("no data set (see the message above)");
        return;
    }
    const std::filesystem::path before = std::filesystem::current_path();
    platform::OverrideProgramFolder(folder.path().string());
    InitializeMathTables();
    if (InitializeDirectXGraphics() != 1) {
        state.SkipWithError("no graphics device");
        return;
    }
    InitCameraList();
    InitializeVertexShaders();
    InitTextureList();
    InitializeModels();
    SetModelTextureArchive("gf\\model.dat");
    int meshes = 0;
    for (auto _ : state) {
        Model* model = CreateModelFromXFile("gf\\model2.dat", nullptr);
        meshes = model->GetMeshCount();
        model->Release();
    }
    if (meshes != 3) state.SkipWithError("the stage model did not load whole");
    DestroyModels();
    DestroyVertexShaders();
    DestroyTextureList();
    DestroyCameraList();
    DestroyDirectXGraphics();
    platform::OverrideProgramFolder("");
    std::filesystem::current_path(before);
}
BENCHMARK(BM_CreateModelFromXFile)->Unit(benchmark::kMillisecond);

}  // namespace
