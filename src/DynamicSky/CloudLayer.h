#pragma once

#include "DynamicSky/CloudModel.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// A cloud group, read from a cloud-layer file: its clouds placed about the
// group's offset. The sky fades whole groups in and out as the weather
// changes; the kept values drive nothing.
class CloudLayer {
public:
    // A missing file leaves the group without clouds.
    void Load(const std::string& fileName);
    // Starts fading the group in (or out). With `reset` every cloud starts
    // from the far end of its fade; otherwise it goes on from its alpha.
    void SetFade(bool fadeIn, bool reset);
    // Puts every cloud at its base position plus the group's offset.
    void PlaceModels();

    std::vector<std::pair<std::unique_ptr<CloudModel>, float>> models;
    D3DXVECTOR3 offset{0, 0, 0};
    float keptFloat = 0;
    int keptInt = 0;
    D3DXVECTOR3 keptVector{0, 0, 0};
    float keptFloat2 = 0;
    bool fadingIn = false;
    bool fadingOut = false;
    bool idle = true;
};
