#pragma once

#include "Platform/Graphics/Direct3DDevice9.h"

// Reads a picture drawn over the whole screen (the loading screen, the post
// effects' mask and grain) into a managed texture with a full mip chain;
// null when the file is missing or cannot be read as a picture (reported
// under `module`).
IDirect3DTexture9* LoadScreenTexture(IDirect3DDevice9* device, const char* path, const char* module);
