#include "engine/models/xfile_model_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

#include "engine/models/xfile_mesh_build.h"
#include "engine/models/xfile_writer.h"
#include "tests/engine/models/xfile_samples.h"

namespace {

using namespace xfile;
using test::WriteXCube;
using test::WriteXKeys;
using test::WriteXMaterial;
using test::WriteXTranslation;

XModelData Extract(const XWriter& w) {
    XDocument doc;
    std::string error;
    EXPECT_TRUE(ParseXFile(w.Bytes().data(), w.Bytes().size(), &doc, &error)) << error;
    return ExtractModelData(doc);
}

std::vector<float> MatrixValues(float tx) { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, tx, 0, 0, 1}; }

// The sample model: a header and a material at the top level, a frame tree
// Body > Arm with the cube under Arm, a loose mesh without materials at the
// top level, and an animation of Arm with every kind of key.
void WriteSample(XWriter& w) {
    w.BeginObject("Header");
    w.Dwords({1, 0, 1});
    w.EndObject();
    WriteXMaterial(w, "Wood", 0.5f, "C:\\tex\\wood.bmp");
    w.BeginObject("Frame", "Body");
    WriteXTranslation(w, 1, 2, 3);
    w.BeginObject("Frame", "Arm");
    WriteXTranslation(w, 0, 10, 0);
    WriteXCube(w, "Box");
    w.EndObject();
    w.Reference("Loose");  // references among a frame's children are not followed
    w.EndObject();
    w.BeginObject("Mesh", "Loose");
    w.Dwords({3});
    w.Floats({0, 0, 0, 1, 0, 0, 0, 1, 0});
    w.Dwords({1, 3, 0, 1, 2});
    w.EndObject();
    w.BeginObject("AnimationSet", "Walk");
    w.BeginObject("Animation");
    w.Reference("Arm");
    WriteXKeys(w, 0, {{0, {1, 0, 0, 0}}, {10, {0.5f, 0.5f, 0.5f, 0.5f}}});
    WriteXKeys(w, 1, {{0, {1, 1, 1}}, {10, {2, 2, 2}}});
    WriteXKeys(w, 2, {{0, {0, 0, 0}}, {5, {1, 2, 3}}, {5, {1, 2, 3}}});
    WriteXKeys(w, 3, {{0, {9, 9, 9}}});
    WriteXKeys(w, 4, {{0, MatrixValues(1)}, {20, MatrixValues(2)}});
    w.BeginObject("AnimationOptions");
    w.Dwords({1, 0});
    w.EndObject();
    w.EndObject();
    w.EndObject();
}

void ExpectVectorsEq(const std::vector<Vector3>& a, const std::vector<Vector3>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].x, b[i].x);
        EXPECT_EQ(a[i].y, b[i].y);
        EXPECT_EQ(a[i].z, b[i].z);
    }
}

void ExpectMatrixEq(const Matrix& a, const Matrix& b) {
    for (int i = 0; i < 16; ++i) EXPECT_EQ(a.GetPointer()[i], b.GetPointer()[i]) << i;
}

void ExpectSameModel(const XModelData& a, const XModelData& b) {
    ASSERT_EQ(a.frames.size(), b.frames.size());
    for (size_t i = 0; i < a.frames.size(); ++i) {
        EXPECT_EQ(a.frames[i].name, b.frames[i].name);
        EXPECT_EQ(a.frames[i].parent, b.frames[i].parent);
        ExpectMatrixEq(a.frames[i].local, b.frames[i].local);
    }
    ASSERT_EQ(a.meshes.size(), b.meshes.size());
    for (size_t i = 0; i < a.meshes.size(); ++i) {
        const XMeshData &x = a.meshes[i], &y = b.meshes[i];
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.frame, y.frame);
        ExpectVectorsEq(x.positions, y.positions);
        ExpectVectorsEq(x.normals, y.normals);
        EXPECT_EQ(x.faces, y.faces);
        EXPECT_EQ(x.faceNormals, y.faceNormals);
        EXPECT_EQ(x.texCoords, y.texCoords);
        EXPECT_EQ(x.faceMaterials, y.faceMaterials);
        ASSERT_EQ(x.materials.size(), y.materials.size());
        for (size_t m = 0; m < x.materials.size(); ++m) {
            EXPECT_EQ(0, std::memcmp(x.materials[m].diffuse, y.materials[m].diffuse, sizeof x.materials[m].diffuse));
            EXPECT_EQ(x.materials[m].power, y.materials[m].power);
            EXPECT_EQ(0, std::memcmp(x.materials[m].specular, y.materials[m].specular, sizeof x.materials[m].specular));
            EXPECT_EQ(0, std::memcmp(x.materials[m].emissive, y.materials[m].emissive, sizeof x.materials[m].emissive));
            EXPECT_EQ(x.materials[m].textureFilename, y.materials[m].textureFilename);
        }
    }
    ASSERT_EQ(a.animations.size(), b.animations.size());
    for (size_t i = 0; i < a.animations.size(); ++i) {
        EXPECT_EQ(a.animations[i].frameName, b.animations[i].frameName);
        EXPECT_EQ(a.animations[i].rotationKeys.size(), b.animations[i].rotationKeys.size());
        EXPECT_EQ(a.animations[i].positionKeys.size(), b.animations[i].positionKeys.size());
    }
}

class XModelDataSample : public ::testing::Test {
protected:
    static XModelData Sample(XEncoding encoding, bool doubles = false) {
        XWriter w(encoding, doubles);
        WriteSample(w);
        return Extract(w);
    }
};

TEST_F(XModelDataSample, FramesNestUnderTheRootWithTheirMatrices) {
    const XModelData m = Sample(XEncoding::Text);
    EXPECT_TRUE(m.issues.empty());
    ASSERT_EQ(m.frames.size(), 3u);
    EXPECT_EQ(m.frames[0].name, "MASTER_FRAME");
    EXPECT_EQ(m.frames[0].parent, -1);
    EXPECT_EQ(m.frames[1].name, "Body");
    EXPECT_EQ(m.frames[1].parent, 0);
    EXPECT_EQ(m.frames[2].name, "Arm");
    EXPECT_EQ(m.frames[2].parent, 1);
    EXPECT_EQ(m.frames[1].local.Get(4, 1), 1.0f);
    EXPECT_EQ(m.frames[1].local.Get(4, 3), 3.0f);
    EXPECT_EQ(m.frames[2].local.Get(4, 2), 10.0f);
    EXPECT_EQ(m.frames[0].local.Get(1, 1), 1.0f);
}

TEST_F(XModelDataSample, MeshesKeepFacesNormalsCoordinatesAndMaterials) {
    const XModelData m = Sample(XEncoding::Text);
    ASSERT_EQ(m.meshes.size(), 2u);
    const XMeshData& box = m.meshes[0];
    EXPECT_EQ(box.name, "Box");
    EXPECT_EQ(box.frame, 2);
    ASSERT_EQ(box.positions.size(), 8u);
    EXPECT_EQ(box.positions[6].x, 1.0f);
    EXPECT_EQ(box.positions[6].z, 1.0f);
    ASSERT_EQ(box.faces.size(), 6u);
    EXPECT_EQ(box.faces[1], (std::vector<uint32_t>{7, 6, 5, 4}));
    ASSERT_EQ(box.normals.size(), 6u);
    EXPECT_EQ(box.normals[5].y, -1.0f);
    EXPECT_EQ(box.faceNormals[3], (std::vector<uint32_t>{3, 3, 3, 3}));
    ASSERT_EQ(box.texCoords.size(), 8u);
    EXPECT_EQ(box.texCoords[1][1], 1.0f);
    EXPECT_EQ(box.faceMaterials, (std::vector<uint32_t>{0, 0, 1, 1, 0, 1}));
    ASSERT_EQ(box.materials.size(), 2u);
    EXPECT_EQ(box.materials[0].diffuse[0], 0.5f);  // the referenced Wood
    EXPECT_EQ(box.materials[0].textureFilename, "C:\\tex\\wood.bmp");
    EXPECT_EQ(box.materials[1].diffuse[0], 0.75f);  // Plain, in place
    EXPECT_EQ(box.materials[1].power, 12.0f);
    EXPECT_EQ(box.materials[1].specular[2], 0.3f);
    EXPECT_EQ(box.materials[1].emissive[0], 0.4f);
    EXPECT_TRUE(box.materials[1].textureFilename.empty());

    const XMeshData& loose = m.meshes[1];
    EXPECT_EQ(loose.name, "Loose");
    EXPECT_EQ(loose.frame, 0);
    EXPECT_TRUE(loose.normals.empty());
    EXPECT_TRUE(loose.texCoords.empty());
    ASSERT_EQ(loose.materials.size(), 1u) << "a mesh without a material list gets a default material";
    EXPECT_EQ(loose.materials[0].diffuse[3], 1.0f);
    EXPECT_EQ(loose.faceMaterials, (std::vector<uint32_t>{0}));
}

TEST_F(XModelDataSample, AnimationKeysByType) {
    const XModelData m = Sample(XEncoding::Text);
    ASSERT_EQ(m.animations.size(), 1u);
    const XAnimationData& a = m.animations[0];
    EXPECT_EQ(a.frameName, "Arm");
    ASSERT_EQ(a.rotationKeys.size(), 2u);
    EXPECT_EQ(a.rotationKeys[0].w, 1.0f) << "the file's w comes first";
    EXPECT_EQ(a.rotationKeys[0].x, 0.0f);
    EXPECT_EQ(a.rotationKeys[1].time, 10);
    ASSERT_EQ(a.scaleKeys.size(), 2u);
    EXPECT_EQ(a.scaleKeys[1].y, 2.0f);
    ASSERT_EQ(a.positionKeys.size(), 3u) << "equal neighbouring times are kept";
    EXPECT_EQ(a.positionKeys[2].z, 3.0f);
    ASSERT_EQ(a.matrixKeys.size(), 2u);
    EXPECT_EQ(a.matrixKeys[1].time, 20);
    EXPECT_EQ(a.matrixKeys[1].matrix.Get(4, 1), 2.0f);
}

// Text and binary twins (and the 64-bit binary) give the same model.
TEST_F(XModelDataSample, TextAndBinaryTwinsAgree) {
    const XModelData text = Sample(XEncoding::Text);
    ASSERT_EQ(text.meshes.size(), 2u);
    ExpectSameModel(text, Sample(XEncoding::Binary));
    ExpectSameModel(text, Sample(XEncoding::Binary, true));
}

// ---- Damaged meshes ---------------------------------------------------------------

// A triangle mesh "Tri" whose parts a case may spoil.
struct TriParts {
    std::vector<uint32_t> head{3};  // vertex count
    std::vector<float> positions{0, 0, 0, 1, 0, 0, 0, 1, 0};
    std::vector<uint32_t> faces{1, 3, 0, 1, 2};
    std::function<void(XWriter&)> children = [](XWriter&) {};
};

void WriteTri(XWriter& w, const TriParts& s) {
    w.BeginObject("Mesh", "Tri");
    w.Dwords(s.head.data(), s.head.size());
    w.Floats(s.positions.data(), s.positions.size());
    w.Dwords(s.faces.data(), s.faces.size());
    s.children(w);
    w.EndObject();
}

std::function<void(XWriter&)> Child(const char* templateName, std::function<void(XWriter&)> body) {
    return [=](XWriter& w) {
        w.BeginObject(templateName);
        body(w);
        w.EndObject();
    };
}

TEST(XModelDataDamage, MeshesThatFailACheckAreLeftOutAndNamed) {
    struct Case {
        const char* name;
        std::function<void(TriParts&)> spoil;
    };
    auto normals = [](std::vector<uint32_t> head, std::vector<float> vectors, std::vector<uint32_t> faces) {
        return Child("MeshNormals", [=](XWriter& w) {
            w.Dwords(head.data(), head.size());
            w.Floats(vectors.data(), vectors.size());
            w.Dwords(faces.data(), faces.size());
        });
    };
    auto materialList = [](std::vector<uint32_t> values, int materials) {
        return Child("MeshMaterialList", [=](XWriter& w) {
            w.Dwords(values.data(), values.size());
            for (int i = 0; i < materials; ++i) {
                w.BeginObject("Material");
                w.Floats({1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0});
                w.EndObject();
            }
        });
    };
    auto skin = [](std::vector<uint32_t> head, std::vector<float> weights) {
        return Child("SkinWeights", [=](XWriter& w) {
            w.String("Bone");
            w.Dwords(head.data(), head.size());
            w.Floats(weights.data(), weights.size());
        });
    };
    const std::vector<float> offset{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::vector<float> weightsAndOffset{1.0f};
    weightsAndOffset.insert(weightsAndOffset.end(), offset.begin(), offset.end());

    // Counts near 2^32 are checked against the data before anything is made
    // for them; made first, they would exhaust memory.
    const Case cases[] = {
        {"no vertices", [](TriParts& s) { s.head = {0}, s.positions.clear(), s.faces = {0}; }},
        {"vertex count larger than the data", [](TriParts& s) { s.head = {1000000}; }},
        {"too many vertices", [](TriParts& s) { s.head = {70000}, s.positions.assign(210000, 0.0f); }},
        {"face count larger than the data", [](TriParts& s) { s.faces = {0xFFFFFFF0u, 3, 0, 1, 2}; }},
        {"face index out of range", [](TriParts& s) { s.faces = {1, 3, 0, 1, 3}; }},
        {"face of two corners", [](TriParts& s) { s.faces = {1, 2, 0, 1}; }},
        {"face corner count larger than the data", [](TriParts& s) { s.faces = {1, 99, 0, 1, 2}; }},
        {"normal index out of range", [&](TriParts& s) { s.children = normals({1}, {0, 0, 1}, {1, 3, 0, 0, 1}); }},
        {"normal faces differ", [&](TriParts& s) { s.children = normals({1}, {0, 0, 1}, {2, 3, 0, 0, 0, 3, 0, 0, 0}); }},
        {"normal face corners differ", [&](TriParts& s) { s.children = normals({1}, {0, 0, 1}, {1, 4, 0, 0, 0, 0}); }},
        {"normal count larger than the data", [&](TriParts& s) { s.children = normals({0xFFFFFFF0u}, {0, 0, 1}, {1, 3, 0, 0, 0}); }},
        {"coordinates fewer than vertices",
         [](TriParts& s) {
             s.children = Child("MeshTextureCoords", [](XWriter& w) {
                 w.Dwords({2});
                 w.Floats({0, 0, 1, 1});
             });
         }},
        {"colour index out of range",
         [](TriParts& s) {
             s.children = Child("MeshVertexColors", [](XWriter& w) {
                 w.Dwords({1, 3});
                 w.Floats({1, 1, 1, 1});
             });
         }},
        {"material index out of range", [&](TriParts& s) { s.children = materialList({1, 1, 1}, 1); }},
        {"fewer materials than listed", [&](TriParts& s) { s.children = materialList({2, 1, 1}, 1); }},
        {"face indexes larger than the data", [&](TriParts& s) { s.children = materialList({1, 0xFFFFFFF0u, 0}, 1); }},
        {"weight index out of range", [&](TriParts& s) { s.children = skin({1, 3}, weightsAndOffset); }},
        {"weight count larger than the data", [&](TriParts& s) { s.children = skin({0xFFFFFFF0u, 0}, weightsAndOffset); }},
        {"bone without its offset matrix", [&](TriParts& s) { s.children = skin({1, 0}, {1.0f}); }},
        {"second material list",
         [&](TriParts& s) {
             auto list = materialList({1, 1, 0}, 1);
             s.children = [list](XWriter& w) { list(w), list(w); };
         }},
    };
    for (XEncoding encoding : {XEncoding::Text, XEncoding::Binary}) {
        XWriter sound(encoding);
        WriteTri(sound, TriParts{});
        ASSERT_EQ(Extract(sound).meshes.size(), 1u) << "the unspoilt mesh loads";
        for (const Case& c : cases) {
            TriParts tri;
            c.spoil(tri);
            XWriter w(encoding);
            WriteTri(w, tri);
            w.BeginObject("Frame", "After");
            w.EndObject();
            const XModelData m = Extract(w);
            EXPECT_TRUE(m.meshes.empty()) << c.name;
            ASSERT_EQ(m.issues.size(), 1u) << c.name;
            EXPECT_EQ(m.issues[0].objectName, "Tri") << c.name;
            EXPECT_FALSE(m.issues[0].reason.empty()) << c.name;
            ASSERT_EQ(m.frames.size(), 2u) << c.name << ": the rest of the file still loads";
        }
    }
}

TEST(XModelDataDamage, KeyBlocksThatFailACheckAreLeftOut) {
    struct Case {
        const char* name;
        uint32_t type;
        std::vector<uint32_t> head;  // type and count are written by the case
        std::vector<std::pair<uint32_t, std::vector<float>>> keys;
    };
    const Case cases[] = {
        {"times going down", 2, {}, {{0, {0, 0, 0}}, {10, {1, 1, 1}}, {5, {2, 2, 2}}}},
        {"rotation of three values", 0, {}, {{0, {1, 0, 0}}}},
        {"matrix of four values", 4, {}, {{0, {1, 0, 0, 0}}}},
        {"count larger than the data", 1, {1, 0xFFFFFFF0u}, {{0, {1, 1, 1}}}},
        {"time out of range", 1, {}, {{0x80000000u, {1, 1, 1}}}},
    };
    for (const Case& c : cases) {
        XWriter w(XEncoding::Binary);
        w.BeginObject("Frame", "F");
        w.EndObject();
        w.BeginObject("AnimationSet");
        w.BeginObject("Animation");
        w.Reference("F");
        WriteXKeys(w, 2, {{0, {7, 7, 7}}});  // a sound block of position keys first
        if (c.head.empty()) {
            WriteXKeys(w, c.type, c.keys);
        } else {
            w.BeginObject("AnimationKey");
            w.Dwords(c.head.data(), c.head.size());
            for (const auto& [time, values] : c.keys) {
                w.Dwords({time, static_cast<uint32_t>(values.size())});
                w.Floats(values.data(), values.size());
            }
            w.EndObject();
        }
        w.EndObject();
        w.EndObject();
        const XModelData m = Extract(w);
        ASSERT_EQ(m.animations.size(), 1u) << c.name;
        const XAnimationData& a = m.animations[0];
        EXPECT_EQ(a.frameName, "F");
        EXPECT_EQ(m.issues.size(), 1u) << c.name;
        ASSERT_EQ(a.positionKeys.size(), 1u) << c.name << ": the earlier block stays";
        EXPECT_EQ(a.positionKeys[0].x, 7.0f) << c.name;
        EXPECT_TRUE(a.rotationKeys.empty() && a.scaleKeys.empty() && a.matrixKeys.empty()) << c.name;
    }
}

TEST(XModelData, SkinWeightsAndVertexColours) {
    XWriter w(XEncoding::Text);
    w.BeginObject("Frame", "Root");
    TriParts tri;
    tri.children = [](XWriter& w) {
        w.BeginObject("XSkinMeshHeader");
        w.Dwords({2, 3, 2});
        w.EndObject();
        w.BeginObject("VertexDuplicationIndices");
        w.Dwords({3, 3, 0, 1, 2});
        w.EndObject();
        w.BeginObject("MeshVertexColors");
        w.Dwords({1, 2});
        w.Floats({1.0f, 0.5f, 0.0f, 1.0f});
        w.EndObject();
        for (const char* bone : {"Root", "Missing"}) {
            w.BeginObject("SkinWeights");
            w.String(bone);
            w.Dwords({2, 0, 2});
            w.Floats({0.25f, 0.75f});
            w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1});
            w.EndObject();
        }
    };
    WriteTri(w, tri);
    w.EndObject();
    const XModelData m = Extract(w);
    ASSERT_TRUE(m.issues.empty());
    ASSERT_EQ(m.meshes.size(), 1u);
    const XMeshData& mesh = m.meshes[0];
    EXPECT_EQ(mesh.frame, 1);
    EXPECT_EQ(mesh.maxSkinWeightsPerVertex, 2u);
    EXPECT_EQ(mesh.maxSkinWeightsPerFace, 3u);
    ASSERT_EQ(mesh.skinWeights.size(), 2u);
    EXPECT_EQ(mesh.skinWeights[1].transformNodeName, "Missing") << "bones are kept whatever their frames";
    EXPECT_EQ(mesh.skinWeights[0].vertexIndices, (std::vector<uint32_t>{0, 2}));
    EXPECT_EQ(mesh.skinWeights[0].weights, (std::vector<float>{0.25f, 0.75f}));
    EXPECT_EQ(mesh.skinWeights[0].matrixOffset.Get(4, 3), 7.0f);
    EXPECT_EQ(mesh.vertexColors, (std::vector<uint32_t>{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFF8000}));
}

TEST(XModelData, FaceIndexesFewerThanFacesRepeatTheLast) {
    TriParts tri;
    tri.faces = {3, 3, 0, 1, 2, 3, 2, 1, 0, 4, 0, 1, 2, 0};
    tri.children = Child("MeshMaterialList", [](XWriter& w) {
        w.Dwords({3, 2, 2, 1});
        for (int i = 0; i < 3; ++i) WriteXMaterial(w, "", 0.1f * static_cast<float>(i), nullptr);
    });
    XWriter w(XEncoding::Binary);
    WriteTri(w, tri);
    const XModelData m = Extract(w);
    ASSERT_EQ(m.meshes.size(), 1u);
    EXPECT_EQ(m.meshes[0].faceMaterials, (std::vector<uint32_t>{2, 1, 1}));
    EXPECT_EQ(m.meshes[0].materials.size(), 3u);
}

TEST(XModelData, TextureNamesTriedAsFileThenArchiveKey) {
    struct Case {
        const char* name;
        const char* file;
        const char* key;
    };
    const Case cases[] = {
        {"C:\\tex\\wood.bmp", "wood.bmp", "wood"},
        {"wood", "wood", "wood"},
        {"maps/a.b.png", "maps/a.b.png", "maps/a.b"},  // only backslashes separate
        {"dir\\\x95\x5C.bmp", "\x95\x5C.bmp", "\x95\x5C"},  // a CP932 trail byte is no separator
        {"dir\\", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextureFileName(c.name), c.file) << c.name;
        EXPECT_EQ(TextureArchiveKey(c.name), c.key) << c.name;
    }
}

}  // namespace

namespace {

// What the extraction promises of every mesh it gives, whatever the file:
// every index inside what it indexes, every per-item list of the right size.
bool Consistent(const XMeshData& m) {
    const size_t n = m.positions.size();
    bool ok = n > 0 && n <= X_MAX_MESH_VERTICES && !m.materials.empty() && m.faceMaterials.size() == m.faces.size();
    ok = ok && (m.texCoords.empty() || m.texCoords.size() == n) && (m.vertexColors.empty() || m.vertexColors.size() == n);
    ok = ok && (m.normals.empty() ? m.faceNormals.empty() : m.faceNormals.size() == m.faces.size());
    for (size_t f = 0; ok && f < m.faces.size(); ++f) {
        ok = m.faces[f].size() >= 3 && m.faceMaterials[f] < m.materials.size();
        for (uint32_t i : m.faces[f]) ok = ok && i < n;
        if (!m.normals.empty()) {
            ok = ok && m.faceNormals[f].size() == m.faces[f].size();
            for (uint32_t i : m.faceNormals[f]) ok = ok && i < m.normals.size();
        }
    }
    for (const XSkinWeightsData& bone : m.skinWeights) {
        ok = ok && bone.weights.size() == bone.vertexIndices.size();
        for (uint32_t i : bone.vertexIndices) ok = ok && i < n;
    }
    return ok;
}

bool Consistent(const XMeshBuffers& b) {
    bool ok = b.indices.size() % 3 == 0 && b.sourcePosition.size() == b.vertices.size();
    for (uint16_t i : b.indices) ok = ok && i < b.vertices.size();
    for (const XAttributeRange& r : b.attributes) ok = ok && (r.faceStart + r.faceCount) * 3 <= b.indices.size();
    return ok;
}

// Every prefix of the sample file, and copies with bytes changed at random
// places, are refused or read, never crash, and what they give is consistent.
TEST(XModelDataDamage, TruncatedAndCorruptedSamplesReadSafely) {
    std::mt19937 random(12345);
    for (XEncoding encoding : {XEncoding::Text, XEncoding::Binary}) {
        XWriter w(encoding);
        WriteSample(w);
        const std::vector<uint8_t>& sample = w.Bytes();
        std::vector<std::vector<uint8_t>> damaged;
        for (size_t n = 0; n < sample.size(); n += 3) damaged.emplace_back(sample.begin(), sample.begin() + n);
        for (int i = 0; i < 2000; ++i) {
            std::vector<uint8_t> copy = sample;
            for (int k = 0; k < 3; ++k) copy[X_HEADER_SIZE + random() % (copy.size() - X_HEADER_SIZE)] = uint8_t(random());
            damaged.push_back(std::move(copy));
        }
        for (const std::vector<uint8_t>& bytes : damaged) {
            XDocument doc;
            if (!ParseXFile(bytes.data(), bytes.size(), &doc, nullptr)) continue;
            for (const XMeshData& mesh : ExtractModelData(doc).meshes) {
                ASSERT_TRUE(Consistent(mesh)) << mesh.name;
                XMeshBuffers buffers;
                if (!BuildMeshBuffers(mesh, &buffers, nullptr)) continue;
                ASSERT_TRUE(Consistent(buffers)) << mesh.name;
                if (mesh.skinWeights.empty()) continue;
                XSkinBuffers skin;
                BuildSkinBuffers(mesh, buffers, 23, &skin, nullptr);
            }
        }
    }
}

}  // namespace
