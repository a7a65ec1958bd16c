#include "GraphicsTestDevice.h"
#include "ImageFixtures.h"

#include "Platform/Graphics/TextureLoader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kFaceColours[6] = {kRed, kGreen, kBlue, kWhite, 0xFF101010, 0xFF202020};
const TestPicture kQuad{2, 2, {kRed, kGreen, kBlue, kWhite}};

TestBytes Block(std::initializer_list<uint8_t> bytes) {
    return TestBytes(bytes);
}

// One 4x4 block of each DXT kind; the first row uses four different codes.
// DXT1: red and blue ends, first row indices 0 1 2 3.
const TestBytes kDxt1Block = Block({0x00, 0xF8, 0x1F, 0x00, 0xE4, 0, 0, 0});
// DXT1 with the smaller end first: three colours and transparent black.
const TestBytes kDxt1TransparentBlock = Block({0x1F, 0x00, 0x00, 0xF8, 0xE4, 0, 0, 0});
// DXT3: alphas 0, 15, 8, 1 in the first row; green.
const TestBytes kDxt3Block = Block({0xF0, 0x18, 0, 0, 0, 0, 0, 0, 0xE0, 0x07, 0, 0, 0, 0, 0, 0});
// DXT5: ends 255 and 0, first row codes 0, 1, 2, 7 (the rest 0); green.
const TestBytes kDxt5Block = Block({0xFF, 0x00, 0x88, 0x0E, 0, 0, 0, 0, 0xE0, 0x07, 0x1F, 0, 0, 0, 0, 0});

TestBytes Repeat(const TestBytes& block, int count) {
    TestBytes bytes;
    for (int i = 0; i < count; ++i)
        bytes.insert(bytes.end(), block.begin(), block.end());
    return bytes;
}

TestBytes DxtFile(const char* fourCC, const TestBytes& block, uint32_t levels) {
    return WriteDds({4, 4, levels, false, fourCC, 32, Repeat(block, int(levels))});
}

TestBytes Uncompressed32WithMips() {
    TestDds dds{2, 2, 2, false, "", 32, {}};
    AppendTexels(dds.payload, kQuad.texels, 32);
    AppendTexels(dds.payload, {0x80123456}, 32);
    return WriteDds(dds);
}

TestBytes Uncompressed24() {
    TestDds dds{2, 1, 1, false, "", 24, {}};
    AppendTexels(dds.payload, {kRed, kBlue}, 24);
    return WriteDds(dds);
}

TestBytes CubeFile() {
    TestDds dds{2, 2, 1, true, "", 32, {}};
    for (uint32_t colour : kFaceColours)
        AppendTexels(dds.payload, std::vector<uint32_t>(4, colour), 32);
    return WriteDds(dds);
}

TestBytes Tga24() {
    return WriteTga(kQuad, 24, false, false);
}

// Runs of three, two and three texels, the second crossing into row two.
TestBytes Tga32RunLength() {
    return WriteTga(
        {4, 2, {0x80FF0000, 0x80FF0000, 0x80FF0000, 0x10203040, 0x10203040, kWhite, kWhite, kWhite}}, 32,
        true, true);
}

// A raw packet (the bottom row comes first), then a run.
TestBytes Tga8RunLength() {
    return WriteTga({2, 2, {0xFF000010, 0xFF000010, 0xFF000080, 0xFF0000FF}}, 8, true, false);
}

TestBytes Dxt1() {
    return DxtFile("DXT1", kDxt1Block, 3);
}
TestBytes Dxt1Transparent() {
    return DxtFile("DXT1", kDxt1TransparentBlock, 1);
}
TestBytes Dxt3() {
    return DxtFile("DXT3", kDxt3Block, 1);
}
TestBytes Dxt5() {
    return DxtFile("DXT5", kDxt5Block, 1);
}
TestBytes Png() {
    return WritePng({2, 2, {0x80FF0000, kGreen, kBlue, kWhite}});
}
TestBytes Bmp() {
    return WriteBmp(kQuad);
}
TestBytes JpegFourByThree() {
    return WriteJpeg({4, 3, std::vector<uint32_t>(12, 0xFF808080)});
}

struct Shape {
    UINT width, height, levels;
};

struct ImageCase {
    const char* name;
    TestBytes (*build)();
    size_t fileBytes;
    bool cube;
    Shape texture; // with default sizes and mip levels
    Shape source;  // the file's own
    D3DXIMAGE_FILEFORMAT fileFormat;
    D3DFORMAT sourceFormat;
    std::vector<uint32_t> firstTexels;
    int tolerance;
};

const ImageCase kImageCases[] = {
    {"Tga24BottomFirst",
     Tga24,
     18 + 12,
     false,
     {2, 2, 2},
     {2, 2, 1},
     D3DXIFF_TGA,
     D3DFMT_X8R8G8B8,
     kQuad.texels,
     0},
    {"Tga32RunLengthTopFirst",
     Tga32RunLength,
     18 + 3 * 5,
     false,
     {4, 2, 3},
     {4, 2, 1},
     D3DXIFF_TGA,
     D3DFMT_A8R8G8B8,
     {0x80FF0000, 0x80FF0000, 0x80FF0000, 0x10203040, 0x10203040, kWhite},
     0},
    {"Tga8GreyRunLength",
     Tga8RunLength,
     18 + 3 + 2,
     false,
     {2, 2, 2},
     {2, 2, 1},
     D3DXIFF_TGA,
     D3DFMT_X8R8G8B8,
     {0xFF101010, 0xFF101010, 0xFF808080, kWhite},
     0},
    {"Dds32WithMips",
     Uncompressed32WithMips,
     128 + 16 + 4,
     false,
     {2, 2, 2},
     {2, 2, 2},
     D3DXIFF_DDS,
     D3DFMT_A8R8G8B8,
     kQuad.texels,
     0},
    {"Dds24",
     Uncompressed24,
     128 + 6,
     false,
     {2, 1, 2},
     {2, 1, 1},
     D3DXIFF_DDS,
     D3DFMT_X8R8G8B8,
     {kRed, kBlue},
     0},
    {"Dxt1WithMips",
     Dxt1,
     128 + 3 * 8,
     false,
     {4, 4, 3},
     {4, 4, 3},
     D3DXIFF_DDS,
     D3DFMT_DXT1,
     {kRed, kBlue, 0xFFAA0055, 0xFF5500AA, kRed},
     0},
    {"Dxt1Transparent",
     Dxt1Transparent,
     128 + 8,
     false,
     {4, 4, 3},
     {4, 4, 1},
     D3DXIFF_DDS,
     D3DFMT_DXT1,
     {kBlue, kRed, 0xFF7F007F, 0x00000000, kBlue},
     0},
    {"Dxt3",
     Dxt3,
     128 + 16,
     false,
     {4, 4, 3},
     {4, 4, 1},
     D3DXIFF_DDS,
     D3DFMT_DXT3,
     {0x0000FF00, 0xFF00FF00, 0x8800FF00, 0x1100FF00, 0x0000FF00},
     0},
    {"Dxt5",
     Dxt5,
     128 + 16,
     false,
     {4, 4, 3},
     {4, 4, 1},
     D3DXIFF_DDS,
     D3DFMT_DXT5,
     {0xFF00FF00, 0x0000FF00, 0xDA00FF00, 0x2400FF00, 0xFF00FF00},
     0},
    {"CubeDds",
     CubeFile,
     128 + 6 * 16,
     true,
     {2, 2, 2},
     {2, 2, 1},
     D3DXIFF_DDS,
     D3DFMT_A8R8G8B8,
     std::vector<uint32_t>(4, kRed),
     0},
    {"PngWithAlpha",
     Png,
     0,
     false,
     {2, 2, 2},
     {2, 2, 1},
     D3DXIFF_PNG,
     D3DFMT_A8R8G8B8,
     {0x80FF0000, kGreen, kBlue, kWhite},
     0},
    {"Bmp", Bmp, 14 + 40 + 2 * 8, false, {2, 2, 2}, {2, 2, 1}, D3DXIFF_BMP, D3DFMT_X8R8G8B8, kQuad.texels, 0},
    {"JpegFourByThreeRoundsToFourByFour",
     JpegFourByThree,
     0,
     false,
     {4, 4, 3},
     {4, 3, 1},
     D3DXIFF_JPG,
     D3DFMT_X8R8G8B8,
     std::vector<uint32_t>(16, 0xFF808080),
     3},
};

::testing::AssertionResult NearTexel(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance)
            return ::testing::AssertionFailure() << std::hex << actual << " is not near " << expected;
    return ::testing::AssertionSuccess();
}

// Loads as callers do: default sizes, format and filters, the managed pool.
HRESULT Load(IDirect3DDevice9* device, const TestBytes& bytes, bool cube, IDirect3DBaseTexture9** texture,
             D3DXIMAGE_INFO* info, UINT mipLevels = D3DX_DEFAULT) {
    const UINT size = static_cast<UINT>(bytes.size());
    constexpr DWORD kMipFilter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER;
    if (cube) {
        IDirect3DCubeTexture9* loaded = nullptr;
        const HRESULT hr = D3DXCreateCubeTextureFromFileInMemoryEx(
            device, bytes.data(), size, D3DX_DEFAULT, mipLevels, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
            D3DX_DEFAULT, kMipFilter, 0, info, nullptr, &loaded);
        *texture = loaded;
        return hr;
    }
    IDirect3DTexture9* loaded = nullptr;
    const HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
        device, bytes.data(), size, D3DX_DEFAULT, D3DX_DEFAULT, mipLevels, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
        D3DX_DEFAULT, kMipFilter, 0, info, nullptr, &loaded);
    *texture = loaded;
    return hr;
}

// The loader on either backend: both keep the texels, the OpenGL one also
// uploads every level and face.
class TextureLoading : public ::testing::TestWithParam<PlatGraphicsBackendKind> {
protected:
    void SetUp() override { ASSERT_EQ(device.result, D3D_OK); }

    // Level 0 of face 0 of a texture loaded with the given mip count.
    std::vector<uint32_t> LoadedTexels(const TestBytes& bytes, UINT level, UINT mipLevels = D3DX_DEFAULT) {
        IDirect3DBaseTexture9* texture = nullptr;
        D3DXIMAGE_INFO info;
        EXPECT_EQ(Load(device.Get(), bytes, false, &texture, &info, mipLevels), D3D_OK);
        if (!texture)
            return {};
        std::vector<uint32_t> texels;
        if (level < texture->GetLevelCount())
            texels.assign(texture->GetLevelTexels(0, level),
                          texture->GetLevelTexels(0, level) +
                              texture->GetLevelWidth(level) * texture->GetLevelHeight(level));
        texture->Release();
        return texels;
    }

    GraphicsTestDevice device{GetParam(), 8, 8};
};

TEST_P(TextureLoading, EachFormatGivesItsSizeLevelsAndTexels) {
    for (const ImageCase& c : kImageCases) {
        SCOPED_TRACE(c.name);
        const TestBytes bytes = c.build();
        if (c.fileBytes != 0) {
            EXPECT_EQ(bytes.size(), c.fileBytes) << "fixture size";
        }
        IDirect3DBaseTexture9* texture = nullptr;
        D3DXIMAGE_INFO info;
        ASSERT_EQ(Load(device.Get(), bytes, c.cube, &texture, &info), D3D_OK);
        EXPECT_EQ(texture->GetType(), c.cube ? D3DRTYPE_CUBETEXTURE : D3DRTYPE_TEXTURE);
        EXPECT_EQ(texture->GetLevelWidth(0), c.texture.width);
        EXPECT_EQ(texture->GetLevelHeight(0), c.texture.height);
        EXPECT_EQ(texture->GetLevelCount(), c.texture.levels);
        EXPECT_EQ(texture->GetFormat(),
                  c.sourceFormat == D3DFMT_X8R8G8B8 ? D3DFMT_X8R8G8B8 : D3DFMT_A8R8G8B8);
        const uint32_t* texels = texture->GetLevelTexels(0, 0);
        for (size_t i = 0; i < c.firstTexels.size(); ++i)
            EXPECT_TRUE(NearTexel(texels[i], c.firstTexels[i], c.tolerance)) << "texel " << i;

        EXPECT_EQ(info.Width, c.source.width);
        EXPECT_EQ(info.Height, c.source.height);
        EXPECT_EQ(info.MipLevels, c.source.levels);
        EXPECT_EQ(info.Format, c.sourceFormat);
        EXPECT_EQ(info.ImageFileFormat, c.fileFormat);
        EXPECT_EQ(info.ResourceType, c.cube ? D3DRTYPE_CUBETEXTURE : D3DRTYPE_TEXTURE);
        D3DXIMAGE_INFO alone;
        ASSERT_EQ(D3DXGetImageInfoFromFileInMemory(bytes.data(), UINT(bytes.size()), &alone), D3D_OK);
        EXPECT_EQ(alone.Width, info.Width);
        EXPECT_EQ(alone.Height, info.Height);
        EXPECT_EQ(alone.MipLevels, info.MipLevels);
        texture->Release();
    }
}

TEST_P(TextureLoading, CubeFacesKeepTheirOrderAndTwoDimensionalLoadsTakeTheFirst) {
    IDirect3DBaseTexture9* texture = nullptr;
    D3DXIMAGE_INFO info;
    ASSERT_EQ(Load(device.Get(), CubeFile(), true, &texture, &info), D3D_OK);
    for (UINT face = 0; face < 6; ++face) {
        EXPECT_EQ(texture->GetLevelTexels(face, 0)[3], kFaceColours[face]) << "face " << face;
        EXPECT_EQ(texture->GetLevelTexels(face, 1)[0], kFaceColours[face])
            << "generated level of face " << face;
    }
    texture->Release();

    ASSERT_EQ(Load(device.Get(), CubeFile(), false, &texture, &info), D3D_OK);
    EXPECT_EQ(texture->GetType(), D3DRTYPE_TEXTURE);
    EXPECT_EQ(texture->GetLevelTexels(0, 0)[0], kRed);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_CUBETEXTURE);
    texture->Release();

    EXPECT_EQ(Load(device.Get(), Tga24(), true, &texture, &info), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
}

TEST_P(TextureLoading, MipLevelsComeFromTheFileOrAreFilteredDown) {
    // The file's own second level is taken as it is.
    EXPECT_EQ(LoadedTexels(Uncompressed32WithMips(), 1), std::vector<uint32_t>{0x80123456});
    // Without one, each level is the mean of the one above (a 2x2 tent and
    // box agree): red, green, blue and white average to 127.5 per channel.
    EXPECT_EQ(LoadedTexels(Tga24(), 1), std::vector<uint32_t>{0xFF808080});
    // "nomip": one level only.
    EXPECT_TRUE(LoadedTexels(Tga24(), 1, 1).empty());
    EXPECT_TRUE(LoadedTexels(Uncompressed32WithMips(), 1, 1).empty());
}

TEST_P(TextureLoading, SizesThatAreNoPowerOfTwoAreRoundedUpAndTheImageRescaled) {
    // Grey 0, 100, 200 across three texels, stretched over four.
    const TestBytes file = WriteTga({3, 1, {0xFF000000, 0xFF000064, 0xFF0000C8}}, 8, false, true);
    const std::vector<uint32_t> expected{0xFF000000, 0xFF3F3F3F, 0xFF8A8A8A, 0xFFC8C8C8};
    EXPECT_EQ(LoadedTexels(file, 0), expected);
    D3DXIMAGE_INFO info;
    ASSERT_EQ(D3DXGetImageInfoFromFileInMemory(file.data(), UINT(file.size()), &info), D3D_OK);
    EXPECT_EQ(info.Width, 3u) << "the file's own size, for callers that show the image unscaled";
}

INSTANTIATE_TEST_SUITE_P(Backends, TextureLoading, kBothBackends, BackendName);

// Every reader checks its data: a cut or damaged file is refused as invalid
// data, never read beyond its end.
struct BrokenImages : ::testing::Test {
    HRESULT LoadBytes(const TestBytes& bytes, bool cube = false) {
        IDirect3DBaseTexture9* texture = nullptr;
        D3DXIMAGE_INFO info;
        // A copy of exactly the given length, so that reading past it is seen.
        const auto copy = std::make_unique<uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), copy.get());
        const UINT size = static_cast<UINT>(bytes.size());
        IDirect3DTexture9* flat = nullptr;
        IDirect3DCubeTexture9* cubeTexture = nullptr;
        const HRESULT hr =
            cube ? D3DXCreateCubeTextureFromFileInMemoryEx(
                       device.Get(), copy.get(), size, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                       D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &cubeTexture)
                 : D3DXCreateTextureFromFileInMemoryEx(
                       device.Get(), copy.get(), size, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                       D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &flat);
        texture = flat ? static_cast<IDirect3DBaseTexture9*>(flat) : cubeTexture;
        if (texture)
            texture->Release();
        return hr;
    }

    GraphicsTestDevice device{PlatGraphicsBackendKind::Recording, 8, 8};
};

TEST_F(BrokenImages, EveryCutOfAFileIsRefused) {
    for (const ImageCase& c : kImageCases) {
        SCOPED_TRACE(c.name);
        const TestBytes bytes = c.build();
        // stb_image takes a PNG cut inside its end marker and decodes what a
        // cut JPEG still holds; neither may crash.
        const bool mustFail = c.fileFormat != D3DXIFF_PNG && c.fileFormat != D3DXIFF_JPG;
        for (size_t length = 0; length < bytes.size(); ++length) {
            const HRESULT hr = LoadBytes(TestBytes(bytes.begin(), bytes.begin() + length), c.cube);
            if (mustFail)
                ASSERT_EQ(hr, D3DXERR_INVALIDDATA) << "cut at " << length;
            else
                ASSERT_TRUE(hr == D3DXERR_INVALIDDATA || hr == D3D_OK) << "cut at " << length;
        }
    }
}

// Sets a little-endian field of a file.
TestBytes With(TestBytes bytes, size_t offset, uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes[offset + i] = uint8_t(value >> (8 * i));
    return bytes;
}

TEST_F(BrokenImages, DamagedHeadersAreRefused) {
    const TestBytes tga = Tga24();
    const TestBytes rle = WriteTga(kQuad, 32, true, true);
    const TestBytes dds = Uncompressed32WithMips();
    const TestBytes cube = CubeFile();
    const struct {
        const char* name;
        TestBytes bytes;
        bool cube;
    } cases[] = {
        {"tga colour-mapped", With(tga, 2, 1, 1), false},
        {"tga 16-bit", With(tga, 16, 16, 1), false},
        {"tga zero width", With(tga, 12, 0, 2), false},
        {"tga wider than the data", With(tga, 12, 3, 2), false},
        {"tga larger than any texture", With(With(tga, 12, 9000, 2), 14, 1, 2), false},
        {"tga right to left", With(tga, 17, 0x10, 1), false},
        {"tga identification past the end", With(tga, 0, 200, 1), false},
        {"tga run past the last pixel", With(rle, 18, 0x84, 1), false},
        {"dds header size", With(dds, 4, 100, 4), false},
        {"dds more levels than the size has", With(dds, 28, 3, 4), false},
        {"dds taller than the data", With(dds, 12, 4, 4), false},
        {"dds huge", With(With(dds, 12, 0x40000000, 4), 16, 0x40000000, 4), false},
        {"dds unknown four-cc", With(With(dds, 80, 0x4, 4), 84, 0x31545845, 4), false},
        {"dds 16-bit colour", With(dds, 88, 16, 4), false},
        {"dds overlapping masks", With(dds, 100, 0xFF00, 4), false},
        {"dds volume", With(dds, 112, 0x200000, 4), false},
        {"cube with five faces", With(cube, 112, 0x7E00, 4), true},
        {"cube not square", With(cube, 12, 1, 4), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoadBytes(c.bytes, c.cube), D3DXERR_INVALIDDATA) << c.name;
}

TEST_F(BrokenImages, UnsupportedArgumentsAreInvalidCalls) {
    const TestBytes tga = Tga24();
    const UINT size = UINT(tga.size());
    // Any value: a refused call must leave null behind.
    IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(&device);
    EXPECT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                  device.Get(), tga.data(), size, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                  D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0xFF000000, nullptr, nullptr, &texture),
              D3DERR_INVALIDCALL)
        << "colour key";
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(D3DXCreateTextureFromFileInMemoryEx(device.Get(), nullptr, size, D3DX_DEFAULT, D3DX_DEFAULT,
                                                  D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                  D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
              D3DERR_INVALIDCALL)
        << "no data";
    EXPECT_EQ(D3DXCreateTextureFromFileInMemoryEx(device.Get(), tga.data(), size, 16384, D3DX_DEFAULT,
                                                  D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                  D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
              D3DERR_INVALIDCALL)
        << "larger than any texture";
    EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(tga.data(), size, nullptr), D3DERR_INVALIDCALL);
}

} // namespace
