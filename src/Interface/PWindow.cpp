#include "Interface/PWindow.h"

#include "Core/PLineReader.h"
#include "Game/ObjectDescription.h"
#include "Interface/PInterface.h"
#include "Interface/PointText.h"
#include "Interface/ScreenScale.h"
#include "Script/PScriptManager.h"

namespace {

// A texel value as a texture coordinate; a texture of no size gives 0.
float TexelToCoordinate(float texel, float textureSize) {
    return textureSize > 0 ? texel / textureSize : 0.0f;
}

// The last value of a window line: only "stretch" means something; the
// anchor words and anything else leave the layout as it is.
constexpr std::size_t kStretchField = 9;
constexpr std::size_t kVisibilityField = 8;

} // namespace

CPWindow::CPWindow(CPInterface* ownerPage) : owner(ownerPage) {}

bool CPWindow::HitTest(float px, float py) const {
    return x + corners[0].x <= px && px <= x + corners[1].x && y + corners[0].y <= py &&
           py <= y + corners[2].y;
}

void CPWindow::Create(const std::string& windowName, float textureWidth, float textureHeight, float layoutX,
                      float layoutY, float layoutWidth, float layoutHeight, float u, float v, float du,
                      float dv) {
    name = windowName;
    SetLayout(layoutX, layoutY, layoutWidth, layoutHeight, false);
    const float u0 = TexelToCoordinate(u, textureWidth);
    const float v0 = TexelToCoordinate(v, textureHeight);
    SetQuad(corners[2].x, corners[2].y, u0, v0, u0 + TexelToCoordinate(du, textureWidth),
            v0 + TexelToCoordinate(dv, textureHeight));
    SetVisible(true);
}

bool CPWindow::Load(CPLineReader& lines, float textureWidth, float textureHeight) {
    std::string line;
    lines.ReadLine(line);
    const std::vector<std::string> parts = SplitFields(line, " ");
    name = FieldAt(parts, 0);
    const std::vector<std::string> values = SplitFields(FieldAt(parts, 1), ",");
    const auto value = [&](std::size_t i) { return TextToFloat(FieldAt(values, i)); };
    SetLayout(value(0), value(1), value(2), value(3), FieldAt(values, kStretchField) == "stretch");
    const float u0 = TexelToCoordinate(value(4), textureWidth);
    const float v0 = TexelToCoordinate(value(5), textureHeight);
    SetQuad(corners[2].x, corners[2].y, u0, v0, u0 + TexelToCoordinate(value(6), textureWidth),
            v0 + TexelToCoordinate(value(7), textureHeight));
    if (values.size() > kVisibilityField)
        visible = values[kVisibilityField] != "false";
    return true;
}

void CPWindow::SetLayout(float layoutX, float layoutY, float layoutWidth, float layoutHeight, bool stretch) {
    x = ScaleToScreenX(layoutX) - 0.5f;
    y = ScaleToScreenY(layoutY) - 0.5f;
    float width = ScaleToScreenX(layoutWidth);
    float height = ScaleToScreenY(layoutHeight);
    if (stretch) {
        width = ScaleToScreenX(width);
        height = ScaleToScreenY(height);
    }
    corners[2].x = width;
    corners[2].y = height;
}

void CPWindow::SetQuad(float width, float height, float u0, float v0, float u1, float v1) {
    const std::array<std::array<float, 2>, 4> texture = {{{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}}};
    for (std::size_t k = 0; k < corners.size(); ++k) {
        MeshVertex& corner = corners[k];
        corner = MeshVertex{};
        corner.u0 = texture[k][0];
        corner.v0 = texture[k][1];
        corner.diffuse = colour;
    }
    SetSize(width, height);
}

void CPWindow::SetSize(float width, float height) {
    const std::array<std::array<float, 2>, 4> layout = {{{0, 0}, {width, 0}, {width, height}, {0, height}}};
    for (std::size_t k = 0; k < corners.size(); ++k) {
        corners[k].x = layout[k][0];
        corners[k].y = layout[k][1];
        corners[k].z = 0;
    }
}

void CPWindow::SetColour(DWORD argb) {
    colour = argb;
    for (MeshVertex& corner : corners)
        corner.diffuse = argb;
}

bool CPWindow::OnMouseOver(float, float) {
    SendCategoryCommand("interface", "mouse_window_over", name);
    return false;
}

bool CPWindow::OnMouseOut(float, float) {
    SendCategoryCommand("interface", "mouse_window_out", name);
    return false;
}

bool CPWindow::OnMouseDown(int, float, float) {
    return false;
}

bool CPWindow::OnMouseUp(int, float px, float py) {
    if (HitTest(px, py))
        owner->SendPageCommand("window", name + "," + PointText(px, py));
    return false;
}
