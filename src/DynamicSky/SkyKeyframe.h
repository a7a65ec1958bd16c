#pragma once

#include "Platform/D3DX9Math.h"

#include <vector>

// One time-of-day keyframe of the sky: the dome's colour keys (horizon
// first), tilt and alpha, each sprite's angle, scale, effect and advance
// flag, and the light, fog and overcast colours, all held for `duration`
// seconds. Colours are red, green, blue from 0 to 255.
struct SkyKeyframe {
    std::vector<D3DXVECTOR3> keyColours;
    float duration = 0;
    float domeTilt = 0;
    float domeAlpha = 0;
    std::vector<float> spriteAngles;
    std::vector<float> spriteScales;
    std::vector<int> spriteEffects;
    std::vector<int> spriteAdvance;
    D3DXVECTOR3 ambientColour{0, 0, 0};
    D3DXVECTOR3 sunColour{0, 0, 0};
    D3DXVECTOR3 colourD{0, 0, 0};
    D3DXVECTOR3 colourC{0, 0, 0};
    D3DXVECTOR3 fogColour{0, 0, 0};
    D3DXVECTOR3 extraValues{0, 0, 0};
    int doubleLight = 0;
    // 0, 1 or 2: the channel overcast colours are made from.
    int overcastChannel = 0;
};
