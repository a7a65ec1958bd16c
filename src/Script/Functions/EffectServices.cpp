#include "Script/Functions/EffectServices.h"

#include "Core/Log.h"

namespace {

EffectServices LoggingServices() {
    EffectServices services;
    services.spawn = [](const std::string& name, const D3DXVECTOR3& p, const D3DXVECTOR3& d, float speed) {
        GetLog().Print(0,
                       "No shot spawner: \"%s\" at (%g, %g, %g) towards (%g, %g, %g), speed %g not spawned\n",
                       name.c_str(), p.x, p.y, p.z, d.x, d.y, d.z, static_cast<double>(speed));
    };
    services.startBolt = [](const std::string& name, const std::vector<std::string>&, const D3DXVECTOR3&,
                            const D3DXVECTOR3&, float) -> CPGameObject* {
        GetLog().Print(0, "No shot spawner: the bolt \"%s\" was not made\n", name.c_str());
        return nullptr;
    };
    services.flyBolt = [](CPGameObject&, CPGameObject*&) { return -1; };
    return services;
}

EffectServices g_EffectServices = LoggingServices();

} // namespace

EffectServices& GetEffectServices() {
    return g_EffectServices;
}

void ResetEffectServices() {
    g_EffectServices = LoggingServices();
}
