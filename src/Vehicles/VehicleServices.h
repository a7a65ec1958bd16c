#pragma once

#include <functional>
#include <string>

struct ParticleDesc;

// The vehicles' and shots' ways out to the particles, the scripts and the
// race's extra cars. Each entry reaches the engine's own service; tests and
// the application may replace one.
struct VehicleServices {
    // Emits one particle through the particle manager, when there is one.
    std::function<void(const ParticleDesc& desc)> emitParticle;
    // Queues a command for the named script, when the scripts run.
    std::function<void(const std::string& script, const std::string& command, const std::string& params)>
        sendCommand;
    // Switch the computer cars after the first five off and on again
    // (a shadow-world visit of the camera's car).
    std::function<void()> stopExtraVehicles;
    std::function<void()> startExtraVehicles;

    VehicleServices();
};

extern VehicleServices g_VehicleServices;
