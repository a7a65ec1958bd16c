#pragma once

#include "Platform/Graphics/Direct3DDevice9.h"

// The loading screen: the upper part of the background picture over the
// whole screen and the bar along its bottom edge, drawn and presented as a
// frame of its own. The pictures load on first use and go with the device.
class CPLoadingScreen {
public:
    CPLoadingScreen() = default;
    ~CPLoadingScreen();
    CPLoadingScreen(const CPLoadingScreen&) = delete;
    CPLoadingScreen& operator=(const CPLoadingScreen&) = delete;

    // Draws and presents one frame with the bar at `percent`; the device's
    // states are as before afterwards, since it may come in the middle of a
    // race.
    void Draw(IDirect3DDevice9* device, int percent);
    void Release();

private:
    IDirect3DTexture9* background = nullptr;
    IDirect3DTexture9* bar = nullptr;
};
