#include "RenderTestScene.h"

#include "Core/Log.h"
#include "Render/PEffectManager.h"
#include "Render/PTextureManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Captures the log while it lives.
class LogCapture {
public:
    LogCapture() {
        GetLog().SetSink([this](std::string_view line) { text += line; });
    }
    ~LogCapture() { GetLog().SetSink({}); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    std::string text;
};

class MaterialTableTest : public ::testing::Test {
protected:
    MaterialTableTest() : scene(PlatGraphicsBackendKind::Recording, 64, 48) {
        RenderTestScene::WritePicture("Data/Textures/wall.tga", Image(4, 4, 0xff102030));
        RenderTestScene::WritePicture("Data/Textures/grass.tga", Image(8, 2, 0xff00ff00));
        // Only the "jpg" sibling of "sky.tga" exists.
        const std::vector<uint8_t> sky = EncodeJpeg(Image(4, 3, 0xff0000ff), 90);
        TempGameRoot::WriteFile("Data/Textures/sky.jpg", std::string(sky.begin(), sky.end()));
        TempGameRoot::WriteFile("Data/Textures/broken.tga", "not a picture");
        TempGameRoot::WriteFile("Data/Effects/broken.fx", "technique T\n pass P\n  render FOGSTRAT 1\nend\n");
    }

    CPRefPtr<CPTexture> Texture(const std::string& request) {
        CPRefPtr<CPTexture> texture;
        g_TextureManager->GetTexture(texture, request);
        return texture;
    }

    RenderTestScene scene;
};

TEST_F(MaterialTableTest, TexturesByTheirSpecs) {
    struct Case {
        const char* request;
        int width, height;
        DWORD levels;
        bool cube;
        bool errorTexture;
        bool reported;
    };
    const Case cases[] = {
        {"wall.tga", 4, 4, 3, false, false, false},
        {"wall.tga,nomip", 4, 4, 1, false, false, false},
        {"grass.tga", 8, 2, 4, false, false, false},
        // Loaded from the "jpg" sibling, rounded up to powers of two.
        {"sky.tga", 4, 4, 3, false, false, false},
        {"missing.tga", 2, 2, 2, false, true, false},
        {"broken.tga", 2, 2, 2, false, true, true},
        // A flat picture is no cube map.
        {"wall.tga,cube", 2, 2, 2, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        LogCapture log;
        const CPRefPtr<CPTexture> texture = Texture(c.request);
        ASSERT_TRUE(texture);
        EXPECT_EQ(texture->width, c.width);
        EXPECT_EQ(texture->height, c.height);
        EXPECT_EQ(texture->isCube, c.cube);
        ASSERT_NE(texture->texture, nullptr);
        EXPECT_EQ(texture->texture->GetLevelCount(), c.levels);
        EXPECT_EQ(texture->name, c.errorTexture ? "error.tga" : c.request);
        EXPECT_EQ(log.text.find("DXError if Render\\PTexture") != std::string::npos, c.reported) << log.text;
        // Whatever failed, the log names the file.
        EXPECT_EQ(log.text.find(std::string("Data\\Textures\\") + c.request) != std::string::npos,
                  c.errorTexture && std::string(c.request) != "wall.tga,cube")
            << log.text;
        // Cached under the requested string, whatever was loaded.
        EXPECT_EQ(Texture(c.request).Get(), texture.Get());
    }
    EXPECT_NE(Texture("wall.tga").Get(), Texture("wall.tga,nomip").Get());
    EXPECT_TRUE(g_TextureManager->GetTextures().contains("video"));
    EXPECT_TRUE(g_TextureManager->GetTextures().contains("video1"));
}

TEST_F(MaterialTableTest, TexLodDropsTheFinestLevelsOfMipMappedTextures) {
    g_TexLod = 1;
    EXPECT_EQ(Texture("grass.tga")->texture->GetLOD(), 1u);
    EXPECT_EQ(Texture("wall.tga,nomip")->texture->GetLOD(), 0u);
    g_TexLod = -1;
    EXPECT_EQ(Texture("wall.tga")->texture->GetLOD(), 0u);
}

TEST_F(MaterialTableTest, TheVideoPlayersKeepTheirTextures) {
    for (const char* name : {"VIDEO", "VIDEO1", "other"}) {
        IDirect3DTexture9* picture = nullptr;
        ASSERT_EQ(scene.render->GetDevice()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                                           &picture, nullptr),
                  S_OK);
        auto* texture = new CPTexture();
        texture->name = name;
        texture->texture = picture;
        picture->AddRef();
        delete texture;
        // The player's own reference is the last one only when the texture
        // let go of its reference.
        const bool owned = std::string(name) != "other";
        EXPECT_EQ(picture->Release(), owned ? 1u : 0u) << name;
        if (owned)
            picture->Release();
    }
}

TEST_F(MaterialTableTest, MaterialsAndBlocksAreShared) {
    const auto a = scene.Material(20, "simple.fx", {"wall.tga", "grass.tga"});
    EXPECT_EQ(scene.Material(20, "simple.fx", {"wall.tga", "grass.tga"}).Get(), a.Get());
    const auto higher = scene.Material(21, "simple.fx", {"wall.tga", "grass.tga"});
    EXPECT_NE(higher.Get(), a.Get());
    EXPECT_EQ(higher->effect.Get(), a->effect.Get());
    EXPECT_EQ(higher->textures.Get(), a->textures.Get());
    const auto swapped = scene.Material(20, "simple.fx", {"grass.tga", "wall.tga"});
    EXPECT_NE(swapped->textures.Get(), a->textures.Get());
    EXPECT_EQ(scene.Material(20, "simple.fx").Get(), scene.Material(20, "simple.fx", {}).Get());
    EXPECT_EQ(a->GetClassName(), "CPMaterial - simple.fx");
}

TEST_F(MaterialTableTest, EffectsByTheirSpecsWithTheirFallbacks) {
    struct Case {
        const char* request;
        const char* loadedAs;
        std::size_t textureHandles;
        bool reported;
    };
    const Case cases[] = {
        {"simple.fx", "simple.fx", 1, false},
        {"mesh.fx,shared", "mesh.fx,shared", 1, false},
        {"mesh.fx", "mesh.fx", 1, false},
        // A missing file draws like simple.fx under its own name.
        {"missing.fx", "missing.fx", 1, false},
        {"broken.fx", "error.fx", 0, true},
        {"shad2.fx", "shad2.fx", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        LogCapture log;
        CPRefPtr<CPEffect> effect;
        g_EffectManager->GetEffect(effect, c.request);
        ASSERT_NE(effect->effect, nullptr);
        EXPECT_EQ(effect->name, c.loadedAs);
        EXPECT_EQ(effect->textureHandles.size(), c.textureHandles);
        EXPECT_EQ(log.text.find("DXError if Render\\PEffect on line 69") != std::string::npos, c.reported);
        const bool fallenBack =
            std::string(c.request) == "missing.fx" || std::string(c.request) == "broken.fx";
        EXPECT_EQ(log.text.find(c.request) != std::string::npos, fallenBack) << log.text;
        CPRefPtr<CPEffect> again;
        g_EffectManager->GetEffect(again, c.request);
        EXPECT_EQ(again.Get(), effect.Get());
    }
    CPRefPtr<CPEffect> shared, plain;
    g_EffectManager->GetEffect(shared, "mesh.fx,shared");
    g_EffectManager->GetEffect(plain, "mesh.fx");
    EXPECT_NE(shared.Get(), plain.Get());
    // The first shared effect carries the frame's shared parameters.
    EXPECT_EQ(g_EffectManager->GetSharedEffect(), shared->effect);
    EXPECT_NE(g_EffectManager->GetSharedHandle(CPEffectManager::LIGHT), nullptr);
}

TEST_F(MaterialTableTest, EffectsBindTheBlockTexturesToTheirParameters) {
    const auto material = scene.Material(20, "simple.fx", {"wall.tga", "grass.tga"});
    material->effect->SetTextures(*material->textures);
    const auto nothing = scene.Material(20, "shad2.fx", {"wall.tga"});
    nothing->effect->SetTextures(*nothing->textures);
    UINT passes = 0;
    ID3DXEffect* effect = material->effect->effect;
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    IDirect3DBaseTexture9* bound = nullptr;
    scene.render->GetDevice()->GetTexture(0, &bound);
    EXPECT_EQ(bound, Texture("wall.tga")->texture);
    if (bound)
        bound->Release();
    effect->EndPass();
    effect->End();
}

} // namespace
