#include "engine/devices/media_directmusic.h"

#include "engine/core/application.h"
#include "engine/core/log.h"
#include "engine/devices/media_common.h"

platform::DirectMusicLoader* musicLoader = nullptr;
platform::DirectMusicPerformance* musicPerformance = nullptr;
platform::DirectMusicObject* directMusic = nullptr;

namespace {

constexpr MediaRoute kMusicRoutes[] = {
    {1, MediaArgument::Block}, {MEDIA_RELEASE}, {2, MediaArgument::Word}, {3},
    {5},                       {6, MediaArgument::Word}, {7, MediaArgument::Word}, {8},
    {9, MediaArgument::Word},  {10}, {11}, {12}, {13}, {14}, {15}, {16},
};

void SetUpMusicThread() { CreateDirectMusic(); }

}  // namespace

MediaCommandLayer directMusicLayer(kMusicRoutes, MUSIC_CMD_QUIT);

int InitializeDirectMusic() {
    WriteLog("\n============================================== Initialize DirectMusic\n");
    directMusicLayer.Start(SetUpMusicThread, ReleaseDirectMusic);
    return 1;
}

void DestroyDirectMusic() {
    WriteLog("\n============================================== Destroy DirectMusic\n");
    directMusicLayer.Stop();
}

void PostMusicCommand(const MediaCommand* command) { directMusicLayer.Post(*command); }

int CreateDirectMusic() {
    platform::MediaSystem& media = platform::GetMediaSystem();
    musicLoader = media.CreateDirectMusicLoader();
    if (!musicLoader) {
        // "  エラー : DirectMusicLoaderの生成に失敗\n"
        return ReportMissingClass("  \x83\x47\x83\x89\x81\x5b : DirectMusicLoader\x82\xcc\x90\xb6\x90\xac\x82\xc9"
                                  "\x8e\xb8\x94\x73\n",
                                  MB_ICONHAND);
    }
    WriteLog("  \x81\xa1 DirectMusicLoader\x82\xf0\x90\xb6\x90\xac\n");  // "  ■ DirectMusicLoaderを生成\n"
    musicPerformance = media.CreateDirectMusicPerformance();
    if (!musicPerformance) {
        // "  エラー : パフォーマンスオブジェクトの生成に失敗\n"
        return ReportMissingClass("  \x83\x47\x83\x89\x81\x5b : \x83\x70\x83\x74\x83\x48\x81\x5b\x83\x7d\x83\x93\x83\x58"
                                  "\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xcc\x90\xb6\x90\xac\x82\xc9\x8e\xb8"
                                  "\x94\x73\n",
                                  MB_ICONHAND);
    }
    // "  ■ パフォーマンスオブジェクトを生成\n"
    WriteLog("  \x81\xa1 \x83\x70\x83\x74\x83\x48\x81\x5b\x83\x7d\x83\x93\x83\x58\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e"
             "\x83\x67\x82\xf0\x90\xb6\x90\xac\n");
    if (!musicPerformance->InitAudio(&directMusic, GetWindowHandle())) {
        // "  エラー : パフォーマンスオブジェクトの初期化に失敗\n"
        WriteLog("  \x83\x47\x83\x89\x81\x5b : \x83\x70\x83\x74\x83\x48\x81\x5b\x83\x7d\x83\x93\x83\x58\x83\x49\x83\x75"
                 "\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xcc\x8f\x89\x8a\xfa\x89\xbb\x82\xc9\x8e\xb8\x94\x73\n");
        return 0;
    }
    // "  ■ パフォーマンスオブジェクトを初期化\n"
    WriteLog("  \x81\xa1 \x83\x70\x83\x74\x83\x48\x81\x5b\x83\x7d\x83\x93\x83\x58\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e"
             "\x83\x67\x82\xf0\x8f\x89\x8a\xfa\x89\xbb\n");
    return 1;
}

void ReleaseDirectMusic() {
    if (musicPerformance) musicPerformance->CloseDown();
    // "  ■ DirectMusicPerformanceを解体 [参照カウント%u]\n"
    ReleaseLogged(musicPerformance, "  \x81\xa1 DirectMusicPerformance\x82\xf0\x89\xf0\x91\xcc "
                                    "[\x8e\x51\x8f\xc6\x83\x4a\x83\x45\x83\x93\x83\x67%u]\n");
    // "  ■ DirectMusicLoaderを解体 [参照カウント%u]\n"
    ReleaseLogged(musicLoader, "  \x81\xa1 DirectMusicLoader\x82\xf0\x89\xf0\x91\xcc "
                               "[\x8e\x51\x8f\xc6\x83\x4a\x83\x45\x83\x93\x83\x67%u]\n");
    // "  ■ DirectMusicObjectを解体 [参照カウント%u]\n"
    ReleaseLogged(directMusic, "  \x81\xa1 DirectMusicObject\x82\xf0\x89\xf0\x91\xcc "
                               "[\x8e\x51\x8f\xc6\x83\x4a\x83\x45\x83\x93\x83\x67%u]\n");
}
