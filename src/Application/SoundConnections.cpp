#include "Application/SoundConnections.h"

#include "Physics/PhysicsServices.h"
#include "Sound/NAudio.h"

namespace {

CPRefPtr<CNSound> FindNamedSound(const char* name) {
    return g_Audio ? g_Audio->FindSound(name) : nullptr;
}

} // namespace

void ConnectSoundToPhysics() {
    g_PhysicsServices.isSoundPlaying = [](const char* name) {
        const CPRefPtr<CNSound> sound = FindNamedSound(name);
        return sound && sound->IsPlaying();
    };
    // A sound still sounding is stopped and rewound before it plays again.
    g_PhysicsServices.playSound = [](const char* name) {
        const CPRefPtr<CNSound> sound = FindNamedSound(name);
        if (!sound)
            return;
        if (sound->IsPlaying()) {
            sound->Stop();
            sound->Rewind();
        }
        sound->Play(0, 0);
    };
}
