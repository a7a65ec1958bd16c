#include "Particles/PParticlesManager.h"

#include "Core/CallRecorder.h"

CPParticlesManager* g_ParticlesManager = nullptr;

CPParticlesManager::CPParticlesManager() {
    g_ParticlesManager = this;
    RecordCall("CPParticlesManager()");
}

CPParticlesManager::~CPParticlesManager() {
    RecordCall("~CPParticlesManager()");
    if (g_ParticlesManager == this)
        g_ParticlesManager = nullptr;
}

bool CPParticlesManager::Start() {
    RecordCall("CPParticlesManager::Start");
    return CPTask::Start();
}

void CPParticlesManager::ClearAll() {
    RecordCall("CPParticlesManager::ClearAll");
}
