#pragma once

#include "Platform/D3DX9Math.h"

#include <functional>
#include <memory>
#include <string>

// The sky the renderer draws behind a level: loaded from its file when the
// level loads, then updated (and drawn) twice a frame with the device's
// current transforms, before anything else of the frame.
class CPSky {
public:
    CPSky() = default;
    virtual ~CPSky() = default;
    CPSky(const CPSky&) = delete;
    CPSky& operator=(const CPSky&) = delete;

    virtual bool Load(const std::string& fileName) = 0;
    virtual void Update(float frameTime) = 0;
};

// Makes the skies the renderer loads; without a factory a level has no sky.
using SkyFactory = std::function<std::unique_ptr<CPSky>()>;
void SetSkyFactory(SkyFactory factory);
// A new sky from the installed factory, or null.
std::unique_ptr<CPSky> MakeSky();

// The sun's position, written by the sky every frame and read by the race
// drawing for the lens flare.
extern D3DXVECTOR3 g_SunPosition;
