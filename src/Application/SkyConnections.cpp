#include "Application/SkyConnections.h"

#include "DynamicSky/Skyscape.h"

void ConnectRenderToSky() {
    SetSkyFactory([] { return std::make_unique<Skyscape>(); });
}
