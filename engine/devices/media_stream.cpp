#include "engine/devices/media_stream.h"

#include "engine/core/log.h"
#include "engine/devices/media_common.h"

platform::DirectDraw* mediaStreamDirectDraw = nullptr;
ResourceList mediaStreamList;

int InitializeMediaStream() {
    WriteLog("\n============================================== Initialize MediaStream\n");
    mediaStreamDirectDraw = platform::GetMediaSystem().CreateDirectDraw();
    if (!mediaStreamDirectDraw) {
        // "  エラー : DirectDrawオブジェクトの生成に失敗\n"
        WriteLog("  \x83\x47\x83\x89\x81\x5b : DirectDraw\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xcc\x90\xb6"
                 "\x90\xac\x82\xc9\x8e\xb8\x94\x73\n");
        return 0;
    }
    // "  ■ DirectDrawオブジェクトを生成\n"
    WriteLog("  \x81\xa1 DirectDraw\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xf0\x90\xb6\x90\xac\n");
    if (!mediaStreamDirectDraw->InitializeEmulationOnly()) {
        // "  エラー : DirectDrawオブジェクトの初期化に失敗\n"
        WriteLog("  \x83\x47\x83\x89\x81\x5b : DirectDraw\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xcc\x8f\x89"
                 "\x8a\xfa\x89\xbb\x82\xc9\x8e\xb8\x94\x73\n");
        return 0;
    }
    // "  ■ DirectDrawオブジェクトを初期化\n"
    WriteLog("  \x81\xa1 DirectDraw\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xf0\x8f\x89\x8a\xfa\x89\xbb\n");
    if (!mediaStreamDirectDraw->SetCooperativeLevelNormal()) {
        // "  エラー : 協調レベルの設定に失敗\n"
        WriteLog("  \x83\x47\x83\x89\x81\x5b : \x8b\xa6\x92\xb2\x83\x8c\x83\x78\x83\x8b\x82\xcc\x90\xdd\x92\xe8\x82\xc9\x8e"
                 "\xb8\x94\x73\n");
        return 0;
    }
    WriteLog("  \x81\xa1 \x8b\xa6\x92\xb2\x83\x8c\x83\x78\x83\x8b\x82\xf0\x90\xdd\x92\xe8\n");  // "  ■ 協調レベルを設定\n"
    mediaStreamList.Reset();
    return 1;
}

void DestroyMediaStream() {
    WriteLog("\n============================================== Destroy MediaStream\n");
    // "  ■ Release DirectDraw Object [参照カウント%u]\n"
    ReleaseLogged(mediaStreamDirectDraw,
                  "  \x81\xa1 Release DirectDraw Object [\x8e\x51\x8f\xc6\x83\x4a\x83\x45\x83\x93\x83\x67%u]\n");
    mediaStreamList.ReleaseAll();
}
