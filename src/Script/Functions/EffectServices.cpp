#include "Script/Functions/EffectServices.h"

#include "Core/Log.h"
#include "Vehicles/PBoltShot.h"
#include "Vehicles/PShotSpawner.h"

#include <memory>

namespace {

void Spawn(const std::string& name, const D3DXVECTOR3& p, const D3DXVECTOR3& d, float speed) {
    if (CPShotSpawner* spawner = GetShotSpawner()) {
        spawner->Spawn(name, p, d, speed, nullptr);
        return;
    }
    GetLog().Print(0, "No shot spawner: \"%s\" at (%g, %g, %g) towards (%g, %g, %g), speed %g not spawned\n",
                   name.c_str(), p.x, p.y, p.z, d.x, d.y, d.z, static_cast<double>(speed));
}

CPGameObject* StartBolt(const std::string& name, const std::vector<std::string>& row, const D3DXVECTOR3& at,
                        const D3DXVECTOR3& towards, float speed) {
    CPShotSpawner* spawner = GetShotSpawner();
    if (!spawner) {
        GetLog().Print(0, "No shot spawner: the bolt \"%s\" was not made\n", name.c_str());
        return nullptr;
    }
    auto bolt = std::make_unique<CPBoltShot>(row);
    if (!bolt->Configure(row)) {
        GetLog().Print(0, "The bolt \"%s\" was not made: its row was refused\n", name.c_str());
        return nullptr;
    }
    bolt->name = name;
    return spawner->KeepScriptBolt(std::move(bolt), at, towards, speed);
}

int FlyBolt(CPGameObject& bolt, CPGameObject*& hit) {
    CPShotSpawner* spawner = GetShotSpawner();
    if (!spawner)
        return -1;
    CPRefPtr<CPGameObject> struck;
    const int result = spawner->FlyScriptBolt(bolt, struck);
    hit = struck.Get();
    return result;
}

EffectServices SpawnerServices() {
    EffectServices services;
    services.spawn = Spawn;
    services.startBolt = StartBolt;
    services.flyBolt = FlyBolt;
    return services;
}

EffectServices g_EffectServices = SpawnerServices();

} // namespace

EffectServices& GetEffectServices() {
    return g_EffectServices;
}

void ResetEffectServices() {
    g_EffectServices = SpawnerServices();
}
