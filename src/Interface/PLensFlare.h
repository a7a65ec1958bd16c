#pragma once

#include "Game/LensFlareView.h"
#include "Interface/FlareElement.h"
#include "Interface/PInterface.h"

#include <vector>

// The sun's lens flare: a page whose elements sit along the line from the
// sun's screen position through the screen centre, shown at once while the
// sun is visible and hidden at once when it is not. It is never activated.
class CPLensFlare : public CPInterface, public LensFlareView {
public:
    // Reads Data\Interface\<page name>.int: one element per line, nine
    // TAB-separated fields. The page keeps its name "Interface".
    void Load(const std::string& pageName, int priorityOffset) override;
    // Fades, places and colours the elements, then draws the page.
    void Render() override;

    void SetFlareVisible(bool flag) override { flareVisible = flag; }
    void SetSunPosition(int x, int y) override {
        sunX = x;
        sunY = y;
    }

    size_t GetSize() const override { return sizeof(CPLensFlare); }

    std::vector<FlareElement> flares;
    bool flareVisible = false;
    int sunX = 0;
    int sunY = 0;
    float alpha = 0;

private:
    void AddFlareWindow(FlareElement& flare, int index);
};
