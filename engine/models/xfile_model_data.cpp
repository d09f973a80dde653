#include "engine/models/xfile_model_data.h"

#include <algorithm>

namespace xfile {
namespace {

bool Is(const XObject* o, const char* templateName) { return o && o->templateName == templateName; }

// Reads and checks one object; `why` gets the first fault.
class Checked {
public:
    explicit Checked(const XObject& o) : r_(o) {}

    bool Dword(uint32_t* v, const char* what) { return r_.Dword(v) || Fail(what); }
    bool Floats(float* v, size_t n, const char* what) { return r_.Floats(v, n) || Fail(what); }
    bool String(std::string* v, const char* what) { return r_.String(v) || Fail(what); }
    // A count of items of at least `valuesEach` values each, checked against
    // what is left before anything is made for it.
    bool Count(uint32_t* n, size_t valuesEach, const char* what) {
        if (!Dword(n, what)) return false;
        if (*n > r_.Remaining() / valuesEach) return Fail("count larger than the data");
        return true;
    }
    bool Matrix16(Matrix* m, const char* what) {
        float e[16];
        if (!Floats(e, 16, what)) return false;
        m->SetElements(e);
        return true;
    }
    bool Fail(const char* why) {
        if (why_.empty()) why_ = why;
        return false;
    }
    const std::string& Why() const { return why_; }

private:
    XValueReader r_;
    std::string why_;
};

// Reads `count` index lists ({n; n indices}) whose indices lie below `limit`.
bool ReadFaces(Checked& in, uint32_t count, uint32_t limit, std::vector<std::vector<uint32_t>>* faces) {
    faces->resize(count);
    for (auto& face : *faces) {
        uint32_t corners = 0;
        if (!in.Count(&corners, 1, "missing face")) return false;
        if (corners < 3) return in.Fail("face with fewer than three corners");
        face.resize(corners);
        for (uint32_t& index : face) {
            if (!in.Dword(&index, "missing face index")) return false;
            if (index >= limit) return in.Fail("face index out of range");
        }
    }
    return true;
}

bool ReadVectors(Checked& in, uint32_t count, std::vector<Vector3>* out, const char* what) {
    out->resize(count);
    for (Vector3& v : *out) {
        float xyz[3];
        if (!in.Floats(xyz, 3, what)) return false;
        v.Set(xyz[0], xyz[1], xyz[2]);
    }
    return true;
}

uint8_t ColourByte(float c) {
    if (!(c > 0.0f)) return 0;
    if (c >= 1.0f) return 255;
    return static_cast<uint8_t>(c * 255.0f + 0.5f);
}

bool ReadNormals(const XObject& o, XMeshData* mesh, std::string* why) {
    Checked in(o);
    uint32_t count = 0, faceCount = 0;
    bool ok = in.Count(&count, 3, "missing normal count") && ReadVectors(in, count, &mesh->normals, "missing normal") &&
              in.Count(&faceCount, 4, "missing normal face count");
    if (ok && faceCount != mesh->faces.size()) ok = in.Fail("normal faces do not match the faces");
    ok = ok && ReadFaces(in, faceCount, count, &mesh->faceNormals);
    for (size_t i = 0; ok && i < mesh->faces.size(); ++i)
        if (mesh->faceNormals[i].size() != mesh->faces[i].size()) ok = in.Fail("normal face corners do not match");
    if (!ok) *why = in.Why();
    return ok;
}

bool ReadTexCoords(const XObject& o, XMeshData* mesh, std::string* why) {
    Checked in(o);
    uint32_t count = 0;
    bool ok = in.Count(&count, 2, "missing coordinate count");
    if (ok && count != mesh->positions.size()) ok = in.Fail("coordinate count differs from the vertex count");
    if (ok) mesh->texCoords.resize(count);
    for (size_t i = 0; ok && i < count; ++i) ok = in.Floats(mesh->texCoords[i].data(), 2, "missing coordinate");
    if (!ok) *why = in.Why();
    return ok;
}

bool ReadVertexColors(const XObject& o, XMeshData* mesh, std::string* why) {
    Checked in(o);
    uint32_t count = 0;
    bool ok = in.Count(&count, 5, "missing colour count");
    if (ok) mesh->vertexColors.assign(mesh->positions.size(), 0xFFFFFFFFu);
    for (uint32_t i = 0; ok && i < count; ++i) {
        uint32_t index = 0;
        float rgba[4];
        ok = in.Dword(&index, "missing colour index") && in.Floats(rgba, 4, "missing colour");
        if (ok && index >= mesh->positions.size()) ok = in.Fail("colour index out of range");
        if (ok)
            mesh->vertexColors[index] = static_cast<uint32_t>(ColourByte(rgba[3])) << 24 |
                                        static_cast<uint32_t>(ColourByte(rgba[0])) << 16 |
                                        static_cast<uint32_t>(ColourByte(rgba[1])) << 8 | ColourByte(rgba[2]);
    }
    if (!ok) *why = in.Why();
    return ok;
}

bool ReadMaterial(const XObject& o, XMaterialData* m, std::string* why) {
    Checked in(o);
    const bool ok = in.Floats(m->diffuse, 4, "missing face colour") && in.Floats(&m->power, 1, "missing power") &&
                    in.Floats(m->specular, 3, "missing specular colour") &&
                    in.Floats(m->emissive, 3, "missing emissive colour");
    if (!ok) {
        *why = in.Why();
        return false;
    }
    for (const XChild& c : o.children) {
        if (!Is(c.target, "TextureFilename") && !Is(c.target, "TextureFileName")) continue;
        Checked name(*c.target);
        if (!name.String(&m->textureFilename, "missing texture name")) {
            *why = name.Why();
            return false;
        }
    }
    return true;
}

bool ReadMaterialList(const XObject& o, XMeshData* mesh, std::string* why) {
    Checked in(o);
    uint32_t materialCount = 0, indexCount = 0;
    bool ok = in.Dword(&materialCount, "missing material count") && in.Count(&indexCount, 1, "missing face indexes");
    std::vector<uint32_t> indexes(ok ? indexCount : 0);
    for (uint32_t& index : indexes) {
        if (!(ok = in.Dword(&index, "missing face index"))) break;
        if (index >= materialCount) ok = in.Fail("material index out of range");
        if (!ok) break;
    }
    if (!ok) {
        *why = in.Why();
        return false;
    }
    for (const XChild& c : o.children) {
        if (mesh->materials.size() == materialCount || !Is(c.target, "Material")) continue;
        XMaterialData m;
        if (!ReadMaterial(*c.target, &m, why)) return false;
        mesh->materials.push_back(std::move(m));
    }
    if (mesh->materials.size() < materialCount) {
        *why = "fewer materials than listed";
        return false;
    }
    for (size_t f = 0; f < mesh->faces.size(); ++f)
        mesh->faceMaterials[f] = indexes.empty() ? 0 : indexes[std::min(f, indexes.size() - 1)];
    return true;
}

bool ReadSkinWeights(const XObject& o, XMeshData* mesh, std::string* why) {
    Checked in(o);
    XSkinWeightsData bone;
    uint32_t count = 0;
    bool ok = in.String(&bone.transformNodeName, "missing bone name") && in.Count(&count, 2, "missing weight count");
    if (ok) {
        bone.vertexIndices.resize(count);
        bone.weights.resize(count);
    }
    for (uint32_t& index : bone.vertexIndices) {
        if (!(ok = in.Dword(&index, "missing weight index"))) break;
        if (index >= mesh->positions.size()) ok = in.Fail("weight index out of range");
        if (!ok) break;
    }
    ok = ok && in.Floats(bone.weights.data(), count, "missing weight") &&
         in.Matrix16(&bone.matrixOffset, "missing bone offset");
    if (!ok) {
        *why = in.Why();
        return false;
    }
    mesh->skinWeights.push_back(std::move(bone));
    return true;
}

bool ReadSkinHeader(const XObject& o, XMeshData* mesh, std::string* why) {
    Checked in(o);
    uint32_t bones = 0;
    if (in.Dword(&mesh->maxSkinWeightsPerVertex, "missing skin header") &&
        in.Dword(&mesh->maxSkinWeightsPerFace, "missing skin header") && in.Dword(&bones, "missing skin header"))
        return true;
    *why = in.Why();
    return false;
}

bool ReadMesh(const XObject& o, XMeshData* mesh, std::string* why) {
    Checked in(o);
    uint32_t vertexCount = 0, faceCount = 0;
    bool ok = in.Count(&vertexCount, 3, "missing vertex count");
    if (ok && vertexCount == 0) ok = in.Fail("mesh without vertices");
    if (ok && vertexCount > X_MAX_MESH_VERTICES) ok = in.Fail("too many vertices");
    ok = ok && ReadVectors(in, vertexCount, &mesh->positions, "missing vertex") &&
         in.Count(&faceCount, 4, "missing face count") && ReadFaces(in, faceCount, vertexCount, &mesh->faces);
    if (!ok) {
        *why = in.Why();
        return false;
    }
    mesh->faceMaterials.assign(faceCount, 0);
    bool hasMaterialList = false;
    for (const XChild& c : o.children) {
        const XObject* child = c.object.get();
        if (!child) continue;
        if (Is(child, "MeshNormals")) ok = ReadNormals(*child, mesh, why);
        else if (Is(child, "MeshTextureCoords")) ok = ReadTexCoords(*child, mesh, why);
        else if (Is(child, "MeshVertexColors")) ok = ReadVertexColors(*child, mesh, why);
        else if (Is(child, "MeshMaterialList")) {
            ok = !hasMaterialList && ReadMaterialList(*child, mesh, why);
            if (hasMaterialList) *why = "second material list";
            hasMaterialList = true;
        } else if (Is(child, "SkinWeights")) ok = ReadSkinWeights(*child, mesh, why);
        else if (Is(child, "XSkinMeshHeader")) ok = ReadSkinHeader(*child, mesh, why);
        if (!ok) return false;
    }
    if (mesh->materials.empty()) mesh->materials.emplace_back();
    return true;
}

// ---- Animations ------------------------------------------------------------------

constexpr uint32_t KEY_ROTATION = 0, KEY_SCALE = 1, KEY_POSITION = 2, KEY_MATRIX = 4;

template <typename Key>
bool ReadKeys(Checked& in, uint32_t count, uint32_t valueCount, std::vector<Key>* out,
              void (*store)(const float*, Key*)) {
    std::vector<Key> keys(count);
    int64_t lastTime = -1;
    for (Key& key : keys) {
        uint32_t time = 0, n = 0;
        float values[16];
        if (!in.Dword(&time, "missing key time") || !in.Dword(&n, "missing key size")) return false;
        if (n != valueCount) return in.Fail("key of the wrong size");
        if (!in.Floats(values, n, "missing key value")) return false;
        if (time > INT32_MAX) return in.Fail("key time out of range");
        if (static_cast<int64_t>(time) < lastTime) return in.Fail("key times go down");
        lastTime = time;
        key.time = static_cast<int32_t>(time);
        store(values, &key);
    }
    *out = std::move(keys);
    return true;
}

void StoreRotation(const float* v, RotationKey* k) {
    k->w = v[0];
    k->x = v[1];
    k->y = v[2];
    k->z = v[3];
}
void StoreVector(const float* v, VectorKey* k) {
    k->x = v[0];
    k->y = v[1];
    k->z = v[2];
}
void StoreMatrix(const float* v, MatrixKey* k) { k->matrix.SetElements(v); }

bool ReadAnimationKey(const XObject& o, XAnimationData* anim, std::string* why) {
    Checked in(o);
    uint32_t type = 0, count = 0;
    bool ok = in.Dword(&type, "missing key type") && in.Count(&count, 3, "missing key count");
    if (ok) {
        switch (type) {
        case KEY_ROTATION: ok = ReadKeys(in, count, 4, &anim->rotationKeys, StoreRotation); break;
        case KEY_SCALE: ok = ReadKeys(in, count, 3, &anim->scaleKeys, StoreVector); break;
        case KEY_POSITION: ok = ReadKeys(in, count, 3, &anim->positionKeys, StoreVector); break;
        case KEY_MATRIX: ok = ReadKeys(in, count, 16, &anim->matrixKeys, StoreMatrix); break;
        default: break;
        }
    }
    if (!ok) *why = in.Why();
    return ok;
}

class Walker {
public:
    explicit Walker(XModelData* out) : out_(out) {
        XFrameData root;
        root.name = X_ROOT_FRAME_NAME;
        root.local.SetIdentity();
        out_->frames.push_back(std::move(root));
    }

    void TopLevel(const XObject& o) {
        if (Is(&o, "Frame")) Frame(o, 0);
        else if (Is(&o, "Mesh")) Mesh(o, 0);
        else if (Is(&o, "AnimationSet"))
            for (const XChild& c : o.children)
                if (Is(c.object.get(), "Animation")) Animation(*c.object);
    }

private:
    void Issue(const XObject& o, const std::string& why) { out_->issues.push_back({o.name, why, o.templateName}); }

    void Frame(const XObject& o, int32_t parent) {
        const int32_t index = static_cast<int32_t>(out_->frames.size());
        XFrameData frame;
        frame.name = o.name;
        frame.parent = parent;
        frame.local.SetIdentity();
        out_->frames.push_back(std::move(frame));
        for (const XChild& c : o.children) {
            const XObject* child = c.object.get();
            if (Is(child, "FrameTransformMatrix")) {
                Checked in(*child);
                Matrix local;
                if (in.Matrix16(&local, "short frame matrix")) out_->frames[index].local = local;
                else Issue(o, in.Why());
            } else if (Is(child, "Frame")) {
                Frame(*child, index);
            } else if (Is(child, "Mesh")) {
                Mesh(*child, index);
            }
        }
    }

    void Mesh(const XObject& o, int32_t frame) {
        XMeshData mesh;
        mesh.name = o.name;
        mesh.frame = frame;
        std::string why;
        if (ReadMesh(o, &mesh, &why)) out_->meshes.push_back(std::move(mesh));
        else Issue(o, why);
    }

    void Animation(const XObject& o) {
        XAnimationData anim;
        for (const XChild& c : o.children) {
            if (c.IsReference()) {
                if (Is(c.target, "Frame") && !c.target->name.empty()) anim.frameName = c.target->name;
            } else if (Is(c.target, "AnimationKey")) {
                std::string why;
                if (!ReadAnimationKey(*c.target, &anim, &why)) Issue(o, why);
            }
        }
        out_->animations.push_back(std::move(anim));
    }

    XModelData* out_;
};

}  // namespace

XModelData ExtractModelData(const XDocument& doc) {
    XModelData out;
    Walker walker(&out);
    for (const auto& o : doc.objects) walker.TopLevel(*o);
    return out;
}

std::string TextureFileName(const std::string& textureFilename) {
    // A 0x5C byte that trails a CP932 lead byte belongs to its character.
    size_t start = 0;
    for (size_t i = 0; i < textureFilename.size(); ++i) {
        const auto c = static_cast<unsigned char>(textureFilename[i]);
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ++i;
        else if (c == '\\') start = i + 1;
    }
    return textureFilename.substr(start);
}

std::string TextureArchiveKey(const std::string& textureFilename) {
    const std::string leaf = TextureFileName(textureFilename);
    const size_t dot = leaf.rfind('.');
    return dot == std::string::npos ? leaf : leaf.substr(0, dot);
}

}  // namespace xfile
