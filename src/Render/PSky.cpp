#include "Render/PSky.h"

D3DXVECTOR3 g_SunPosition(0, 0, 0);

namespace {

SkyFactory& InstalledFactory() {
    static SkyFactory factory;
    return factory;
}

} // namespace

void SetSkyFactory(SkyFactory factory) {
    InstalledFactory() = std::move(factory);
}

std::unique_ptr<CPSky> MakeSky() {
    const SkyFactory& factory = InstalledFactory();
    return factory ? factory() : nullptr;
}
