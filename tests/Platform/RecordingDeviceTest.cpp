#include "GraphicsTestDevice.h"

#include "Platform/ErrorText.h"
#include "Platform/Recording/RecordingBackend.h"

#include <gtest/gtest.h>

namespace {

PlatRecordingBackend& Recorder(const GraphicsTestDevice& device) {
    return dynamic_cast<PlatRecordingBackend&>(device->GetBackend());
}

struct RecordingDevice : ::testing::Test {
    GraphicsTestDevice device{PlatGraphicsBackendKind::Recording, 64, 48};
};

TEST_F(RecordingDevice, BufferLocksCheckTheirRangeAndPairing) {
    ASSERT_EQ(device.result, D3D_OK);
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(
        device->CreateVertexBuffer(96, D3DUSAGE_WRITEONLY, kTestMeshFvf, D3DPOOL_MANAGED, &buffer, nullptr),
        D3D_OK);
    struct Case {
        UINT offset, size;
        HRESULT expected;
    };
    const Case cases[] = {{0, 0, D3D_OK},
                          {0, 96, D3D_OK},
                          {48, 48, D3D_OK},
                          {96, 0, D3D_OK},
                          {48, 49, D3DERR_INVALIDCALL},
                          {97, 0, D3DERR_INVALIDCALL},
                          {0xFFFFFFF0u, 32, D3DERR_INVALIDCALL}};
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        void* data = nullptr;
        EXPECT_EQ(buffer->Lock(c.offset, c.size, &data, D3DLOCK_NOSYSLOCK), c.expected)
            << c.offset << "+" << c.size;
        if (c.expected == D3D_OK) {
            EXPECT_EQ(data, buffer->GetBytes() + c.offset);
            void* again = nullptr;
            EXPECT_EQ(buffer->Lock(0, 0, &again, 0), D3DERR_INVALIDCALL) << "second lock";
            EXPECT_EQ(buffer->Unlock(), D3D_OK);
        }
    }
    EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL);
    D3DVERTEXBUFFER_DESC desc;
    ASSERT_EQ(buffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, 96u);
    EXPECT_EQ(desc.FVF, kTestMeshFvf);
    buffer->Release();
    EXPECT_EQ(Recorder(device).GetLiveObjectCount(), 2) << "only the back buffer and depth buffer remain";
}

TEST_F(RecordingDevice, TexturesHaveLevelsLocksAndLod) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 2, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 4u);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(texture->GetLevelDesc(3, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 1u);
    EXPECT_EQ(desc.Height, 1u);
    EXPECT_EQ(texture->GetLevelDesc(4, &desc), D3DERR_INVALIDCALL);

    D3DLOCKED_RECT locked;
    const RECT inner{1, 1, 3, 2};
    ASSERT_EQ(texture->LockRect(0, &locked, &inner, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 32);
    static_cast<uint32_t*>(locked.pBits)[0] = 0x11223344;
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(texture->GetLevelTexels(0, 0)[8 + 1], 0x11223344u);
    const RECT outside{6, 0, 9, 1};
    EXPECT_EQ(texture->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);

    EXPECT_EQ(texture->SetLOD(2), 0u);
    EXPECT_EQ(texture->SetLOD(9), 2u);
    EXPECT_EQ(texture->GetLOD(), 3u) << "clamped to the smallest level";

    IDirect3DCubeTexture9* cube = nullptr;
    ASSERT_EQ(device->CreateCubeTexture(4, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &cube, nullptr), D3D_OK);
    EXPECT_EQ(cube->GetFaceCount(), 6u);
    EXPECT_EQ(cube->GetType(), D3DRTYPE_CUBETEXTURE);
    EXPECT_EQ(cube->LockRect(D3DCUBEMAP_FACE_NEGATIVE_Z, 0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(cube->UnlockRect(D3DCUBEMAP_FACE_NEGATIVE_Z, 0), D3D_OK);
    EXPECT_FALSE(cube->HasAlpha());
    cube->Release();
    texture->Release();
}

TEST_F(RecordingDevice, RenderTargetsAreSurfacesOfTheirTexture) {
    IDirect3DTexture9* target = nullptr;
    EXPECT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                    &target, nullptr),
              D3DERR_INVALIDCALL)
        << "render targets live in the default pool";
    ASSERT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                    &target, nullptr),
              D3D_OK);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
    IDirect3DSurface9* same = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &same), D3D_OK);
    EXPECT_EQ(surface, same);
    same->Release();

    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), D3D_OK);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(backBuffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 64u);
    EXPECT_EQ(desc.Height, 48u);
    EXPECT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    EXPECT_EQ(device->StretchRect(backBuffer, nullptr, surface, nullptr, D3DTEXF_LINEAR), D3D_OK);
    const RECT tooLarge{0, 0, 65, 48};
    EXPECT_EQ(device->StretchRect(backBuffer, &tooLarge, surface, nullptr, D3DTEXF_LINEAR),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderTarget(0, backBuffer), D3D_OK);
    backBuffer->Release();
    surface->Release();
    target->Release();
    const auto& calls = Recorder(device).GetCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].source, backBuffer->GetTexture()->GetSerial());
    EXPECT_EQ(calls[0].targetRect.right, 16);
}

TEST_F(RecordingDevice, LossIsResetOnlyOnceDefaultPoolObjectsAreGone) {
    IDirect3DVertexBuffer9* ring = nullptr;
    IDirect3DVertexBuffer9* managed = nullptr;
    ASSERT_EQ(
        device->CreateVertexBuffer(480, D3DUSAGE_DYNAMIC, kTestMeshFvf, D3DPOOL_DEFAULT, &ring, nullptr),
        D3D_OK);
    ASSERT_EQ(device->CreateVertexBuffer(480, 0, kTestMeshFvf, D3DPOOL_MANAGED, &managed, nullptr), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_LIGHTING, FALSE), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);

    device->SimulateDeviceLoss();
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Reset(&device.params), D3DERR_INVALIDCALL) << "a default-pool buffer is still alive";
    ring->Release();
    ASSERT_EQ(device->Reset(&device.params), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);

    DWORD lighting = FALSE;
    ASSERT_EQ(device->GetRenderState(D3DRS_LIGHTING, &lighting), D3D_OK);
    EXPECT_EQ(lighting, static_cast<DWORD>(TRUE)) << "Reset restores the default states";
    void* data = nullptr;
    EXPECT_EQ(managed->Lock(0, 0, &data, 0), D3D_OK) << "managed objects survive";
    EXPECT_EQ(managed->Unlock(), D3D_OK);
    managed->Release();
}

TEST_F(RecordingDevice, DrawsAreCheckedAgainstTheBoundBuffers) {
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(4 * 48, 0, kTestMeshFvf, D3DPOOL_MANAGED, &vertices, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr), D3D_OK);
    const uint16_t tooFar[] = {0, 1, 2, 2, 1, 4};
    ASSERT_EQ(FillBuffer(indices, tooFar, 6), D3D_OK);
    ASSERT_EQ(device->SetFVF(kTestMeshFvf), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, vertices, 0, 48), D3D_OK);
    ASSERT_EQ(device->SetIndices(indices), D3D_OK);

    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), D3DERR_INVALIDCALL)
        << "outside BeginScene";
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 5, 0, 2), D3DERR_INVALIDCALL)
        << "index 4 is beyond the four vertices";
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 3, 0, 1), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 2, 0, 3, 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 3, 2), D3DERR_INVALIDCALL)
        << "indices past the end of the index buffer";
    EXPECT_EQ(device->SetFVF(0x1), D3DERR_INVALIDCALL) << "a format without a position";
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, tooFar, 28), D3DERR_INVALIDCALL)
        << "the stride is shorter than the format";
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(Recorder(device).GetDraws().size(), 2u);
    indices->Release();
    vertices->Release();
}

// A loading-screen-like frame: the log holds each call with the state of
// the device at that moment and the vertices drawn.
TEST_F(RecordingDevice, AFrameGivesTheExpectedCallLog) {
    IDirect3DTexture9* picture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &picture, nullptr), D3D_OK);
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(3 * 48, D3DUSAGE_WRITEONLY, kTestMeshFvf, D3DPOOL_MANAGED, &vertices,
                                         nullptr),
              D3D_OK);
    ASSERT_EQ(
        device->CreateIndexBuffer(6, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr),
        D3D_OK);
    const TestMeshVertex triangle[3] = {{0, 0, 0, 0, 0, -1, 0xFFFFFFFF, 0, 0, 0, 0, 0},
                                        {1, 0, 0, 0, 0, -1, 0xFFFFFFFF, 0, 1, 0, 0, 0},
                                        {0, 1, 0, 0, 0, -1, 0xFFFFFFFF, 0, 0, 1, 0, 0}};
    const uint16_t order[3] = {0, 2, 1};
    ASSERT_EQ(FillBuffer(vertices, triangle, 3), D3D_OK);
    ASSERT_EQ(FillBuffer(indices, order, 3), D3D_OK);

    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xff000000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    device->SetTexture(0, picture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetFVF(kTestScreenFvf);
    const TestScreenVertex quad[4] = {{63.5f, -0.5f, 1, 1, 0, 1, 0},
                                      {63.5f, 47.5f, 1, 1, 0, 1, 0.75f},
                                      {-0.5f, -0.5f, 1, 1, 0, 0, 0},
                                      {-0.5f, 47.5f, 1, 1, 0, 0, 0.75f}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TestScreenVertex)), D3D_OK);
    device->SetTexture(0, nullptr);
    device->SetFVF(kTestMeshFvf);
    device->SetStreamSource(0, vertices, 0, 48);
    device->SetIndices(indices);
    D3DMATRIX world = PlatIdentityMatrix();
    world._41 = 5;
    device->SetTransform(D3DTS_WORLD, &world);
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);

    const PlatRecordingBackend& recorder = Recorder(device);
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), D3D_OK);
    const std::string back = std::to_string(backBuffer->GetTexture()->GetSerial());
    backBuffer->Release();
    const std::string expected = "Clear target " + back + " flags 3 colour ff000000 z 1\n" +
                                 "DrawUP target " + back + " type 5 count 2 fvf 144 texture " +
                                 std::to_string(picture->GetSerial()) + "\n" + "DrawIndexed target " + back +
                                 " type 4 count 1 fvf 2d2 texture 0\nPresent " + back + "\n";
    EXPECT_EQ(recorder.Describe(), expected);
    const auto draws = recorder.GetDraws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0]->state.StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG1));
    EXPECT_EQ(draws[0]->state.RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_FLOAT_EQ(draws[0]->VertexFloat(1, 24), 0.75f);
    EXPECT_FLOAT_EQ(draws[0]->state.Transform(D3DTS_WORLD)._41, 0.0f);
    EXPECT_FLOAT_EQ(draws[1]->state.Transform(D3DTS_WORLD)._41, 5.0f);
    EXPECT_EQ(draws[1]->indices, (std::vector<uint16_t>{0, 2, 1}));
    EXPECT_FLOAT_EQ(draws[1]->VertexFloat(2, 4), 1.0f);
    EXPECT_EQ(draws[1]->vertexBuffer, vertices->GetSerial());
    picture->Release();
    vertices->Release();
    indices->Release();
}

} // namespace

TEST(GraphicsErrors, DeviceCodesHaveNamesAndDescriptions) {
    EXPECT_STREQ(PlatGetErrorString(D3DERR_INVALIDCALL), "D3DERR_INVALIDCALL");
    EXPECT_STREQ(PlatGetErrorString(D3DERR_DEVICELOST), "D3DERR_DEVICELOST");
    EXPECT_STRNE(PlatGetErrorDescription(D3DERR_NOTAVAILABLE), "");
    EXPECT_STREQ(PlatGetErrorString(PlatMakeGraphicsError(1)), "Unknown");
}

namespace {

// A headless device logs like the recording one but keeps only the frame
// being drawn: each present starts the log again with the next call.
TEST(HeadlessDevice, KeepsOnlyTheCallsSinceTheLastPresent) {
    GraphicsTestDevice device{PlatGraphicsBackendKind::Headless, 64, 48};
    ASSERT_EQ(device.result, D3D_OK);
    for (int frame = 0; frame < 3; ++frame) {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff000000, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff000000, 1.0f, 0), D3D_OK);
        EXPECT_EQ(Recorder(device).GetCalls().size(), 2u);
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        ASSERT_EQ(Recorder(device).GetCalls().size(), 3u);
        EXPECT_EQ(Recorder(device).GetCalls().back().kind, PlatRecordedCall::Kind::Present);
    }
}

} // namespace
