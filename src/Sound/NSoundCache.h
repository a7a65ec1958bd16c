#pragma once

#include "Core/PRefPtr.h"
#include "Platform/Sound/DirectSound8.h"
#include "Sound/NSound.h"

#include <string>
#include <vector>

class CNSoundCache;
extern CNSoundCache* g_SoundCache;

// Loads sounds from Data\Sounds for the sound manager. It can hand out a
// sound it holds for a file name, though nothing fills it: every load makes
// a new sound, owned by the caller.
class CNSoundCache {
public:
    explicit CNSoundCache(IDirectSound8* soundDevice);
    virtual ~CNSoundCache();
    CNSoundCache(const CNSoundCache&) = delete;
    CNSoundCache& operator=(const CNSoundCache&) = delete;

    // The held sound of that exact file name, or null.
    CPRefPtr<CNSound> Find(const std::string& file);
    // A held sound of the file, or (when there is none, or with force) a
    // new one from Data\Sounds\<file>; a 3D sound gets the distances 1 and
    // 1000. Null, with E_FAIL, when the sound cannot be created.
    HRESULT GetOrLoad(CPRefPtr<CNSound>& out, const std::string& file, bool is3D, bool force);
    // Stops every held sound and rewinds it; the cache keeps them.
    void RewindAll();
    // Stops every held sound and lets go of them.
    void StopAll();

private:
    struct Entry {
        std::string file;
        CPRefPtr<CNSound> sound;
    };

    std::vector<Entry> entries;
    IDirectSound8* device = nullptr;
};
