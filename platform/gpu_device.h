#pragma once
// The graphics device of the engine, shaped after Direct3D 8: the engine sets
// render and texture-stage states by their raw Direct3D numbers, keeps
// Direct3D's row-vector matrices, left-handed view and pixel-centre rules, and
// sees device loss and Reset as Direct3D reports them. Vertex processing runs
// on the CPU (platform/d3d); a backend only rasterises screen-space vertices.
#include <cstdint>
#include <cstring>

namespace gpu {

using HRESULT = int32_t;

constexpr HRESULT D3D_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT MakeD3DError(uint32_t code) { return static_cast<HRESULT>(0x88760000u | code); }
constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = MakeD3DError(2072);
constexpr HRESULT D3DERR_UNSUPPORTEDCOLOROPERATION = MakeD3DError(2073);
constexpr HRESULT D3DERR_UNSUPPORTEDCOLORARG = MakeD3DError(2074);
constexpr HRESULT D3DERR_UNSUPPORTEDALPHAOPERATION = MakeD3DError(2075);
constexpr HRESULT D3DERR_UNSUPPORTEDALPHAARG = MakeD3DError(2076);
constexpr HRESULT D3DERR_TOOMANYOPERATIONS = MakeD3DError(2077);
constexpr HRESULT D3DERR_CONFLICTINGTEXTUREFILTER = MakeD3DError(2078);
constexpr HRESULT D3DERR_UNSUPPORTEDFACTORVALUE = MakeD3DError(2079);
constexpr HRESULT D3DERR_CONFLICTINGRENDERSTATE = MakeD3DError(2081);
constexpr HRESULT D3DERR_UNSUPPORTEDTEXTUREFILTER = MakeD3DError(2082);
constexpr HRESULT D3DERR_CONFLICTINGTEXTUREPALETTE = MakeD3DError(2086);
constexpr HRESULT D3DERR_DRIVERINTERNALERROR = MakeD3DError(2087);
constexpr HRESULT D3DERR_NOTFOUND = MakeD3DError(2150);
constexpr HRESULT D3DERR_MOREDATA = MakeD3DError(2151);
constexpr HRESULT D3DERR_DEVICELOST = MakeD3DError(2152);
constexpr HRESULT D3DERR_DEVICENOTRESET = MakeD3DError(2153);
constexpr HRESULT D3DERR_NOTAVAILABLE = MakeD3DError(2154);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = MakeD3DError(380);
constexpr HRESULT D3DERR_INVALIDDEVICE = MakeD3DError(2155);
constexpr HRESULT D3DERR_INVALIDCALL = MakeD3DError(2156);
constexpr HRESULT D3DXERR_CANNOTMODIFYINDEXBUFFER = MakeD3DError(2900);
constexpr HRESULT D3DXERR_INVALIDMESH = MakeD3DError(2901);
constexpr HRESULT D3DXERR_CANNOTATTRSORT = MakeD3DError(2902);
constexpr HRESULT D3DXERR_SKINNINGNOTSUPPORTED = MakeD3DError(2903);
constexpr HRESULT D3DXERR_TOOMANYINFLUENCES = MakeD3DError(2904);
constexpr HRESULT D3DXERR_INVALIDDATA = MakeD3DError(2905);
constexpr bool Failed(HRESULT hr) { return hr < 0; }

// Render states that hold a float (FOGSTART, FOGEND, POINTSIZE, ...) take
// its bits.
inline uint32_t FloatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}
inline float BitsToFloat(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Pixel and buffer formats, with Direct3D 8's numbers.
enum D3DFORMAT : uint32_t {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20, D3DFMT_A8R8G8B8 = 21, D3DFMT_X8R8G8B8 = 22, D3DFMT_R5G6B5 = 23,
    D3DFMT_X1R5G5B5 = 24, D3DFMT_A1R5G5B5 = 25, D3DFMT_A4R4G4B4 = 26, D3DFMT_R3G3B2 = 27,
    D3DFMT_A8 = 28, D3DFMT_A8R3G3B2 = 29, D3DFMT_X4R4G4B4 = 30,
    D3DFMT_A8P8 = 40, D3DFMT_P8 = 41, D3DFMT_L8 = 50, D3DFMT_A8L8 = 51, D3DFMT_A4L4 = 52,
    D3DFMT_V8U8 = 60, D3DFMT_L6V5U5 = 61, D3DFMT_X8L8V8U8 = 62, D3DFMT_Q8W8V8U8 = 63,
    D3DFMT_V16U16 = 64, D3DFMT_W11V11U10 = 65,
    D3DFMT_UYVY = 0x59565955, D3DFMT_YUY2 = 0x32595559,
    D3DFMT_DXT1 = 0x31545844, D3DFMT_DXT2 = 0x32545844, D3DFMT_DXT3 = 0x33545844,
    D3DFMT_DXT4 = 0x34545844, D3DFMT_DXT5 = 0x35545844,
    D3DFMT_D16_LOCKABLE = 70, D3DFMT_D32 = 71, D3DFMT_D15S1 = 73, D3DFMT_D24S8 = 75,
    D3DFMT_D16 = 80, D3DFMT_D24X8 = 77, D3DFMT_D24X4S4 = 79,
    D3DFMT_VERTEXDATA = 100, D3DFMT_INDEX16 = 101, D3DFMT_INDEX32 = 102,
};

enum D3DPOOL : uint32_t { D3DPOOL_DEFAULT = 0, D3DPOOL_MANAGED = 1, D3DPOOL_SYSTEMMEM = 2, D3DPOOL_SCRATCH = 3 };
enum D3DDEVTYPE : uint32_t { D3DDEVTYPE_HAL = 1, D3DDEVTYPE_REF = 2, D3DDEVTYPE_SW = 3 };
enum D3DPRIMITIVETYPE : uint32_t {
    D3DPT_POINTLIST = 1, D3DPT_LINELIST = 2, D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4, D3DPT_TRIANGLESTRIP = 5, D3DPT_TRIANGLEFAN = 6,
};
enum D3DTRANSFORMSTATETYPE : uint32_t {
    D3DTS_VIEW = 2, D3DTS_PROJECTION = 3, D3DTS_TEXTURE0 = 16, D3DTS_WORLD = 256,
};

constexpr uint32_t D3DUSAGE_RENDERTARGET = 0x1, D3DUSAGE_DEPTHSTENCIL = 0x2;
constexpr uint32_t D3DUSAGE_WRITEONLY = 0x8, D3DUSAGE_SOFTWAREPROCESSING = 0x10;
constexpr uint32_t D3DCREATE_MULTITHREADED = 0x4, D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr uint32_t D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40, D3DCREATE_PUREDEVICE = 0x10;
constexpr uint32_t D3DCLEAR_TARGET = 0x1, D3DCLEAR_ZBUFFER = 0x2, D3DCLEAR_STENCIL = 0x4;
constexpr uint32_t D3DSWAPEFFECT_DISCARD = 1, D3DSWAPEFFECT_FLIP = 2, D3DSWAPEFFECT_COPY = 3;
constexpr uint32_t D3DSWAPEFFECT_COPY_VSYNC = 4;
constexpr uint32_t D3DPRESENTFLAG_LOCKABLE_BACKBUFFER = 0x1;
constexpr uint32_t D3DENUM_NO_WHQL_LEVEL = 0x2;
constexpr uint32_t D3D_SDK_VERSION = 220;

// Capability bits the engine reads.
constexpr uint32_t D3DDEVCAPS_HWTRANSFORMANDLIGHT = 0x10000, D3DDEVCAPS_HWRASTERIZATION = 0x80000;
constexpr uint32_t D3DDEVCAPS_PUREDEVICE = 0x100000;
constexpr uint32_t D3DPRASTERCAPS_WBUFFER = 0x40000, D3DPRASTERCAPS_ANISOTROPY = 0x20000;
constexpr uint32_t D3DPMISCCAPS_BLENDOP = 0x800;
constexpr uint32_t D3DPTEXTURECAPS_POW2 = 0x2, D3DPTEXTURECAPS_SQUAREONLY = 0x20;
constexpr uint32_t D3DPTEXTURECAPS_MIPMAP = 0x4000, D3DPTEXTURECAPS_VOLUMEMAP = 0x2000;
constexpr uint32_t D3DPTEXTURECAPS_CUBEMAP = 0x800;

// Flexible vertex format bits.
constexpr uint32_t D3DFVF_XYZ = 0x2, D3DFVF_XYZRHW = 0x4, D3DFVF_XYZB1 = 0x6, D3DFVF_XYZB5 = 0xE;
constexpr uint32_t D3DFVF_POSITION_MASK = 0xE, D3DFVF_NORMAL = 0x10, D3DFVF_PSIZE = 0x20;
constexpr uint32_t D3DFVF_DIFFUSE = 0x40, D3DFVF_SPECULAR = 0x80;
constexpr uint32_t D3DFVF_TEXCOUNT_MASK = 0xF00, D3DFVF_TEXCOUNT_SHIFT = 8;
constexpr uint32_t D3DFVF_LASTBETA_UBYTE4 = 0x1000;
constexpr uint32_t D3DFVF_TEX1 = 0x100, D3DFVF_TEX2 = 0x200;

// Render states (D3DRENDERSTATETYPE) and their values.
enum D3DRENDERSTATETYPE : uint32_t {
    D3DRS_ZENABLE = 7, D3DRS_FILLMODE = 8, D3DRS_SHADEMODE = 9, D3DRS_LINEPATTERN = 10,
    D3DRS_ZWRITEENABLE = 14, D3DRS_ALPHATESTENABLE = 15, D3DRS_LASTPIXEL = 16,
    D3DRS_SRCBLEND = 19, D3DRS_DESTBLEND = 20, D3DRS_CULLMODE = 22, D3DRS_ZFUNC = 23,
    D3DRS_ALPHAREF = 24, D3DRS_ALPHAFUNC = 25, D3DRS_DITHERENABLE = 26,
    D3DRS_ALPHABLENDENABLE = 27, D3DRS_FOGENABLE = 28, D3DRS_SPECULARENABLE = 29,
    D3DRS_ZVISIBLE = 30, D3DRS_FOGCOLOR = 34, D3DRS_FOGTABLEMODE = 35, D3DRS_FOGSTART = 36,
    D3DRS_FOGEND = 37, D3DRS_FOGDENSITY = 38, D3DRS_EDGEANTIALIAS = 40, D3DRS_ZBIAS = 47,
    D3DRS_RANGEFOGENABLE = 48, D3DRS_STENCILENABLE = 52, D3DRS_STENCILFAIL = 53,
    D3DRS_STENCILZFAIL = 54, D3DRS_STENCILPASS = 55, D3DRS_STENCILFUNC = 56,
    D3DRS_STENCILREF = 57, D3DRS_STENCILMASK = 58, D3DRS_STENCILWRITEMASK = 59,
    D3DRS_TEXTUREFACTOR = 60, D3DRS_WRAP0 = 128, D3DRS_CLIPPING = 136, D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139, D3DRS_FOGVERTEXMODE = 140, D3DRS_COLORVERTEX = 141,
    D3DRS_LOCALVIEWER = 142, D3DRS_NORMALIZENORMALS = 143,
    D3DRS_DIFFUSEMATERIALSOURCE = 145, D3DRS_SPECULARMATERIALSOURCE = 146,
    D3DRS_AMBIENTMATERIALSOURCE = 147, D3DRS_EMISSIVEMATERIALSOURCE = 148,
    D3DRS_VERTEXBLEND = 151, D3DRS_CLIPPLANEENABLE = 152, D3DRS_SOFTWAREVERTEXPROCESSING = 153,
    D3DRS_POINTSIZE = 154, D3DRS_POINTSIZE_MIN = 155, D3DRS_POINTSPRITEENABLE = 156,
    D3DRS_POINTSCALEENABLE = 157, D3DRS_POINTSCALE_A = 158, D3DRS_POINTSCALE_B = 159,
    D3DRS_POINTSCALE_C = 160, D3DRS_MULTISAMPLEANTIALIAS = 161, D3DRS_MULTISAMPLEMASK = 162,
    D3DRS_POINTSIZE_MAX = 166, D3DRS_INDEXEDVERTEXBLENDENABLE = 167,
    D3DRS_COLORWRITEENABLE = 168, D3DRS_TWEENFACTOR = 170, D3DRS_BLENDOP = 171,
};
enum : uint32_t { D3DFILL_POINT = 1, D3DFILL_WIREFRAME = 2, D3DFILL_SOLID = 3 };
enum : uint32_t { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2 };
enum : uint32_t { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum : uint32_t {
    D3DCMP_NEVER = 1, D3DCMP_LESS, D3DCMP_EQUAL, D3DCMP_LESSEQUAL, D3DCMP_GREATER,
    D3DCMP_NOTEQUAL, D3DCMP_GREATEREQUAL, D3DCMP_ALWAYS,
};
enum : uint32_t {
    D3DBLEND_ZERO = 1, D3DBLEND_ONE, D3DBLEND_SRCCOLOR, D3DBLEND_INVSRCCOLOR, D3DBLEND_SRCALPHA,
    D3DBLEND_INVSRCALPHA, D3DBLEND_DESTALPHA, D3DBLEND_INVDESTALPHA, D3DBLEND_DESTCOLOR,
    D3DBLEND_INVDESTCOLOR, D3DBLEND_SRCALPHASAT, D3DBLEND_BOTHSRCALPHA, D3DBLEND_BOTHINVSRCALPHA,
};
enum : uint32_t {
    D3DBLENDOP_ADD = 1, D3DBLENDOP_SUBTRACT, D3DBLENDOP_REVSUBTRACT, D3DBLENDOP_MIN, D3DBLENDOP_MAX,
};
enum : uint32_t { D3DFOG_NONE = 0, D3DFOG_EXP = 1, D3DFOG_EXP2 = 2, D3DFOG_LINEAR = 3 };
enum : uint32_t { D3DMCS_MATERIAL = 0, D3DMCS_COLOR1 = 1, D3DMCS_COLOR2 = 2 };

// Texture-stage states (D3DTEXTURESTAGESTATETYPE) and their values.
enum D3DTEXTURESTAGESTATETYPE : uint32_t {
    D3DTSS_COLOROP = 1, D3DTSS_COLORARG1 = 2, D3DTSS_COLORARG2 = 3, D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5, D3DTSS_ALPHAARG2 = 6, D3DTSS_TEXCOORDINDEX = 11,
    D3DTSS_ADDRESSU = 13, D3DTSS_ADDRESSV = 14, D3DTSS_BORDERCOLOR = 15,
    D3DTSS_MAGFILTER = 16, D3DTSS_MINFILTER = 17, D3DTSS_MIPFILTER = 18,
    D3DTSS_MIPMAPLODBIAS = 19, D3DTSS_MAXMIPLEVEL = 20, D3DTSS_MAXANISOTROPY = 21,
    D3DTSS_TEXTURETRANSFORMFLAGS = 24, D3DTSS_ADDRESSW = 25, D3DTSS_COLORARG0 = 26,
    D3DTSS_ALPHAARG0 = 27, D3DTSS_RESULTARG = 28,
};
enum : uint32_t {
    D3DTOP_DISABLE = 1, D3DTOP_SELECTARG1, D3DTOP_SELECTARG2, D3DTOP_MODULATE,
    D3DTOP_MODULATE2X, D3DTOP_MODULATE4X, D3DTOP_ADD, D3DTOP_ADDSIGNED, D3DTOP_ADDSIGNED2X,
    D3DTOP_SUBTRACT, D3DTOP_ADDSMOOTH, D3DTOP_BLENDDIFFUSEALPHA, D3DTOP_BLENDTEXTUREALPHA,
    D3DTOP_BLENDFACTORALPHA, D3DTOP_BLENDTEXTUREALPHAPM, D3DTOP_BLENDCURRENTALPHA,
    D3DTOP_PREMODULATE, D3DTOP_MODULATEALPHA_ADDCOLOR, D3DTOP_MODULATECOLOR_ADDALPHA,
    D3DTOP_MODULATEINVALPHA_ADDCOLOR, D3DTOP_MODULATEINVCOLOR_ADDALPHA, D3DTOP_BUMPENVMAP,
    D3DTOP_BUMPENVMAPLUMINANCE, D3DTOP_DOTPRODUCT3, D3DTOP_MULTIPLYADD, D3DTOP_LERP,
};
enum : uint32_t {
    D3DTA_DIFFUSE = 0, D3DTA_CURRENT = 1, D3DTA_TEXTURE = 2, D3DTA_TFACTOR = 3,
    D3DTA_SPECULAR = 4, D3DTA_TEMP = 5, D3DTA_SELECTMASK = 0xF,
    D3DTA_COMPLEMENT = 0x10, D3DTA_ALPHAREPLICATE = 0x20,
};
enum : uint32_t {
    D3DTADDRESS_WRAP = 1, D3DTADDRESS_MIRROR, D3DTADDRESS_CLAMP, D3DTADDRESS_BORDER,
    D3DTADDRESS_MIRRORONCE,
};
enum : uint32_t { D3DTEXF_NONE = 0, D3DTEXF_POINT, D3DTEXF_LINEAR, D3DTEXF_ANISOTROPIC };

constexpr int kMaxTextureStages = 4;   // stages the engine and its caches use
constexpr int kMaxLights = 8;
constexpr int kVertexShaderConstants = 96;

struct D3DCOLORVALUE { float r, g, b, a; };
struct D3DVECTOR { float x, y, z; };
// A 4x4 matrix in Direct3D's row-vector layout: m[row * 4 + column], the
// translation in m[12..14].
struct D3DMATRIX { float m[16]; };

enum : uint32_t { D3DLIGHT_POINT = 1, D3DLIGHT_SPOT = 2, D3DLIGHT_DIRECTIONAL = 3 };
struct D3DLIGHT8 {
    uint32_t Type;
    D3DCOLORVALUE Diffuse, Specular, Ambient;
    D3DVECTOR Position, Direction;
    float Range, Falloff, Attenuation0, Attenuation1, Attenuation2, Theta, Phi;
};
struct D3DMATERIAL8 {
    D3DCOLORVALUE Diffuse, Ambient, Specular, Emissive;
    float Power;
};
struct D3DVIEWPORT8 { uint32_t X, Y, Width, Height; float MinZ, MaxZ; };
struct RECT { int32_t left, top, right, bottom; };
struct POINT { int32_t x, y; };
struct D3DLOCKED_RECT { int32_t Pitch; void* pBits; };
struct D3DSURFACE_DESC {
    D3DFORMAT Format;
    uint32_t Usage;
    D3DPOOL Pool;
    uint32_t Size, Width, Height;
};
struct D3DDISPLAYMODE { uint32_t Width, Height, RefreshRate; D3DFORMAT Format; };
struct D3DPRESENT_PARAMETERS {
    uint32_t BackBufferWidth, BackBufferHeight;
    D3DFORMAT BackBufferFormat;
    uint32_t BackBufferCount, MultiSampleType, SwapEffect;
    void* hDeviceWindow;
    int32_t Windowed, EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    uint32_t Flags, FullScreen_RefreshRateInHz, FullScreen_PresentationInterval;
};
// What a windowed program asks for: one back buffer in the desktop's 32-bit
// format, kept across presents, lockable, no automatic depth buffer.
inline D3DPRESENT_PARAMETERS WindowedPresentParameters(uint32_t width, uint32_t height, void* window) {
    return {width, height, D3DFMT_X8R8G8B8, 1, 0, D3DSWAPEFFECT_COPY, window, 1, 0, D3DFMT_D16,
            D3DPRESENTFLAG_LOCKABLE_BACKBUFFER, 0, 0};
}

struct D3DADAPTER_IDENTIFIER8 {
    char Driver[512];
    char Description[512];
    uint32_t DriverVersionLowPart, DriverVersionHighPart;
    uint32_t VendorId, DeviceId, SubSysId, Revision;
    uint8_t DeviceIdentifier[16];
    uint32_t WHQLLevel;
};
struct D3DCAPS8 {
    D3DDEVTYPE DeviceType;
    uint32_t DevCaps, PrimitiveMiscCaps, RasterCaps, TextureCaps;
    uint32_t MaxTextureWidth, MaxTextureHeight, MaxTextureBlendStages, MaxSimultaneousTextures;
    uint32_t MaxActiveLights, MaxPrimitiveCount, MaxVertexIndex;
    float MaxPointSize;
    uint32_t VertexShaderVersion, MaxVertexShaderConst, PixelShaderVersion;
    uint32_t MaxVertexBlendMatrixIndex;
};

// Vertex shader declarations: D3DVSD_STREAM(n), D3DVSD_REG(register, type), D3DVSD_END().
enum : uint32_t {
    D3DVSDT_FLOAT1 = 0, D3DVSDT_FLOAT2, D3DVSDT_FLOAT3, D3DVSDT_FLOAT4, D3DVSDT_D3DCOLOR,
    D3DVSDT_UBYTE4, D3DVSDT_SHORT2, D3DVSDT_SHORT4,
};
constexpr uint32_t D3DVSD_STREAM(uint32_t stream) { return (1u << 29) | stream; }
constexpr uint32_t D3DVSD_REG(uint32_t reg, uint32_t type) { return (2u << 29) | (type << 16) | reg; }
constexpr uint32_t D3DVSD_END() { return 0xFFFFFFFFu; }
// A handle from CreateVertexShader has bit 0 set; a vertex format code never has.
constexpr bool IsShaderHandle(uint32_t handle) { return (handle & 1u) != 0; }

// ---------------------------------------------------------------------------
// Reference-counted objects: Release returns the count left and deletes the
// object at 0, as COM does.
class Unknown {
public:
    virtual ~Unknown() = default;
    uint32_t AddRef() { return ++refCount_; }
    uint32_t Release() {
        const uint32_t left = --refCount_;
        if (left == 0) delete this;
        return left;
    }

private:
    uint32_t refCount_ = 1;
};

class Surface : public Unknown {
public:
    virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
    // Whole surface when rect is null. Rows are top row first.
    virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, uint32_t flags) = 0;
    virtual HRESULT UnlockRect() = 0;
};

class Texture : public Unknown {
public:
    virtual uint32_t GetLevelCount() = 0;
    virtual HRESULT GetLevelDesc(uint32_t level, D3DSURFACE_DESC* desc) = 0;
    virtual HRESULT GetSurfaceLevel(uint32_t level, Surface** surface) = 0;
    virtual HRESULT LockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect, uint32_t flags) = 0;
    virtual HRESULT UnlockRect(uint32_t level) = 0;
    virtual HRESULT AddDirtyRect(const RECT* rect) = 0;
};

class VertexBuffer : public Unknown {
public:
    virtual HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) = 0;
    virtual HRESULT Unlock() = 0;
};

class IndexBuffer : public Unknown {
public:
    virtual HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) = 0;
    virtual HRESULT Unlock() = 0;
};

// A compiled vs.1.1 program, run once per vertex. Inputs are the sixteen
// v registers, the constants the c registers; the outputs mirror Direct3D's.
struct VertexProgramOutput {
    float position[4];      // oPos, clip space
    float diffuse[4];       // oD0, r g b a
    float specular[4];      // oD1
    float texCoord[kMaxTextureStages][4];  // oT0..oT3
    float fog;              // oFog.x
    float pointSize;        // oPts.x
};
class VertexProgram {
public:
    virtual ~VertexProgram() = default;
    virtual void Run(const float input[16][4], const float constants[][4], VertexProgramOutput* out) const = 0;
};
// Turns a vs.1.1 token stream into a program; null when the tokens are not
// accepted. Installed by the shader interpreter; without one, creating a
// vertex shader from tokens reports D3DERR_NOTAVAILABLE.
using VertexProgramCompiler = VertexProgram* (*)(const uint32_t* tokens);
void SetVertexProgramCompiler(VertexProgramCompiler compiler);
VertexProgramCompiler GetVertexProgramCompiler();

class Device : public Unknown {
public:
    virtual HRESULT TestCooperativeLevel() = 0;
    virtual uint32_t GetAvailableTextureMem() = 0;
    virtual HRESULT ResourceManagerDiscardBytes(uint32_t bytes) = 0;
    virtual HRESULT GetDeviceCaps(D3DCAPS8* caps) = 0;
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) = 0;
    // Shows the back buffer; the back buffer keeps its content (copy swap).
    virtual HRESULT Present() = 0;
    virtual HRESULT GetBackBuffer(uint32_t index, Surface** surface) = 0;

    // Every new texture and surface reads as zero until it is written.
    virtual HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                  D3DFORMAT format, D3DPOOL pool, Texture** texture) = 0;
    virtual HRESULT CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, D3DPOOL pool,
                                       VertexBuffer** buffer) = 0;
    virtual HRESULT CreateIndexBuffer(uint32_t length, uint32_t usage, D3DFORMAT format, D3DPOOL pool,
                                      IndexBuffer** buffer) = 0;
    virtual HRESULT CreateRenderTarget(uint32_t width, uint32_t height, D3DFORMAT format,
                                       uint32_t multiSample, int32_t lockable, Surface** surface) = 0;
    virtual HRESULT CreateDepthStencilSurface(uint32_t width, uint32_t height, D3DFORMAT format,
                                              uint32_t multiSample, Surface** surface) = 0;
    virtual HRESULT CreateImageSurface(uint32_t width, uint32_t height, D3DFORMAT format,
                                       Surface** surface) = 0;
    // Copies rectangles between surfaces of one format without stretching;
    // null rects copy the whole source, null points keep the positions.
    virtual HRESULT CopyRects(Surface* source, const RECT* rects, uint32_t count, Surface* destination,
                              const POINT* points) = 0;
    virtual HRESULT UpdateTexture(Texture* source, Texture* destination) = 0;
    // Null renderTarget keeps the current one; null depth detaches the depth buffer.
    virtual HRESULT SetRenderTarget(Surface* renderTarget, Surface* depthStencil) = 0;
    virtual HRESULT GetRenderTarget(Surface** surface) = 0;
    virtual HRESULT GetDepthStencilSurface(Surface** surface) = 0;

    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    // Clear without rectangles: the whole viewport.
    virtual HRESULT Clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT8* viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT8* viewport) = 0;
    virtual HRESULT SetMaterial(const D3DMATERIAL8* material) = 0;
    virtual HRESULT SetLight(uint32_t index, const D3DLIGHT8* light) = 0;
    virtual HRESULT LightEnable(uint32_t index, int32_t enable) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, uint32_t* value) = 0;
    virtual HRESULT SetTexture(uint32_t stage, Texture* texture) = 0;
    virtual HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value) = 0;
    virtual HRESULT GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t* value) = 0;

    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount) = 0;
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                                         uint32_t startIndex, uint32_t primitiveCount) = 0;
    virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, uint32_t primitiveCount, const void* vertices,
                                    uint32_t stride) = 0;
    virtual HRESULT SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) = 0;
    virtual HRESULT SetIndices(IndexBuffer* buffer, uint32_t baseVertexIndex) = 0;

    virtual HRESULT CreateVertexShader(const uint32_t* declaration, const uint32_t* function,
                                       uint32_t* handle, uint32_t usage) = 0;
    // A vertex format code (FVF) or a handle from CreateVertexShader.
    virtual HRESULT SetVertexShader(uint32_t handle) = 0;
    virtual HRESULT GetVertexShader(uint32_t* handle) = 0;
    virtual HRESULT DeleteVertexShader(uint32_t handle) = 0;
    virtual HRESULT SetVertexShaderConstant(uint32_t reg, const void* data, uint32_t count) = 0;

    // Test hook: the device is lost until it is Reset with every default-pool
    // object released. Nothing else loses it: an OpenGL context keeps its
    // objects while its window is minimised or hidden.
    virtual void LoseDevice() = 0;
};

// The Direct3D object: adapter queries and device creation.
class Direct3D : public Unknown {
public:
    virtual HRESULT GetAdapterIdentifier(uint32_t adapter, uint32_t flags, D3DADAPTER_IDENTIFIER8* id) = 0;
    virtual uint32_t GetAdapterModeCount(uint32_t adapter) = 0;
    virtual HRESULT EnumAdapterModes(uint32_t adapter, uint32_t mode, D3DDISPLAYMODE* out) = 0;
    virtual HRESULT GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* out) = 0;
    virtual HRESULT CheckDeviceFormat(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                      uint32_t usage, uint32_t resourceType, D3DFORMAT checkFormat) = 0;
    virtual HRESULT GetDeviceCaps(uint32_t adapter, D3DDEVTYPE type, D3DCAPS8* caps) = 0;
    virtual HRESULT CreateDevice(uint32_t adapter, D3DDEVTYPE type, void* focusWindow, uint32_t flags,
                                 D3DPRESENT_PARAMETERS* parameters, Device** device) = 0;
};
constexpr uint32_t D3DRTYPE_SURFACE = 1, D3DRTYPE_TEXTURE = 3;

// Which backend CreateDirect3D picks: OpenGL on the given SDL window, or the
// null backend when there is no window or AERIAL_GPU=null is set.
enum class Backend { Null, OpenGL };
Backend ChooseBackend(void* window);
// The Direct3D object of the chosen backend on `window` (an SDL_Window*
// created with SDL_WINDOW_OPENGL, or null); null when it cannot be made.
Direct3D* CreateDirect3D(void* window);

}  // namespace gpu
