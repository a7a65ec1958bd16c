#include "Interface/PLensFlare.h"

#include "Core/PFileReader.h"
#include "Core/PLineReader.h"
#include "Core/PSettings.h"
#include "Core/PTokenizer.h"
#include "Game/ObjectDescription.h"
#include "Platform/Win32Time.h"
#include "Render/RenderPriority.h"

#include <algorithm>
#include <charconv>

namespace {

// Texels of a 512 x 512 flare texture to layout units across and down.
constexpr float kAcross = 0.00234375f;
constexpr float kDown = 0.003125f;
// Opacity gained or lost per millisecond of the system clock.
constexpr float kFadeRate = 0.05f;

// A decimal colour that may exceed the signed 32-bit range: the low 32 bits
// of its 64-bit value.
DWORD ColourValue(const std::string& text) {
    long long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return static_cast<DWORD>(static_cast<unsigned long long>(value));
}

int Truncate(float value) {
    return static_cast<int>(value);
}

FlareElement ParseFlare(const std::string& line) {
    CPTokenizer tokenizer(line, "\t", false);
    std::vector<std::string> fields;
    for (std::string field; tokenizer.NextToken(field);)
        fields.push_back(field);
    const auto integer = [&](std::size_t i) { return TextToInt(FieldAt(fields, i)); };
    FlareElement flare;
    flare.textureName = FieldAt(fields, 0);
    flare.factor = integer(1);
    flare.scaleX = TextToFloat(FieldAt(fields, 2));
    flare.scaleY = TextToFloat(FieldAt(fields, 3));
    flare.colour = ColourValue(FieldAt(fields, 4));
    flare.width = Truncate(static_cast<float>(integer(5) * g_ScreenWidth) * kAcross);
    flare.height = Truncate(static_cast<float>(integer(6) * g_ScreenHeight) * kDown);
    flare.left = Truncate(static_cast<float>(integer(7) * g_ScreenWidth) * kAcross);
    flare.top = Truncate(static_cast<float>(integer(8) * g_ScreenHeight) * kDown);
    return flare;
}

} // namespace

void CPLensFlare::Load(const std::string& pageName, int priorityOffset) {
    visualKind = VISUAL_MESH;
    transformChanged = true;
    script = nullptr;
    CPFileReader file("Data\\Interface\\" + pageName + ".int", false);
    if (SUCCEEDED(file.Load())) {
        CPLineReader lines(file.GetData(), static_cast<std::size_t>(file.GetSize()));
        for (std::string line; lines.ReadLine(line);)
            flares.push_back(ParseFlare(line));
    }
    // A file without lines names no texture: the page gets no material.
    if (!flares.empty())
        SetPageMaterial(RENDER_INTERFACE + priorityOffset, "lensflare.fx", flares.front().textureName);
    for (std::size_t i = 0; i < flares.size(); ++i)
        AddFlareWindow(flares[i], static_cast<int>(i));
    UpdateBuffers();
}

void CPLensFlare::AddFlareWindow(FlareElement& flare, int index) {
    const int w = Truncate(static_cast<float>(flare.width) * flare.scaleX);
    const int h = Truncate(static_cast<float>(flare.height) * flare.scaleY);
    const int u = Truncate(static_cast<float>(flare.left) * flare.scaleX);
    const int v = Truncate(static_cast<float>(flare.top) * flare.scaleY);
    flare.halfWidth = w / 2;
    flare.halfHeight = h / 2;
    auto* window = new CPWindow(this);
    const float textureWidth = static_cast<float>(g_ScreenWidth) * flare.scaleX * 1.2f;
    const float textureHeight = static_cast<float>(g_ScreenHeight) * flare.scaleY * 1.6f;
    window->Create(std::to_string(index), textureWidth, textureHeight, 0, 0, static_cast<float>(w),
                   static_cast<float>(h), static_cast<float>(u), static_cast<float>(v), static_cast<float>(w),
                   static_cast<float>(h));
    window->SetColour(flare.colour);
    window->x = 0;
    window->y = 0;
    AddElement(window);
}

void CPLensFlare::Render() {
    const float step = kFadeRate * static_cast<float>(timeGetTime());
    alpha = flareVisible ? std::min(alpha + step, 255.0f) : std::max(alpha - step, 0.0f);
    const int dx = g_ScreenWidth / 2 - sunX;
    const int dy = g_ScreenHeight / 2 - sunY;
    const DWORD alphaByte = static_cast<DWORD>(Truncate(alpha)) << 24;
    for (std::size_t i = 0; i < flares.size() && i < elements.size(); ++i) {
        const FlareElement& flare = flares[i];
        CPWindow& element = *elements[i];
        element.x = static_cast<float>(flare.factor * dx / 50 - flare.halfWidth + sunX);
        element.y = static_cast<float>(flare.factor * dy / 50 - flare.halfHeight + sunY);
        element.SetColour(alphaByte | (element.colour & 0x00ffffff));
    }
    UpdateBuffers();
    CPInterface::Render();
}
