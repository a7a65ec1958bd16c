#include "GraphicsTestDevice.h"

#include "Platform/Graphics/Effect.h"
#include "Platform/Graphics/EffectPool.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// One pass with a program of its own and a texture of its own.
constexpr char kTexturedEffect[] = R"(parameter texture tex0
parameter shared float4 colour = 1 0 0 1
shader vertex vs
in vec4 inPosition;
void main() { gl_Position = PlatToClip(uProjection * (uView * (uWorld * vec4(inPosition.xyz, 1.0)))); }
end
shader fragment fs
uniform vec4 colour;
out vec4 outColour;
void main() { outColour = colour; }
end
technique T
  pass P
    vertex vs
    fragment fs
    texture 0 tex0
end
)";

class ReleaseOrder : public ::testing::TestWithParam<PlatGraphicsBackendKind> {
protected:
    GraphicsTestDevice device{GetParam(), 8, 8};
};

// The application's own references may go in any order: objects keep their
// device (and it its backend) alive until the last of them is released.
// Everything here is still bound, set or begun when the device goes.
TEST_P(ReleaseOrder, ObjectsMayBeReleasedAfterTheirDevice) {
    ASSERT_EQ(device.result, D3D_OK);
    IDirect3DDevice9* d = device.Get();
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    IDirect3DTexture9* texture = nullptr;
    IDirect3DTexture9* target = nullptr;
    IDirect3DSurface9* targetSurface = nullptr;
    IDirect3DSurface9* depth = nullptr;
    IDirect3DCubeTexture9* cube = nullptr;
    ASSERT_EQ(d->CreateVertexBuffer(96, 0, kTestMeshFvf, D3DPOOL_MANAGED, &vertices, nullptr), D3D_OK);
    ASSERT_EQ(d->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &indices, nullptr), D3D_OK);
    ASSERT_EQ(d->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    ASSERT_EQ(d->CreateCubeTexture(4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &cube, nullptr), D3D_OK);
    ASSERT_EQ(
        d->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr),
        D3D_OK);
    ASSERT_EQ(target->GetSurfaceLevel(0, &targetSurface), D3D_OK);
    ASSERT_EQ(d->CreateDepthStencilSurface(8, 8, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &depth, nullptr),
              D3D_OK);
    d->SetStreamSource(0, vertices, 0, sizeof(TestMeshVertex));
    d->SetIndices(indices);
    d->SetTexture(1, cube);
    d->SetRenderTarget(0, targetSurface);
    d->SetDepthStencilSurface(depth);

    ID3DXEffectPool* pool = nullptr;
    ASSERT_EQ(D3DXCreateEffectPool(&pool), D3D_OK);
    ID3DXEffect* effect = nullptr;
    const std::string text = kTexturedEffect;
    ASSERT_EQ(
        D3DXCreateEffect(d, text.data(), UINT(text.size()), nullptr, nullptr, 0, pool, &effect, nullptr),
        D3D_OK);
    D3DXHANDLE technique = nullptr;
    ASSERT_EQ(effect->FindNextValidTechnique(nullptr, &technique), D3D_OK);
    effect->SetTechnique(technique);
    effect->SetTexture("tex0", texture);
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);

    device.device->Release();
    device.device = nullptr;
    device.direct3D->Release();
    device.direct3D = nullptr;

    targetSurface->Release();
    vertices->Release();
    effect->Release();
    texture->Release();
    depth->Release();
    pool->Release();
    cube->Release();
    indices->Release();
    target->Release(); // the last reference: the device goes with it
}

INSTANTIATE_TEST_SUITE_P(Backends, ReleaseOrder, kBothBackends, BackendName);

} // namespace
