#pragma once

#include "Platform/D3DX9Math.h"

// The sky's hold on the frame: ambient and fog colours from 0..255 channel
// values, the sun light, and the depth clear after the sky is drawn.

// The renderer's ambient colour (opaque ARGB of the channels' low bytes,
// and the channels / 255).
void SetSkyAmbient(float r, float g, float b);
// The renderer's fog colour and the device's fog colour state.
void SetSkyFogColour(float r, float g, float b);
// Makes the sun shine along the normalised direction with the colour
// (channels 0..1, held at whole 1/256 steps, alpha 0), adds it to the
// frame's lights and sets the lights on the device.
void SetSunLight(const D3DXVECTOR3& direction, const D3DXVECTOR3& colour);
// Clears the sky's depth so that the rest of the frame draws in front.
void ClearDepth();

// The opaque ARGB colour whose channels are the low bytes of the truncated
// values.
DWORD SkyColour(float r, float g, float b);
// A light channel 0..1 as the light holds it: 255/256 for 1 or more,
// (c * 255 rounded) / 256 above 0, else 0.
float SunChannel(float c);
