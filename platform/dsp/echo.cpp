#include "platform/dsp/echo.h"

#include <algorithm>
#include <cmath>

namespace platform::dsp {

namespace {

float DelaySamples(float milliseconds, float sampleRate) {
    return std::max(1.0f, std::round(std::clamp(milliseconds, 1.0f, 2000.0f) * sampleRate / 1000.0f));
}

}  // namespace

Echo::Echo(const EchoParameters& parameters, float sampleRate)
    : wet_(std::clamp(parameters.wetDryMix, 0.0f, 100.0f) / 100.0f),
      feedback_(std::clamp(parameters.feedback, 0.0f, 100.0f) / 100.0f),
      delay_{DelaySamples(parameters.leftDelay, sampleRate), DelaySamples(parameters.rightDelay, sampleRate)},
      swapSides_(parameters.panDelay != 0),
      lines_{DelayLine(static_cast<int>(delay_[0])), DelayLine(static_cast<int>(delay_[1]))} {}

void Echo::Process(float* stereo, int frames) {
    for (int i = 0; i < frames; ++i) {
        float* frame = stereo + 2 * i;
        const float echoes[2] = {lines_[0].Read(delay_[0]), lines_[1].Read(delay_[1])};
        for (int c = 0; c < 2; ++c) {
            // With pan delay an echo is fed back into the other side's line.
            const float returned = echoes[swapSides_ ? 1 - c : c];
            lines_[c].Write(frame[c] + feedback_ * returned);
            frame[c] += wet_ * (echoes[c] - frame[c]);
        }
    }
}

void Echo::Reset() {
    lines_[0].Clear();
    lines_[1].Clear();
}

}  // namespace platform::dsp
