#include "tools/datagen/model_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "engine/graphics/kag_archive.h"
#include "engine/models/xfile_mesh_build.h"
#include "engine/models/xfile_model_data.h"
#include "tools/datagen/canvas.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace xfile;

// The stage model as the game reads it: from "gf\\model2.dat" below the
// folder, its textures from "gf\\model.dat" under their archive keys.
TEST(ModelSet, WrittenModelLoadsWithFramesMeshesAndTexturedMaterials) {
    test::TempDir dir;
    ASSERT_TRUE(datagen::WriteModelSet(dir.path().string()));
    ASSERT_TRUE(datagen::WritePictureArchive(dir.path().string(), datagen::PictureCatalogue(), "gf/model.dat"));

    XDocument doc;
    std::string error;
    ASSERT_TRUE(ReadXFile(dir.path().string() + "\\gf\\model2.dat", &doc, &error)) << error;
    const XModelData model = ExtractModelData(doc);
    EXPECT_TRUE(model.issues.empty());
    EXPECT_GE(model.frames.size(), 3u);
    ASSERT_GE(model.meshes.size(), 3u);

    std::set<int32_t> framesWithMeshes;
    int textured = 0;
    const std::string archive = dir.file("gf/model.dat");
    for (const XMeshData& mesh : model.meshes) {
        framesWithMeshes.insert(mesh.frame);
        EXPECT_FALSE(mesh.normals.empty()) << mesh.name;
        EXPECT_EQ(mesh.texCoords.size(), mesh.positions.size()) << mesh.name;
        XMeshBuffers buffers;
        EXPECT_TRUE(BuildMeshBuffers(mesh, &buffers, nullptr)) << mesh.name;
        EXPECT_EQ(buffers.attributes.size(), mesh.materials.size()) << mesh.name << ": every material is used";
        for (const XMaterialData& m : mesh.materials) {
            if (m.textureFilename.empty()) continue;
            ++textured;
            // The image file does not exist beside the model: the lookup
            // falls through to the archive key.
            EXPECT_FALSE(std::filesystem::exists(dir.path() / TextureFileName(m.textureFilename)));
            int w = 0, h = 0;
            EXPECT_GT(ReadArchiveEntry(archive.c_str(), TextureArchiveKey(m.textureFilename).c_str(), &w, &h, nullptr,
                                       nullptr, nullptr),
                      0)
                << m.textureFilename;
        }
    }
    EXPECT_GE(framesWithMeshes.size(), 3u) << "meshes hang under several frames";
    EXPECT_GE(textured, 3);

    // The animated frame exists, and at tick 0 it stands as placed.
    ASSERT_EQ(model.animations.size(), 1u);
    const XAnimationData& turn = model.animations[0];
    EXPECT_NE(std::find_if(model.frames.begin(), model.frames.end(),
                           [&](const XFrameData& f) { return f.name == turn.frameName; }),
              model.frames.end());
    ASSERT_FALSE(turn.rotationKeys.empty());
    EXPECT_EQ(turn.rotationKeys[0].time, 0);
    EXPECT_EQ(turn.rotationKeys[0].w, 1.0f);
}

XModelData StageModel() {
    const std::vector<uint8_t> bytes = datagen::StageModelBytes();
    XDocument doc;
    EXPECT_TRUE(ParseXFile(bytes.data(), bytes.size(), &doc, nullptr));
    return ExtractModelData(doc);
}

// The share of the stage's light that a corner with normal n gets, as the
// game bakes it: the cosine between n and the way back to the light, or 0.
float LightAt(const Vector3& n) {
    const float* d = datagen::kStageLightDirection;
    const float dLength = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    const float nLength = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    return std::max(0.0f, -(n.x * d[0] + n.y * d[1] + n.z * d[2]) / (dLength * nLength));
}

// The stage lights the model with no ambient light and the eye sees it from
// below: every corner of every mesh still gets most of the light, and the
// island's underside is shaded, its corners taking many levels of the
// light's blue, which reaches 76 of 255 at its fullest.
TEST(ModelSet, EveryCornerIsLitAndTheUndersideIsShaded) {
    const XModelData model = StageModel();
    ASSERT_GE(model.meshes.size(), 3u);
    std::set<int> undersideBlues;
    for (const XMeshData& mesh : model.meshes) {
        ASSERT_EQ(mesh.faceNormals.size(), mesh.faces.size()) << mesh.name;
        for (size_t f = 0; f < mesh.faces.size(); ++f) {
            ASSERT_EQ(mesh.faceNormals[f].size(), mesh.faces[f].size()) << mesh.name << " face " << f;
            for (size_t c = 0; c < mesh.faces[f].size(); ++c) {
                const float light = LightAt(mesh.normals[mesh.faceNormals[f][c]]);
                EXPECT_GE(light, datagen::kStageModelDimmestLight - 1e-4f) << mesh.name << " face " << f;
                if (mesh.name == "Ground" && mesh.positions[mesh.faces[f][c]].y < 0.0f)
                    undersideBlues.insert(static_cast<int>(light * 0.3f * 255.0f));
            }
        }
    }
    EXPECT_GE(undersideBlues.size(), 10u);
}

// The textures the stage model names are nearly white, since the stage's
// light leaves a fifth of them, and still show their marks after that: in
// each, the middle pixel by brightness is near white, and in at least one
// channel its darker and its lighter twentieth differ widely (in value,
// as the cliff's seams and cracks, or in hue, as the top's grass and rock).
TEST(ModelSet, TexturesAreNearlyWhiteWithMarksThatShow) {
    datagen::Lettering lettering;
    const std::vector<datagen::Picture> textures = datagen::StageModelTextures();
    ASSERT_EQ(textures.size(), 4u);
    for (const datagen::Picture& p : textures) {
        SCOPED_TRACE(p.key);
        datagen::Canvas canvas(p.width, p.height, {0, 0, 0, 0});
        p.paint(canvas, lettering);
        const std::vector<uint8_t>& px = canvas.Pixels();
        std::vector<int> lumas, channels[3];
        for (size_t i = 0; i + 3 < px.size(); i += 4) {
            lumas.push_back((px[i] * 299 + px[i + 1] * 587 + px[i + 2] * 114) / 1000);
            for (int c = 0; c < 3; ++c) channels[c].push_back(px[i + c]);
        }
        const size_t n = lumas.size();
        std::sort(lumas.begin(), lumas.end());
        EXPECT_GE(lumas[n / 2], 200);
        int widest = 0;
        for (std::vector<int>& channel : channels) {
            std::sort(channel.begin(), channel.end());
            widest = std::max(widest, channel[n * 19 / 20] - channel[n / 20]);
        }
        EXPECT_GE(widest, 25);
    }
}

// The model is scenery for an arena of radius 375: every corner, placed by
// its frames' translations, stays inside that radius.
TEST(ModelSet, ModelFitsTheArena) {
    const std::vector<uint8_t> bytes = datagen::StageModelBytes();
    XDocument doc;
    ASSERT_TRUE(ParseXFile(bytes.data(), bytes.size(), &doc, nullptr));
    const XModelData model = ExtractModelData(doc);
    for (const XMeshData& mesh : model.meshes) {
        Vector3 offset{0, 0, 0};
        for (int32_t f = mesh.frame; f >= 0; f = model.frames[f].parent) {
            offset.x += model.frames[f].local.Get(4, 1);
            offset.y += model.frames[f].local.Get(4, 2);
            offset.z += model.frames[f].local.Get(4, 3);
        }
        for (const Vector3& p : mesh.positions) {
            const float x = p.x + offset.x, y = p.y + offset.y, z = p.z + offset.z;
            EXPECT_LT(std::sqrt(x * x + y * y + z * z), 375.0f) << mesh.name;
        }
    }
}

}  // namespace
