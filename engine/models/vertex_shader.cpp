#include "engine/models/vertex_shader.h"
#include "platform/safe_file.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/graphics/device.h"
#include "engine/models/vertex_shader_asm.h"
#include "engine/models/vertex_shader_vm.h"
#include "platform/paths.h"
#include "platform/system.h"

ResourceList vertexShaderList;

namespace {

// The device's view of an interpreted program: the interpreter's outputs are
// copied into the device's output record.
class InterpretedProgram : public gpu::VertexProgram {
public:
    explicit InterpretedProgram(std::unique_ptr<VertexShaderProgram> program) : program_(std::move(program)) {}

    void Run(const float input[16][4], const float constants[][4], gpu::VertexProgramOutput* out) const override {
        VertexShaderOutput result;
        program_->Run(input, constants, &result);
        std::copy_n(result.position, 4, out->position);
        std::copy_n(result.diffuse, 4, out->diffuse);
        std::copy_n(result.specular, 4, out->specular);
        for (int t = 0; t < gpu::kMaxTextureStages; ++t) std::copy_n(result.texCoord[t], 4, out->texCoord[t]);
        out->fog = result.fog;
        out->pointSize = result.pointSize;
    }

private:
    std::unique_ptr<VertexShaderProgram> program_;
};

gpu::VertexProgram* CompileInterpreted(const uint32_t* tokens) {
    std::unique_ptr<VertexShaderProgram> program = VertexShaderProgram::Compile(tokens, SIZE_MAX);
    return program ? new InterpretedProgram(std::move(program)) : nullptr;
}

}  // namespace

VertexShader::~VertexShader() { DeleteDeviceShader(); }

void VertexShader::DeleteDeviceShader() {
    gpu::Device* device = GetDevice();
    if (handle != kNoHandle && device) device->DeleteVertexShader(handle);
    handle = kNoHandle;
}

bool VertexShader::CreateFromText(const char* source, const uint32_t* declaration) {
    DeleteDeviceShader();
    buffer.clear();
    gpu::Device* device = GetDevice();
    if (!source || !declaration || !AssembleVertexShader(source, &buffer)) return false;
    const uint32_t usage = IsSoftwareVertexProcessing() ? gpu::D3DUSAGE_SOFTWAREPROCESSING : 0;
    uint32_t created = kNoHandle;
    if (!device || gpu::Failed(device->CreateVertexShader(declaration, buffer.data(), &created, usage))) return false;
    handle = created;
    return true;
}

bool VertexShader::CreateFromFile(const char* fileName, const uint32_t* declaration) {
    if (!fileName) return false;
    platform::SetCurrentFolder(platform::ProgramFolder());
    FILE* file = platform::OpenRegularFile(platform::ResolvePath(fileName)).release();
    if (!file) return false;
    std::string text;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
    std::fclose(file);
    return CreateFromText(text.c_str(), declaration);
}

void VertexShader::Build(ShaderKey* key) {
    const std::string source = BuildShaderSource(key);
    CreateFromText(source.c_str(), GetVertexDeclaration(key->vertexKind));
}

VertexShader* CreateVertexShader() {
    auto* shader = new VertexShader;
    vertexShaderList.PushBack(shader);
    return shader;
}

int InitializeVertexShaders() {
    vertexShaderList.Reset();
    gpu::SetVertexProgramCompiler(CompileInterpreted);
    return 1;
}

void DestroyVertexShaders() { vertexShaderList.ReleaseAll(); }
