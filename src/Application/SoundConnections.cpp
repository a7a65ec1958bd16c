#include "Application/SoundConnections.h"

#include "Physics/PhysicsServices.h"
#include "Script/Functions/ScriptEngineHooks.h"
#include "Sound/NAudio.h"
#include "Sound/PMusic.h"

namespace {

CPRefPtr<CNSound> FindNamedSound(const char* name) {
    return g_Audio ? g_Audio->FindSound(name) : nullptr;
}

} // namespace

void ConnectSoundToScriptsAndPhysics() {
    g_ScriptEngineHooks.playMusic = [](const std::string& fileName, bool loop) {
        if (g_Music)
            g_Music->Play(fileName, loop);
    };
    g_PhysicsServices.isSoundPlaying = [](const char* name) {
        const CPRefPtr<CNSound> sound = FindNamedSound(name);
        return sound && sound->IsPlaying();
    };
    // A sound still sounding is stopped and rewound before it plays again.
    g_PhysicsServices.playSound = [](const char* name) { PlayFromStart(FindNamedSound(name)); };
}
