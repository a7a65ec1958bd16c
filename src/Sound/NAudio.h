#pragma once

#include "Core/PRefPtr.h"
#include "Platform/D3DX9Math.h"
#include "Platform/Sound/DirectSound8.h"
#include "Platform/Win32Types.h"
#include "Sound/NSound.h"

#include <functional>
#include <string>
#include <unordered_map>

class CNAudio;
class CNSoundCache;
extern CNAudio* g_Audio;
CNAudio* GetAudio();

// The sound manager: owns the sound device, the listener, the sound loader
// and the named sounds of Data\Sounds\Sounds.dat, and carries the sound
// and music volume settings. Without a device (no sound output) every
// operation does nothing and every sound looked up or loaded is null.
class CNAudio {
public:
    CNAudio();
    virtual ~CNAudio();
    CNAudio(const CNAudio&) = delete;
    CNAudio& operator=(const CNAudio&) = delete;

    // Opens the sound device for the window, sets up the listener and loads
    // the named sounds. E_FAIL when a step of the device fails (reported;
    // the manager then lacks what that step and the later ones make).
    HRESULT Init(HWND hWnd);
    // A new sound of Data\Sounds\<file>, owned by the caller; null when it
    // cannot be created or there is no device.
    HRESULT LoadSound(CPRefPtr<CNSound>& out, const std::string& file, bool is3D, bool force);
    // The named sound, or null; a name not in the table is added as null.
    CPRefPtr<CNSound> FindSound(const std::string& name);
    void SetListenerPosition(const D3DXVECTOR3& position, const D3DXVECTOR3& velocity);
    void SetListenerOrientation(const D3DXVECTOR3& front, const D3DXVECTOR3& top);
    // Minimum and maximum distance of a 3D sound; nothing for a 2D one.
    static void SetSoundDistances(const CPRefPtr<CNSound>& sound, float minimum, float maximum);
    // Stores the volume setting and applies it to every sound.
    void SetSoundVolume(float volume);
    // Stores the music volume setting and applies it to the music.
    void SetMusicVolume(float volume);
    // Lets go of the listener, the sound loader and the device.
    void Release();

    // The named sounds, owned by the manager; an entry may be null.
    std::unordered_map<std::string, CPRefPtr<CNSound>> sounds;

private:
    HRESULT OpenDevice();
    HRESULT SetPrimaryFormat();
    HRESULT OpenListener();
    void LoadSoundTable();
    void SetSound(const std::string& name, CNSound* sound);
    void ChangeListener(const std::function<void(DS3DLISTENER&)>& change);

    HWND window = nullptr;
    IDirectSound8* device = nullptr;
    CNSoundCache* soundCache = nullptr;
    IDirectSound3DListener8* listener = nullptr;
    DS3DLISTENER listenerParameters;
};
