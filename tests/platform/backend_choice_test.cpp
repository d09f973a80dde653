#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gpu_device.h"

namespace {

// Restores AERIAL_GPU as it was.
class GpuVariable {
public:
    GpuVariable() {
        if (const char* value = std::getenv("AERIAL_GPU")) saved_ = value, had_ = true;
    }
    ~GpuVariable() {
        if (had_) setenv("AERIAL_GPU", saved_.c_str(), 1);
        else unsetenv("AERIAL_GPU");
    }

private:
    std::string saved_;
    bool had_ = false;
};

TEST(BackendChoice, OpenGLOnAWindowUnlessNullIsAskedFor) {
    GpuVariable keep;
    int window = 0;
    struct Case { const char* variable; void* window; gpu::Backend expected; };
    for (const Case& c : {Case{nullptr, nullptr, gpu::Backend::Null}, Case{nullptr, &window, gpu::Backend::OpenGL},
                          Case{"null", &window, gpu::Backend::Null}, Case{"gl", &window, gpu::Backend::OpenGL},
                          Case{"gl", nullptr, gpu::Backend::Null}}) {
        if (c.variable) setenv("AERIAL_GPU", c.variable, 1);
        else unsetenv("AERIAL_GPU");
        EXPECT_EQ(gpu::ChooseBackend(c.window), c.expected)
            << (c.variable ? c.variable : "unset") << (c.window ? " with" : " without") << " a window";
    }
}

}  // namespace
