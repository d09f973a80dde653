#define GL_GLEXT_PROTOTYPES 1
#include "platform/gl/gl_programs.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace gpu {

namespace {

// A stage argument as a vec4 expression.
std::string Argument(uint32_t arg, int stage) {
    std::string base;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: base = "diffuse"; break;
    case D3DTA_CURRENT: base = stage == 0 ? "diffuse" : "current"; break;
    case D3DTA_TEXTURE: base = "t"; break;
    case D3DTA_TFACTOR: base = "u_textureFactor"; break;
    case D3DTA_SPECULAR: base = "specular"; break;
    case D3DTA_TEMP: base = "temp"; break;
    default: base = "vec4(0.0)"; break;
    }
    if (arg & D3DTA_ALPHAREPLICATE) base = "vec4((" + base + ").a)";
    if (arg & D3DTA_COMPLEMENT) base = "(vec4(1.0) - " + base + ")";
    return base;
}

// One combiner operation on the arguments a1, a2, a0 (vec4); `c` picks the
// channels (".rgb" or ".a"). Unknown and bump-mapping operations select arg 1.
std::string Operation(uint32_t op, const std::string& c, int stage) {
    const std::string x = "a1" + c, y = "a2" + c, z = "a0" + c;
    const std::string current = stage == 0 ? "diffuse" : "current";
    switch (op) {
    case D3DTOP_SELECTARG2: return y;
    case D3DTOP_MODULATE: return x + " * " + y;
    case D3DTOP_MODULATE2X: return x + " * " + y + " * 2.0";
    case D3DTOP_MODULATE4X: return x + " * " + y + " * 4.0";
    case D3DTOP_ADD: return x + " + " + y;
    case D3DTOP_ADDSIGNED: return x + " + " + y + " - 0.5";
    case D3DTOP_ADDSIGNED2X: return "(" + x + " + " + y + " - 0.5) * 2.0";
    case D3DTOP_SUBTRACT: return x + " - " + y;
    case D3DTOP_ADDSMOOTH: return x + " + " + y + " - " + x + " * " + y;
    case D3DTOP_BLENDDIFFUSEALPHA: return "mix(" + y + ", " + x + ", diffuse.a)";
    case D3DTOP_BLENDTEXTUREALPHA: return "mix(" + y + ", " + x + ", t.a)";
    case D3DTOP_BLENDFACTORALPHA: return "mix(" + y + ", " + x + ", u_textureFactor.a)";
    case D3DTOP_BLENDTEXTUREALPHAPM: return x + " + " + y + " * (1.0 - t.a)";
    case D3DTOP_BLENDCURRENTALPHA: return "mix(" + y + ", " + x + ", " + current + ".a)";
    case D3DTOP_MODULATEALPHA_ADDCOLOR: return c == ".a" ? x : "a1.rgb + a1.a * a2.rgb";
    case D3DTOP_MODULATECOLOR_ADDALPHA: return c == ".a" ? x : "a1.rgb * a2.rgb + a1.a";
    case D3DTOP_MODULATEINVALPHA_ADDCOLOR: return c == ".a" ? x : "(1.0 - a1.a) * a2.rgb + a1.rgb";
    case D3DTOP_MODULATEINVCOLOR_ADDALPHA: return c == ".a" ? x : "(vec3(1.0) - a1.rgb) * a2.rgb + a1.a";
    case D3DTOP_DOTPRODUCT3: {
        const std::string dot = "4.0 * dot(a1.rgb - 0.5, a2.rgb - 0.5)";
        return c == ".a" ? dot : "vec3(" + dot + ")";
    }
    case D3DTOP_MULTIPLYADD: return z + " + " + x + " * " + y;
    case D3DTOP_LERP: return "mix(" + y + ", " + x + ", " + z + ")";
    default: return x;
    }
}

const char* Comparison(uint32_t func) {
    switch (func) {
    case D3DCMP_NEVER: return "false";
    case D3DCMP_LESS: return "a8 < u_alphaRef";
    case D3DCMP_EQUAL: return "a8 == u_alphaRef";
    case D3DCMP_LESSEQUAL: return "a8 <= u_alphaRef";
    case D3DCMP_GREATER: return "a8 > u_alphaRef";
    case D3DCMP_NOTEQUAL: return "a8 != u_alphaRef";
    case D3DCMP_GREATEREQUAL: return "a8 >= u_alphaRef";
    default: return "true";
    }
}

std::string Varyings(const ProgramKey& key, const char* direction) {
    const std::string interpolation = key.flat ? "flat " : "";
    std::string s;
    s += interpolation + direction + " vec4 v_diffuse;\n";
    s += interpolation + direction + " vec4 v_specular;\n";
    s += std::string(direction) + " float v_fog;\n";
    s += std::string(direction) + " vec2 v_tex[" + std::to_string(kMaxTextureStages) + "];\n";
    return s;
}

GLuint Compile(GLenum type, const std::string& source) {
    const GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "gl: shader compile failed: %s\n", log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

}  // namespace

bool ProgramKey::operator<(const ProgramKey& other) const {
    return std::memcmp(this, &other, sizeof *this) < 0;
}

std::string VertexSource(const ProgramKey& key) {
    return "#version 330 core\n"
           "layout(location = 0) in vec4 a_position;\n"
           "layout(location = 1) in vec4 a_diffuse;\n"
           "layout(location = 2) in vec4 a_specular;\n"
           "layout(location = 3) in float a_fog;\n"
           "layout(location = 4) in vec4 a_tex01;\n"
           "layout(location = 5) in vec4 a_tex23;\n"
           "uniform vec2 u_targetSize;\n" +
           Varyings(key, "out") +
           "void main() {\n"
           // Direct3D puts pixel centres on integer coordinates; rows of the
           // target are stored top row first, so no flip is needed here.
           "  float w = a_position.w > 0.0 ? 1.0 / a_position.w : 1.0;\n"
           "  vec2 ndc = (a_position.xy + 0.5) / u_targetSize * 2.0 - 1.0;\n"
           "  gl_Position = vec4(ndc * w, (a_position.z * 2.0 - 1.0) * w, w);\n"
           "  v_diffuse = a_diffuse;\n"
           "  v_specular = a_specular;\n"
           "  v_fog = a_fog;\n"
           "  v_tex[0] = a_tex01.xy; v_tex[1] = a_tex01.zw; v_tex[2] = a_tex23.xy; v_tex[3] = a_tex23.zw;\n"
           "}\n";
}

std::string FragmentSource(const ProgramKey& key) {
    std::string s = "#version 330 core\n" + Varyings(key, "in") +
                    "uniform sampler2D u_texture[" + std::to_string(kMaxTextureStages) + "];\n"
                    "uniform vec4 u_textureFactor;\n"
                    "uniform vec3 u_fogColour;\n"
                    "uniform float u_alphaRef;\n"
                    "out vec4 o_colour;\n"
                    "void main() {\n"
                    "  vec4 diffuse = v_diffuse, specular = v_specular;\n"
                    "  vec4 current = diffuse, temp = vec4(0.0), t, a0, a1, a2;\n";
    for (int i = 0; i < kMaxTextureStages; ++i) {
        const ProgramKey::Stage& st = key.stages[i];
        if (st.colourOp == 0 || st.colourOp == D3DTOP_DISABLE) break;
        const std::string n = std::to_string(i);
        // An empty stage samples as opaque white.
        s += "  t = " + (st.textured ? "texture(u_texture[" + n + "], v_tex[" + n + "])" : std::string("vec4(1.0)")) + ";\n";
        s += "  a1 = " + Argument(st.colourArg[0], i) + "; a2 = " + Argument(st.colourArg[1], i) +
             "; a0 = " + Argument(st.colourArg[2], i) + ";\n";
        s += "  vec3 c" + n + " = " + Operation(st.colourOp, ".rgb", i) + ";\n";
        if (st.alphaOp == D3DTOP_DISABLE) {
            s += "  float s" + n + " = " + (i == 0 ? "diffuse.a" : "current.a") + ";\n";
        } else {
            s += "  a1 = " + Argument(st.alphaArg[0], i) + "; a2 = " + Argument(st.alphaArg[1], i) +
                 "; a0 = " + Argument(st.alphaArg[2], i) + ";\n";
            s += "  float s" + n + " = " + Operation(st.alphaOp, ".a", i) + ";\n";
        }
        const char* result = st.resultArg == D3DTA_TEMP ? "temp" : "current";
        s += std::string("  ") + result + " = clamp(vec4(c" + n + ", s" + n + "), 0.0, 1.0);\n";
    }
    if (key.specular) s += "  current.rgb = clamp(current.rgb + specular.rgb, 0.0, 1.0);\n";
    if (key.fog) s += "  current.rgb = mix(u_fogColour, current.rgb, clamp(v_fog, 0.0, 1.0));\n";
    if (key.alphaFunc != D3DCMP_ALWAYS) {
        s += "  float a8 = floor(current.a * 255.0 + 0.5);\n";
        s += std::string("  if (!(") + Comparison(key.alphaFunc) + ")) discard;\n";
    }
    s += "  o_colour = current;\n}\n";
    return s;
}

ProgramCache::~ProgramCache() {
    for (auto& [key, program] : programs_) {
        if (program.id) glDeleteProgram(program.id);
    }
}

const Program& ProgramCache::Get(const ProgramKey& key) {
    auto found = programs_.find(key);
    if (found != programs_.end()) return found->second;
    Program& program = programs_[key];
    const GLuint vs = Compile(GL_VERTEX_SHADER, VertexSource(key));
    const GLuint fs = Compile(GL_FRAGMENT_SHADER, FragmentSource(key));
    if (vs && fs) {
        program.id = glCreateProgram();
        glAttachShader(program.id, vs);
        glAttachShader(program.id, fs);
        glLinkProgram(program.id);
        GLint ok = 0;
        glGetProgramiv(program.id, GL_LINK_STATUS, &ok);
        if (!ok) {
            std::fprintf(stderr, "gl: program link failed\n");
            glDeleteProgram(program.id);
            program.id = 0;
        }
    }
    if (vs) glDeleteShader(vs);
    if (fs) glDeleteShader(fs);
    if (!program.id) return program;
    program.targetSize = glGetUniformLocation(program.id, "u_targetSize");
    program.textureFactor = glGetUniformLocation(program.id, "u_textureFactor");
    program.fogColour = glGetUniformLocation(program.id, "u_fogColour");
    program.alphaRef = glGetUniformLocation(program.id, "u_alphaRef");
    glUseProgram(program.id);
    for (int i = 0; i < kMaxTextureStages; ++i) {
        const std::string name = "u_texture[" + std::to_string(i) + "]";
        glUniform1i(glGetUniformLocation(program.id, name.c_str()), i);
    }
    return program;
}

}  // namespace gpu
