#include "tools/datagen/model_set.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>

#include "engine/graphics/kag_archive.h"
#include "engine/models/xfile_writer.h"
#include "tools/datagen/noise.h"

namespace datagen {
namespace {

using xfile::XWriter;

constexpr float PI = 3.14159265f;
constexpr const char* MODEL_ARCHIVE = "gf/model.dat";

// ---- Points -------------------------------------------------------------------

struct Point {
    float x, y, z;
};

Point Normalised(Point p) {
    const float length = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    return {p.x / length, p.y / length, p.z / length};
}

float Dot(Point a, Point b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// ---- Lighting -------------------------------------------------------------------

// The way back up to the stage's light, in every mesh's own space.
const Point kTowardsLight =
    Normalised({-kStageLightDirection[0], -kStageLightDirection[1], -kStageLightDirection[2]});

// How a surface of the rock would be shaded by a light from the side the
// stage's light comes from and from above, 0..1: 1 on a top or a wall turned
// to the light, 0 on a wall turned away, a half on a face looking straight
// down.
float ShadeOf(Point surface) {
    const Point side = Normalised({kTowardsLight.x, 0.0f, kTowardsLight.z});
    const float facing = surface.x * side.x + surface.z * side.z;
    return Clamp01(0.5f + 0.5f * facing + 0.5f * std::max(0.0f, surface.y));
}

// A unit normal whose cosine with the way to the light is `light`: that way
// tipped towards the surface's own normal.
Point LitNormal(Point surface, float light) {
    const float along = Dot(surface, kTowardsLight);
    Point across{surface.x - along * kTowardsLight.x, surface.y - along * kTowardsLight.y,
                 surface.z - along * kTowardsLight.z};
    if (Dot(across, across) < 1e-6f) across = {kTowardsLight.y, -kTowardsLight.x, 0.0f};  // any way across
    across = Normalised(across);
    const float sine = std::sqrt(1.0f - light * light);
    return {light * kTowardsLight.x + sine * across.x, light * kTowardsLight.y + sine * across.y,
            light * kTowardsLight.z + sine * across.z};
}

// ---- Geometry ----------------------------------------------------------------

// A mesh made of flat polygons: every polygon has its own corners and one
// material, and each corner the normal the lighting sees there.
struct MeshBuilder {
    std::vector<Point> positions;
    std::vector<float> uvs;
    std::vector<std::vector<uint32_t>> faces;
    std::vector<Point> normals;  // one per corner
    std::vector<uint32_t> materials;

    // The game bakes the stage's one dim light into the corners with no
    // ambient light, and the eye sees the rock from below, where a true
    // normal would face away from the light and leave it black. So every
    // normal leans towards the light, far enough that each corner gets
    // between kStageModelDimmestLight and all of it. Where in that range
    // follows how the surface would be shaded by a light from the light's
    // side (ShadeOf), varied a little face by face and less corner by
    // corner, so that neighbouring faces differ and none is one even shade.
    void Polygon(const std::vector<Point>& corners, const std::vector<std::pair<float, float>>& uv, Point normal,
                 uint32_t material) {
        const int index = static_cast<int>(faces.size());
        const float faceShade = ShadeOf(normal) + 0.2f * (Lattice(index, 0, 4096, 1, 301) - 0.5f);
        std::vector<uint32_t> face;
        for (size_t i = 0; i < corners.size(); ++i) {
            const float shade = Clamp01(faceShade + 0.1f * (Lattice(index, static_cast<int>(i), 4096, 16, 302) - 0.5f));
            face.push_back(static_cast<uint32_t>(positions.size()));
            positions.push_back(corners[i]);
            normals.push_back(LitNormal(normal, kStageModelDimmestLight + (1.0f - kStageModelDimmestLight) * shade));
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
// and below it a shallow, lumpy belly: uneven faces in five rings down to a
// point 21 below, off the middle, and four crags hanging from it. Seen from
// below, as the stage shows it, that is many faces turned many ways rather
// than one cone.
MeshBuilder Island() {
    constexpr int SIDES = 16;
    struct Ring {
        float radius, y, v;
    };
    constexpr Ring RINGS[] = {{32.0f, 0.0f, 0.0f},    {30.0f, -3.5f, 0.15f},  {25.5f, -7.5f, 0.35f},
                              {19.0f, -11.0f, 0.55f}, {11.5f, -14.5f, 0.75f}, {5.0f, -17.0f, 0.9f}};
    constexpr int LAST = static_cast<int>(std::size(RINGS)) - 1;
    // Each corner a little off its ring, in angle, radius and (below the
    // rim, which stays flat) height.
    auto corner = [&](int ring, int i) {
        const int k = i % SIDES;
        const float a = 2.0f * PI * (static_cast<float>(k) + 0.3f * (Lattice(k, ring, SIDES, 8, 231) - 0.5f)) / SIDES;
        const float r = RINGS[ring].radius * (0.85f + 0.2f * Lattice(k, ring, SIDES, 8, 232));
        const float y = ring == 0 ? 0.0f : RINGS[ring].y + 3.0f * (Lattice(k, ring, SIDES, 8, 233) - 0.5f);
        return OnCircle(r, a, y);
    };
    auto topUv = [&](Point p) {
        return std::pair{0.5f + 0.5f * p.x / RINGS[0].radius, 0.5f - 0.5f * p.z / RINGS[0].radius};
    };
    MeshBuilder m;
    const Point middle{0.0f, 0.0f, 0.0f};
    for (int i = 0; i < SIDES; ++i) {
        const Point a = corner(0, i), b = corner(0, i + 1);
        m.Polygon({middle, a, b}, {topUv(middle), topUv(a), topUv(b)}, {0, 1, 0}, 0);
    }
    for (int ring = 0; ring < LAST; ++ring)
        for (int i = 0; i < SIDES; ++i) {
            const float u0 = static_cast<float>(i) / SIDES, u1 = static_cast<float>(i + 1) / SIDES;
            const float v0 = RINGS[ring].v, v1 = RINGS[ring + 1].v;
            const std::vector<Point> c{corner(ring, i + 1), corner(ring, i), corner(ring + 1, i),
                                       corner(ring + 1, i + 1)};
            m.Polygon(c, {{u1, v0}, {u0, v0}, {u0, v1}, {u1, v1}}, FaceNormal(c), 1);
        }
    const Point tip{2.0f, -21.0f, -1.5f};
    for (int i = 0; i < SIDES; ++i) {
        const float u0 = static_cast<float>(i) / SIDES, u1 = static_cast<float>(i + 1) / SIDES;
        const std::vector<Point> c{corner(LAST, i + 1), corner(LAST, i), tip};
        m.Polygon(c, {{u1, RINGS[LAST].v}, {u0, RINGS[LAST].v}, {0.5f * (u0 + u1), 1.0f}}, FaceNormal(c), 1);
    }
    // The crags: five-sided points whose tops lie inside the rock, so that
    // only their lower ends come out through the belly.
    struct Crag {
        float angle, radius, top, bottom, width;
    };
    constexpr Crag CRAGS[] = {{0.5f, 21.0f, -2.0f, -17.0f, 4.5f},
                              {2.2f, 13.0f, -6.0f, -20.0f, 4.0f},
                              {3.8f, 22.0f, -2.0f, -14.0f, 5.0f},
                              {5.0f, 16.0f, -4.0f, -19.0f, 4.0f}};
    constexpr int CRAG_SIDES = 5;
    for (const Crag& crag : CRAGS) {
        const Point centre = OnCircle(crag.radius, crag.angle, crag.top);
        const Point point{centre.x + 1.0f, crag.bottom, centre.z - 0.5f};
        auto rim = [&](int j) {
            const Point off = OnCircle(crag.width, crag.angle + 2.0f * PI * static_cast<float>(j) / CRAG_SIDES, 0.0f);
            return Point{centre.x + off.x, centre.y, centre.z + off.z};
        };
        for (int j = 0; j < CRAG_SIDES; ++j) {
            const float u0 = static_cast<float>(j) / CRAG_SIDES, u1 = static_cast<float>(j + 1) / CRAG_SIDES;
            const std::vector<Point> c{rim(j + 1), rim(j), point};
            m.Polygon(c, {{u1, 0.5f}, {u0, 0.5f}, {0.5f * (u0 + u1), 1.0f}}, FaceNormal(c), 1);
        }
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

// The textures are nearly white: the stage's light leaves a fifth of them
// (a third in blue), and their layers, patches and joints still show after
// that.

// The island's top: pale grass with patches of bare rock.
Colour RockTopAt(float u, float v) {
    const float n = Fractal(u, v, 4, 4, 4, 201), grain = Fractal(u, v, 16, 16, 2, 202);
    const Colour grass = Mix({190, 238, 166, 255}, {226, 252, 200, 255}, grain);
    return Mix(grass, Shade({255, 246, 228, 255}, 0.88f + 0.12f * grain), Smooth(0.58f, 0.66f, n));
}

// Its underside and crags: layered stone, warmer at the rim, with thin dark
// seams between the layers, lichen in patches and cracks running down.
Colour CliffAt(float u, float v) {
    const float n = Fractal(u, v, 4, 4, 3, 211);
    const float strata = 0.5f + 0.5f * std::sin(2.0f * PI * (v * 7.0f + 0.8f * n));
    Colour rock = Mix({255, 248, 236, 255}, {242, 240, 236, 255}, v);
    rock = Shade(rock, 0.9f + 0.1f * strata);
    rock = Mix(rock, Shade(rock, 0.62f), Smooth(0.12f, 0.0f, strata));
    const float lichen = Smooth(0.55f, 0.68f, Fractal(u, v, 6, 6, 3, 213));
    rock = Mix(rock, {196, 238, 162, 255}, 0.85f * lichen);
    const float crack = std::max(Smooth(0.035f, 0.0f, std::fabs(Fractal(u, v, 8, 2, 2, 212) - 0.5f)),
                                 Smooth(0.025f, 0.0f, std::fabs(Fractal(u, v, 12, 3, 2, 214) - 0.5f)));
    return Mix(rock, {110, 100, 96, 255}, crack * 0.9f);
}

// The pillars: pale stone blocks in courses, joints darker.
Colour PillarAt(float u, float v) {
    const float grain = Fractal(u, v, 8, 16, 2, 221);
    const float row = v * 8.0f, course = std::floor(row);
    const float column = u * 2.0f + (static_cast<int>(course) % 2 ? 0.5f : 0.0f);
    const bool joint = row - course < 0.06f || column - std::floor(column) < 0.06f;
    const Colour stone = Mix({226, 222, 208, 255}, {252, 250, 240, 255}, grain);
    return joint ? Shade(stone, 0.7f) : stone;
}

// The halo: a band of pale gold, brighter along its middle.
Colour HaloAt(float, float v) {
    return Mix({255, 200, 110, 255}, {255, 244, 200, 255}, 1.0f - std::fabs(2.0f * v - 1.0f));
}

}  // namespace

std::vector<uint8_t> StageModelBytes() {
    XWriter w(xfile::XEncoding::Text);
    // The game draws the model with its baked corner colours times the
    // texture: the materials' own colours, diffuse and emissive alike, do
    // not reach the picture; they only say what each material is.
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
