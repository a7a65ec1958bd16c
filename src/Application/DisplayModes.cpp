#include "Application/DisplayModes.h"

#include "Platform/DisplayModes.h"

std::vector<SPDisplayMode> g_DisplayModes;

namespace {

constexpr int kModeBits = 32;
constexpr int kMinWidth = 1024;
constexpr int kMinHeight = 768;

} // namespace

void EnumDisplayModes() {
    g_DisplayModes.clear();
    const int count = PlatGetDisplayModeCount();
    for (int i = 0; i < count; ++i) {
        PlatDisplayMode mode;
        if (!PlatGetDisplayMode(i, mode) || mode.bitsPerPixel != kModeBits)
            continue;
        if (mode.width < kMinWidth || mode.height < kMinHeight)
            continue;
        const SPDisplayMode record{mode.height, mode.width, kModeBits};
        if (!g_DisplayModes.empty() && g_DisplayModes.back() == record)
            continue;
        g_DisplayModes.push_back(record);
    }
}
