#include "Sound/NSoundCache.h"

#include "Core/CallRecorder.h"
#include "Sound/NAudio.h"

CNSoundCache* g_SoundCache = nullptr;

CNSoundCache::CNSoundCache(IDirectSound8* soundDevice) : device(soundDevice) {
    g_SoundCache = this;
}

CNSoundCache::~CNSoundCache() {
    entries.clear();
    if (g_SoundCache == this)
        g_SoundCache = nullptr;
}

CPRefPtr<CNSound> CNSoundCache::Find(const std::string& file) {
    for (const Entry& entry : entries)
        if (entry.file == file)
            return entry.sound;
    return nullptr;
}

HRESULT CNSoundCache::GetOrLoad(CPRefPtr<CNSound>& out, const std::string& file, bool is3D, bool force) {
    out = Find(file);
    if (out && !force)
        return S_OK;
    auto* sound = new CNSound(device, "Data\\Sounds\\" + file, is3D);
    if (!sound->IsListed()) {
        out = nullptr;
        delete sound;
        return E_FAIL;
    }
    if (is3D)
        CNAudio::SetSoundDistances(sound, 1.0f, 1000.0f);
    out = sound;
    return S_OK;
}

void CNSoundCache::StopAll() {
    RecordCall("CNSoundCache::StopAll");
    for (Entry& entry : entries)
        entry.sound->Stop();
    entries.clear();
}

void CNSoundCache::RewindAll() {
    for (const Entry& entry : entries) {
        entry.sound->Stop();
        entry.sound->Rewind();
    }
}
