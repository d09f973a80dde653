#include "tools/datagen/model_set.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "engine/graphics/kag_archive.h"
#include "engine/models/xfile_writer.h"
#include "tools/datagen/noise.h"

namespace datagen {
namespace {

using xfile::XWriter;

constexpr float PI = 3.14159265f;
constexpr const char* MODEL_ARCHIVE = "gf/model.dat";

// ---- Geometry ----------------------------------------------------------------

struct Point {
    float x, y, z;
};

Point Normalised(Point p) {
    const float length = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    return {p.x / length, p.y / length, p.z / length};
}

// A mesh made of flat polygons: every polygon has its own corners and one
// material, and each corner the normal the lighting sees there.
struct MeshBuilder {
    std::vector<Point> positions;
    std::vector<float> uvs;
    std::vector<std::vector<uint32_t>> faces;
    std::vector<Point> normals;  // one per corner
    std::vector<uint32_t> materials;

    // The game bakes the stage's one light, falling from above, into the
    // corners with no ambient light: a corner whose normal faces down is
    // black. The scenery hangs above the eye, which sees its underside, so
    // every normal leans up as if the rock were lit by the sky round it,
    // keeping enough of its own direction to shade the faces apart.
    void Polygon(const std::vector<Point>& corners, const std::vector<std::pair<float, float>>& uv, Point normal,
                 uint32_t material) {
        constexpr float kSkyLean = 1.6f;
        const Point lit = Normalised({normal.x, normal.y + kSkyLean, normal.z});
        std::vector<uint32_t> face;
        for (size_t i = 0; i < corners.size(); ++i) {
            face.push_back(static_cast<uint32_t>(positions.size()));
            positions.push_back(corners[i]);
            normals.push_back(lit);
            uvs.push_back(uv[i].first);
            uvs.push_back(uv[i].second);
        }
        faces.push_back(std::move(face));
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

// The outward normal of a flat polygon whose corners run as the island's
// side faces run (the first three corners are enough).
Point FaceNormal(const std::vector<Point>& c) {
    const Point u{c[1].x - c[0].x, c[1].y - c[0].y, c[1].z - c[0].z};
    const Point v{c[2].x - c[0].x, c[2].y - c[0].y, c[2].z - c[0].z};
    return Normalised({u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x});
}

// A floating rock: a flat top with a ragged rim, about 32 across the middle,
// its sides falling in two steps to a point of rock 34 below.
MeshBuilder Island() {
    constexpr int SIDES = 10;
    constexpr float JAG[SIDES] = {1.0f, 0.86f, 0.97f, 0.9f, 1.04f, 0.88f, 0.98f, 0.84f, 1.02f, 0.92f};
    struct Ring {
        float radius, y, v;
    };
    constexpr Ring RINGS[] = {{32.0f, 0.0f, 0.0f}, {22.0f, -12.0f, 0.4f}, {4.0f, -34.0f, 1.0f}};
    auto corner = [&](int ring, int i) {
        const float a = 2.0f * PI * static_cast<float>(i % SIDES) / SIDES;
        return OnCircle(RINGS[ring].radius * JAG[(i + ring * 3) % SIDES], a, RINGS[ring].y);
    };
    MeshBuilder m;
    std::vector<Point> top, bottom;
    std::vector<std::pair<float, float>> topUv, bottomUv;
    for (int i = 0; i < SIDES; ++i) {
        const Point t = corner(0, i), b = corner(2, i);
        top.push_back(t);
        topUv.push_back({0.5f + 0.5f * t.x / RINGS[0].radius, 0.5f - 0.5f * t.z / RINGS[0].radius});
        bottom.insert(bottom.begin(), b);
        bottomUv.insert(bottomUv.begin(), {0.5f + 0.5f * b.x / RINGS[0].radius, 0.5f - 0.5f * b.z / RINGS[0].radius});
    }
    m.Polygon(top, topUv, {0, 1, 0}, 0);
    m.Polygon(bottom, bottomUv, {0, -1, 0}, 1);
    for (int ring = 0; ring < 2; ++ring)
        for (int i = 0; i < SIDES; ++i) {
            const float u0 = static_cast<float>(i) / SIDES, u1 = static_cast<float>(i + 1) / SIDES;
            const float v0 = RINGS[ring].v, v1 = RINGS[ring + 1].v;
            const std::vector<Point> c{corner(ring, i + 1), corner(ring, i), corner(ring + 1, i),
                                       corner(ring + 1, i + 1)};
            m.Polygon(c, {{u1, v0}, {u0, v0}, {u0, v1}, {u1, v1}}, FaceNormal(c), 1);
        }
    return m;
}

// Four square pillars 18 high on the island's diagonals.
MeshBuilder Pillars() {
    MeshBuilder m;
    for (float x : {-17.0f, 17.0f})
        for (float z : {-17.0f, 17.0f}) m.Box({x - 2.5f, 0, z - 2.5f}, {x + 2.5f, 18, z + 2.5f}, 0);
    return m;
}

// A flat ring of 16 segments between radii 21 and 26, textured on top and
// plain on a face just below, so that the two sides never share a depth
// (the stage draws without culling).
MeshBuilder Halo() {
    constexpr int SEGMENTS = 16;
    constexpr float INNER = 21.0f, OUTER = 26.0f, UNDERSIDE = -0.5f;
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
    WriteFaces(w, m.faces);
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

// The island's top: grass with patches of bare rock.
Colour RockTopAt(float u, float v) {
    const float n = Fractal(u, v, 4, 4, 4, 201), grain = Fractal(u, v, 16, 16, 2, 202);
    const Colour grass = Mix({120, 200, 100, 255}, {170, 230, 120, 255}, grain);
    return Mix(grass, Shade({220, 206, 180, 255}, 0.8f + 0.2f * grain), Smooth(0.58f, 0.66f, n));
}

// Its sides: layered pale rock, lighter at the top, with cracks down it.
// Pale, because the stage's dim light leaves a fifth of it.
Colour CliffAt(float u, float v) {
    const float n = Fractal(u, v, 4, 4, 3, 211);
    const float strata = 0.5f + 0.5f * std::sin(2.0f * PI * (v * 6.0f + 0.6f * n));
    Colour rock = Mix({240, 228, 206, 255}, {168, 150, 128, 255}, v);
    rock = Shade(rock, 0.85f + 0.15f * strata);
    const float crack = Smooth(0.03f, 0.0f, std::fabs(Fractal(u, v, 8, 2, 2, 212) - 0.5f));
    return Mix(rock, {90, 76, 64, 255}, crack * 0.8f);
}

// The pillars: pale stone blocks in courses, joints darker.
Colour PillarAt(float u, float v) {
    const float grain = Fractal(u, v, 8, 16, 2, 221);
    const float row = v * 8.0f, course = std::floor(row);
    const float column = u * 2.0f + (static_cast<int>(course) % 2 ? 0.5f : 0.0f);
    const bool joint = row - course < 0.06f || column - std::floor(column) < 0.06f;
    const Colour stone = Mix({190, 184, 168, 255}, {222, 216, 200, 255}, grain);
    return joint ? Shade(stone, 0.65f) : stone;
}

// The halo: a band of gold, brighter along its middle.
Colour HaloAt(float, float v) {
    return Mix({230, 140, 40, 255}, {255, 226, 130, 255}, 1.0f - std::fabs(2.0f * v - 1.0f));
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
    WriteTranslation(w, 0, 26, 0);
    const MaterialLook gold{1.0f, 0.85f, 0.4f, "m2halo.bmp"}, shade{0.5f, 0.45f, 0.4f, nullptr};
    WriteMesh(w, "Halo", Halo(), {{"Gold", &gold}, {"Shade", &shade}});
    w.EndObject();
    w.EndObject();
    WriteHaloTurn(w);
    return w.Bytes();
}

std::vector<Picture> StageModelTextures() {
    return {{MODEL_ARCHIVE, "m2rock", 128, 128, IMAGE_PIXEL_32_LZSS, PerPixel(RockTopAt)},
            {MODEL_ARCHIVE, "m2cliff", 128, 128, IMAGE_PIXEL_32_LZSS, PerPixel(CliffAt)},
            {MODEL_ARCHIVE, "m2pillar", 64, 128, IMAGE_PIXEL_32_LZSS, PerPixel(PillarAt)},
            {MODEL_ARCHIVE, "m2halo", 128, 32, IMAGE_PIXEL_32_LZSS, PerPixel(HaloAt)}};
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
