#pragma once

#include "Core/PSettings.h"
#include "Platform/Recording/RecordingBackend.h"
#include "Render/PMaterialManager.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "Render/PSceneObject.h"
#include "Support/TempGameRoot.h"
#include "imagetool/EnginePictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

// A started renderer with its material manager, on the chosen device, in a
// temporary game root that holds the engine's own effect files and the post
// effects' pictures.
class RenderTestScene {
public:
    RenderTestScene(PlatGraphicsBackendKind kind, int width, int height) {
        g_ScreenWidth = width;
        g_ScreenHeight = height;
        for (const auto& effect : std::filesystem::directory_iterator(KV_SOURCE_DIR "/data/effects"))
            std::filesystem::copy_file(effect.path(), CopyTarget("Data/Effects", effect.path()));
        WritePicture("Data/Textures/error.tga", Image(2, 2, 0xffff00ff));
        WritePicture("Data/Textures/blurmask_2.tga", BlurMaskPicture());
        WritePicture("Data/Textures/noise.tga", NoisePicture());
        PlatSetGraphicsBackendKind(kind);
        materials = new CPMaterialManager();
        render = new CPRender();
        started = render->Start();
        PlatSetGraphicsBackendKind(PlatGraphicsBackendKind::OpenGL);
    }
    ~RenderTestScene() {
        delete render;
        delete materials;
        g_ScreenWidth = 640;
        g_ScreenHeight = 480;
    }
    RenderTestScene(const RenderTestScene&) = delete;
    RenderTestScene& operator=(const RenderTestScene&) = delete;

    static void WritePicture(const std::filesystem::path& path, const Image& image) {
        const std::vector<uint8_t> bytes = EncodeTga(image);
        TempGameRoot::WriteFile(path, std::string(bytes.begin(), bytes.end()));
    }

    // The back buffer's pixels, row by row from the top.
    std::vector<uint32_t> BackBufferPixels() const {
        IDirect3DSurface9* backBuffer = nullptr;
        std::vector<uint32_t> pixels;
        render->GetDevice()->GetBackBuffer(0, 0, 0, &backBuffer);
        EXPECT_EQ(render->GetDevice()->ReadSurfacePixels(backBuffer, &pixels), D3D_OK);
        backBuffer->Release();
        return pixels;
    }

    PlatRecordingBackend& Recording() const {
        return static_cast<PlatRecordingBackend&>(render->GetDevice()->GetBackend());
    }

    CPRefPtr<CPMaterial> Material(int priority, const std::string& effect,
                                  const std::vector<std::string>& textures = {}) const {
        CPRefPtr<CPMaterial> material;
        materials->GetMaterial(material, priority, effect, textures);
        return material;
    }

    TempGameRoot root;
    CPMaterialManager* materials = nullptr;
    CPRender* render = nullptr;
    bool started = false;

private:
    static std::filesystem::path CopyTarget(const std::filesystem::path& folder,
                                            const std::filesystem::path& file) {
        std::filesystem::create_directories(folder);
        return folder / file.filename();
    }
};

// Sets a setting for the guard's life and puts the old value back after.
template <class T>
class ScopedSetting {
public:
    ScopedSetting(T& setting, T value) : setting(setting), old(setting) { setting = value; }
    ~ScopedSetting() { setting = old; }
    ScopedSetting(const ScopedSetting&) = delete;
    ScopedSetting& operator=(const ScopedSetting&) = delete;

private:
    T& setting;
    T old;
};

// A game object as the renderer sees it: a world matrix, a position and
// world box, a visual, flags and children.
class TestSceneObject : public CPSceneObject {
public:
    TestSceneObject() {
        D3DXMatrixIdentity(&world);
        isStatic = false;
        visualKind = VISUAL_MESH;
    }

    const D3DXMATRIX& GetWorldMatrix() const override { return world; }
    bool IsWorldChanged() const override { return worldChanged; }
    void ClearWorldChanged() override { worldChanged = false; }
    const D3DXVECTOR3& GetPosition() const override { return position; }
    const AxisAlignedBox& GetWorldBox() const override { return worldBox; }
    CPBaseRenderObject* GetVisual() const override { return visual; }
    const D3DLIGHT9* GetLight() override { return visualKind == VISUAL_LIGHT ? &light : nullptr; }
    const std::string& GetName() const override { return name; }
    CPSceneObject* GetParentObject() const override { return parent; }
    const D3DXQUATERNION& GetOrientation() const override { return orientation; }
    D3DXVECTOR3 GetHalfSize() const override { return halfSize; }
    void SetTrackMatrix(const D3DXMATRIX& matrix) override { trackMatrices.push_back(matrix); }
    void UpdateHierarchy() override { ++hierarchyUpdates; }
    void OnAnimationEnd() override { ++animationEnds; }
    void NotifyControllerAnimationEnd() override { ++controllerAnimationEnds; }
    void UpdateController() override { ++controllerUpdates; }
    std::size_t GetChildCount() const override { return children.size(); }
    CPSceneObject* GetChild(std::size_t index) const override { return children[index]; }
    // Detail level 0 is the object itself.
    std::size_t GetLodCount() const override { return 1 + lods.size(); }
    CPSceneObject* GetLod(std::size_t index) const override {
        return index == 0 ? const_cast<TestSceneObject*>(this) : lods[index - 1];
    }
    size_t GetSize() const override { return sizeof(TestSceneObject); }
    std::string GetClassName() const override { return "TestSceneObject"; }

    D3DXMATRIX world;
    std::string name;
    CPSceneObject* parent = nullptr;
    D3DXQUATERNION orientation{0, 0, 0, 1};
    D3DXVECTOR3 halfSize{0, 0, 0};
    std::vector<D3DXMATRIX> trackMatrices;
    int hierarchyUpdates = 0;
    int animationEnds = 0;
    int controllerAnimationEnds = 0;
    int controllerUpdates = 0;
    D3DXVECTOR3 position{0, 0, 0};
    AxisAlignedBox worldBox{};
    bool worldChanged = false;
    CPBaseRenderObject* visual = nullptr;
    D3DLIGHT9 light;
    std::vector<CPSceneObject*> children;
    std::vector<CPSceneObject*> lods;
};

// A mesh of `vertexCount` vertices along x at height z (triangles fanned
// from vertex 0), white, with texture coordinates in the unit square.
inline std::unique_ptr<CPRenderObject> MakeMesh(const CPRefPtr<CPMaterial>& material, int vertexCount,
                                                float z = 0) {
    auto mesh = std::make_unique<CPRenderObject>(nullptr);
    for (int i = 0; i < vertexCount; ++i) {
        MeshVertex vertex{};
        vertex.x = static_cast<float>(i);
        vertex.y = static_cast<float>(i % 2);
        vertex.z = z;
        vertex.nz = 1;
        vertex.diffuse = 0xffffffff;
        vertex.u0 = static_cast<float>(i % 2);
        vertex.v0 = static_cast<float>(i / 2 % 2);
        mesh->sourceVertices.push_back(vertex);
    }
    for (int i = 1; i + 1 < vertexCount; ++i)
        mesh->indices.insert(mesh->indices.end(),
                             {uint16_t(0), static_cast<uint16_t>(i), static_cast<uint16_t>(i + 1)});
    mesh->vertices = mesh->sourceVertices;
    mesh->SetMaterial(material);
    return mesh;
}

// A quad through four corners, drawn from both sides.
inline std::unique_ptr<CPRenderObject> TwoSidedQuad(const CPRefPtr<CPMaterial>& material,
                                                    const D3DXVECTOR3 (&corners)[4]) {
    auto quad = MakeMesh(material, 4);
    for (int i = 0; i < 4; ++i) {
        quad->sourceVertices[i].x = corners[i].x;
        quad->sourceVertices[i].y = corners[i].y;
        quad->sourceVertices[i].z = corners[i].z;
    }
    quad->indices = {0, 1, 2, 0, 2, 3, 0, 2, 1, 0, 3, 2};
    quad->vertices = quad->sourceVertices;
    return quad;
}
