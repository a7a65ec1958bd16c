#include "Interface/InterfaceTestSupport.h"
#include "Interface/PLensFlare.h"
#include "Platform/Win32Time.h"
#include "Render/PAVIPlayer.h"
#include "Render/RenderTestScene.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

class StoppedClock : public PlatClockSource {
public:
    StoppedClock() { PlatSetClockSource(this); }
    ~StoppedClock() override { PlatSetClockSource(nullptr); }
    bool Frequency(LONGLONG& frequency) override {
        frequency = 1000;
        return true;
    }
    LONGLONG Counter() override { return 6000; }
    DWORD Milliseconds() override { return 6000; }
};

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

std::vector<uint32_t> ReadFrame(CPRender& render) {
    render.Update();
    IDirect3DSurface9* backBuffer = nullptr;
    std::vector<uint32_t> pixels;
    render.GetDevice()->GetBackBuffer(0, 0, 0, &backBuffer);
    render.GetDevice()->ReadSurfacePixels(backBuffer, &pixels);
    backBuffer->Release();
    return pixels;
}

// With KV_PIXEL_SHOTS naming a folder, the frame is saved there to be looked at.
void KeepShot(const std::vector<uint32_t>& pixels, const char* name) {
    const char* folder = std::getenv("KV_PIXEL_SHOTS");
    if (!folder)
        return;
    Image image(kWidth, kHeight);
    image.pixels = pixels;
    const std::vector<uint8_t> bytes = EncodeTga(image);
    TempGameRoot::WriteFile(std::filesystem::path(folder) / name, std::string(bytes.begin(), bytes.end()));
}

// The demo main menu and lens flare, built by uitool during the build, drawn
// by the renderer on the OpenGL device of SDL's offscreen driver.
TEST(InterfacePixelTest, DemoMenuShowsTheHoveredButtonTheTitleAndTheFlare) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    RenderTestScene scene(PlatGraphicsBackendKind::OpenGL, kWidth, kHeight);
    ASSERT_TRUE(scene.started);
    for (const char* file :
         {"Interface/mainmenu1024.int", "Interface/lensflare2.int", "Textures/ui_menu.tga",
          "Textures/menu.tga", "Textures/flare.tga", "Fonts/fonts.dat", "Fonts/menu.fnt"}) {
        const std::filesystem::path target = std::filesystem::path("Data") / file;
        std::filesystem::create_directories(target.parent_path());
        std::filesystem::copy_file(std::filesystem::path(KV_BUILD_DATA) / file, target);
    }
    SPFontManager fonts;
    fonts.LoadAll();
    ASSERT_TRUE(fonts.FindFont("menu"));
    CPInterface menu;
    menu.Load("mainmenu", 0);
    menu.ActivateQuiet(450);
    BroadcastMouseMove(225, 268);
    menu.SetPageText("title", "KESTROVAR");
    menu.Render();
    const std::vector<uint32_t> page = ReadFrame(*scene.render);
    ASSERT_EQ(page.size(), std::size_t(kWidth * kHeight));
    const auto at = [](const std::vector<uint32_t>& frame, int x, int y) { return frame[y * kWidth + x]; };
    // The page is translucent over the menu scene (here a black screen): the
    // hovered "start" plate is lighter than the normal "options" one, and
    // both are blue; the panel under them and the title's band are dark but
    // drawn.
    const auto channel = [](uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xffu); };
    const uint32_t hovered = at(page, 105, 268);
    const uint32_t normal = at(page, 105, 428);
    EXPECT_GT(channel(hovered, 0), channel(normal, 0) + 40) << std::hex << hovered << " " << normal;
    EXPECT_GT(channel(normal, 0), channel(normal, 16) + 60) << std::hex << normal;
    for (const uint32_t dark : {at(page, 80, 560), at(page, 200, 50)}) {
        EXPECT_GT(channel(dark, 0), 0x10) << std::hex << dark;
        EXPECT_LT(channel(dark, 0), 0x40) << std::hex << dark;
    }
    // The title's letters are white on the band.
    int white = 0;
    for (int y = 60; y < 115; ++y)
        for (int x = 440; x < 700; ++x)
            white += (at(page, x, y) & 0xffffffu) == 0xffffffu;
    EXPECT_GT(white, 200);
    KeepShot(page, "interface-menu.tga");

    StoppedClock clock;
    CPLensFlare flare;
    flare.Load("lensflare2", 198);
    flare.SetSunPosition(100, 100);
    flare.SetFlareVisible(true);
    menu.Render();
    flare.Render();
    const std::vector<uint32_t> flared = ReadFrame(*scene.render);
    KeepShot(flared, "interface-flare.tga");
    // Around the screen centre only the factor-50 ring changes the picture:
    // its changed pixels are centred there.
    int left = kWidth, right = -1, top = kHeight, bottom = -1;
    for (int y = 314; y < 454; ++y) {
        for (int x = 442; x < 582; ++x) {
            if (at(flared, x, y) == at(page, x, y))
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    ASSERT_GE(right, left);
    EXPECT_NEAR((left + right) / 2.0, 512, 1.5);
    EXPECT_NEAR((top + bottom) / 2.0, 384, 1.5);
    EXPECT_GT(right - left, 60);
    EXPECT_NE(at(flared, 100, 100), at(page, 100, 100));
}

// The demo intro page, built by uitool, over the intro video, encoded by
// videotool: the whole screen shows the video's first frame, scaled up from
// the 320 x 240 corner of the 512 x 256 "video" texture.
TEST(InterfacePixelTest, DemoIntroPageShowsTheVideoFrameOverTheScreen) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    RenderTestScene scene(PlatGraphicsBackendKind::OpenGL, kWidth, kHeight);
    ASSERT_TRUE(scene.started);
    for (const char* file : {"Interface/intro1024.int", "Video/intro.avi"}) {
        const std::filesystem::path target = std::filesystem::path("Data") / file;
        std::filesystem::create_directories(target.parent_path());
        std::filesystem::copy_file(std::filesystem::path(KV_BUILD_DATA) / file, target);
    }
    std::unique_ptr<IVideoStream> video;
    std::string error;
    ASSERT_EQ(PlatOpenVideo("Data/Video/intro.avi", video, error), S_OK) << error;
    std::vector<uint32_t> first;
    double time = 0;
    ASSERT_TRUE(video->ReadFrame(first, time));

    CPAVIPlayer player;
    ASSERT_EQ(player.Play("intro.avi", true), S_OK);
    ASSERT_TRUE(player.Start());
    CPInterface intro;
    intro.Load("intro", 0);
    intro.ActivateQuiet(450);
    intro.Render();
    const std::vector<uint32_t> screen = ReadFrame(*scene.render);
    ASSERT_EQ(screen.size(), std::size_t(kWidth * kHeight));
    KeepShot(screen, "interface-intro.tga");
    // Each sampled pixel shows the frame's texel under it; the gradient is
    // smooth, so filtering moves a channel by a few steps at most.
    for (int y = 16; y < kHeight; y += 96)
        for (int x = 16; x < kWidth; x += 96) {
            const uint32_t shown = screen[y * kWidth + x];
            const uint32_t texel = first[(y * 240 / kHeight) * 320 + x * 320 / kWidth];
            for (int shift : {0, 8, 16})
                EXPECT_NEAR(static_cast<int>(shown >> shift & 0xFF), static_cast<int>(texel >> shift & 0xFF),
                            6)
                    << x << "," << y << " " << std::hex << shown << " " << texel;
        }
}

} // namespace