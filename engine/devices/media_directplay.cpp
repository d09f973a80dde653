#include "engine/devices/media_directplay.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/core/log.h"
#include "engine/devices/media_common.h"

platform::DirectPlayPeer* directPlayPeer = nullptr;

namespace {

constexpr unsigned MB_OK = 0;

std::thread directPlayThread;
std::mutex directPlayLock;
std::condition_variable directPlayChanged;
bool directPlayReady = false;
bool directPlayRunning = false;  // the run flag, read under the lock at every check

void CreateDirectPlayPeer() {
    directPlayPeer = platform::GetMediaSystem().CreateDirectPlayPeer();
    if (!directPlayPeer) {
        ReportMissingClass("  Error Can't Create DirectPlayPeer Object\n", MB_OK);
        return;
    }
    WriteLog("  \x81\xa1 Create DirectPlayPeer Object\n");
    if (directPlayPeer->Initialize()) {
        WriteLog("  \x81\xa1 Initialize DirectPlayPeer Object\n");
    } else {
        WriteLog("  Error Can't Initialize DirectPlayPeer Object\n");
    }
}

void DirectPlayThreadMain() {
    CreateDirectPlayPeer();
    std::unique_lock lock(directPlayLock);
    directPlayReady = true;
    directPlayChanged.notify_all();
    directPlayChanged.wait(lock, [] { return !directPlayRunning; });
    if (directPlayPeer) directPlayPeer->Release();
    directPlayPeer = nullptr;
}

}  // namespace

int InitializeDirectPlay() {
    WriteLog("\n============================================== Initialize DirectPlay\n");
    if (directPlayThread.joinable()) return 1;
    std::unique_lock lock(directPlayLock);
    directPlayReady = false;
    directPlayRunning = true;
    directPlayThread = std::thread(DirectPlayThreadMain);
    directPlayChanged.wait(lock, [] { return directPlayReady; });
    return 1;
}

void DestroyDirectPlay() {
    WriteLog("\n============================================== Destroy DirectPlay\n");
    if (!directPlayThread.joinable()) return;
    {
        std::lock_guard lock(directPlayLock);
        directPlayRunning = false;
    }
    directPlayChanged.notify_all();
    directPlayThread.join();
}
