#pragma once

#include "Interface/PWindow.h"

#include <memory>

// A three-image control of an interface page: normal, hovered and pressed,
// each a window of its own. The pointer or the menu keys hover it, button 0
// or Enter presses it, and a release over it sends "button" with its name to
// the page's script.
class CPButton : public CPWindow {
public:
    enum State { kNormal = 0, kHovered = 1, kPressed = 2 };

    explicit CPButton(CPInterface* owner);

    size_t GetSize() const override { return sizeof(CPButton); }
    std::string GetClassName() const override { return "CPButton"; }

    // Back to normal and the page redrawn before the flag changes.
    void SetEnabled(bool flag) override;
    // Tests the normal image where the page file put it.
    bool HitTest(float px, float py) const override;
    // Three window lines; name, position and visibility come from the first.
    bool Load(CPLineReader& lines, float textureWidth, float textureHeight) override;
    const std::array<MeshVertex, 4>& GetVertices() const override;
    const std::array<uint16_t, 6>& GetIndices() const override;
    void SetVisible(bool flag) override;
    bool OnMouseOver(float px, float py) override;
    bool OnMouseOut(float px, float py) override;
    bool OnMouseDown(int button, float px, float py) override;
    bool OnMouseUp(int button, float px, float py) override;

    // The image drawn for the current state.
    const CPWindow& CurrentImage() const;

    std::array<std::unique_ptr<CPWindow>, 3> images;
    int state = kNormal;
};
