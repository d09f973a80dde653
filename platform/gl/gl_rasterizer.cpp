#define GL_GLEXT_PROTOTYPES 1
#include "platform/gl/gl_rasterizer.h"

#include "platform/d3d/vertex_pipeline.h"
#include "platform/window.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace gpu {

namespace {

constexpr int kUploadUnit = kMaxTextureStages;

struct TextureFormat {
    GLint internal;
    GLenum format, type;
    GLint swizzle[4];
};

// How each Direct3D format sits in a GL texture. The packed 16-bit formats
// read their bytes exactly as Direct3D stores them; formats without alpha
// read alpha as one.
bool LookUpFormat(D3DFORMAT format, TextureFormat* out) {
    constexpr GLint rgba[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
    constexpr GLint rgb1[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ONE};
    auto set = [&](GLint internal, GLenum f, GLenum t, const GLint* swizzle) {
        out->internal = internal;
        out->format = f;
        out->type = t;
        std::memcpy(out->swizzle, swizzle, sizeof out->swizzle);
        return true;
    };
    switch (format) {
    case D3DFMT_A8R8G8B8: return set(GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rgba);
    case D3DFMT_X8R8G8B8: return set(GL_RGB8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rgb1);
    case D3DFMT_R5G6B5: return set(GL_RGB8, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, rgb1);
    case D3DFMT_A1R5G5B5: return set(GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, rgba);
    case D3DFMT_X1R5G5B5: return set(GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, rgb1);
    case D3DFMT_A4R4G4B4: return set(GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, rgba);
    case D3DFMT_X4R4G4B4: return set(GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, rgb1);
    case D3DFMT_L8: {
        constexpr GLint luminance[4] = {GL_RED, GL_RED, GL_RED, GL_ONE};
        return set(GL_R8, GL_RED, GL_UNSIGNED_BYTE, luminance);
    }
    case D3DFMT_A8: {
        constexpr GLint alpha[4] = {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED};
        return set(GL_R8, GL_RED, GL_UNSIGNED_BYTE, alpha);
    }
    default: return false;
    }
}

GLenum BlendFactor(uint32_t blend) {
    switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: case D3DBLEND_BOTHSRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: case D3DBLEND_BOTHINVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
    default: return GL_ONE;
    }
}

GLenum BlendEquation(uint32_t op) {
    switch (op) {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN: return GL_MIN;
    case D3DBLENDOP_MAX: return GL_MAX;
    default: return GL_FUNC_ADD;
    }
}

GLenum DepthFunc(uint32_t func) {
    switch (func) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

GLint AddressMode(uint32_t mode) {
    switch (mode) {
    case D3DTADDRESS_MIRROR: case D3DTADDRESS_MIRRORONCE: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
    }
}

GLint Filter(uint32_t filter) { return filter >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST; }

ProgramKey MakeProgramKey(const RasterState& state, PrimitiveKind) {
    ProgramKey key;
    const uint32_t* rs = state.renderStates;
    for (int i = 0; i < kMaxTextureStages; ++i) {
        const uint32_t* ts = state.stageStates[i];
        if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE) break;
        ProgramKey::Stage& st = key.stages[i];
        st.colourOp = ts[D3DTSS_COLOROP];
        st.colourArg[0] = ts[D3DTSS_COLORARG1];
        st.colourArg[1] = ts[D3DTSS_COLORARG2];
        st.colourArg[2] = ts[D3DTSS_COLORARG0];
        st.alphaOp = ts[D3DTSS_ALPHAOP];
        st.alphaArg[0] = ts[D3DTSS_ALPHAARG1];
        st.alphaArg[1] = ts[D3DTSS_ALPHAARG2];
        st.alphaArg[2] = ts[D3DTSS_ALPHAARG0];
        st.resultArg = ts[D3DTSS_RESULTARG] == D3DTA_TEMP ? D3DTA_TEMP : D3DTA_CURRENT;
        st.textured = state.textures[i].level != nullptr;
    }
    key.alphaFunc = rs[D3DRS_ALPHATESTENABLE] ? rs[D3DRS_ALPHAFUNC] : D3DCMP_ALWAYS;
    key.flat = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    key.specular = rs[D3DRS_SPECULARENABLE] != 0;
    key.fog = rs[D3DRS_FOGENABLE] != 0;
    return key;
}

}  // namespace

// The GL objects behind one surface.
struct GLRasterizer::Objects {
    GLuint texture = 0, framebuffer = 0, renderbuffer = 0;
    SurfaceData* attachedDepth = nullptr;
    uint32_t sampler[5] = {~0u, ~0u, ~0u, ~0u, ~0u};
};

GLContext::~GLContext() {
    if (context) SDL_GL_DeleteContext(context);
}

GLRasterizer::GLRasterizer(std::shared_ptr<GLContext> context) : context_(std::move(context)) {
    glGenVertexArrays(1, &vertexArray_);
    glGenBuffers(1, &vertexBuffer_);
    glBindVertexArray(vertexArray_);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    const GLsizei stride = sizeof(ScreenVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(ScreenVertex, x)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(ScreenVertex, diffuse)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(ScreenVertex, specular)));
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, 1, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(ScreenVertex, fog)));
    glEnableVertexAttribArray(4);
    glVertexAttribPointer(4, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(ScreenVertex, tex)));
    glEnableVertexAttribArray(5);
    glVertexAttribPointer(5, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(ScreenVertex, tex) + 4 * sizeof(float)));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);  // flat shading takes the first vertex, as Direct3D does
    glEnable(GL_SCISSOR_TEST);
}

GLRasterizer::~GLRasterizer() {
    glDeleteBuffers(1, &vertexBuffer_);
    glDeleteVertexArrays(1, &vertexArray_);
}

GLRasterizer::Objects& GLRasterizer::ObjectsOf(SurfaceData& surface) {
    if (!surface.backendId) surface.backendId = reinterpret_cast<uintptr_t>(new Objects);
    return *reinterpret_cast<Objects*>(surface.backendId);
}

void GLRasterizer::Forget(SurfaceData& surface) {
    // A held-back batch that uses the surface goes out first, while its
    // pixels are still there: its GL objects are made only when it does.
    if (pending_) {
        bool used = batch_.target == &surface || batch_.depth == &surface;
        for (SurfaceData* t : batch_.textures) used = used || t == &surface;
        if (used) Flush();
    }
    if (!surface.backendId) return;
    Objects* objects = reinterpret_cast<Objects*>(surface.backendId);
    if (objects->texture) glDeleteTextures(1, &objects->texture);
    if (objects->framebuffer) glDeleteFramebuffers(1, &objects->framebuffer);
    if (objects->renderbuffer) glDeleteRenderbuffers(1, &objects->renderbuffer);
    delete objects;
    surface.backendId = 0;
}

// Creates the GL object on first use and sends the CPU bytes when newer.
void GLRasterizer::Upload(SurfaceData& surface) {
    Objects& objects = ObjectsOf(surface);
    if (surface.kind == SurfaceData::Kind::DepthStencil) {
        if (!objects.renderbuffer) {
            glGenRenderbuffers(1, &objects.renderbuffer);
            glBindRenderbuffer(GL_RENDERBUFFER, objects.renderbuffer);
            glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, surface.width, surface.height);
        }
        surface.gpuStale = false;
        return;
    }
    TextureFormat format;
    if (!LookUpFormat(surface.format, &format)) return;
    // Uploads go through a unit no stage samples, so they never disturb a
    // stage's binding.
    glActiveTexture(GL_TEXTURE0 + kUploadUnit);
    const bool create = objects.texture == 0;
    if (create) {
        glGenTextures(1, &objects.texture);
        glBindTexture(GL_TEXTURE_2D, objects.texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, format.swizzle);
        glTexImage2D(GL_TEXTURE_2D, 0, format.internal, surface.width, surface.height, 0, format.format,
                     format.type, surface.bytes.data());
    } else if (surface.gpuStale) {
        glBindTexture(GL_TEXTURE_2D, objects.texture);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, surface.width, surface.height, format.format, format.type,
                        surface.bytes.data());
    }
    surface.gpuStale = false;
    if (surface.IsTarget() && !objects.framebuffer) {
        glGenFramebuffers(1, &objects.framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, objects.framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, objects.texture, 0);
    }
}

void GLRasterizer::BindTarget(SurfaceData& target, SurfaceData* depth) {
    Upload(target);
    Objects& objects = ObjectsOf(target);
    glBindFramebuffer(GL_FRAMEBUFFER, objects.framebuffer);
    if (objects.attachedDepth != depth) {
        GLuint buffer = 0;
        if (depth) {
            Upload(*depth);
            buffer = ObjectsOf(*depth).renderbuffer;
        }
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffer);
        objects.attachedDepth = depth;
    }
    glViewport(0, 0, target.width, target.height);
}

void GLRasterizer::BindTexture(int unit, SurfaceData& level, const uint32_t sampler[5]) {
    Upload(level);
    Objects& objects = ObjectsOf(level);
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, objects.texture);
    if (std::memcmp(objects.sampler, sampler, sizeof objects.sampler) == 0) return;
    std::memcpy(objects.sampler, sampler, sizeof objects.sampler);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, AddressMode(sampler[0]));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, AddressMode(sampler[1]));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, Filter(sampler[2]));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, Filter(sampler[3]));
    float border[4];
    ColourToFloats(sampler[4], border);
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
}

void GLRasterizer::Draw(const RasterState& state, PrimitiveKind kind, const ScreenVertex* vertices, size_t count) {
    if (!state.target) return;
    BatchKey key;
    std::memset(static_cast<void*>(&key), 0, sizeof key);  // padding too: batches compare bytes
    const uint32_t* rs = state.renderStates;
    key.target = state.target;
    key.depth = state.depth;
    key.program = MakeProgramKey(state, kind);
    for (int i = 0; i < kMaxTextureStages; ++i) {
        if (!key.program.stages[i].textured) continue;
        const uint32_t* ts = state.stageStates[i];
        key.textures[i] = state.textures[i].level;
        const uint32_t sampler[5] = {ts[D3DTSS_ADDRESSU], ts[D3DTSS_ADDRESSV], ts[D3DTSS_MAGFILTER],
                                     ts[D3DTSS_MINFILTER], ts[D3DTSS_BORDERCOLOR]};
        std::memcpy(key.sampler[i], sampler, sizeof sampler);
    }
    key.kind = static_cast<uint32_t>(kind);
    key.fill = kind == PrimitiveKind::Triangles ? rs[D3DRS_FILLMODE] : D3DFILL_SOLID;
    key.zEnable = state.depth && rs[D3DRS_ZENABLE] ? 1 : 0;
    key.zWrite = rs[D3DRS_ZWRITEENABLE];
    key.zFunc = rs[D3DRS_ZFUNC];
    key.blend = rs[D3DRS_ALPHABLENDENABLE];
    key.srcBlend = rs[D3DRS_SRCBLEND];
    key.destBlend = rs[D3DRS_DESTBLEND];
    key.blendOp = rs[D3DRS_BLENDOP];
    key.colourWrite = rs[D3DRS_COLORWRITEENABLE];
    key.textureFactor = rs[D3DRS_TEXTUREFACTOR];
    key.fogColour = rs[D3DRS_FOGCOLOR];
    key.alphaRef = rs[D3DRS_ALPHAREF] & 0xFF;
    key.pointSize = rs[D3DRS_POINTSIZE];
    key.viewport = state.viewport;

    if (pending_ && std::memcmp(&key, &batch_, sizeof key) != 0) Flush();
    batch_ = key;
    pending_ = true;
    batchVertices_.insert(batchVertices_.end(), vertices, vertices + count);
}

void GLRasterizer::Flush() {
    if (!pending_) return;
    pending_ = false;
    if (!batchVertices_.empty()) ApplyAndDraw(batch_);
    batchVertices_.clear();
}

void GLRasterizer::ApplyAndDraw(const BatchKey& key) {
    const Program& program = programs_.Get(key.program);
    if (!program.id) return;
    // Textures first: making a texture's GL objects may bind its framebuffer.
    for (int i = 0; i < kMaxTextureStages; ++i) {
        if (key.textures[i]) BindTexture(i, *key.textures[i], key.sampler[i]);
    }
    BindTarget(*key.target, key.depth);
    const D3DVIEWPORT8& vp = key.viewport;
    glScissor(vp.X, vp.Y, vp.Width, vp.Height);
    glUseProgram(program.id);
    glUniform2f(program.targetSize, static_cast<float>(key.target->width), static_cast<float>(key.target->height));
    float factor[4], fog[4];
    ColourToFloats(key.textureFactor, factor);
    ColourToFloats(key.fogColour, fog);
    glUniform4fv(program.textureFactor, 1, factor);
    glUniform3fv(program.fogColour, 1, fog);
    glUniform1f(program.alphaRef, static_cast<float>(key.alphaRef));

    if (key.zEnable) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(DepthFunc(key.zFunc));
        glDepthMask(key.zWrite ? GL_TRUE : GL_FALSE);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    if (key.blend) {
        glEnable(GL_BLEND);
        GLenum src = BlendFactor(key.srcBlend), dst = BlendFactor(key.destBlend);
        if (key.srcBlend == D3DBLEND_BOTHSRCALPHA) dst = GL_ONE_MINUS_SRC_ALPHA;
        if (key.srcBlend == D3DBLEND_BOTHINVSRCALPHA) dst = GL_SRC_ALPHA;
        glBlendFunc(src, dst);
        glBlendEquation(BlendEquation(key.blendOp));
    } else {
        glDisable(GL_BLEND);
    }
    glColorMask(key.colourWrite & 1, (key.colourWrite >> 1) & 1, (key.colourWrite >> 2) & 1,
                (key.colourWrite >> 3) & 1);
    glPolygonMode(GL_FRONT_AND_BACK, key.fill == D3DFILL_POINT       ? GL_POINT
                                     : key.fill == D3DFILL_WIREFRAME ? GL_LINE
                                                                     : GL_FILL);
    glPointSize(std::clamp(BitsToFloat(key.pointSize), 1.0f, 64.0f));

    glBindVertexArray(vertexArray_);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER, batchVertices_.size() * sizeof(ScreenVertex), batchVertices_.data(), GL_STREAM_DRAW);
    const GLenum mode = key.kind == static_cast<uint32_t>(PrimitiveKind::Points) ? GL_POINTS
                        : key.kind == static_cast<uint32_t>(PrimitiveKind::Lines) ? GL_LINES
                                                                                  : GL_TRIANGLES;
    glDrawArrays(mode, 0, static_cast<GLsizei>(batchVertices_.size()));
    key.target->cpuStale = true;
}

void GLRasterizer::Clear(const RasterState& state, uint32_t flags, uint32_t colour, float z) {
    Flush();
    if (!state.target) return;
    BindTarget(*state.target, state.depth);
    const D3DVIEWPORT8& vp = state.viewport;
    glScissor(vp.X, vp.Y, vp.Width, vp.Height);
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        float c[4];
        ColourToFloats(colour, c);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(c[0], c[1], c[2], c[3]);
        mask |= GL_COLOR_BUFFER_BIT;
        state.target->cpuStale = true;
    }
    if ((flags & D3DCLEAR_ZBUFFER) && state.depth) {
        glDepthMask(GL_TRUE);
        glClearDepth(z);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (mask) glClear(mask);
}

void GLRasterizer::Download(SurfaceData& surface) {
    Flush();
    surface.cpuStale = false;
    if (!surface.backendId || surface.kind == SurfaceData::Kind::DepthStencil) return;
    const Objects& objects = ObjectsOf(surface);
    if (!objects.framebuffer) return;
    // glReadPixels alone should wait for the drawing into the surface, but
    // Mesa's llvmpipe (22.3) returns a picture a few frames old when the read
    // follows presents its rasteriser threads have not caught up with.
    glFinish();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, objects.framebuffer);
    glReadPixels(0, 0, surface.width, surface.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, surface.bytes.data());
}

bool GLRasterizer::CopyRect(SurfaceData& source, const RECT& rect, SurfaceData& destination, const POINT& point) {
    const bool colourTargets = source.IsTarget() && destination.IsTarget() &&
                               source.kind != SurfaceData::Kind::DepthStencil &&
                               destination.kind != SurfaceData::Kind::DepthStencil;
    if (!colourTargets || source.gpuStale || destination.gpuStale) return false;
    Flush();
    Upload(source);
    Upload(destination);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, ObjectsOf(source).framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, ObjectsOf(destination).framebuffer);
    glDisable(GL_SCISSOR_TEST);
    const GLint w = rect.right - rect.left, h = rect.bottom - rect.top;
    glBlitFramebuffer(rect.left, rect.top, rect.right, rect.bottom, point.x, point.y, point.x + w, point.y + h,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glEnable(GL_SCISSOR_TEST);
    destination.cpuStale = true;
    return true;
}

void GLRasterizer::Present(SurfaceData& backBuffer) {
    Flush();
    Upload(backBuffer);
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(context_->window, &width, &height);
    const platform::PictureArea area = platform::FitPicture(width, height, backBuffer.width, backBuffer.height);
    const int x = area.x, y = area.y, w = area.width, h = area.height;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, ObjectsOf(backBuffer).framebuffer);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // The back buffer's first row is the top of the picture: flip on the way out.
    glBlitFramebuffer(0, 0, backBuffer.width, backBuffer.height, x, y + h, x + w, y, GL_COLOR_BUFFER_BIT,
                      w == static_cast<int>(backBuffer.width) ? GL_NEAREST : GL_LINEAR);
    glEnable(GL_SCISSOR_TEST);
    SDL_GL_SwapWindow(context_->window);
}

}  // namespace gpu
