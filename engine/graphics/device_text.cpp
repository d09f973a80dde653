// Format sizes and the names and texts the device's log lines use.
#include <cstdio>

#include "engine/graphics/device.h"
#include "platform/cp932.h"

using namespace gpu;

int GetFormatBytesPerPixel(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_R8G8B8:
        return 3;
    case D3DFMT_A8R8G8B8: case D3DFMT_X8R8G8B8: case D3DFMT_X8L8V8U8: case D3DFMT_Q8W8V8U8: case D3DFMT_V16U16:
    case D3DFMT_W11V11U10: case D3DFMT_D32: case D3DFMT_D24S8: case D3DFMT_D24X8: case D3DFMT_D24X4S4:
        return 4;
    case D3DFMT_R5G6B5: case D3DFMT_X1R5G5B5: case D3DFMT_A1R5G5B5: case D3DFMT_A4R4G4B4: case D3DFMT_R3G3B2:
    case D3DFMT_A8R3G3B2: case D3DFMT_X4R4G4B4: case D3DFMT_A8P8: case D3DFMT_A8L8: case D3DFMT_V8U8:
    case D3DFMT_L6V5U5: case D3DFMT_D16_LOCKABLE: case D3DFMT_D15S1: case D3DFMT_D16:
        return 2;
    case D3DFMT_A8: case D3DFMT_P8: case D3DFMT_L8: case D3DFMT_A4L4:
        return 1;
    default:
        return 0;
    }
}

const char* GetFormatName(D3DFORMAT format) {
    static char name[32];
    const char* text;
    switch (format) {
    case D3DFMT_UNKNOWN: text = "UNKNOWN"; break;
    case D3DFMT_R8G8B8: text = "R8G8B8"; break;
    case D3DFMT_A8R8G8B8: text = "A8R8G8B8"; break;
    case D3DFMT_X8R8G8B8: text = "X8R8G8B8"; break;
    case D3DFMT_R5G6B5: text = "R5G6B5"; break;
    case D3DFMT_X1R5G5B5: text = "X1R5G5B5"; break;
    case D3DFMT_A1R5G5B5: text = "A1R5G5B5"; break;
    case D3DFMT_A4R4G4B4: text = "A4R4G4B4"; break;
    case D3DFMT_R3G3B2: text = "R3G3B2"; break;
    case D3DFMT_A8: text = "A8"; break;
    case D3DFMT_A8R3G3B2: text = "A8R3G3B2"; break;
    case D3DFMT_X4R4G4B4: text = "X4R4G4B4"; break;
    case D3DFMT_A8P8: text = "A8P8"; break;
    case D3DFMT_P8: text = "P8"; break;
    case D3DFMT_L8: text = "L8"; break;
    case D3DFMT_A8L8: text = "A8L8"; break;
    case D3DFMT_A4L4: text = "A4L4"; break;
    case D3DFMT_V8U8: text = "V8U8"; break;
    case D3DFMT_L6V5U5: text = "L6V5U5"; break;
    case D3DFMT_X8L8V8U8: text = "X8L8V8U8"; break;
    case D3DFMT_Q8W8V8U8: text = "Q8W8V8U8"; break;
    case D3DFMT_V16U16: text = "V16U16"; break;
    case D3DFMT_W11V11U10: text = "W11V11U10"; break;
    case D3DFMT_UYVY: text = "UYVY"; break;
    case D3DFMT_YUY2: text = "YUY2"; break;
    case D3DFMT_DXT1: text = "DXT1"; break;
    case D3DFMT_DXT2: text = "DXT2"; break;
    case D3DFMT_DXT3: text = "DXT3"; break;
    case D3DFMT_DXT4: text = "DXT4"; break;
    case D3DFMT_DXT5: text = "DXT5"; break;
    case D3DFMT_D16_LOCKABLE: text = "D16_LOCKABLE"; break;
    case D3DFMT_D32: text = "D32"; break;
    case D3DFMT_D15S1: text = "D15S1"; break;
    case D3DFMT_D24S8: text = "D24S8"; break;
    case D3DFMT_D16: text = "D16"; break;
    case D3DFMT_D24X8: text = "D24X8"; break;
    case D3DFMT_D24X4S4: text = "D24X4S4"; break;
    case D3DFMT_VERTEXDATA: text = "VERTEXDATA"; break;
    case D3DFMT_INDEX16: text = "INDEX16"; break;
    case D3DFMT_INDEX32: text = "INDEX32"; break;
    default: text = "UnKnwon"; break;
    }
    std::snprintf(name, sizeof name, "%s", text);
    return name;
}

const char* GetD3DErrorText(HRESULT result) {
    struct Entry {
        HRESULT code;
        const char* text;
    };
    static const Entry kTexts[] = {
        {D3D_OK, "エラーは発生していない。"},
        {D3DXERR_INVALIDDATA, "データが無効である。"},
        {D3DXERR_TOOMANYINFLUENCES, "指定された影響が多すぎる。 "},
        {D3DXERR_SKINNINGNOTSUPPORTED, "スキニングはサポートされていない。 "},
        {D3DXERR_INVALIDMESH, "メッシュが無効である。 "},
        {D3DXERR_CANNOTATTRSORT, "最適化テクニックとして属性のソート (D3DXMESHOPT_ATTRSORT) はサポートされていない。 "},
        {D3DXERR_CANNOTMODIFYINDEXBUFFER, "インデックス バッファを変更できない。 "},
        {D3DERR_NOTFOUND, "要求された項目が見つからなかった。"},
        {D3DERR_NOTAVAILABLE, "このデバイスは、照会されたテクニックをサポートしていない。"},
        {D3DERR_MOREDATA, "指定されたバッファ サイズに保持できる以上のデータが存在する。"},
        {D3DERR_INVALIDDEVICE, "要求されたデバイスの種類が有効でない。"},
        {D3DERR_INVALIDCALL,
         "メソッドの呼び出しが無効である。たとえば、メソッドのパラメータに無効な値が設定されている場合など。"},
        {D3DERR_DEVICENOTRESET, "デバイスはリセットできない。"},
        {D3DERR_DEVICELOST, "デバイスが失われていて、現時点では復元できないため、レンダリングは不可能である。"},
        {D3DERR_DRIVERINTERNALERROR, "内部ドライバ エラー。"},
        {D3DERR_UNSUPPORTEDTEXTUREFILTER, "デバイスが指定されたテクスチャ フィルタをサポートしていない。"},
        {D3DERR_UNSUPPORTEDFACTORVALUE, "デバイスが指定されたテクスチャ係数値をサポートしていない。"},
        {D3DERR_UNSUPPORTEDALPHAARG,
         "アルファ チャネルに対して指定されているテクスチャ ブレンディング引数を、デバイスがサポートしていない。"},
        {D3DERR_TOOMANYOPERATIONS,
         "デバイスがサポートしている以上のテクスチャ フィルタリング処理を、アプリケーションが要求している。"},
        {D3DERR_CONFLICTINGTEXTUREPALETTE,
         "現在のテクスチャは同時に使用できない。一般にマルチテクスチャ デバイスにおいて、同時に有効にされたパレット化テクス"
         "チャで同じパレットを共有する必要がある場合に発生する。"},
        {D3DERR_CONFLICTINGTEXTUREFILTER, "現在のテクスチャ フィルタは一緒に使用できない。"},
        {D3DERR_CONFLICTINGRENDERSTATE, "現在設定されているレンダリング ステートは一緒に使用できない。"},
        {D3DERR_UNSUPPORTEDALPHAOPERATION,
         "アルファ チャネルに対して指定されているテクスチャ ブレンディング処理を、デバイスがサポートしていない。"},
        {D3DERR_WRONGTEXTUREFORMAT, "テクスチャ サーフェスのピクセル フォーマットが有効でない。"},
        {D3DERR_UNSUPPORTEDCOLOROPERATION,
         "カラー値に対して指定されているテクスチャ ブレンディング処理を、デバイスがサポートしていない。"},
        {D3DERR_UNSUPPORTEDCOLORARG,
         "カラー値に対して指定されているテクスチャ ブレンディング引数を、デバイスがサポートしていない。"},
        {D3DERR_OUTOFVIDEOMEMORY, "Direct3D が処理を行うのに十分なディスプレイ メモリがない。"},
        {E_FAIL, "Direct3D サブシステム内で原因不明のエラーが発生した。"},
        {E_OUTOFMEMORY, "Direct3D が呼び出しを完了するための十分なメモリを割り当てることができなかった。"},
        {E_INVALIDARG, "無効なパラメータが戻ってくる関数に渡された。"},
    };
    const char* text = "未知のエラー。";
    for (const Entry& entry : kTexts) {
        if (entry.code == result) text = entry.text;
    }
    static char buffer[256];
    std::snprintf(buffer, sizeof buffer, "%s", platform::Utf8ToCp932(text).c_str());
    return buffer;
}
