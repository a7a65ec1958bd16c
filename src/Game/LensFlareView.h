#pragma once

// What the race drawing needs of the sun's lens flare: whether it shows,
// where the sun is on the screen, and drawing it. The interface page of the
// flare implements it; the level reaches it through its `lensFlare` object.
class LensFlareView {
public:
    virtual ~LensFlareView() = default;

    virtual void SetFlareVisible(bool flag) = 0;
    virtual void SetSunPosition(int x, int y) = 0;
    virtual void Render() = 0;
};
