#pragma once

#include "Platform/D3DX9Math.h"
#include "Platform/Graphics/Effect.h"
#include "Render/ScreenVertex.h"

#include <functional>
#include <vector>

// The two full-screen post effects of the frame: a motion blur that grows
// with the speed of the player's car, and a bloom with a grain overlay. The
// renderer creates its resources after the device (and after every reset),
// drops them before a reset and at the end, and runs the blur before the
// first queue level at or above 120 and the bloom before the first at or
// above 195. Both work at reduced size (the blur at half the screen's size,
// the bloom at a quarter) and touch the full screen once each, so that they
// stay cheap on a software renderer.
class CPBloom {
public:
    // The blur is at its full strength from 25 units per second.
    static constexpr float kSpeedRatioPerUnit = 0.04f;

    CPBloom();
    // Lets go of everything it still holds.
    ~CPBloom();
    CPBloom(const CPBloom&) = delete;
    CPBloom& operator=(const CPBloom&) = delete;

    // Loads the effects and pictures and creates the targets. E_FAIL only
    // for a null device; a piece that fails stays null and its pass is
    // skipped.
    HRESULT Create(IDirect3DDevice9* device);
    // Releases the pictures and effects and forgets the device.
    void Release();
    // Releases the targets too, then everything else.
    void OnLostDevice();
    // The passes, drawn into the device's back buffer.
    int RenderMotionBlur();
    int RenderBloom();

    // |velocity| x 0.04 within 0 to 1; 0 while no race runs.
    float GetSpeedRatio() const;

    // The player car's velocity while a race runs; the race sets it and
    // clears it when it ends.
    std::function<D3DXVECTOR3()> playerCarVelocity;

    IDirect3DDevice9* device = nullptr;
    IDirect3DTexture9* smallTarget = nullptr;
    IDirect3DSurface9* smallSurface = nullptr;
    IDirect3DTexture9* blurTarget = nullptr;
    IDirect3DSurface9* blurSurface = nullptr;
    // The frame at half size, which the blur and the bloom's first pass read.
    IDirect3DTexture9* frameCopy = nullptr;
    IDirect3DSurface9* frameCopySurface = nullptr;
    // The small target's partner: a target cannot be sampled while it is
    // drawn into, so the bloom's passes read one and draw into the other.
    IDirect3DTexture9* smallCopy = nullptr;
    IDirect3DSurface9* smallCopySurface = nullptr;
    IDirect3DSurface9* backBuffer = nullptr;
    IDirect3DSurface9* depthStencil = nullptr;
    IDirect3DTexture9* blurMask = nullptr;
    IDirect3DTexture9* noise = nullptr;
    // The time the blur has run, summed; nothing reads it.
    float blurTime = 0;
    ID3DXEffect* bloomEffect = nullptr;
    ID3DXEffect* bloom2Effect = nullptr;
    ID3DXEffect* blurEffect = nullptr;
    // Lays the bloom picture and the grain over the frame in one pass.
    ID3DXEffect* combineEffect = nullptr;
    std::vector<D3DXHANDLE> bloomTextureParams;
    std::vector<D3DXHANDLE> bloom2TextureParams;
    std::vector<D3DXHANDLE> blurTextureParams;
    std::vector<D3DXHANDLE> combineTextureParams;
    float quadRight = 1023.5f;
    float quadBottom = 767.5f;
    bool enabled = true;
    // Two-triangle strips over the back buffer, the small (quarter-size)
    // targets and the half-size frame.
    ScreenVertex screenQuad[4];
    ScreenVertex smallQuad[4];
    ScreenVertex halfQuad[4];

private:
    void CreateTargets();
    bool CreateTarget(UINT width, UINT height, D3DFORMAT format, IDirect3DTexture9*& texture,
                      IDirect3DSurface9*& surface);
    ID3DXEffect* LoadEffect(const char* name, std::vector<D3DXHANDLE>& textureParams);
    void ReleaseTargets();
    void SetPostStates();
    void RestoreStates();
    void DrawQuad(const ScreenVertex (&quad)[4]);
    // Runs every pass of one of the bloom effects, each reading `picture`
    // and drawing into the small target it is not, which becomes the picture.
    void RunSmallEffect(ID3DXEffect* effect, const std::vector<D3DXHANDLE>& textureParams,
                        IDirect3DTexture9*& picture);
    // Lays the bloom picture, weighted by its own colour, and the grain over
    // the frame.
    void CombineBloom(IDirect3DTexture9* picture);
    // Back to the frame's own target and depth.
    void ReturnToBackBuffer();
};
