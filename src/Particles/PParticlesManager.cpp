#include "Particles/PParticlesManager.h"

#include "Core/CallRecorder.h"
#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Particles/PParticleRenderObject.h"
#include "Particles/PParticleSystem.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"

CPParticlesManager* g_ParticlesManager = nullptr;

CPParticlesManager::CPParticlesManager() {
    g_ParticlesManager = this;
    RecordCall("CPParticlesManager()");
}

CPParticlesManager::~CPParticlesManager() {
    RecordCall("~CPParticlesManager()");
    systemDefs.Clear();
    liveObjects.clear();
    particleTypes.Clear();
    flames.clear();
    if (g_ParticlesManager == this)
        g_ParticlesManager = nullptr;
}

template <class Reader>
bool CPParticlesManager::ReadTable(const char* path, Reader&& reader) {
    CPFileReader file(path, false);
    if (file.Load() != S_OK) {
        GetLog().Print(0, "Cannot read %s: the particles stay off\n", path);
        return false;
    }
    reader(path, std::string(reinterpret_cast<const char*>(file.GetData()),
                             static_cast<std::size_t>(file.GetSize())));
    return true;
}

bool CPParticlesManager::Start() {
    RecordCall("CPParticlesManager::Start");
    const bool read =
        ReadTable("Data\\particles.dat",
                  [this](const std::string& file, const std::string& text) {
                      ReadParticleTypes(file, text, false);
                  }) &&
        ReadTable("Data\\spots.dat",
                  [this](const std::string& file, const std::string& text) {
                      ReadParticleTypes(file, text, true);
                  }) &&
        ReadTable("Data\\particlesystems.dat",
                  [this](const std::string& file, const std::string& text) { ReadSystemDefs(file, text); }) &&
        ReadTable("Data\\flames.dat",
                  [this](const std::string& file, const std::string& text) { ReadFlames(file, text); });
    return read && CPTask::Start();
}

void CPParticlesManager::Spawn(const ParticleDesc& desc) {
    const std::unique_ptr<CPParticleRenderObject>* type = particleTypes.Find(desc.typeName);
    if (!type)
        return;
    CPParticleRenderObject* object = type->get();
    if (!object->active)
        liveObjects.emplace_back(object);
    object->AddParticle(Particle::FromDesc(desc));
}

void CPParticlesManager::Update() {
    const CPRefPtr<CPRenderBlock> block = g_Render ? g_Render->GetRenderBlock() : nullptr;
    // Updating may spawn into types not yet live, which are appended to the
    // list and visited in this same pass.
    for (auto entry = liveObjects.begin(); entry != liveObjects.end();) {
        CPParticleRenderObject* object = entry->Get();
        object->UpdateParticles();
        if (!object->active) {
            entry = liveObjects.erase(entry);
            continue;
        }
        if (block)
            block->AddRenderObject(object);
        ++entry;
    }
}

void CPParticlesManager::ClearAll() {
    particleTypes.ForEach([](const std::string&, const std::unique_ptr<CPParticleRenderObject>& type) {
        type->ClearParticles();
    });
    liveObjects.clear();
}

CPRefPtr<CPParticleSystem> CPParticlesManager::CloneFlame(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= flames.size())
        return nullptr;
    return static_cast<CPParticleSystem*>(flames[static_cast<std::size_t>(index)]->Clone().Get());
}

void SpawnParticle(const ParticleDesc& desc) {
    if (g_ParticlesManager)
        g_ParticlesManager->Spawn(desc);
}
