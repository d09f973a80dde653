// Time to load the generated stage model "gf\\model2.dat" into a Model: the
// X-file read, the meshes built and handed to the device, the four textures
// decoded from the model texture archive, on the null backend.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/core/math.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/texture.h"
#include "engine/models/model.h"
#include "engine/models/vertex_shader.h"
#include "engine/models/xfile_loader.h"
#include "platform/system.h"

namespace {

// A fresh folder with the placeholder data set written by the data generator
// that sits beside this program; empty when it cannot be made.
std::string GenerateDataSet() {
    std::string folder = (std::filesystem::temp_directory_path() / "xfile_bench_XXXXXX").string();
    if (!mkdtemp(folder.data())) return {};
    const std::string command = "'" + platform::ProgramFolder() + "/datagen' '" + folder + "' > /dev/null";
    return std::system(command.c_str()) == 0 ? folder : std::string();
}

void BM_CreateModelFromXFile(benchmark::State& state) {
    const std::string folder = GenerateDataSet();
    if (folder.empty()) {
        state.SkipWithError("the data generator did not run");
        return;
    }
    const std::filesystem::path before = std::filesystem::current_path();
    platform::OverrideProgramFolder(folder);
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
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_CreateModelFromXFile)->Unit(benchmark::kMillisecond);

}  // namespace
