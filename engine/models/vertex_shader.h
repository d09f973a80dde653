#pragma once
#include <cstdint>
#include <vector>

#include "engine/core/resource.h"
#include "engine/models/shader_fragments.h"

// A vertex shader of the device, assembled from vs.1.1 text. Every mesh owns
// one, built from its shader key; the device runs it through the engine's
// interpreter (installed by InitializeVertexShaders).
class VertexShader : public ResourceObject {
public:
    static constexpr uint32_t kNoHandle = 0xFFFFFFFFu;

    ~VertexShader() override;

    uint32_t GetHandle() const { return handle; }
    // The assembled token stream (empty while none).
    const std::vector<uint32_t>& GetBuffer() const { return buffer; }

    // Assembles the text and creates the device shader with the declaration,
    // with software-processing usage on a software-processing device. False,
    // and no handle, when either step fails.
    bool CreateFromText(const char* source, const uint32_t* declaration);
    // The same from a text file, looked up from the program's folder.
    bool CreateFromFile(const char* fileName, const uint32_t* declaration);
    // Joins the fragments of the key, writes the OR of its four words into
    // key->shaderKey and creates the shader from the text.
    void Build(ShaderKey* key);

    uint32_t handle = kNoHandle;
    std::vector<uint32_t> buffer;

private:
    void DeleteDeviceShader();
};

extern ResourceList vertexShaderList;

// A new, empty shader at the back of vertexShaderList.
VertexShader* CreateVertexShader();
// Empties the list and installs the interpreter as the device's compiler.
int InitializeVertexShaders();
void DestroyVertexShaders();
