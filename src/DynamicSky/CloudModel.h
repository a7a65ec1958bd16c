#pragma once

#include "Platform/D3DX9Math.h"

#include <string>
#include <vector>

class CloudFile;

// One puff of a cloud: where it sits in the cloud, which way it faces (from
// its anchor point towards it) and its two sizes. The kept values drive
// nothing.
struct CloudPuff {
    D3DXVECTOR3 position{0, 0, 0};
    int keptInts[2] = {};
    float keptFloat = 0;
    D3DXVECTOR3 direction{0, 0, 0};
    float size1 = 0;
    float size2 = 0;
};

// One cloud of a cloud group, read from a cloud-model file: anchor points,
// then puffs, then eight shading values; it keeps its fade and its place.
class CloudModel {
public:
    // Reads the file with every point, position and size scaled by `scale`
    // and turned about Z by `modelAngle` (radians). A missing file leaves
    // the model empty.
    void Load(const std::string& fileName, float modelScale, float modelAngle);

    std::vector<CloudPuff> puffs;
    float alpha = 0;
    float targetAlpha = 255.0f;
    bool fadingOut = false;
    bool fadingIn = false;
    float shadeRange[2] = {20.0f, 20.0f};
    float kept[3] = {};
    float shades[6] = {128.0f, 128.0f, 128.0f, 128.0f, 128.0f, 128.0f};
    // Half the largest height the puffs reach, and the largest distance
    // from the cloud's centre they reach on any axis.
    float extents[2] = {};
    D3DXVECTOR3 position{0, 0, 0};
    bool dirty = false;
    float scale = 1.0f;
    float angle = 0;
    D3DXVECTOR3 basePosition{0, 0, 0};
    bool dirty2 = false;

private:
    CloudPuff ReadPuff(CloudFile& file, const std::vector<D3DXVECTOR3>& points) const;
    D3DXVECTOR3 Place(const D3DXVECTOR3& point) const;
    void Reach(const CloudPuff& puff);
};
