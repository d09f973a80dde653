// Models loaded from X files on the recording device: frames, meshes,
// materials with their textures, animation tracks, skins, damaged files and
// the log.
#include "engine/models/xfile_loader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/graphics/kag_archive.h"
#include "engine/graphics/texture.h"
#include "engine/models/animation_track.h"
#include "engine/models/frame.h"
#include "engine/models/material.h"
#include "engine/models/mesh.h"
#include "engine/models/skinned_mesh.h"
#include "engine/models/xfile_writer.h"
#include "platform/cp932.h"
#include "platform/system.h"
#include "tests/engine/core/log_capture.h"
#include "tests/engine/models/model_fixture.h"
#include "tests/engine/models/xfile_samples.h"
#include "tests/support/damaged_data.h"
#include "tests/support/temp_dir.h"
#include "tools/datagen/model_set.h"

namespace {

using xfile::XEncoding;
using xfile::XWriter;
using test::WriteXCube;
using test::WriteXKeys;
using test::WriteXMaterial;
using test::WriteXTranslation;

constexpr float kSin = 0.6f, kCos = 0.8f;  // a turn about z

// Body > Arm (with the cube), a second frame called Arm at the top level, a
// loose triangle without normals or materials, and an animation of "Arm".
void WriteSample(XWriter& w) {
    w.BeginObject("Header");
    w.Dwords({1, 0, 1});
    w.EndObject();
    WriteXMaterial(w, "Wood", 0.5f, "C:\\tex\\wood.bmp");
    w.BeginObject("Frame", "Body");
    WriteXTranslation(w, 1, 2, 3);
    w.BeginObject("Frame", "Arm");
    WriteXTranslation(w, 0, 10, 0);
    WriteXCube(w, "Box", true);
    w.EndObject();
    w.EndObject();
    w.BeginObject("Frame", "Arm");
    WriteXTranslation(w, 5, 0, 0);
    w.EndObject();
    w.BeginObject("Mesh", "Loose");
    w.Dwords({3});
    w.Floats({0, 0, 0, 1, 0, 0, 0, 1, 0});
    w.Dwords({1, 3, 0, 1, 2});
    w.EndObject();
    w.BeginObject("AnimationSet", "Walk");
    w.BeginObject("Animation");
    w.Reference("Arm");
    WriteXKeys(w, 0, {{0, {kCos, 0, 0, kSin}}, {10, {1, 0, 0, 0}}});
    WriteXKeys(w, 1, {{0, {1, 1, 1}}, {10, {2, 2, 2}}});
    WriteXKeys(w, 2, {{0, {0, 0, 0}}, {10, {1, 2, 3}}});
    w.EndObject();
    w.EndObject();
}

// Root > Bone1 and a quad under Root skinned by Bone1, Root and a bone
// whose frame does not exist.
void WriteSkinned(XWriter& w) {
    w.BeginObject("Frame", "Root");
    w.BeginObject("Frame", "Bone1");
    WriteXTranslation(w, 0, 1, 0);
    w.EndObject();
    w.BeginObject("Mesh", "Skin");
    w.Dwords({4});
    w.Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
    w.Dwords({1, 4, 0, 1, 2, 3});
    w.BeginObject("XSkinMeshHeader");
    w.Dwords({2, 3, 3});
    w.EndObject();
    struct Bone {
        const char* name;
        std::vector<uint32_t> vertices;
        std::vector<float> weights;
        float offsetX;
    };
    for (const Bone& b : {Bone{"Bone1", {0, 1, 2}, {1.0f, 1.0f, 0.75f}, 10},
                          Bone{"Root", {2, 3}, {0.25f, 1.0f}, 20}, Bone{"Missing", {3}, {0.0f}, 30}}) {
        w.BeginObject("SkinWeights");
        w.String(b.name);
        w.Dwords({static_cast<uint32_t>(b.vertices.size())});
        w.Dwords(b.vertices.data(), b.vertices.size());
        w.Floats(b.weights.data(), b.weights.size());
        w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, b.offsetX, 0, 0, 1});
        w.EndObject();
    }
    w.EndObject();
    w.EndObject();
}

template <typename T>
std::vector<T*> ListOf(const ResourceList& list) {
    std::vector<T*> out;
    for (ResourceObject* node = list.head; node; node = node->next) out.push_back(static_cast<T*>(node));
    return out;
}

// Everything a loaded model holds, as text with exact float bits, so that two
// models compare whole and a difference shows where it is.
std::string Describe(Model* model) {
    std::ostringstream s;
    s << std::hexfloat;
    const std::vector<Frame*> frames = ListOf<Frame>(model->frames);
    auto indexOf = [&](const Frame* f) {
        for (size_t i = 0; i < frames.size(); ++i)
            if (frames[i] == f) return static_cast<int>(i);
        return -1;
    };
    for (Frame* f : frames) {
        s << "frame " << f->GetName() << " parent " << indexOf(f->parent) << " track "
          << (f->track ? f->track->GetFrameName() : "-") << " local";
        for (int i = 0; i < 16; ++i) s << ' ' << f->local.GetPointer()[i];
        s << '\n';
    }
    for (Mesh* m : ListOf<Mesh>(model->meshes)) {
        s << "mesh " << m->GetName() << " frame " << indexOf(m->frame) << " layout " << m->layout << " vertices "
          << m->vertexCount << " indices " << m->indexCount << '\n';
        for (const WorkVertex& v : m->vertices) {
            uint32_t words[18];
            std::memcpy(words, &v, sizeof words);
            for (uint32_t word : words) s << ' ' << word;
            s << '\n';
        }
        for (uint16_t i : m->indices) s << ' ' << i;
        s << '\n';
        for (Material* mat : ListOf<Material>(m->materials)) {
            const gpu::D3DMATERIAL8& d = mat->material;
            s << "  material " << d.Diffuse.r << ' ' << d.Diffuse.g << ' ' << d.Diffuse.b << ' ' << d.Diffuse.a << ' '
              << d.Ambient.r << ' ' << d.Specular.b << ' ' << d.Emissive.g << ' ' << d.Power << " range "
              << mat->GetStartIndex() << '+' << mat->GetPrimitiveCount() << " texture "
              << (mat->GetTexture(0) ? mat->GetTexture(0)->GetImageWidth() : 0) << '\n';
        }
    }
    for (AnimationTrack* t : ListOf<AnimationTrack>(model->animationTracks)) {
        s << "track " << t->GetFrameName() << ' ' << t->GetRotationKeyCount() << ' ' << t->GetScaleKeyCount() << ' '
          << t->GetPositionKeyCount() << ' ' << t->GetMatrixKeyCount();
        for (float time : {0.0f, 5.0f, 10.0f})
            for (const Matrix& m : {t->GetRotationAt(time), t->GetScaleAt(time), t->GetTranslationAt(time)})
                for (int i = 0; i < 16; ++i) s << ' ' << m.GetPointer()[i];
        s << '\n';
    }
    return s.str();
}

// A 24-bit BMP of width x height grey pixels.
void WriteGreyBitmap(const std::string& path, int width, int height) {
    const int rowBytes = (width * 3 + 3) & ~3;
    const uint32_t imageBytes = static_cast<uint32_t>(rowBytes * height);
    std::vector<uint8_t> file(54, 0);
    file.resize(54 + imageBytes, 0x80);
    auto put = [&](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<uint32_t>(file.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, imageBytes, 4);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
}

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

class XFileLoaderTest : public ModelLayerTest {
protected:
    void SetUp() override {
        ModelLayerTest::SetUp();
        InitTextureList();
        savedFolder_ = std::filesystem::current_path();
        platform::OverrideProgramFolder(dir_.path().string());
        std::filesystem::create_directories(dir_.path() / "gf");
    }
    void TearDown() override {
        ModelLayerTest::TearDown();
        DestroyTextureList();
        platform::OverrideProgramFolder("");
        std::filesystem::current_path(savedFolder_);
    }

    // Writes the file into the program folder and loads it by a game path.
    Model* Load(const XWriter& w, const char* name = "gf\\model.x") {
        std::string path = name;
        for (char& c : path)
            if (c == '\\') c = '/';
        EXPECT_TRUE(w.WriteFile(dir_.file(path)));
        return CreateModelFromXFile(name, nullptr);
    }
    Model* LoadSample(XEncoding encoding, bool doubles = false) {
        XWriter w(encoding, doubles);
        WriteSample(w);
        return Load(w);
    }

    test::TempDir dir_;
    std::filesystem::path savedFolder_;
};

// ---- Content ------------------------------------------------------------------------

TEST_F(XFileLoaderTest, FramesHangUnderTheMasterFrameWithTheirMatrices) {
    Model* model = LoadSample(XEncoding::Text);
    ASSERT_EQ(modelList.GetCount(), 1);
    const std::vector<Frame*> frames = ListOf<Frame>(model->frames);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(model->rootFrame, frames[0]);
    EXPECT_STREQ(frames[0]->GetName(), "MASTER_FRAME");
    EXPECT_EQ(frames[0]->parent, nullptr);
    EXPECT_STREQ(frames[1]->GetName(), "Body");
    EXPECT_EQ(frames[1]->parent, frames[0]);
    EXPECT_STREQ(frames[2]->GetName(), "Arm");
    EXPECT_EQ(frames[2]->parent, frames[1]);
    EXPECT_STREQ(frames[3]->GetName(), "Arm");
    EXPECT_EQ(frames[3]->parent, frames[0]);
    EXPECT_EQ(frames[1]->local.Get(4, 3), 3.0f);
    EXPECT_EQ(frames[2]->local.Get(4, 2), 10.0f);
    EXPECT_EQ(frames[3]->local.Get(4, 1), 5.0f);

    // The cube is placed by its frame's combined matrix.
    model->SetPosition(0, 0, 7);
    model->Update(0);
    Mesh* box = model->GetMesh(0);
    Matrix expected = *frames[2]->GetCombinedMatrix();
    expected.Multiply(model->world);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(box->world.GetPointer()[i], expected.GetPointer()[i]) << i;
    EXPECT_EQ(box->world.Get(4, 3), 10.0f) << "Body's 3 and the model's 7";
}

TEST_F(XFileLoaderTest, MeshesSplitCornersSortByMaterialAndDropUnusedMaterials) {
    Model* model = LoadSample(XEncoding::Text);
    ASSERT_EQ(model->GetMeshCount(), 2);
    const std::vector<Frame*> frames = ListOf<Frame>(model->frames);

    Mesh* box = model->GetMesh(0);
    EXPECT_STREQ(box->GetName(), "Box");
    EXPECT_EQ(box->frame, frames[2]);
    EXPECT_EQ(box->layout, 0);
    EXPECT_EQ(box->stride, 36);
    EXPECT_EQ(box->vertexCount, 24) << "each corner meets three face normals";
    EXPECT_EQ(box->indexCount, 36);
    EXPECT_NE(box->vertexBuffer, nullptr);
    EXPECT_NE(box->indexBuffer, nullptr);
    EXPECT_EQ(box->boxMin.x, -1.0f);
    EXPECT_EQ(box->boxMax.z, 1.0f);
    const std::vector<Material*> materials = ListOf<Material>(box->materials);
    ASSERT_EQ(materials.size(), 2u) << "the material no face uses is released";
    const gpu::D3DMATERIAL8& wood = materials[0]->material;
    EXPECT_EQ(wood.Diffuse.r, 0.5f);
    EXPECT_EQ(0, std::memcmp(&wood.Ambient, &wood.Diffuse, sizeof wood.Diffuse)) << "ambient takes the diffuse colour";
    EXPECT_EQ(wood.Power, 12.0f);
    EXPECT_EQ(wood.Specular.b, 0.3f);
    EXPECT_EQ(wood.Emissive.r, 0.4f);
    EXPECT_EQ(materials[1]->material.Diffuse.r, 0.75f);
    // Faces 0, 1 and 4 use Wood, 2, 3 and 5 Plain: two triangles each.
    EXPECT_EQ(materials[0]->GetStartIndex(), 0u);
    EXPECT_EQ(materials[0]->GetPrimitiveCount(), 6u);
    EXPECT_EQ(materials[1]->GetStartIndex(), 18u);
    EXPECT_EQ(materials[1]->GetPrimitiveCount(), 6u);
    for (int i = 0; i < 36; ++i) {
        const WorkVertex& v = box->vertices[box->indices[i]];
        const bool wood = i < 18;
        // Wood's faces look along -z, +z and +y; Plain's along -x, +x and -y.
        EXPECT_EQ(wood, v.normal[2] != 0.0f || v.normal[1] > 0.0f) << i;
    }

    Mesh* loose = model->GetMesh(1);
    EXPECT_EQ(loose->frame, model->rootFrame) << "a top-level mesh hangs under the root";
    ASSERT_EQ(loose->vertexCount, 3);
    EXPECT_EQ(loose->vertices[1].normal[2], 1.0f) << "normals computed when the file has none";
    EXPECT_EQ(loose->vertices[1].diffuse, 0xFFFFFFFFu);
    const std::vector<Material*> plain = ListOf<Material>(loose->materials);
    ASSERT_EQ(plain.size(), 1u) << "a mesh without a material list draws with one white material";
    EXPECT_EQ(plain[0]->material.Diffuse.g, 1.0f);
    EXPECT_EQ(plain[0]->GetPrimitiveCount(), 1u);
}

TEST_F(XFileLoaderTest, AnimationDrivesEveryFrameOfItsNameWithKeysStoredWLast) {
    Model* model = LoadSample(XEncoding::Text);
    const std::vector<AnimationTrack*> tracks = ListOf<AnimationTrack>(model->animationTracks);
    ASSERT_EQ(tracks.size(), 1u);
    AnimationTrack* track = tracks[0];
    EXPECT_STREQ(track->GetFrameName(), "Arm");
    EXPECT_EQ(track->GetRotationKeyCount(), 2);
    EXPECT_EQ(track->GetScaleKeyCount(), 2);
    EXPECT_EQ(track->GetPositionKeyCount(), 2);
    EXPECT_EQ(track->GetMatrixKeyCount(), 0);
    const std::vector<Frame*> frames = ListOf<Frame>(model->frames);
    EXPECT_EQ(frames[1]->track, nullptr);
    EXPECT_EQ(frames[2]->track, track);
    EXPECT_EQ(frames[3]->track, track) << "both frames called Arm";

    // The file's (w, x, y, z) = (c, 0, 0, s) is the key (x, y, z, w) = (0, 0, s, c).
    auto* expected = new AnimationTrack;
    expected->SetRotationKeys({{0, 0, 0, kSin, kCos}});
    const Matrix got = track->GetRotationAt(0), want = expected->GetRotationAt(0);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(got.GetPointer()[i], want.GetPointer()[i]) << i;
    expected->Release();

    // Halfway: scale 1.5 and position (0.5, 1, 1.5) from the keys.
    model->Update(5);
    EXPECT_FLOAT_EQ(frames[3]->animated.Get(4, 2), 1.0f);
    EXPECT_FLOAT_EQ(frames[3]->combined.Get(4, 3), 1.5f);
}

// A texture named with folders and an extension is looked for as an image
// file by its last part, then as that part without the extension in the
// model texture archive.
TEST_F(XFileLoaderTest, TextureFromTheFileFirstThenTheArchive) {
    struct Case {
        const char* name;
        bool file, archive;
        int expectedWidth;  // 0: stage 0 stays empty
    };
    const Case cases[] = {{"file and archive", true, true, 2},
                          {"archive only", false, true, 4},
                          {"neither", false, false, 0}};
    for (const Case& c : cases) {
        std::filesystem::remove(dir_.file("wood.bmp"));
        std::filesystem::remove(dir_.file("gf/tex.dat"));
        if (c.file) WriteGreyBitmap(dir_.file("wood.bmp"), 2, 2);
        if (c.archive) {
            const std::vector<uint32_t> pixels(16, 0xFF204080);
            KagWriter archive;
            archive.Add("wood", 4, 4, IMAGE_PIXEL_32, pixels.data());
            ASSERT_TRUE(archive.WriteFile(dir_.file("gf/tex.dat")));
        }
        SetModelTextureArchive("gf\\tex.dat");
        Model* model = LoadSample(XEncoding::Text);
        Material* wood = model->GetMesh(0)->GetMaterial(0);
        Texture* texture = wood->GetTexture(0);
        EXPECT_EQ(texture ? texture->GetImageWidth() : 0, c.expectedWidth) << c.name;
        EXPECT_EQ(model->GetMesh(0)->GetMaterial(1)->GetTexture(0), nullptr) << c.name;
        model->Release();
        EXPECT_EQ(textureList.GetCount(), 0) << c.name << ": the material held the only reference";
    }
}

// The binary twin of a text file, and the twin with 64-bit floats, load to
// the same model.
TEST_F(XFileLoaderTest, TextAndBinaryTwinsLoadTheSameModel) {
    const std::string text = Describe(LoadSample(XEncoding::Text));
    ASSERT_NE(text.find("mesh Box"), std::string::npos);
    EXPECT_EQ(text, Describe(LoadSample(XEncoding::Binary)));
    EXPECT_EQ(text, Describe(LoadSample(XEncoding::Binary, true)));
}

TEST_F(XFileLoaderTest, SkinnedMeshWithBonesLinkedToFramesByName) {
    XWriter w(XEncoding::Binary);
    WriteSkinned(w);
    Model* model = Load(w);
    ASSERT_EQ(model->GetMeshCount(), 1);
    auto* skin = dynamic_cast<SkinnedMesh*>(model->GetMesh(0));
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->layout, 2);
    EXPECT_EQ(skin->stride, 52);
    EXPECT_EQ(skin->vertexKind, static_cast<uint32_t>(VERTEX_SKINNED));
    ASSERT_EQ(skin->boneCount, 3u);
    EXPECT_EQ(skin->paletteSize, 3u);
    EXPECT_EQ(skin->boneNames, (std::vector<std::string>{"Bone1", "Root", "Missing"}));
    ASSERT_EQ(skin->boneOffsets.size(), 3u);
    EXPECT_EQ(skin->boneOffsets[1].Get(4, 1), 20.0f);
    const std::vector<Frame*> frames = ListOf<Frame>(model->frames);
    ASSERT_EQ(frames.size(), 3u);
    ASSERT_EQ(skin->boneMatrices.size(), 3u);
    EXPECT_EQ(skin->boneMatrices[0], frames[2]->GetCombinedMatrix());
    EXPECT_EQ(skin->boneMatrices[1], frames[1]->GetCombinedMatrix());
    EXPECT_EQ(skin->boneMatrices[2], nullptr) << "no frame has the name";

    ASSERT_EQ(skin->boneCombinations.size(), 1u);
    const BoneCombination& c = skin->boneCombinations[0];
    EXPECT_EQ(c.faceCount, 2u);
    EXPECT_EQ(c.vertexCount, 4u);
    ASSERT_EQ(ListOf<Material>(skin->materials).size(), 1u);
    // Vertex 2: Bone1 0.75 and Root 0.25, in the palette slots of those bones.
    ASSERT_EQ(skin->vertexCount, 4);
    const WorkVertex* v2 = nullptr;
    for (const WorkVertex& v : skin->vertices)
        if (v.position[0] == 1.0f && v.position[1] == 1.0f) v2 = &v;
    ASSERT_NE(v2, nullptr);
    EXPECT_FLOAT_EQ(v2->weights[0], 0.75f);
    EXPECT_FLOAT_EQ(v2->weights[1], 0.25f);
    EXPECT_EQ(c.boneIds[v2->boneIndices & 0xFF], 0u);
    EXPECT_EQ(c.boneIds[(v2->boneIndices >> 8) & 0xFF], 1u);

    // Drawn with the missing bone's matrix absent: both triangles go out.
    model->SetMeshCulling(0, Model::kAll);
    model->Update(0);
    graphics.host.primitives = 0;
    model->Draw();
    EXPECT_EQ(graphics.host.primitives, 2);
}

// ---- Damaged files --------------------------------------------------------------------

// Damaged files load no mesh and no frame, never crash, and the model they
// give draws nothing.
TEST_F(XFileLoaderTest, DamagedFilesGiveTheRootFrameOnly) {
    struct Case {
        const char* name;
        std::function<void(XWriter&)> write;
        std::function<std::string()> bytes;  // raw file instead of the writer's
    };
    auto mesh = [](std::vector<uint32_t> head, std::vector<float> positions, std::vector<uint32_t> faces,
                   std::function<void(XWriter&)> children = nullptr) {
        return [=](XWriter& w) {
            w.BeginObject("Mesh", "Bad");
            w.Dwords(head.data(), head.size());
            w.Floats(positions.data(), positions.size());
            w.Dwords(faces.data(), faces.size());
            if (children) children(w);
            w.EndObject();
        };
    };
    const std::vector<float> tri{0, 0, 0, 1, 0, 0, 0, 1, 0};
    const Case cases[] = {
        {"vertex count larger than the data", mesh({1000000}, tri, {1, 3, 0, 1, 2}), nullptr},
        {"face count larger than the data", mesh({3}, tri, {0x7FFFFFFF, 3, 0, 1, 2}), nullptr},
        {"face index out of range", mesh({3}, tri, {1, 3, 0, 1, 7}), nullptr},
        {"mesh without vertices", mesh({0}, {}, {0}), nullptr},
        {"mesh without faces", mesh({3}, tri, {0}), nullptr},
        {"material index out of range", mesh({3}, tri, {1, 3, 0, 1, 2},
                                             [](XWriter& w) {
                                                 w.BeginObject("MeshMaterialList");
                                                 w.Dwords({1, 1, 4});
                                                 WriteXMaterial(w, "M", 1, nullptr);
                                                 w.EndObject();
                                             }),
         nullptr},
        {"skin weight index out of range", mesh({3}, tri, {1, 3, 0, 1, 2},
                                                [](XWriter& w) {
                                                    w.BeginObject("SkinWeights");
                                                    w.String("B");
                                                    w.Dwords({1, 9});
                                                    w.Floats({1});
                                                    w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
                                                    w.EndObject();
                                                }),
         nullptr},
        {"key count larger than the data and unsorted keys",
         [](XWriter& w) {
             w.BeginObject("AnimationSet");
             w.BeginObject("Animation");
             w.BeginObject("AnimationKey");
             w.Dwords({2, 0x10000000, 0, 3});
             w.Floats({1, 2, 3});
             w.EndObject();
             WriteXKeys(w, 1, {{10, {1, 1, 1}}, {5, {2, 2, 2}}});
             w.EndObject();
             w.EndObject();
         },
         nullptr},
        {"unclosed brace", nullptr, [] { return std::string("xof 0303txt 0032\nFrame F {\n"); }},
        {"truncated header", nullptr, [] { return std::string("xof 03"); }},
        {"frames nested too deep", nullptr,
         [] {
             std::string s = "xof 0303txt 0032\n";
             for (int i = 0; i < 100000; ++i) s += "Frame {";
             return s;
         }},
    };
    for (const Case& c : cases) {
        Model* model;
        if (c.write) {
            XWriter w(XEncoding::Binary);
            c.write(w);
            model = Load(w);
        } else {
            const std::string bytes = c.bytes();
            std::FILE* f = std::fopen(dir_.file("gf/model.x").c_str(), "wb");
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
            model = CreateModelFromXFile("gf\\model.x", nullptr);
        }
        ASSERT_NE(model, nullptr) << c.name;
        EXPECT_EQ(model->frames.GetCount(), 1) << c.name;
        EXPECT_EQ(model->GetMeshCount(), 0) << c.name;
        for (AnimationTrack* t : ListOf<AnimationTrack>(model->animationTracks))
            EXPECT_EQ(t->GetScaleKeyCount() + t->GetPositionKeyCount(), 0) << c.name;
        model->Update(0);
        graphics.host.primitives = 0;
        model->Draw();
        EXPECT_EQ(graphics.host.primitives, 0) << c.name;
        model->Release();
    }
}

// The stage model as the data generator writes it, damaged in each way: the
// file is named once on standard error, and the loader still returns a model
// that draws.
TEST_F(XFileLoaderTest, ADamagedModelFileIsNamedOnce) {
    const std::vector<uint8_t> whole = datagen::StageModelBytes();
    const std::string text(whole.begin(), whole.end());
    const size_t mesh = text.find("Mesh Ground {");
    ASSERT_NE(mesh, std::string::npos);
    // The mesh's vertex count is the first number after its name.
    const size_t count = text.find_first_of("0123456789", mesh);
    const size_t countEnd = text.find(';', count);
    ASSERT_NE(countEnd, std::string::npos);
    std::string flipped = text, huge = text;
    for (size_t i = mesh; i < mesh + 32; ++i) flipped[i] = static_cast<char>(~flipped[i]);
    huge.replace(count, countEnd - count, "4294967295");
    const struct {
        const char* what;
        std::string bytes;
        const char* said;  // null: nothing
    } cases[] = {
        {"whole", text, nullptr},
        {"magic only", text.substr(0, 16), "is damaged: it holds no mesh"},
        {"cut to 10 %", text.substr(0, text.size() / 10), "is damaged: "},
        {"cut to 50 %", text.substr(0, text.size() / 2), "is damaged: "},
        {"flipped mesh header", flipped, "is damaged: "},
        {"vertex count 0xFFFFFFFF", huge, "is damaged: "},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        const std::string name = "gf/model2_" + std::to_string(i) + ".dat";
        std::FILE* f = std::fopen(dir_.file(name).c_str(), "wb");
        std::fwrite(cases[i].bytes.data(), 1, cases[i].bytes.size(), f);
        std::fclose(f);
        testing::internal::CaptureStderr();
        for (int round = 0; round < 2; ++round) {
            Model* model = CreateModelFromXFile(name.c_str(), nullptr);
            ASSERT_NE(model, nullptr);
            model->Update(0);
            model->Draw();
            model->Release();
        }
        const std::string said = testing::internal::GetCapturedStderr();
        const std::string named = dir_.file(name) + " ";
        EXPECT_EQ(test::CountOf(said, named), cases[i].said ? 1u : 0u) << said;
        if (cases[i].said) {
            EXPECT_EQ(test::CountOf(said, named + cases[i].said), 1u) << said;
        }
    }
}

// ---- Log -----------------------------------------------------------------------------

TEST_F(XFileLoaderTest, LogNamesTheFileTheMeshesAndTheTotals) {
    test::LogCapture log;
    LoadSample(XEncoding::Text);
    const std::string text = log.Take();
    EXPECT_NE(text.find(Cp932("○ CreateModel   / ID [0x")), std::string::npos);
    EXPECT_NE(text.find("gf\\model.x {\n"), std::string::npos);
    EXPECT_NE(text.find("\tMesh { Vertex 24, Index 36, (  -1.000,  -1.000,  -1.000)-(   1.000,   1.000,   1.000), "),
              std::string::npos);
    // Frames 4 x 536 + 272 + the two meshes' (vertices x 36 + indices x 2 + 2592).
    const double kb = (4 * 536 + 272 + (24 * 36 + 36 * 2 + 2592) + (3 * 36 + 3 * 2 + 2592)) / 1024.0;
    char total[96];
    std::snprintf(total, sizeof total, "} Frame 4 / Mesh 2 / %8.3lf KByteUse / Complete!\n", kb);
    EXPECT_NE(text.find(total), std::string::npos) << text;
}

TEST_F(XFileLoaderTest, LogErrorLinesInCp932WithTheNamesAsStored) {
    test::LogCapture log;
    CreateModelFromXFile("gf\\nothere.x", nullptr);
    EXPECT_NE(log.Take().find(Cp932("ERROR 列挙オブジェクトの作成に失敗\nファイルがないか無効な可能性があります [")),
              std::string::npos);

    // A mesh named in CP932 that has no vertices.
    const std::string name = Cp932("箱");
    XWriter w(XEncoding::Text);
    w.BeginObject("Mesh", name);
    w.Dwords({0, 0});
    w.EndObject();
    Load(w);
    const std::string text = log.Take();
    EXPECT_NE(text.find(Cp932("    Error : メッシュ [") + name + Cp932("] の読み込みに失敗\n")), std::string::npos)
        << text;
    EXPECT_NE(text.find("} Frame 1 / Mesh 0 / "), std::string::npos);

    XWriter skinned(XEncoding::Text);
    WriteSkinned(skinned);
    Load(skinned);
    const std::string skinLog = log.Take();
    EXPECT_NE(skinLog.find("    SkinnedMesh [3 BONE]\n"), std::string::npos);
    EXPECT_NE(skinLog.find("-> Find Bone...\n    [Bone1] [0x"), std::string::npos);
    EXPECT_NE(skinLog.find("    [Missing] [0x00000000]\n"), std::string::npos);
}

}  // namespace
