#include "Sound/NWaveFile.h"
#include "WaveFixtures.h"

#include <gtest/gtest.h>

TEST(WaveFileTest, FixturesHaveTheirLayoutSizes) {
    EXPECT_EQ(OddListBeforeOdd8BitData().size(), 62u);
    EXPECT_EQ(Stereo16Bit().size(), 44u + 16u);
    EXPECT_EQ(EncodeWave(std::vector<float>(10, 0.0f), {}).size(), 44u + 20u);
}

// What the reader makes of each fixture: its format and its sample data.
TEST(WaveFileTest, ReadsFormatAndDataOfEachFixture) {
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        bool opens;
        WORD tag, channels, bits;
        DWORD rate;
        std::vector<uint8_t> data;
    } cases[] = {
        {"odd LIST before odd 8-bit data", OddListBeforeOdd8BitData(), true, 1, 1, 8, 22050, {1, 2, 3, 4, 5}},
        {"16-bit stereo", Stereo16Bit(), true, 1, 2, 16, 44100, Stereo16BitData()},
        {"non-PCM, extra bytes inside", NonPcm(2, 2), true, 2, 1, 4, 22050, {9, 9}},
        {"non-PCM, extra bytes past fmt", NonPcm(30, 2), false, 0, 0, 0, 0, {}},
        {"data past the end", DataPastTheEnd(), true, 1, 1, 16, 22050, {1, 2, 3, 4}},
        {"not RIFF", NotRiff(), false, 0, 0, 0, 0, {}},
        {"short fmt", ShortFormat(), false, 0, 0, 0, 0, {}},
        {"no data chunk", NoDataChunk(), false, 0, 0, 0, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CNWaveFile wave;
        ASSERT_EQ(SUCCEEDED(wave.Open(c.bytes)), c.opens);
        if (!c.opens) {
            EXPECT_EQ(wave.GetFormat(), nullptr);
            EXPECT_EQ(wave.GetSize(), 0u);
            continue;
        }
        const WAVEFORMATEX* format = wave.GetFormat();
        ASSERT_NE(format, nullptr);
        EXPECT_EQ(format->wFormatTag, c.tag);
        EXPECT_EQ(format->nChannels, c.channels);
        EXPECT_EQ(format->wBitsPerSample, c.bits);
        EXPECT_EQ(format->nSamplesPerSec, c.rate);
        ASSERT_EQ(wave.GetSize(), c.data.size());
        std::vector<uint8_t> data(c.data.size() + 4, 0xEE);
        DWORD read = 0;
        ASSERT_EQ(wave.Read(data.data(), static_cast<DWORD>(data.size()), &read), S_OK);
        EXPECT_EQ(read, c.data.size());
        data.resize(read);
        EXPECT_EQ(data, c.data);
        EXPECT_EQ(wave.Read(data.data(), 1, &read), S_OK);
        EXPECT_EQ(read, 0u) << "the data ends where the chunk does";
        EXPECT_EQ(wave.ResetFile(), S_OK);
        EXPECT_EQ(wave.Read(data.data(), 1, &read), S_OK);
        EXPECT_EQ(read, 1u) << "ResetFile goes back to the start";
        EXPECT_EQ(wave.Read(nullptr, 1, &read), E_INVALIDARG);
        EXPECT_EQ(wave.Read(data.data(), 1, nullptr), E_INVALIDARG);
    }
}

// Every fixture cut after every byte fails or reads only what is there;
// the sanitizer build catches a read past the end.
TEST(WaveFileTest, EveryCutFixtureFailsCleanly) {
    for (const std::vector<uint8_t>& whole : AllWaveFixtures()) {
        for (std::size_t length = 0; length < whole.size(); ++length) {
            CNWaveFile wave;
            if (FAILED(wave.Open(std::vector<uint8_t>(whole.begin(), whole.begin() + length))))
                continue;
            std::vector<uint8_t> data(wave.GetSize() + 1);
            DWORD read = 0;
            wave.Read(data.data(), static_cast<DWORD>(data.size()), &read);
            EXPECT_LE(read, length);
            EXPECT_EQ(read, wave.GetSize());
        }
    }
}

TEST(WaveFileTest, FilesAreReadFromDisk) {
    CNWaveFile wave;
    EXPECT_EQ(wave.Open(static_cast<const char*>(nullptr)), E_INVALIDARG);
    EXPECT_EQ(wave.Open("no-such-folder\\no-such.wav"), E_FAIL);
}
