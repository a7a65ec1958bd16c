#pragma once

#include "Particles/ParticleDesc.h"
#include "Vehicles/PShotSpawner.h"
#include "Vehicles/ShotTable.h"
#include "Vehicles/VehicleServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Records what the vehicles and shots send out while it lives: every
// command as "script:command(params)" and the type of every particle, with
// the particles' requests kept for closer looks. The extra-car switches are
// logged as commands "level:stop_extra()" and "level:start_extra()".
class ServiceLog {
public:
    ServiceLog() : saved(g_VehicleServices) {
        g_VehicleServices.sendCommand = [this](const std::string& script, const std::string& command,
                                               const std::string& params) {
            commands.push_back(script + ":" + command + "(" + params + ")");
        };
        g_VehicleServices.emitParticle = [this](const ParticleDesc& desc) {
            particles.push_back(desc.typeName);
            positions.push_back(desc.position);
            velocities.push_back(desc.velocity);
            lifetimes.push_back(desc.lifetime);
            hasCallback.push_back(desc.callback != nullptr);
        };
        g_VehicleServices.stopExtraVehicles = [this] { commands.push_back("level:stop_extra()"); };
        g_VehicleServices.startExtraVehicles = [this] { commands.push_back("level:start_extra()"); };
    }
    ~ServiceLog() { g_VehicleServices = saved; }
    ServiceLog(const ServiceLog&) = delete;
    ServiceLog& operator=(const ServiceLog&) = delete;

    int Count(const std::string& entry, const std::vector<std::string>& from) const {
        return static_cast<int>(std::count(from.begin(), from.end(), entry));
    }
    int Commands(const std::string& entry) const { return Count(entry, commands); }
    int Particles(const std::string& type) const { return Count(type, particles); }
    void Clear() {
        commands.clear();
        particles.clear();
        positions.clear();
        velocities.clear();
        lifetimes.clear();
        hasCallback.clear();
    }

    std::vector<std::string> commands;
    std::vector<std::string> particles;
    std::vector<D3DXVECTOR3> positions;
    std::vector<D3DXVECTOR3> velocities;
    std::vector<float> lifetimes;
    std::vector<bool> hasCallback;

private:
    VehicleServices saved;
};

// Fills the spawner's pools from shot-table text through the table reader;
// the text must have no bad rows.
inline void LoadShots(CPShotSpawner& spawner, const std::string& table) {
    TextProblems problems;
    ShotTable::Fill(table.data(), table.size(), spawner, problems);
    EXPECT_TRUE(problems.empty()) << (problems.empty() ? "" : problems.front().message);
}

// The spawned shots of a name among the spawner's active ones.
inline int ActiveShots(const CPShotSpawner& spawner, const std::string& name) {
    int count = 0;
    for (const auto& shot : spawner.GetActiveShots())
        count += shot->name == name;
    return count;
}

// A plain tracer row of the name: speed 100, range 50, damage 5, no impact
// effect, no sound.
inline std::string TracerRow(const std::string& name) {
    return name + ";tracer;100;50;5;;spark.tga;particle_add.fx;103;0.05;2;none\n";
}
