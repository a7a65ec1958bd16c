#pragma once

#include "DynamicSky/VertexObject.h"

#include <string>
#include <vector>

// A textured square of the sky (the sun, the moon, ...) that travels on a
// circle of radius `distance` about the axis `direction`, facing the dome's
// centre. It cycles through its textures and switches between two effects
// as the sky's keyframes ask.
class SkySprite : public VertexObject {
public:
    SkySprite() { D3DXMatrixIdentity(&orientation); }

    // The names of the two effects (names of the sky's folder).
    void Load(const std::string& effect0, const std::string& effect1);
    void AddTexture(const std::string& name);
    // Builds the square of half-size `size` and the turn from +Z onto the
    // direction, and loads the current texture and effect 1.
    void Setup(float size);
    // Shows the next texture, the first after the last; none without any.
    void NextFrame();
    // Loads effect 0 or 1; any other index changes nothing.
    void SelectEffect(int index);
    void SetAlpha(int alpha);
    // Places the square for the current angle and scale and draws it.
    void Update(float frameTime);

    D3DXVECTOR3 direction{0, 0, 1};
    D3DXVECTOR3 position{0, 0, 0};
    float distance = 0;
    std::string effectNames[2];
    int effectIndex = 1;
    float baseAngle = 0;
    float angle = 0;
    float scale = 1;
    std::vector<std::string> textureNames;
    int textureIndex = 0;
    D3DXMATRIX orientation;

private:
    void LoadCurrentTexture();
    D3DXMATRIX PlacementMatrix();
};
