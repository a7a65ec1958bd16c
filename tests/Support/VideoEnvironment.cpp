#include <SDL2/SDL.h>
#include <gtest/gtest.h>

namespace {

// Keeps SDL's video subsystem and its OpenGL library (and with it the driver)
// loaded until
// the test program exits. Devices start and stop video on their own; were
// the driver unloaded between tests, the leak checker would see the memory
// it still holds as lost.
class VideoEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
            SDL_GL_LoadLibrary(nullptr);
    }
};

const auto* const g_videoEnvironment = ::testing::AddGlobalTestEnvironment(new VideoEnvironment);

} // namespace
