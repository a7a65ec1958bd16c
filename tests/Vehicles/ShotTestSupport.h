#pragma once

#include "Particles/PParticleRenderObject.h"
#include "Particles/PParticlesManager.h"
#include "Script/PScriptManager.h"
#include "Vehicles/PShotSpawner.h"
#include "Vehicles/ShotTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What the vehicles and shots send out while it lives, seen through a real
// script manager and a real particle manager (the global ones meanwhile):
// every command as "script:command(params)", whether a script took it or
// not, and the live particles of the types the vehicles emit.
class RaceLog {
public:
    RaceLog() {
        scripts.SetCommandObserver(
            [this](const std::string& target, const std::string& command, const std::string& params, bool) {
                commands.push_back(target + ":" + command + "(" + params + ")");
            });
        particleManager.ReadParticleTypes("particles.dat",
                                          "iskra spark.tga particle_add.fx 1 1 1 0 1\n"
                                          "iskra3blue spark.tga particle_add.fx 1 1 1 0 1\n"
                                          "gilze spark.tga particle.fx 1 1 1 0 0\n"
                                          "wall puff.tga particle.fx 1 1 1 0 0\n"
                                          "smoke3car puff.tga particle.fx 1 1 1 0 0\n"
                                          "firethrower fire.tga particle_add.fx 4 4 1 0 1\n",
                                          false);
    }
    RaceLog(const RaceLog&) = delete;
    RaceLog& operator=(const RaceLog&) = delete;

    int Commands(const std::string& entry) const {
        return static_cast<int>(std::count(commands.begin(), commands.end(), entry));
    }
    // The live particles of the type, oldest first.
    const std::vector<Particle>& Of(const std::string& type) const {
        return particleManager.particleTypes.Find(type)->get()->particles;
    }
    int Particles(const std::string& type) const { return static_cast<int>(Of(type).size()); }
    void Clear() {
        commands.clear();
        particleManager.ClearAll();
    }

    std::vector<std::string> commands;

private:
    CPScriptManager scripts;
    CPParticlesManager particleManager;
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
