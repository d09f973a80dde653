#include "fuzz/xfile_checks.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/models/xfile_mesh_build.h"
#include "engine/models/xfile_model_data.h"
#include "engine/models/xfile_parser.h"
#include "engine/models/xfile_writer.h"
#include "platform/little_endian.h"
#include "tools/datagen/model_set.h"

namespace fuzz {
namespace {

using namespace xfile;

// ---- The input's form ------------------------------------------------------------

std::vector<uint8_t> XFileImage(XEncoding encoding, bool doubles, const uint8_t* body, size_t size) {
    const std::string header =
        std::string("xof 0303") + (encoding == XEncoding::Text ? "txt " : "bin ") + (doubles ? "0064" : "0032");
    std::vector<uint8_t> image(header.begin(), header.end());
    image.insert(image.end(), body, body + size);
    return image;
}

// The seed that gives `image` (a whole file) in the target's form.
std::vector<uint8_t> SeedOf(const std::vector<uint8_t>& image, uint8_t selector) {
    std::vector<uint8_t> seed{selector};
    seed.insert(seed.end(), image.begin() + X_HEADER_SIZE, image.end());
    return seed;
}

// ---- Parsed documents ----------------------------------------------------------------

void CollectObjects(const XObject& o, std::unordered_set<const XObject*>* all) {
    all->insert(&o);
    for (const XChild& c : o.children)
        if (c.object) CollectObjects(*c.object, all);
}

// Every resolved reference points at an object of the document that carries
// the name (or, for a reference by GUID alone, the GUID) it asked for.
void CheckReferences(const XObject& o, const std::unordered_set<const XObject*>& all) {
    for (const XChild& c : o.children) {
        if (c.object) {
            FUZZ_CHECK(c.target == c.object.get());
            CheckReferences(*c.object, all);
        } else if (c.target) {
            FUZZ_CHECK(all.count(c.target) == 1);
            FUZZ_CHECK(c.referenceName.empty() ? c.target->guid == c.referenceGuid
                                               : c.target->name == c.referenceName);
        }
    }
}

// The writer spells a GUID only when it reads as one; any other text it
// drops or reads in part, so only the canonical spelling must come back.
bool IsCanonicalGuid(const std::string& g) {
    if (g.size() != 36) return false;
    for (size_t i = 0; i < g.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? g[i] != '-' : !std::isxdigit(static_cast<unsigned char>(g[i])) || std::islower(g[i])) return false;
    }
    return true;
}

void CheckSameGuid(const std::string& before, const std::string& after) {
    if (IsCanonicalGuid(before)) FUZZ_CHECK(after == before);
}

void CheckSameValue(const XValue& before, const XValue& after) {
    FUZZ_CHECK(after.kind == before.kind);
    switch (before.kind) {
    // Values are DWORDs: the text encoding's negative and wide integers go out cut to 32 bits.
    case XValueKind::Integer: FUZZ_CHECK(after.integer == static_cast<uint32_t>(before.integer)); break;
    case XValueKind::Float:
        FUZZ_CHECK(std::isnan(before.number) ? std::isnan(after.number)
                                             : std::memcmp(&after.number, &before.number, sizeof(double)) == 0);
        break;
    case XValueKind::String: FUZZ_CHECK(after.text == before.text); break;
    }
}

void CheckSameObject(const XObject& before, const XObject& after) {
    FUZZ_CHECK(after.templateName == before.templateName);
    FUZZ_CHECK(after.name == before.name);
    CheckSameGuid(before.guid, after.guid);
    FUZZ_CHECK(after.values.size() == before.values.size());
    for (size_t i = 0; i < before.values.size(); ++i) CheckSameValue(before.values[i], after.values[i]);
    FUZZ_CHECK(after.children.size() == before.children.size());
    for (size_t i = 0; i < before.children.size(); ++i) {
        const XChild& b = before.children[i];
        const XChild& a = after.children[i];
        FUZZ_CHECK(a.IsReference() == b.IsReference());
        if (b.object) {
            CheckSameObject(*b.object, *a.object);
        } else {
            FUZZ_CHECK(a.referenceName == b.referenceName);
            CheckSameGuid(b.referenceGuid, a.referenceGuid);
        }
    }
}

void CheckRoundTrip(const XDocument& doc, XEncoding encoding, bool doubles) {
    const std::vector<uint8_t> again = EncodeXDocument(doc, encoding, doubles);
    XDocument reread;
    std::string error;
    FUZZ_CHECK(ParseXFile(again.data(), again.size(), &reread, &error));
    FUZZ_CHECK(reread.objects.size() == doc.objects.size());
    for (size_t i = 0; i < doc.objects.size(); ++i) CheckSameObject(*doc.objects[i], *reread.objects[i]);
}

// ---- Model data and mesh buffers -----------------------------------------------------

void CheckFaces(const std::vector<std::vector<uint32_t>>& faces, size_t limit) {
    for (const auto& face : faces) {
        FUZZ_CHECK(face.size() >= 3);
        for (uint32_t index : face) FUZZ_CHECK(index < limit);
    }
}

void CheckMeshData(const XMeshData& mesh, size_t frameCount) {
    FUZZ_CHECK(mesh.frame >= 0 && static_cast<size_t>(mesh.frame) < frameCount);
    FUZZ_CHECK(!mesh.positions.empty() && mesh.positions.size() <= X_MAX_MESH_VERTICES);
    CheckFaces(mesh.faces, mesh.positions.size());
    if (!mesh.normals.empty() || !mesh.faceNormals.empty()) {
        FUZZ_CHECK(mesh.faceNormals.size() == mesh.faces.size());
        CheckFaces(mesh.faceNormals, mesh.normals.size());
        for (size_t f = 0; f < mesh.faces.size(); ++f) FUZZ_CHECK(mesh.faceNormals[f].size() == mesh.faces[f].size());
    }
    FUZZ_CHECK(mesh.texCoords.empty() || mesh.texCoords.size() == mesh.positions.size());
    FUZZ_CHECK(mesh.vertexColors.empty() || mesh.vertexColors.size() == mesh.positions.size());
    FUZZ_CHECK(!mesh.materials.empty() && mesh.faceMaterials.size() == mesh.faces.size());
    for (uint32_t m : mesh.faceMaterials) FUZZ_CHECK(m < mesh.materials.size());
    for (const XSkinWeightsData& bone : mesh.skinWeights) {
        FUZZ_CHECK(bone.weights.size() == bone.vertexIndices.size());
        for (uint32_t v : bone.vertexIndices) FUZZ_CHECK(v < mesh.positions.size());
    }
}

template <typename Key>
void CheckKeyTimes(const std::vector<Key>& keys) {
    for (size_t i = 0; i < keys.size(); ++i) FUZZ_CHECK(keys[i].time >= 0 && (i == 0 || keys[i - 1].time <= keys[i].time));
}

void CheckModelData(const XModelData& model) {
    FUZZ_CHECK(!model.frames.empty() && model.frames[0].name == X_ROOT_FRAME_NAME && model.frames[0].parent == -1);
    for (size_t i = 1; i < model.frames.size(); ++i)
        FUZZ_CHECK(model.frames[i].parent >= 0 && static_cast<size_t>(model.frames[i].parent) < i);
    for (const XMeshData& mesh : model.meshes) CheckMeshData(mesh, model.frames.size());
    for (const XAnimationData& a : model.animations) {
        CheckKeyTimes(a.rotationKeys);
        CheckKeyTimes(a.scaleKeys);
        CheckKeyTimes(a.positionKeys);
        CheckKeyTimes(a.matrixKeys);
    }
}

// Triangles [faceStart, +faceCount) use only vertices [vertexStart, +vertexCount).
template <typename Range>
void CheckRange(const Range& r, const std::vector<uint16_t>& indices, size_t vertexCount) {
    FUZZ_CHECK(r.faceCount > 0 && r.faceStart + static_cast<size_t>(r.faceCount) <= indices.size() / 3);
    FUZZ_CHECK(r.vertexStart + static_cast<size_t>(r.vertexCount) <= vertexCount);
    for (size_t i = 3 * size_t{r.faceStart}; i < 3 * (size_t{r.faceStart} + r.faceCount); ++i)
        FUZZ_CHECK(indices[i] >= r.vertexStart && indices[i] - r.vertexStart < r.vertexCount);
}

// The runs follow each other without a gap, each over the whole of its range.
template <typename Range>
void CheckRuns(const std::vector<Range>& runs, const std::vector<uint16_t>& indices, size_t vertexCount) {
    size_t next = 0;
    for (const Range& r : runs) {
        FUZZ_CHECK(r.faceStart == next);
        CheckRange(r, indices, vertexCount);
        next += r.faceCount;
    }
    FUZZ_CHECK(next == indices.size() / 3);
}

void CheckMeshBuffers(const XMeshData& mesh, const XMeshBuffers& b) {
    size_t triangles = 0;
    for (const auto& face : mesh.faces) triangles += face.size() - 2;
    FUZZ_CHECK(b.indices.size() == 3 * triangles);
    FUZZ_CHECK(b.vertices.size() <= X_MAX_MESH_VERTICES && b.sourcePosition.size() == b.vertices.size());
    for (uint32_t p : b.sourcePosition) FUZZ_CHECK(p < mesh.positions.size());
    CheckRuns(b.attributes, b.indices, b.vertices.size());
    for (size_t i = 0; i < b.attributes.size(); ++i) {
        FUZZ_CHECK(b.attributes[i].attribId < mesh.materials.size());
        FUZZ_CHECK(i == 0 || b.attributes[i - 1].attribId < b.attributes[i].attribId);
    }
}

void CheckSkinBuffers(const XMeshData& mesh, const XMeshBuffers& b, const XSkinBuffers& s, uint32_t paletteSize) {
    FUZZ_CHECK(s.indices.size() == b.indices.size());
    FUZZ_CHECK(s.vertices.size() <= X_MAX_MESH_VERTICES);
    CheckRuns(s.combinations, s.indices, s.vertices.size());
    for (const XBoneCombination& c : s.combinations) {
        FUZZ_CHECK(c.boneIds.size() == std::min<uint32_t>(paletteSize, 255));
        for (uint32_t bone : c.boneIds) FUZZ_CHECK(bone == X_UNUSED_BONE || bone < mesh.skinWeights.size());
        // Every slot a vertex of the combination names holds a bone.
        for (uint32_t v = c.vertexStart; v < c.vertexStart + c.vertexCount; ++v)
            for (int k = 0; k < 3; ++k) {
                const uint8_t slot = s.vertices[v].paletteSlots[k];
                FUZZ_CHECK(slot < c.boneIds.size() && c.boneIds[slot] != X_UNUSED_BONE);
            }
    }
}

void CheckMesh(const XMeshData& mesh, uint32_t paletteSize) {
    XMeshBuffers buffers;
    if (!BuildMeshBuffers(mesh, &buffers, nullptr)) return;
    CheckMeshBuffers(mesh, buffers);
    if (mesh.skinWeights.empty()) return;
    XSkinBuffers skin;
    if (BuildSkinBuffers(mesh, buffers, paletteSize, &skin, nullptr)) CheckSkinBuffers(mesh, buffers, skin, paletteSize);
}

}  // namespace

void CheckXFile(XEncoding encoding, const uint8_t* data, size_t size) {
    if (size == 0) return;
    const bool doubles = data[0] & 1;
    const uint32_t paletteSize = 1 + (data[0] >> 1);  // 1..128: splitting by palette both ways
    const std::vector<uint8_t> image = XFileImage(encoding, doubles, data + 1, size - 1);

    XDocument doc;
    std::string error;
    if (!ParseXFile(image.data(), image.size(), &doc, &error)) {
        FUZZ_CHECK(doc.objects.empty() && !error.empty());
        return;
    }
    std::unordered_set<const XObject*> all;
    for (const auto& o : doc.objects) CollectObjects(*o, &all);
    for (const auto& o : doc.objects) CheckReferences(*o, all);
    CheckRoundTrip(doc, encoding, doubles);

    const XModelData model = ExtractModelData(doc);
    CheckModelData(model);
    for (const XMeshData& mesh : model.meshes) CheckMesh(mesh, paletteSize);
}

// ---- Seeds ------------------------------------------------------------------------------

namespace {

void WriteMatrix(XWriter& w, float tx, float ty, float tz) {
    w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, tx, ty, tz, 1});
}

// A strip of four quads over ten positions, with normals, coordinates,
// colours, two materials (one by reference, with a texture) and two bones.
void SkinnedStrip(XWriter& w) {
    w.BeginObject("Mesh", "strip");
    w.Dwords({10});
    for (int i = 0; i < 5; ++i) w.Floats({0, static_cast<float>(i), 0, 1, static_cast<float>(i), 0});
    w.Dwords({4});
    for (uint32_t i = 0; i < 4; ++i) w.Dwords({4, 2 * i, 2 * i + 2, 2 * i + 3, 2 * i + 1});
    w.BeginObject("MeshNormals");
    w.Dwords({2});
    w.Floats({0, 0, -1, 0, 0, 1});
    w.Dwords({4});
    for (uint32_t i = 0; i < 4; ++i) w.Dwords({4, i % 2, i % 2, 0, 1});
    w.EndObject();
    w.BeginObject("MeshTextureCoords");
    w.Dwords({10});
    for (int i = 0; i < 10; ++i) w.Floats({static_cast<float>(i % 2), i / 8.0f});
    w.EndObject();
    w.BeginObject("MeshVertexColors");
    w.Dwords({2, 0});
    w.Floats({1, 0, 0, 1});
    w.Dwords({9});
    w.Floats({0, 0.5f, 1, 0.25f});
    w.EndObject();
    w.BeginObject("MeshMaterialList");
    w.Dwords({2, 4, 0, 1, 1, 0});
    w.Reference("Skin");
    w.BeginObject("Material");
    w.Floats({0.2f, 0.4f, 0.6f, 1, 8, 1, 1, 1, 0, 0, 0});
    w.EndObject();
    w.EndObject();
    w.BeginObject("XSkinMeshHeader");
    w.Dwords({2, 4, 2});
    w.EndObject();
    for (int bone = 0; bone < 2; ++bone) {
        w.BeginObject("SkinWeights");
        w.String(bone == 0 ? "lower" : "upper");
        w.Dwords({5});
        w.Dwords(bone == 0 ? std::initializer_list<uint32_t>{0, 1, 2, 3, 4} : std::initializer_list<uint32_t>{4, 5, 6, 7, 8});
        w.Floats({1, 1, 0.75f, 0.5f, 0.25f});
        WriteMatrix(w, 0, -2.0f * bone, 0);
        w.EndObject();
    }
    w.EndObject();
}

// Frames with matrices, a material named for references, the skinned mesh
// inside a frame, and an animation set with every key type.
std::vector<uint8_t> RichDocument(XEncoding encoding, bool doubles) {
    XWriter w(encoding, doubles);
    w.BeginObject("Material", "Skin");
    w.Floats({1, 0.8f, 0.6f, 1, 20, 0.5f, 0.5f, 0.5f, 0, 0, 0});
    w.BeginObject("TextureFilename");
    w.String("tex\\skin.bmp");
    w.EndObject();
    w.EndObject();
    w.BeginObject("Frame", "lower");
    w.BeginObject("FrameTransformMatrix");
    WriteMatrix(w, 0, 1, 0);
    w.EndObject();
    w.BeginObject("Frame", "upper", "3D82AB46-62DA-11CF-AB39-0020AF71E433");
    w.BeginObject("FrameTransformMatrix");
    WriteMatrix(w, 0, 2, 0);
    w.EndObject();
    SkinnedStrip(w);
    w.EndObject();
    w.EndObject();
    w.BeginObject("AnimationSet", "bend");
    w.BeginObject("Animation");
    w.Reference("upper");
    w.BeginObject("AnimationKey");
    w.Dwords({0, 2, 0, 4});
    w.Floats({1, 0, 0, 0});
    w.Dwords({40, 4});
    w.Floats({0.7071f, 0.7071f, 0, 0});
    w.EndObject();
    w.BeginObject("AnimationKey");
    w.Dwords({1, 1, 0, 3});
    w.Floats({1, 2, 1});
    w.EndObject();
    w.BeginObject("AnimationKey");
    w.Dwords({2, 2, 0, 3});
    w.Floats({0, 0, 0});
    w.Dwords({60, 3});
    w.Floats({0, 5, 0});
    w.EndObject();
    w.BeginObject("AnimationKey");
    w.Dwords({4, 1, 10, 16});
    WriteMatrix(w, 1, 1, 1);
    w.EndObject();
    w.EndObject();
    w.BeginObject("Animation");
    w.Reference("", "3D82AB46-62DA-11CF-AB39-0020AF71E433");
    w.EndObject();
    w.EndObject();
    return w.Bytes();
}

// Template declarations, comments and separators as other writers leave them.
constexpr const char* kTextWithTemplates =
    "xof 0302txt 0032\n"
    "template Vector {\n <3D82AB5E-62DA-11cf-AB39-0020AF71E433>\n FLOAT x;\n FLOAT y;\n FLOAT z;\n}\n"
    "template Mesh {\n <3D82AB44-62DA-11cf-AB39-0020AF71E433>\n DWORD nVertices;\n"
    " array Vector vertices[nVertices];\n DWORD nFaces;\n array MeshFace faces[nFaces];\n [...]\n}\n"
    "# a comment\n// another\n"
    "Mesh tri {\n 3;\n -1.0;0.0;0.0;,\n 1.0;0.0;0.0;,\n 0.0;1.5e0;0.0;;\n 1;\n 3;0,1,2;;\n}\n";

// A template in binary tokens: template Name { <guid> DWORD x; [...] }.
std::vector<uint8_t> BinaryTemplate() {
    std::vector<uint8_t> bytes;
    auto token = [&bytes](uint16_t code) { platform::AppendLe16(bytes, code); };
    token(X_TOKEN_TEMPLATE);
    token(X_TOKEN_NAME);
    bytes.insert(bytes.end(), {4, 0, 0, 0, 'W', 'e', 'i', 'r'});
    token(X_TOKEN_OBRACE);
    token(X_TOKEN_GUID);
    bytes.insert(bytes.end(), 16, 0x5A);
    token(X_TOKEN_FIRST_KEYWORD + 1);
    token(X_TOKEN_NAME);
    bytes.insert(bytes.end(), {1, 0, 0, 0, 'x'});
    token(X_TOKEN_SEMICOLON);
    token(X_TOKEN_OPAREN + 2);
    token(X_TOKEN_OPAREN + 6);
    token(X_TOKEN_OPAREN + 3);
    token(X_TOKEN_CBRACE);
    return bytes;
}

}  // namespace

void WriteXFileSeeds(Seeds& seeds, XEncoding encoding) {
    const std::vector<uint8_t> stage = datagen::StageModelBytes();
    XDocument stageDoc;
    FUZZ_CHECK(ParseXFile(stage.data(), stage.size(), &stageDoc, nullptr));
    const uint8_t palettes[] = {22 << 1, 2 << 1, 0};  // the device's palette, a small one, a single bone
    for (const bool doubles : {false, true}) {
        const uint8_t selector = doubles ? 1 : 0;
        const std::string suffix = doubles ? "_64" : "_32";
        seeds.Add("stage" + suffix, SeedOf(EncodeXDocument(stageDoc, encoding, doubles), selector));
        for (uint8_t palette : palettes)
            seeds.Add("skinned" + suffix + "_palette" + std::to_string(1 + (palette >> 1)),
                      SeedOf(RichDocument(encoding, doubles), selector | palette));
    }
    if (encoding == XEncoding::Text) {
        const std::string text = kTextWithTemplates;
        seeds.Add("templates", SeedOf(std::vector<uint8_t>(text.begin(), text.end()), 0));
    } else {
        std::vector<uint8_t> withTemplate = BinaryTemplate();
        const std::vector<uint8_t> rich = RichDocument(encoding, false);
        withTemplate.insert(withTemplate.end(), rich.begin() + X_HEADER_SIZE, rich.end());
        std::vector<uint8_t> seed{0};
        seed.insert(seed.end(), withTemplate.begin(), withTemplate.end());
        seeds.Add("template", seed);
    }
}

}  // namespace fuzz
