#pragma once

#include "Core/PObject.h"
#include "Core/PRefPtr.h"
#include "Platform/Sound/DirectSound8.h"
#include "Sound/NWaveFile.h"

#include <functional>
#include <list>
#include <memory>
#include <string>

class CNSound;

// Every sound that was created successfully, in creation order (not counted).
extern std::list<CNSound*> g_SoundList;
// The sound volume last applied to every sound, 0..1.
extern float g_MasterVolume;
// Frequency factor applied at every Play.
extern float g_PitchFactor;

// One sound effect held whole in a static sound buffer: the sample data of
// a WAVE file is copied in at creation, and the owner plays, stops,
// rewinds, pitches and attenuates it. A 2D sound plays as it is; a 3D sound
// (mono only) has a position, a velocity and distances. A sound whose
// creation failed is unlisted and every operation on it does nothing.
class CNSound : public CPObject {
public:
    CNSound(IDirectSound8* device, const std::string& path, bool is3D);
    ~CNSound() override;
    CNSound(const CNSound&) = delete;
    CNSound& operator=(const CNSound&) = delete;

    size_t GetSize() const override { return sizeof(CNSound); }
    std::string GetClassName() const override { return "CNSound_" + filePath; }

    // Plays from the current position at the base frequency times
    // g_PitchFactor; flags DSBPLAY_LOOPING repeats. A failure code without
    // a buffer or when the frequency is refused.
    HRESULT Play(DWORD priority, DWORD flags);
    // Pauses at the current position.
    void Stop();
    // Back to position 0.
    void Rewind();
    bool IsPlaying();
    // Plays at the base frequency times the factor (truncated to Hz); a
    // frequency outside the device's range is refused, and logged the first
    // time only.
    HRESULT SetPitch(float factor);
    // The factor nearest to `factor` that keeps the frequency within the
    // device's range (a NaN gives the lowest).
    float PlayablePitch(float factor) const;
    // Sets the volume by the volume law.
    HRESULT SetVolume(float volume);
    HRESULT ApplyMasterVolume();

    bool IsListed() const { return listed; }
    bool Is3D() const { return is3D; }
    // Reads the 3D parameters, lets `change` edit them and writes them back
    // at once; nothing for a 2D or failed sound.
    void Change3DParameters(const std::function<void(DS3DBUFFER&)>& change);
    // The 3D parameters as last read from and written to the 3D buffer.
    const DS3DBUFFER& Get3DParameters() const { return parameters3D; }

private:
    void Create(IDirectSound8* device);
    HRESULT CreateBuffer(IDirectSound8* device);
    void Set3DMode();
    HRESULT Fill();
    bool RestoreIfLost();
    void Destroy();

    IDirectSoundBuffer8* buffer = nullptr;
    DWORD dataSize = 0;
    std::unique_ptr<CNWaveFile> waveFile;
    bool is3D = false;
    DWORD baseFrequency = 0;
    std::string filePath;
    bool listed = false;
    bool pitchRefused = false;
    IDirectSound3DBuffer8* buffer3D = nullptr;
    DS3DBUFFER parameters3D;
};

// Stores the volume in g_MasterVolume and applies it to every listed sound.
void SetMasterSoundVolume(float volume);
// Plays the sound once from its start: a sound still sounding is stopped and
// rewound first. Nothing for a missing sound.
void PlayFromStart(const CPRefPtr<CNSound>& sound);
// Moves a 3D sound; nothing for a 2D or missing sound.
void SetSoundPosition(const CPRefPtr<CNSound>& sound, const D3DXVECTOR3& position,
                      const D3DXVECTOR3& velocity);
