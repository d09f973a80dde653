#include "platform/d3d/vertex_pipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gpu {

namespace {

float ReadFloat(const uint8_t* p) {
    float f;
    std::memcpy(&f, p, 4);
    return f;
}

uint32_t ReadU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

float Dot3(const float a[3], const float b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void Normalize3(float v[3]) {
    const float length = std::sqrt(Dot3(v, v));
    if (length > 0.0f) {
        for (int i = 0; i < 3; ++i) v[i] /= length;
    }
}

void TransformDirection(const float m[16], const float v[3], float out[3]) {
    for (int c = 0; c < 3; ++c) out[c] = v[0] * m[c] + v[1] * m[4 + c] + v[2] * m[8 + c];
}

// Inverse transpose of the upper 3x3 of m (how normals follow a transform),
// stored so that n' = n * out. A singular matrix keeps its own 3x3.
void NormalMatrix(const float m[16], float out[9]) {
    const float a = m[0], b = m[1], c = m[2], d = m[4], e = m[5], f = m[6], g = m[8], h = m[9], i = m[10];
    const float det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    if (det == 0.0f) {
        const float copy[9] = {a, b, c, d, e, f, g, h, i};
        std::memcpy(out, copy, sizeof copy);
        return;
    }
    const float s = 1.0f / det;
    // (M^-1)^T, indexed [row][column] for n' = n * out.
    out[0] = (e * i - f * h) * s;
    out[1] = -(d * i - f * g) * s;
    out[2] = (d * h - e * g) * s;
    out[3] = -(b * i - c * h) * s;
    out[4] = (a * i - c * g) * s;
    out[5] = -(a * h - b * g) * s;
    out[6] = (b * f - c * e) * s;
    out[7] = -(a * f - c * d) * s;
    out[8] = (a * e - b * d) * s;
}

void Lerp(const ClipVertex& a, const ClipVertex& b, float t, ClipVertex* out) {
    auto mix = [t](float x, float y) { return x + (y - x) * t; };
    for (int i = 0; i < 4; ++i) {
        out->position[i] = mix(a.position[i], b.position[i]);
        out->diffuse[i] = mix(a.diffuse[i], b.diffuse[i]);
        out->specular[i] = mix(a.specular[i], b.specular[i]);
    }
    out->fog = mix(a.fog, b.fog);
    for (int s = 0; s < kMaxTextureStages; ++s) {
        for (int k = 0; k < 2; ++k) out->tex[s][k] = mix(a.tex[s][k], b.tex[s][k]);
    }
    out->screen = false;
}

// Signed distances to the two planes Direct3D clips against in depth:
// z >= 0 and z <= w.
float NearDistance(const ClipVertex& v) { return v.position[2]; }
float FarDistance(const ClipVertex& v) { return v.position[3] - v.position[2]; }

// Sutherland-Hodgman against one plane; `distance` is >= 0 inside.
template <typename Distance>
void ClipPolygon(std::vector<ClipVertex>& polygon, Distance distance) {
    std::vector<ClipVertex> result;
    const size_t n = polygon.size();
    for (size_t i = 0; i < n; ++i) {
        const ClipVertex& current = polygon[i];
        const ClipVertex& next = polygon[(i + 1) % n];
        const float dc = distance(current), dn = distance(next);
        if (dc >= 0.0f) result.push_back(current);
        if ((dc >= 0.0f) != (dn >= 0.0f)) {
            ClipVertex cut;
            Lerp(current, next, dc / (dc - dn), &cut);
            result.push_back(cut);
        }
    }
    polygon.swap(result);
}

// Clip-space vertex to screen space through the viewport.
ScreenVertex ToScreen(const ClipVertex& v, const D3DVIEWPORT8& viewport) {
    ScreenVertex s;
    if (v.screen) {
        s.x = v.position[0];
        s.y = v.position[1];
        s.z = v.position[2];
        s.rhw = v.position[3];
    } else {
        const float w = v.position[3];
        const float rhw = w != 0.0f ? 1.0f / w : 1.0f;
        s.x = viewport.X + (1.0f + v.position[0] * rhw) * viewport.Width * 0.5f;
        s.y = viewport.Y + (1.0f - v.position[1] * rhw) * viewport.Height * 0.5f;
        s.z = viewport.MinZ + v.position[2] * rhw * (viewport.MaxZ - viewport.MinZ);
        s.rhw = rhw;
    }
    std::memcpy(s.diffuse, v.diffuse, sizeof s.diffuse);
    std::memcpy(s.specular, v.specular, sizeof s.specular);
    s.fog = v.fog;
    std::memcpy(s.tex, v.tex, sizeof s.tex);
    return s;
}

bool Culled(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, uint32_t cullMode) {
    const float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    if (cullMode == D3DCULL_CW) return area > 0.0f;
    if (cullMode == D3DCULL_CCW) return area < 0.0f;
    return false;
}

// W must stay positive for the perspective divide; anything this close to
// the eye is behind the near plane anyway.
constexpr float kMinW = 1e-6f;
float PositiveW(const ClipVertex& v) { return v.position[3] - kMinW; }

void EmitTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c, const D3DVIEWPORT8& viewport,
                  uint32_t cullMode, std::vector<ScreenVertex>& out) {
    auto emit = [&](const ClipVertex& p, const ClipVertex& q, const ClipVertex& r) {
        const ScreenVertex sp = ToScreen(p, viewport), sq = ToScreen(q, viewport), sr = ToScreen(r, viewport);
        if (Culled(sp, sq, sr, cullMode)) return;
        out.push_back(sp);
        out.push_back(sq);
        out.push_back(sr);
    };
    const bool inside = a.screen || (NearDistance(a) >= 0 && NearDistance(b) >= 0 && NearDistance(c) >= 0 &&
                                     FarDistance(a) >= 0 && FarDistance(b) >= 0 && FarDistance(c) >= 0 &&
                                     PositiveW(a) >= 0 && PositiveW(b) >= 0 && PositiveW(c) >= 0);
    if (inside) {
        emit(a, b, c);
        return;
    }
    std::vector<ClipVertex> polygon{a, b, c};
    ClipPolygon(polygon, PositiveW);
    ClipPolygon(polygon, NearDistance);
    ClipPolygon(polygon, FarDistance);
    // A fan keeps the first vertex first, so flat shading still takes it.
    for (size_t i = 1; i + 1 < polygon.size(); ++i) emit(polygon[0], polygon[i], polygon[i + 1]);
}

void EmitLine(ClipVertex a, ClipVertex b, const D3DVIEWPORT8& viewport, std::vector<ScreenVertex>& out) {
    if (!a.screen) {
        for (auto distance : {PositiveW, NearDistance, FarDistance}) {
            const float da = distance(a), db = distance(b);
            if (da < 0 && db < 0) return;
            if (da < 0) Lerp(a, b, da / (da - db), &a);
            if (db < 0) Lerp(b, a, db / (db - da), &b);
        }
    }
    out.push_back(ToScreen(a, viewport));
    out.push_back(ToScreen(b, viewport));
}

}  // namespace

void MultiplyMatrix(const float a[16], const float b[16], float out[16]) {
    float r[16];
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            r[row * 4 + col] = a[row * 4] * b[col] + a[row * 4 + 1] * b[4 + col] + a[row * 4 + 2] * b[8 + col] +
                               a[row * 4 + 3] * b[12 + col];
        }
    }
    std::memcpy(out, r, sizeof r);
}

void TransformPoint(const float m[16], const float v[3], float out[4]) {
    for (int c = 0; c < 4; ++c) out[c] = v[0] * m[c] + v[1] * m[4 + c] + v[2] * m[8 + c] + m[12 + c];
}

void ColourToFloats(uint32_t colour, float out[4]) {
    out[0] = ((colour >> 16) & 0xFF) / 255.0f;
    out[1] = ((colour >> 8) & 0xFF) / 255.0f;
    out[2] = (colour & 0xFF) / 255.0f;
    out[3] = (colour >> 24) / 255.0f;
}

float ComputeFog(uint32_t mode, float distance, float start, float end, float density) {
    float f = 1.0f;
    switch (mode) {
    case D3DFOG_LINEAR:
        if (end == start) f = distance < end ? 1.0f : 0.0f;
        else f = (end - distance) / (end - start);
        break;
    case D3DFOG_EXP: f = std::exp(-density * distance); break;
    case D3DFOG_EXP2: f = std::exp(-(density * distance) * (density * distance)); break;
    default: break;
    }
    return std::clamp(f, 0.0f, 1.0f);
}

FvfLayout DecodeFvf(uint32_t fvf) {
    FvfLayout l;
    uint32_t offset = 0;
    const uint32_t position = fvf & D3DFVF_POSITION_MASK;
    l.positionOffset = 0;
    if (position == D3DFVF_XYZRHW) {
        l.pretransformed = true;
        offset = 16;
    } else if (position != 0) {
        offset = 12;
        if (position >= D3DFVF_XYZB1) {
            l.blendWeights = static_cast<int>((position - D3DFVF_XYZ) / 2);
            offset += 4 * l.blendWeights;
        }
    }
    if (fvf & D3DFVF_NORMAL) { l.hasNormal = true; l.normalOffset = offset; offset += 12; }
    if (fvf & D3DFVF_PSIZE) { l.hasPointSize = true; l.pointSizeOffset = offset; offset += 4; }
    if (fvf & D3DFVF_DIFFUSE) { l.hasDiffuse = true; l.diffuseOffset = offset; offset += 4; }
    if (fvf & D3DFVF_SPECULAR) { l.hasSpecular = true; l.specularOffset = offset; offset += 4; }
    l.texCount = static_cast<int>(std::min<uint32_t>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT, 8));
    for (int i = 0; i < l.texCount; ++i) {
        static constexpr int kSizes[4] = {2, 3, 4, 1};
        l.texSize[i] = kSizes[(fvf >> (16 + 2 * i)) & 3];
        l.texOffset[i] = offset;
        offset += 4 * l.texSize[i];
    }
    l.size = offset;
    return l;
}

uint32_t VertexCountOf(D3DPRIMITIVETYPE type, uint32_t n) {
    if (n == 0) return 0;
    switch (type) {
    case D3DPT_POINTLIST: return n;
    case D3DPT_LINELIST: return 2 * n;
    case D3DPT_LINESTRIP: return n + 1;
    case D3DPT_TRIANGLELIST: return 3 * n;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return n + 2;
    }
    return 0;
}

VertexProcessor::VertexProcessor(const TransformState& state) : state_(state) {
    const uint32_t* rs = state.renderStates;
    MultiplyMatrix(state.world.m, state.view.m, worldView_);
    MultiplyMatrix(worldView_, state.projection.m, worldViewProjection_);
    NormalMatrix(worldView_, normalMatrix_);
    lighting_ = rs[D3DRS_LIGHTING] != 0;
    fogMode_ = rs[D3DRS_FOGVERTEXMODE];
    fogPerVertex_ = rs[D3DRS_FOGENABLE] && (fogMode_ != D3DFOG_NONE || rs[D3DRS_FOGTABLEMODE] != D3DFOG_NONE);
    if (fogMode_ == D3DFOG_NONE) fogMode_ = rs[D3DRS_FOGTABLEMODE];
    rangeFog_ = rs[D3DRS_RANGEFOGENABLE] != 0 && rs[D3DRS_FOGTABLEMODE] == D3DFOG_NONE;
    specularOn_ = rs[D3DRS_SPECULARENABLE] != 0;
    localViewer_ = rs[D3DRS_LOCALVIEWER] != 0;
    normalize_ = rs[D3DRS_NORMALIZENORMALS] != 0;
    const bool colourVertex = rs[D3DRS_COLORVERTEX] != 0;
    diffuseSource_ = colourVertex ? rs[D3DRS_DIFFUSEMATERIALSOURCE] : D3DMCS_MATERIAL;
    ambientSource_ = colourVertex ? rs[D3DRS_AMBIENTMATERIALSOURCE] : D3DMCS_MATERIAL;
    specularSource_ = colourVertex ? rs[D3DRS_SPECULARMATERIALSOURCE] : D3DMCS_MATERIAL;
    emissiveSource_ = colourVertex ? rs[D3DRS_EMISSIVEMATERIALSOURCE] : D3DMCS_MATERIAL;
    if (!lighting_) return;
    for (int i = 0; i < kMaxLights; ++i) {
        if (!state.lightEnabled[i]) continue;
        const D3DLIGHT8& l = state.lights[i];
        ViewLight v{};
        v.type = l.Type;
        const float p[3] = {l.Position.x, l.Position.y, l.Position.z};
        float p4[4];
        TransformPoint(state.view.m, p, p4);
        std::memcpy(v.position, p4, sizeof v.position);
        const float d[3] = {l.Direction.x, l.Direction.y, l.Direction.z};
        TransformDirection(state.view.m, d, v.direction);
        Normalize3(v.direction);
        v.diffuse = l.Diffuse;
        v.specular = l.Specular;
        v.ambient = l.Ambient;
        v.range = l.Range;
        v.falloff = l.Falloff;
        v.att0 = l.Attenuation0;
        v.att1 = l.Attenuation1;
        v.att2 = l.Attenuation2;
        v.cosHalfTheta = std::cos(l.Theta * 0.5f);
        v.cosHalfPhi = std::cos(l.Phi * 0.5f);
        lights_.push_back(v);
    }
}

float VertexProcessor::FogFactor(float distance) const {
    const uint32_t* rs = state_.renderStates;
    return ComputeFog(fogMode_, distance, BitsToFloat(rs[D3DRS_FOGSTART]), BitsToFloat(rs[D3DRS_FOGEND]),
                      BitsToFloat(rs[D3DRS_FOGDENSITY]));
}

void VertexProcessor::SelectTexCoords(const float sets[8][4], int setCount, ClipVertex* out) const {
    for (int stage = 0; stage < kMaxTextureStages; ++stage) {
        const uint32_t index = state_.stageStates[stage][D3DTSS_TEXCOORDINDEX] & 0xFFFF;
        const bool present = static_cast<int>(index) < setCount;
        out->tex[stage][0] = present ? sets[index][0] : 0.0f;
        out->tex[stage][1] = present ? sets[index][1] : 0.0f;
    }
}

void VertexProcessor::Light(const float viewPosition[3], const float viewNormal[3], const float* vertexDiffuse,
                            const float* vertexSpecular, ClipVertex* out) const {
    const D3DMATERIAL8& m = state_.material;
    auto pick = [&](uint32_t source, const D3DCOLORVALUE& material, float result[4]) {
        const float* from = source == D3DMCS_COLOR1 ? vertexDiffuse : source == D3DMCS_COLOR2 ? vertexSpecular : nullptr;
        if (from) {
            std::memcpy(result, from, 4 * sizeof(float));
        } else {
            result[0] = material.r; result[1] = material.g; result[2] = material.b; result[3] = material.a;
        }
    };
    float md[4], ma[4], ms[4], me[4], global[4];
    pick(diffuseSource_, m.Diffuse, md);
    pick(ambientSource_, m.Ambient, ma);
    pick(specularSource_, m.Specular, ms);
    pick(emissiveSource_, m.Emissive, me);
    ColourToFloats(state_.renderStates[D3DRS_AMBIENT], global);

    float ambient[3] = {global[0], global[1], global[2]}, diffuse[3] = {0, 0, 0}, specular[3] = {0, 0, 0};
    float toEye[3] = {0.0f, 0.0f, -1.0f};
    if (localViewer_) {
        toEye[0] = -viewPosition[0]; toEye[1] = -viewPosition[1]; toEye[2] = -viewPosition[2];
        Normalize3(toEye);
    }
    for (const ViewLight& l : lights_) {
        float toLight[3], attenuation = 1.0f;
        if (l.type == D3DLIGHT_DIRECTIONAL) {
            for (int i = 0; i < 3; ++i) toLight[i] = -l.direction[i];
        } else {
            for (int i = 0; i < 3; ++i) toLight[i] = l.position[i] - viewPosition[i];
            const float distance = std::sqrt(Dot3(toLight, toLight));
            if (distance > l.range) continue;
            Normalize3(toLight);
            const float sum = l.att0 + l.att1 * distance + l.att2 * distance * distance;
            attenuation = sum > 0.0f ? 1.0f / sum : 1.0f;
            if (l.type == D3DLIGHT_SPOT) {
                const float rho = -Dot3(toLight, l.direction);
                if (rho <= l.cosHalfPhi) continue;
                if (rho < l.cosHalfTheta) {
                    const float span = l.cosHalfTheta - l.cosHalfPhi;
                    attenuation *= std::pow((rho - l.cosHalfPhi) / span, l.falloff);
                }
            }
        }
        const float nDotL = std::max(0.0f, Dot3(viewNormal, toLight));
        const float la[3] = {l.ambient.r, l.ambient.g, l.ambient.b};
        const float ld[3] = {l.diffuse.r, l.diffuse.g, l.diffuse.b};
        for (int i = 0; i < 3; ++i) {
            ambient[i] += attenuation * la[i];
            diffuse[i] += attenuation * nDotL * ld[i];
        }
        if (specularOn_ && nDotL > 0.0f && m.Power > 0.0f) {
            float half[3] = {toLight[0] + toEye[0], toLight[1] + toEye[1], toLight[2] + toEye[2]};
            Normalize3(half);
            const float s = attenuation * std::pow(std::max(0.0f, Dot3(viewNormal, half)), m.Power);
            specular[0] += s * l.specular.r;
            specular[1] += s * l.specular.g;
            specular[2] += s * l.specular.b;
        }
    }
    for (int i = 0; i < 3; ++i) {
        out->diffuse[i] = std::clamp(me[i] + ambient[i] * ma[i] + diffuse[i] * md[i], 0.0f, 1.0f);
        out->specular[i] = std::clamp(specular[i] * ms[i], 0.0f, 1.0f);
    }
    out->diffuse[3] = std::clamp(md[3], 0.0f, 1.0f);
    out->specular[3] = std::clamp(ms[3], 0.0f, 1.0f);
}

void VertexProcessor::ProcessFvf(const FvfLayout& layout, const uint8_t* vertex, ClipVertex* out) const {
    float position[3] = {ReadFloat(vertex), ReadFloat(vertex + 4), ReadFloat(vertex + 8)};
    float diffuse[4] = {1, 1, 1, 1}, specular[4] = {0, 0, 0, 0};
    if (layout.hasDiffuse) ColourToFloats(ReadU32(vertex + layout.diffuseOffset), diffuse);
    if (layout.hasSpecular) ColourToFloats(ReadU32(vertex + layout.specularOffset), specular);
    float sets[8][4] = {};
    for (int i = 0; i < layout.texCount; ++i) {
        for (int k = 0; k < layout.texSize[i]; ++k) sets[i][k] = ReadFloat(vertex + layout.texOffset[i] + 4 * k);
    }
    SelectTexCoords(sets, layout.texCount, out);

    if (layout.pretransformed) {
        out->screen = true;
        std::memcpy(out->position, position, sizeof position);
        out->position[3] = ReadFloat(vertex + 12);
        std::memcpy(out->diffuse, diffuse, sizeof diffuse);
        std::memcpy(out->specular, specular, sizeof specular);
        // Pre-transformed vertices carry their fog factor in the specular alpha.
        out->fog = layout.hasSpecular ? specular[3] : 1.0f;
        return;
    }
    out->screen = false;
    TransformPoint(worldViewProjection_, position, out->position);
    float eye[4];
    TransformPoint(worldView_, position, eye);
    if (lighting_) {
        float normal[3] = {0, 0, 0};
        if (layout.hasNormal) {
            const float n[3] = {ReadFloat(vertex + layout.normalOffset), ReadFloat(vertex + layout.normalOffset + 4),
                                ReadFloat(vertex + layout.normalOffset + 8)};
            for (int c = 0; c < 3; ++c) normal[c] = n[0] * normalMatrix_[c] + n[1] * normalMatrix_[3 + c] + n[2] * normalMatrix_[6 + c];
            if (normalize_) Normalize3(normal);
        }
        // A colour source the vertex does not carry falls back to the material.
        Light(eye, normal, layout.hasDiffuse ? diffuse : nullptr, layout.hasSpecular ? specular : nullptr, out);
    } else {
        std::memcpy(out->diffuse, diffuse, sizeof diffuse);
        std::memcpy(out->specular, specular, sizeof specular);
    }
    if (fogPerVertex_) {
        out->fog = FogFactor(rangeFog_ ? std::sqrt(Dot3(eye, eye)) : std::fabs(eye[2]));
    } else {
        out->fog = layout.hasSpecular ? specular[3] : 1.0f;
    }
}

void VertexProcessor::ProcessProgramOutput(const VertexProgramOutput& o, ClipVertex* out) const {
    out->screen = false;
    std::memcpy(out->position, o.position, sizeof out->position);
    for (int i = 0; i < 4; ++i) {
        out->diffuse[i] = std::clamp(o.diffuse[i], 0.0f, 1.0f);
        out->specular[i] = std::clamp(o.specular[i], 0.0f, 1.0f);
    }
    out->fog = std::clamp(o.fog, 0.0f, 1.0f);
    float sets[8][4] = {};
    for (int i = 0; i < kMaxTextureStages; ++i) std::memcpy(sets[i], o.texCoord[i], sizeof sets[i]);
    SelectTexCoords(sets, kMaxTextureStages, out);
}

PrimitiveKind AssemblePrimitives(D3DPRIMITIVETYPE type, uint32_t n, const uint32_t* indices,
                                 const ClipVertex* vertices, const D3DVIEWPORT8& viewport, uint32_t cullMode,
                                 std::vector<ScreenVertex>& out) {
    auto at = [&](uint32_t i) -> const ClipVertex& { return vertices[indices ? indices[i] : i]; };
    switch (type) {
    case D3DPT_POINTLIST:
        for (uint32_t i = 0; i < n; ++i) {
            const ClipVertex& v = at(i);
            const bool inside = v.screen || (v.position[3] > kMinW && NearDistance(v) >= 0 && FarDistance(v) >= 0);
            if (inside) out.push_back(ToScreen(v, viewport));
        }
        return PrimitiveKind::Points;
    case D3DPT_LINELIST:
        for (uint32_t i = 0; i < n; ++i) EmitLine(at(2 * i), at(2 * i + 1), viewport, out);
        return PrimitiveKind::Lines;
    case D3DPT_LINESTRIP:
        for (uint32_t i = 0; i < n; ++i) EmitLine(at(i), at(i + 1), viewport, out);
        return PrimitiveKind::Lines;
    case D3DPT_TRIANGLELIST:
        for (uint32_t i = 0; i < n; ++i) EmitTriangle(at(3 * i), at(3 * i + 1), at(3 * i + 2), viewport, cullMode, out);
        return PrimitiveKind::Triangles;
    case D3DPT_TRIANGLESTRIP:
        // Odd triangles swap their last two vertices so every triangle keeps
        // the strip's winding and its first vertex (the flat-shading colour).
        for (uint32_t i = 0; i < n; ++i) {
            if (i % 2 == 0) EmitTriangle(at(i), at(i + 1), at(i + 2), viewport, cullMode, out);
            else EmitTriangle(at(i), at(i + 2), at(i + 1), viewport, cullMode, out);
        }
        return PrimitiveKind::Triangles;
    case D3DPT_TRIANGLEFAN:
        // Rotated to (i+1, i+2, 0): same winding, and the flat colour is the
        // triangle's first outer vertex as in Direct3D.
        for (uint32_t i = 0; i < n; ++i) EmitTriangle(at(i + 1), at(i + 2), at(0), viewport, cullMode, out);
        return PrimitiveKind::Triangles;
    }
    return PrimitiveKind::Triangles;
}

}  // namespace gpu
