#include "Platform/Sound/DirectSound8.h"
#include "Platform/Video/VideoStream.h"

#include <gtest/gtest.h>

// The intro the build encodes: 320 x 240 pictures, 25 a second for five
// seconds, with a sound track (found, then refused for want of a sound
// device in this test).
TEST(VideoTool, TheDemoIntroIsFiveSecondsOf320By240WithSound) {
    const std::string path = KV_BUILD_DATA "/Video/intro.avi";
    std::unique_ptr<IVideoStream> video;
    std::string error;
    ASSERT_EQ(PlatOpenVideo(path, video, error), S_OK) << error;
    EXPECT_EQ(video->GetWidth(), 320);
    EXPECT_EQ(video->GetHeight(), 240);
    EXPECT_DOUBLE_EQ(video->GetFrameRate(), 25);
    std::vector<uint32_t> pixels;
    double time = 0;
    int frames = 0;
    while (video->ReadFrame(pixels, time))
        ++frames;
    EXPECT_EQ(frames, 125);
    EXPECT_NEAR(time, 4.96, 1e-6);

    std::unique_ptr<PlatMusicStream> sound;
    EXPECT_EQ(PlatOpenVideoSound(path, sound, error), DSERR_NODRIVER) << error;
}
