#pragma once
// Pieces of X-format test files, written in either encoding.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/models/xfile_writer.h"

namespace test {

// FrameTransformMatrix: a translation.
inline void WriteXTranslation(xfile::XWriter& w, float tx, float ty, float tz) {
    w.BeginObject("FrameTransformMatrix");
    w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, tx, ty, tz, 1});
    w.EndObject();
}

// Material: face colour (r, 0.5, 0.25, 1), power 12, specular (0.1, 0.2,
// 0.3), emissive (0.4, 0.5, 0.6) and the texture name when given.
inline void WriteXMaterial(xfile::XWriter& w, const std::string& name, float r, const char* texture) {
    w.BeginObject("Material", name);
    w.Floats({r, 0.5f, 0.25f, 1.0f, 12.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f});
    if (texture) {
        w.BeginObject("TextureFilename");
        w.String(texture);
        w.EndObject();
    }
    w.EndObject();
}

// A cube of 8 shared corners and 6 quads, one normal per face, texture
// coordinates, and the materials: "Wood" referenced (faces 0, 1 and 4),
// "Plain" written in place (faces 2, 3 and 5) and, when asked, a third
// material that no face uses.
inline void WriteXCube(xfile::XWriter& w, const std::string& name, bool unusedMaterial = false) {
    w.BeginObject("Mesh", name);
    w.Dwords({8});
    w.Floats({-1, -1, -1, -1, 1, -1, 1, 1, -1, 1, -1, -1, -1, -1, 1, -1, 1, 1, 1, 1, 1, 1, -1, 1});
    w.Dwords({6});
    w.Dwords({4, 0, 1, 2, 3});
    w.Dwords({4, 7, 6, 5, 4});
    w.Dwords({4, 4, 5, 1, 0});
    w.Dwords({4, 3, 2, 6, 7});
    w.Dwords({4, 1, 5, 6, 2});
    w.Dwords({4, 4, 0, 3, 7});
    w.BeginObject("MeshNormals");
    w.Dwords({6});
    w.Floats({0, 0, -1, 0, 0, 1, -1, 0, 0, 1, 0, 0, 0, 1, 0, 0, -1, 0});
    w.Dwords({6});
    for (uint32_t f = 0; f < 6; ++f) w.Dwords({4, f, f, f, f});
    w.EndObject();
    w.BeginObject("MeshTextureCoords");
    w.Dwords({8});
    w.Floats({0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 0});
    w.EndObject();
    w.BeginObject("MeshMaterialList");
    w.Dwords({unusedMaterial ? 3u : 2u, 6, 0, 0, 1, 1, 0, 1});
    w.Reference("Wood");
    WriteXMaterial(w, "Plain", 0.75f, nullptr);
    if (unusedMaterial) WriteXMaterial(w, "Unused", 0.25f, nullptr);
    w.EndObject();
    w.EndObject();
}

// One AnimationKey block: type, count, then {time; n; values} per key.
inline void WriteXKeys(xfile::XWriter& w, uint32_t type,
                       const std::vector<std::pair<uint32_t, std::vector<float>>>& keys) {
    w.BeginObject("AnimationKey");
    w.Dwords({type, static_cast<uint32_t>(keys.size())});
    for (const auto& [time, values] : keys) {
        w.Dwords({time, static_cast<uint32_t>(values.size())});
        w.Floats(values.data(), values.size());
    }
    w.EndObject();
}

}  // namespace test
