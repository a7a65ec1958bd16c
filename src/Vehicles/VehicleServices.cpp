#include "Vehicles/VehicleServices.h"

#include "Game/PLevel.h"
#include "Particles/PParticlesManager.h"
#include "Script/PScriptManager.h"

VehicleServices g_VehicleServices;

VehicleServices::VehicleServices()
    : emitParticle([](const ParticleDesc& desc) {
          if (g_ParticlesManager)
              g_ParticlesManager->Spawn(desc);
      }),
      sendCommand([](const std::string& script, const std::string& command, const std::string& params) {
          if (g_ScriptManager)
              g_ScriptManager->SendCommandByName(script, command, params);
      }),
      stopExtraVehicles([] {
          if (g_Level)
              g_Level->StopExtraVehicles();
      }),
      startExtraVehicles([] {
          if (g_Level)
              g_Level->StartExtraVehicles();
      }) {}
