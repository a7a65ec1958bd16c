#include "Interface/PButton.h"

#include "Interface/PInterface.h"
#include "Script/PScriptManager.h"

CPButton::CPButton(CPInterface* ownerPage) : CPWindow(ownerPage) {
    for (auto& image : images)
        image = std::make_unique<CPWindow>(ownerPage);
}

void CPButton::SetEnabled(bool flag) {
    state = kNormal;
    owner->UpdateBuffers();
    enabled = flag;
}

bool CPButton::HitTest(float px, float py) const {
    return images[kNormal]->HitTest(px, py);
}

bool CPButton::Load(CPLineReader& lines, float textureWidth, float textureHeight) {
    state = kNormal;
    for (auto& image : images) {
        image = std::make_unique<CPWindow>(owner);
        image->Load(lines, textureWidth, textureHeight);
    }
    const CPWindow& normal = *images[kNormal];
    SetVisible(normal.visible);
    name = normal.name;
    x = normal.x;
    y = normal.y;
    return true;
}

const CPWindow& CPButton::CurrentImage() const {
    return *images[static_cast<std::size_t>(state)];
}

const std::array<MeshVertex, 4>& CPButton::GetVertices() const {
    return CurrentImage().GetVertices();
}

const std::array<uint16_t, 6>& CPButton::GetIndices() const {
    return CurrentImage().GetIndices();
}

void CPButton::SetVisible(bool flag) {
    state = kNormal;
    visible = flag;
}

bool CPButton::OnMouseOver(float, float) {
    state = kHovered;
    SendCategoryCommand("interface", "mouse_button_over", name);
    return true;
}

bool CPButton::OnMouseOut(float, float) {
    state = kNormal;
    SendCategoryCommand("interface", "mouse_button_out", name);
    return true;
}

bool CPButton::OnMouseDown(int button, float, float) {
    if (button != 0)
        return false;
    state = kPressed;
    return true;
}

bool CPButton::OnMouseUp(int button, float px, float py) {
    if (button != 0)
        return false;
    if (HitTest(px, py)) {
        state = kHovered;
        owner->SendPageCommand("button", name);
    } else {
        state = kNormal;
    }
    return true;
}
