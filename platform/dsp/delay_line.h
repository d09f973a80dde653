#pragma once
// A circular delay line of mono samples, read at fractional delays.
#include <algorithm>
#include <cmath>
#include <vector>

namespace platform::dsp {

class DelayLine {
public:
    // Room for delays up to `maxDelay` samples.
    explicit DelayLine(int maxDelay = 1) : samples_(static_cast<size_t>(std::max(maxDelay, 1)) + 2, 0.0f) {}

    void Write(float sample) {
        samples_[head_] = sample;
        head_ = head_ + 1 == samples_.size() ? 0 : head_ + 1;
    }
    // The sample written `delay` writes ago (1 = the last one), linearly
    // interpolated between whole delays; delays are clamped to the line.
    float Read(float delay) const {
        delay = std::clamp(delay, 1.0f, static_cast<float>(samples_.size() - 2));
        const int whole = static_cast<int>(delay);
        const float fraction = delay - static_cast<float>(whole);
        const float a = At(whole);
        return fraction == 0.0f ? a : a + (At(whole + 1) - a) * fraction;
    }
    float At(int delay) const {
        const size_t size = samples_.size();
        return samples_[(head_ + size - static_cast<size_t>(delay)) % size];
    }
    void Clear() { std::fill(samples_.begin(), samples_.end(), 0.0f); }

private:
    std::vector<float> samples_;
    size_t head_ = 0;
};

}  // namespace platform::dsp
