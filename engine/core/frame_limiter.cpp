#include <cinttypes>
#include <cstdio>

#include "engine/core/application.h"
#include "engine/core/log.h"
#include "platform/system.h"

int64_t timerFrequency = 0;
int perfCounterAvailable = 0;
uint32_t lastFrameTime = 0;
int framesPerSecond = 0, presentedFrames = 0;
int primitivesPerSecond = 0, primitiveCount = 0;
uint32_t lastSecondTime = 0;
int frameStatisticsStarted = 0;

namespace {

constexpr uint32_t kStatisticsPeriodMs = 1000;

void UpdateFrameStatistics(uint32_t now) {
    if (!frameStatisticsStarted) {
        frameStatisticsStarted = 1;
        lastSecondTime = platform::TimeGetTime();
    }
    if (now - lastSecondTime < kStatisticsPeriodMs) return;
    lastSecondTime = now;
    framesPerSecond = presentedFrames;
    primitivesPerSecond = primitiveCount;
    presentedFrames = 0;
    primitiveCount = 0;
    if (showFpsInTitle) {
        char title[384];
        FormatFrameStatistics(title, sizeof title);
        platform::SetWindowTitle(windowHandle, title);
    }
}

}  // namespace

// The wait is computed in 64 bits: a stall of hours would overflow the
// product in 32 bits; every result that fits is the same.
void WaitFrame() {
    uint32_t now = platform::TimeGetTime();
    if (targetFrameRate != 0) {
        int64_t elapsed = static_cast<uint32_t>(now - lastFrameTime);
        int64_t wait = (1000 - int64_t{targetFrameRate} * elapsed) / targetFrameRate;
        if (wait > 0) platform::Sleep(static_cast<uint32_t>(wait));
        now = platform::TimeGetTime();
    }
    lastFrameTime = now;
    UpdateFrameStatistics(now);
}

void FormatFrameStatistics(char* out, unsigned size) {
    int perFrame = framesPerSecond != 0 ? primitivesPerSecond / framesPerSecond : primitivesPerSecond;
    std::snprintf(out, size, "%s  FPS[%d] PPS[%d] PPF[%d]", appName, framesPerSecond, primitivesPerSecond, perFrame);
}

void AddPresentedFrames(int n) { presentedFrames += n; }
void AddPrimitiveCount(int n) { primitiveCount += n; }

// The monotonic clock is always there, so the performance-counter branch is
// the one taken.
int InitMultimediaTimer() {
    WriteLog("\n============================================== Initialize MultiMediaTimer\n");
    timerFrequency = platform::PerformanceFrequency();
    perfCounterAvailable = 1;
    WriteLog("  \x81\xa1 Performance Counter : %" PRId64 "/s\n", timerFrequency);
    lastFrameTime = platform::TimeGetTime();
    return 1;
}
