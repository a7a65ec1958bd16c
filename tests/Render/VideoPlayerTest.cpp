#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "DamagedCopies.h"
#include "Render/PAVIPlayer1.h"
#include "Render/PTextureManager.h"
#include "RenderTestScene.h"
#include "videotool/AviWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace {

// Four flat frames with a distinct corner texel each, 320 x 240 at 10 fps.
RawVideo FourFrames() {
    RawVideo video;
    video.width = 320;
    video.height = 240;
    const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0x808040};
    for (uint32_t colour : colours) {
        std::vector<uint32_t> texels(320 * 240, colour);
        texels[0] = colour ^ 0x102030;
        texels.back() = colour ^ 0x0F0F0F;
        video.frames.push_back(texels);
    }
    return video;
}

void WriteVideo(const std::string& name, const std::vector<uint8_t>& bytes) {
    TempGameRoot::WriteFile("Data/Video/" + name, std::string(bytes.begin(), bytes.end()));
}

// The colour of the texel at (x, y) of the player's texture.
uint32_t TexelAt(const CPAVIPlayer& player, int x, int y) {
    D3DLOCKED_RECT locked;
    EXPECT_EQ(player.texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    const auto* row = static_cast<const uint8_t*>(locked.pBits) + static_cast<ptrdiff_t>(y) * locked.Pitch;
    const uint32_t texel = reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    player.texture->UnlockRect(0);
    return texel;
}

// Steps the player's clock by `seconds` in one frame.
void Advance(CPAVIPlayer& player, float seconds) {
    g_FrameTime = seconds;
    player.Update();
    g_FrameTime = 0;
}

class VideoPlayer : public ::testing::Test {
protected:
    ~VideoPlayer() override { g_ScreenBPP = 32; }
    RenderTestScene scene{PlatGraphicsBackendKind::Recording, 64, 48};
};

} // namespace

TEST(NextPowerOfTwo, IsStrictlyGreaterAndAtLeastTwo) {
    const std::pair<int, int> cases[] = {{0, 2},     {1, 2},     {2, 4},      {3, 4},
                                         {240, 256}, {320, 512}, {512, 1024}, {640, 1024}};
    for (const auto& [n, expected] : cases)
        EXPECT_EQ(NextPowerOfTwo(n), expected) << n;
}

TEST_F(VideoPlayer, PlaysEachFrameAtItsTimeIntoTheVideoEntryAndStopsAtTheEnd) {
    ASSERT_TRUE(scene.started);
    const RawVideo video = FourFrames();
    WriteVideo("clip.avi", EncodeUncompressedAvi(video));
    for (int bits : {32, 16}) {
        g_ScreenBPP = bits;
        CPAVIPlayer player;
        ASSERT_EQ(player.Play("clip.avi", true), S_OK) << bits;
        EXPECT_EQ(player.textureWidth, 512);
        EXPECT_EQ(player.textureHeight, 256);
        D3DSURFACE_DESC description;
        player.texture->GetLevelDesc(0, &description);
        // The device's lockable textures are 32-bit at every screen depth.
        EXPECT_EQ(description.Format, D3DFMT_X8R8G8B8);
        EXPECT_EQ(player.textureBits, bits);
        CPRefPtr<CPTexture> entry;
        g_TextureManager->GetTexture(entry, "video");
        EXPECT_EQ(entry->texture, player.texture);
        EXPECT_EQ(entry->name, "VIDEO");

        const auto expect = [&](size_t frame) {
            const auto& texels = video.frames[frame];
            EXPECT_EQ(TexelAt(player, 0, 0), texels[0]) << "frame " << frame << " at " << bits;
            EXPECT_EQ(TexelAt(player, 319, 239), texels.back()) << "frame " << frame << " at " << bits;
            EXPECT_EQ(TexelAt(player, 160, 100), texels[100 * 320 + 160]) << "frame " << frame;
        };
        ASSERT_TRUE(player.Start());
        expect(0);
        Advance(player, 0.05f);
        expect(0);
        Advance(player, 0.06f);
        expect(1);
        Advance(player, 0.2f);
        expect(3);
        EXPECT_FALSE(player.killFlag);
        Advance(player, 0.1f);
        EXPECT_TRUE(player.killFlag);
        expect(3);
        player.running = false;
        ASSERT_EQ(player.Play("clip.avi", true), S_OK);
    }
}

TEST_F(VideoPlayer, ASecondFileOfTheSameSizeKeepsTheTextureAndTheSecondPlayerFillsItsOwnEntry) {
    ASSERT_TRUE(scene.started);
    WriteVideo("a.avi", EncodeUncompressedAvi(FourFrames()));
    WriteVideo("b.avi", EncodeUncompressedAvi(FourFrames()));
    RawVideo small;
    small.width = 8;
    small.height = 4;
    small.frames.assign(2, std::vector<uint32_t>(32, 0x123456));
    WriteVideo("small.avi", EncodeUncompressedAvi(small));

    CPAVIPlayer player;
    CPAVIPlayer1 second;
    ASSERT_EQ(player.Play("a.avi", false), S_OK);
    IDirect3DTexture9* first = player.texture;
    ASSERT_EQ(player.Play("b.avi", false), S_OK);
    EXPECT_EQ(player.texture, first);

    ASSERT_EQ(second.Play("small.avi"), S_OK);
    EXPECT_EQ(second.textureWidth, 16);
    EXPECT_EQ(second.textureHeight, 8);
    ASSERT_TRUE(second.Start());
    EXPECT_EQ(TexelAt(second, 7, 3), 0x123456u);
    CPRefPtr<CPTexture> entry;
    g_TextureManager->GetTexture(entry, "video1");
    EXPECT_EQ(entry->texture, second.texture);
    EXPECT_EQ(entry->name, "VIDEO1");
    g_TextureManager->GetTexture(entry, "video");
    EXPECT_EQ(entry->texture, first);
}

// A missing file, and a named pipe that would block a reader waiting for a
// writer, both fail at the open step.
TEST_F(VideoPlayer, AMissingFileOrAPipeReportsTheOpenStepOfEachPlayer) {
    std::filesystem::create_directories("Data/Video");
    ASSERT_EQ(mkfifo("Data/Video/pipe.avi", 0600), 0);
    for (const char* name : {"none.avi", "pipe.avi"}) {
        std::string logged;
        GetLog().SetSink([&](std::string_view text) { logged += text; });
        CPAVIPlayer player;
        CPAVIPlayer1 second;
        EXPECT_EQ(player.Play(name, false), VIDEO_E_OPEN) << name;
        EXPECT_EQ(second.Play(name), VIDEO_E_OPEN) << name;
        GetLog().SetSink(nullptr);
        EXPECT_NE(logged.find("DXError if Render\\PAVIPlayer on line 82"), std::string::npos) << logged;
        EXPECT_NE(logged.find("DXError if Render\\PAVIPlayer1 on line 78"), std::string::npos) << logged;
        EXPECT_EQ(player.texture, nullptr);
    }
}

// A sound track in a format no decoder knows fails Play at the sound step of
// each player; without the sound the picture plays.
TEST_F(VideoPlayer, AnUndecodableSoundTrackReportsTheSoundStep) {
    ASSERT_TRUE(scene.started);
    RawVideo video = FourFrames();
    video.sound.assign(4000, 0.25f);
    std::vector<uint8_t> bytes = EncodeUncompressedAvi(video);
    // The sound stream's format (the second "strf") gets a format tag of no codec.
    const std::string text(bytes.begin(), bytes.end());
    const size_t format = text.find("strf", text.find("strf") + 4);
    ASSERT_NE(format, std::string::npos);
    bytes[format + 8] = 0x99;
    bytes[format + 9] = 0x99;
    WriteVideo("odd.avi", bytes);

    std::string logged;
    GetLog().SetSink([&](std::string_view line) { logged += line; });
    CPAVIPlayer player;
    CPAVIPlayer1 second;
    EXPECT_EQ(player.Play("odd.avi", false), VIDEO_E_DECODER);
    EXPECT_EQ(second.Play("odd.avi"), VIDEO_E_DECODER);
    GetLog().SetSink(nullptr);
    EXPECT_NE(logged.find("DXError if Render\\PAVIPlayer on line 148"), std::string::npos) << logged;
    EXPECT_NE(logged.find("DXError if Render\\PAVIPlayer1 on line 131"), std::string::npos) << logged;
    EXPECT_EQ(player.Play("odd.avi", true), S_OK);
}

TEST_F(VideoPlayer, NamesMakePathsOfAnyLength) {
    ASSERT_TRUE(scene.started);
    const std::string folder(60, 'f');
    std::string name;
    for (int depth = 0; depth < 5; ++depth)
        name += folder + std::to_string(depth) + "\\";
    name += "clip.avi";
    ASSERT_GT(name.size(), 260u);
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    WriteVideo(path, EncodeUncompressedAvi(FourFrames()));
    CPAVIPlayer player;
    EXPECT_EQ(player.Play(name, true), S_OK);
}

TEST_F(VideoPlayer, CutAndRandomFilesFailCleanlyOrPlayWhatDecodes) {
    const auto damaged = DamagedCopies(EncodeUncompressedAvi(FourFrames()));
    GetLog().SetSink([](std::string_view) {});
    for (const auto& bytes : damaged) {
        WriteVideo("bad.avi", bytes);
        CPAVIPlayer player;
        if (player.Play("bad.avi", true) != S_OK)
            continue;
        player.Start();
        for (int frame = 0; frame < 10 && !player.killFlag; ++frame)
            Advance(player, 0.1f);
        EXPECT_TRUE(player.killFlag);
    }
    GetLog().SetSink(nullptr);
}

namespace {

// A quad over the whole screen in clip space (the frame's matrices are
// identity) whose texture coordinates cover `du` x `dv` texels from the
// texture's top-left corner of a `width` x `height` texture.
std::unique_ptr<CPRenderObject> CornerQuad(const CPRefPtr<CPMaterial>& material, float du, float dv,
                                           float width, float height) {
    auto quad = MakeMesh(material, 4, 0.5f);
    const float corners[4][4] = {{-1, -1, 0, dv}, {-1, 1, 0, 0}, {1, 1, du, 0}, {1, -1, du, dv}};
    for (int i = 0; i < 4; ++i) {
        MeshVertex& vertex = quad->sourceVertices[i];
        vertex.x = corners[i][0];
        vertex.y = corners[i][1];
        vertex.u0 = corners[i][2] / width;
        vertex.v0 = corners[i][3] / height;
    }
    quad->indices = {0, 1, 2, 0, 2, 3};
    quad->vertices = quad->sourceVertices;
    return quad;
}

} // namespace

// On the OpenGL device of SDL's offscreen driver, a quad textured "video"
// over the frame's corner of the texture shows the first frame.
TEST(VideoPixels, AQuadTexturedVideoShowsTheFirstFrame) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    constexpr int kWidth = 64, kHeight = 48;
    RenderTestScene scene(PlatGraphicsBackendKind::OpenGL, kWidth, kHeight);
    ASSERT_TRUE(scene.started);
    // Quarters of red, green, blue and white; then a grey frame.
    RawVideo video;
    video.width = 320;
    video.height = 240;
    const uint32_t quarters[2][2] = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}};
    std::vector<uint32_t> first(320 * 240);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            first[static_cast<size_t>(y) * 320 + x] = quarters[y / 120][x / 160];
    video.frames = {first, std::vector<uint32_t>(320 * 240, 0x808080)};
    WriteVideo("quarters.avi", EncodeUncompressedAvi(video));

    CPAVIPlayer player;
    ASSERT_EQ(player.Play("quarters.avi", true), S_OK);
    ASSERT_TRUE(player.Start());
    const auto material = scene.Material(20, "simple.fx", {"video"});
    const auto quad = CornerQuad(material, 320, 240, 512, 256);
    scene.render->GetRenderBlock()->AddRenderObject(quad.get());
    scene.render->Update();
    const std::vector<uint32_t> pixels = scene.BackBufferPixels();
    ASSERT_EQ(pixels.size(), std::size_t(kWidth * kHeight));
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column) {
            const uint32_t shown = pixels[(row * 24 + 12) * kWidth + column * 32 + 16] & 0xFFFFFF;
            EXPECT_EQ(shown, quarters[row][column]) << std::hex << shown << " at " << row << column;
        }
}
