#include "tools/datagen/model_set.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "engine/graphics/kag_archive.h"
#include "engine/models/xfile_writer.h"

namespace datagen {
namespace {

using xfile::XWriter;

constexpr float PI = 3.14159265f;
constexpr const char* MODEL_ARCHIVE = "gf/model.dat";

// ---- Geometry ----------------------------------------------------------------

struct Point {
    float x, y, z;
};

// A mesh made of flat polygons: every polygon has its own corners, one
// normal and one material.
struct MeshBuilder {
    std::vector<Point> positions;
    std::vector<float> uvs;
    std::vector<std::vector<uint32_t>> faces;
    std::vector<Point> normals;  // one per face
    std::vector<uint32_t> materials;

    void Polygon(const std::vector<Point>& corners, const std::vector<std::pair<float, float>>& uv, Point normal,
                 uint32_t material) {
        std::vector<uint32_t> face;
        for (size_t i = 0; i < corners.size(); ++i) {
            face.push_back(static_cast<uint32_t>(positions.size()));
            positions.push_back(corners[i]);
            uvs.push_back(uv[i].first);
            uvs.push_back(uv[i].second);
        }
        faces.push_back(std::move(face));
        normals.push_back(normal);
        materials.push_back(material);
    }

    // An axis-aligned box without its bottom face.
    void Box(Point lo, Point hi, uint32_t material) {
        const std::vector<std::pair<float, float>> quad = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        Polygon({{lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}}, quad, {0, 1, 0},
                material);
        Polygon({{lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, lo.y, lo.z}, {lo.x, lo.y, lo.z}}, quad, {0, 0, -1},
                material);
        Polygon({{hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}}, quad, {0, 0, 1},
                material);
        Polygon({{lo.x, hi.y, hi.z}, {lo.x, hi.y, lo.z}, {lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}}, quad, {-1, 0, 0},
                material);
        Polygon({{hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, lo.y, lo.z}}, quad, {1, 0, 0},
                material);
    }
};

Point OnCircle(float radius, float angle, float y) { return {radius * std::sin(angle), y, radius * std::cos(angle)}; }

// An octagonal rock: a flat top of radius 120 and sides narrowing to a
// bottom of radius 60, 30 below.
MeshBuilder Island() {
    constexpr int SIDES = 8;
    constexpr float TOP = 120.0f, BOTTOM = 60.0f, DEPTH = -30.0f;
    MeshBuilder m;
    std::vector<Point> top, bottom;
    std::vector<std::pair<float, float>> topUv, bottomUv;
    for (int i = 0; i < SIDES; ++i) {
        const float a = 2.0f * PI * static_cast<float>(i) / SIDES;
        top.push_back(OnCircle(TOP, a, 0.0f));
        topUv.push_back({0.5f + 0.5f * std::sin(a), 0.5f - 0.5f * std::cos(a)});
        bottom.insert(bottom.begin(), OnCircle(BOTTOM, a, DEPTH));
        bottomUv.insert(bottomUv.begin(), {0.5f + 0.25f * std::sin(a), 0.5f - 0.25f * std::cos(a)});
    }
    m.Polygon(top, topUv, {0, 1, 0}, 0);
    m.Polygon(bottom, bottomUv, {0, -1, 0}, 0);
    for (int i = 0; i < SIDES; ++i) {
        const float a0 = 2.0f * PI * static_cast<float>(i) / SIDES, a1 = 2.0f * PI * static_cast<float>(i + 1) / SIDES;
        const float mid = (a0 + a1) / 2, u0 = static_cast<float>(i) / SIDES, u1 = static_cast<float>(i + 1) / SIDES;
        const float slope = (TOP - BOTTOM) / -DEPTH;  // outward lean of the sides
        Point n{std::sin(mid), -slope, std::cos(mid)};
        const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        n = {n.x / length, n.y / length, n.z / length};
        m.Polygon({OnCircle(TOP, a1, 0), OnCircle(TOP, a0, 0), OnCircle(BOTTOM, a0, DEPTH), OnCircle(BOTTOM, a1, DEPTH)},
                  {{u1, 0}, {u0, 0}, {u0, 1}, {u1, 1}}, n, 1);
    }
    return m;
}

// Four square pillars 60 high on the island's diagonals.
MeshBuilder Pillars() {
    MeshBuilder m;
    for (float x : {-70.0f, 70.0f})
        for (float z : {-70.0f, 70.0f}) m.Box({x - 6, 0, z - 6}, {x + 6, 60, z + 6}, 0);
    return m;
}

// A flat ring of 16 segments between radii 80 and 100, textured on top and
// plain on a face just below, so that the two sides never share a depth
// (the stage draws without culling).
MeshBuilder Halo() {
    constexpr int SEGMENTS = 16;
    constexpr float INNER = 80.0f, OUTER = 100.0f, UNDERSIDE = -0.5f;
    MeshBuilder m;
    for (int i = 0; i < SEGMENTS; ++i) {
        const float a0 = 2.0f * PI * static_cast<float>(i) / SEGMENTS,
                    a1 = 2.0f * PI * static_cast<float>(i + 1) / SEGMENTS;
        const float u0 = static_cast<float>(i) / SEGMENTS * 4, u1 = static_cast<float>(i + 1) / SEGMENTS * 4;
        m.Polygon({OnCircle(OUTER, a0, 0), OnCircle(OUTER, a1, 0), OnCircle(INNER, a1, 0), OnCircle(INNER, a0, 0)},
                  {{u0, 0}, {u1, 0}, {u1, 1}, {u0, 1}}, {0, 1, 0}, 0);
        m.Polygon({OnCircle(INNER, a0, UNDERSIDE), OnCircle(INNER, a1, UNDERSIDE), OnCircle(OUTER, a1, UNDERSIDE),
                   OnCircle(OUTER, a0, UNDERSIDE)},
                  {{u0, 1}, {u1, 1}, {u1, 0}, {u0, 0}}, {0, -1, 0}, 1);
    }
    return m;
}

// ---- X data --------------------------------------------------------------------

struct MaterialLook {
    float r, g, b;
    const char* texture;  // null: untextured
};

void WriteMaterial(XWriter& w, const std::string& name, const MaterialLook& m) {
    w.BeginObject("Material", name);
    w.Floats({m.r, m.g, m.b, 1.0f});
    w.Floats({8.0f});
    w.Floats({0.2f, 0.2f, 0.2f});
    w.Floats({0.0f, 0.0f, 0.0f});
    if (m.texture) {
        w.BeginObject("TextureFilename");
        w.String(m.texture);
        w.EndObject();
    }
    w.EndObject();
}

void WriteFaces(XWriter& w, const std::vector<std::vector<uint32_t>>& faces) {
    w.Dwords({static_cast<uint32_t>(faces.size())});
    for (const auto& face : faces) {
        std::vector<uint32_t> record{static_cast<uint32_t>(face.size())};
        record.insert(record.end(), face.begin(), face.end());
        w.Dwords(record.data(), record.size());
    }
}

// One point a line in the text encoding.
void WritePoints(XWriter& w, const std::vector<Point>& points) {
    w.Dwords({static_cast<uint32_t>(points.size())});
    for (const Point& p : points) w.Floats({p.x, p.y, p.z});
}

// A material of a mesh: a top-level Material referenced by name, or one
// written in place when `look` is given.
struct MaterialUse {
    std::string name;
    const MaterialLook* look = nullptr;
};

void WriteMesh(XWriter& w, const std::string& name, const MeshBuilder& m, const std::vector<MaterialUse>& materials) {
    w.BeginObject("Mesh", name);
    WritePoints(w, m.positions);
    WriteFaces(w, m.faces);

    w.BeginObject("MeshNormals");
    WritePoints(w, m.normals);
    std::vector<std::vector<uint32_t>> normalFaces;
    for (size_t f = 0; f < m.faces.size(); ++f)
        normalFaces.emplace_back(m.faces[f].size(), static_cast<uint32_t>(f));
    WriteFaces(w, normalFaces);
    w.EndObject();

    w.BeginObject("MeshTextureCoords");
    w.Dwords({static_cast<uint32_t>(m.positions.size())});
    for (size_t i = 0; i < m.uvs.size(); i += 2) w.Floats({m.uvs[i], m.uvs[i + 1]});
    w.EndObject();

    w.BeginObject("MeshMaterialList");
    w.Dwords({static_cast<uint32_t>(materials.size()), static_cast<uint32_t>(m.materials.size())});
    w.Dwords(m.materials.data(), m.materials.size());
    for (const MaterialUse& material : materials) {
        if (material.look) WriteMaterial(w, material.name, *material.look);
        else w.Reference(material.name);
    }
    w.EndObject();
    w.EndObject();
}

void WriteTranslation(XWriter& w, float x, float y, float z) {
    w.BeginObject("FrameTransformMatrix");
    w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1});
    w.EndObject();
}

// The halo turns half a circle about its axis over 600 ticks; at tick 0,
// the time the game shows, it stands as placed.
void WriteHaloTurn(XWriter& w) {
    w.BeginObject("AnimationSet", "Turn");
    w.BeginObject("Animation");
    w.Reference("HaloFrame");
    w.BeginObject("AnimationKey");
    w.Dwords({0, 3});  // rotation keys: time; 4; w, x, y, z
    const float halfRoot = 0.70710677f;
    w.Dwords({0, 4});
    w.Floats({1, 0, 0, 0});
    w.Dwords({300, 4});
    w.Floats({halfRoot, 0, halfRoot, 0});
    w.Dwords({600, 4});
    w.Floats({0, 0, 1, 0});
    w.EndObject();
    w.EndObject();
    w.EndObject();
}

// ---- Textures -------------------------------------------------------------------

constexpr Colour WHITE{255, 255, 255, 255};

void PaintRock(Canvas& c, Lettering& l) {
    for (int y = 0; y < c.Height(); y += 16)
        for (int x = 0; x < c.Width(); x += 16)
            c.Fill(x, y, x + 16, y + 16, Shade({120, 110, 90}, ((x * 7 + y * 3) / 16) % 3 ? 0.8f : 1.1f));
    c.Disc(c.Width() / 2, c.Height() / 2, c.Width() / 3, {90, 160, 80}, true);
    c.KeyLabel(l, "m2rock", 4, 4, 12, WHITE);
}

void PaintCliff(Canvas& c, Lettering& l) {
    c.VerticalGradient(0, 0, c.Width(), c.Height(), {150, 130, 100}, {60, 50, 40});
    for (int x = 0; x < c.Width(); x += 12) c.Fill(x, 0, x + 2, c.Height(), Shade({60, 50, 40}, 0.8f));
    c.KeyLabel(l, "m2cliff", 4, 4, 12, WHITE);
}

void PaintPillar(Canvas& c, Lettering& l) {
    c.Fill(0, 0, c.Width(), c.Height(), {210, 205, 190});
    for (int y = 0; y < c.Height(); y += 16) {
        c.Fill(0, y, c.Width(), y + 2, {150, 140, 130});
        for (int x = (y / 16) % 2 * 16; x < c.Width(); x += 32) c.Fill(x, y, x + 2, y + 16, {150, 140, 130});
    }
    c.KeyLabel(l, "m2pillar", 4, 4, 12, {40, 40, 40});
}

void PaintHalo(Canvas& c, Lettering& l) {
    c.VerticalGradient(0, 0, c.Width(), c.Height(), {255, 230, 120}, {230, 140, 40});
    c.Frame(0, 0, c.Width(), c.Height(), 6, WHITE);
    c.KeyLabel(l, "m2halo", 8, 8, 12, {80, 40, 0});
}

}  // namespace

std::vector<uint8_t> StageModelBytes() {
    XWriter w(xfile::XEncoding::Text);
    // Names with a folder and an extension, so that the game's lookup falls
    // through from the image file to the archive key.
    WriteMaterial(w, "Rock", {0.75f, 0.8f, 0.7f, "textures\\m2rock.bmp"});
    WriteMaterial(w, "Cliff", {0.7f, 0.65f, 0.6f, "m2cliff.png"});
    WriteMaterial(w, "Stone", {0.9f, 0.9f, 0.85f, "textures\\m2pillar.bmp"});

    w.BeginObject("Frame", "Island");
    WriteTranslation(w, 0, -20, 0);
    WriteMesh(w, "Ground", Island(), {{"Rock"}, {"Cliff"}});
    w.BeginObject("Frame", "Colonnade");
    WriteTranslation(w, 0, 0, 0);
    WriteMesh(w, "Pillars", Pillars(), {{"Stone"}});
    w.EndObject();
    w.BeginObject("Frame", "HaloFrame");
    WriteTranslation(w, 0, 75, 0);
    const MaterialLook gold{1.0f, 0.85f, 0.4f, "m2halo.bmp"}, shade{0.5f, 0.45f, 0.4f, nullptr};
    WriteMesh(w, "Halo", Halo(), {{"Gold", &gold}, {"Shade", &shade}});
    w.EndObject();
    w.EndObject();
    WriteHaloTurn(w);
    return w.Bytes();
}

std::vector<Picture> StageModelTextures() {
    return {{MODEL_ARCHIVE, "m2rock", 128, 128, IMAGE_PIXEL_32_LZSS, PaintRock},
            {MODEL_ARCHIVE, "m2cliff", 128, 128, IMAGE_PIXEL_32_LZSS, PaintCliff},
            {MODEL_ARCHIVE, "m2pillar", 64, 128, IMAGE_PIXEL_32_LZSS, PaintPillar},
            {MODEL_ARCHIVE, "m2halo", 128, 32, IMAGE_PIXEL_32_LZSS, PaintHalo}};
}

bool WriteModelSet(const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path path = fs::path(folder) / "gf" / "model2.dat";
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    const std::vector<uint8_t> bytes = StageModelBytes();
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok) std::fprintf(stderr, "datagen: cannot write %s\n", path.string().c_str());
    return ok;
}

}  // namespace datagen
