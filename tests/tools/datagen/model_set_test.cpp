#include "tools/datagen/model_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "engine/graphics/kag_archive.h"
#include "engine/models/xfile_mesh_build.h"
#include "engine/models/xfile_model_data.h"
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
