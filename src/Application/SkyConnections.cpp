#include "Application/SkyConnections.h"

#include "DynamicSky/SkyServices.h"
#include "DynamicSky/Skyscape.h"
#include "Game/PLevel.h"

void ConnectRenderToSky() {
    SetSkyFactory([] { return std::make_unique<Skyscape>(); });
    // The sun becomes the level's own light; without a level the sky keeps
    // queueing it as a light of its own.
    g_SkyServices.addSunLight = [](const D3DXVECTOR3& direction, const D3DCOLORVALUE& colour) {
        if (!g_Level) {
            QueueSunLight(direction, colour);
            return;
        }
        g_Level->sunLight.Direction = direction;
        g_Level->sunLight.Diffuse = colour;
        g_Level->sunLight.Specular = colour;
        g_Level->AddSunLight();
    };
}
