#include "Sound/NAudio.h"

#include "Core/CallRecorder.h"
#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PLineReader.h"
#include "Core/PSettings.h"
#include "Core/PTokenizer.h"
#include "Core/StringFunctions.h"
#include "Sound/NSoundCache.h"
#include "Sound/PMusic.h"

#include <cstdio>
#include <vector>

CNAudio* g_Audio = nullptr;

namespace {

constexpr const char* kModule = "Sound\\NAudio";

std::string VectorText(const D3DXVECTOR3& v) {
    char text[64];
    std::snprintf(text, sizeof(text), "(%g, %g, %g)", v.x, v.y, v.z);
    return text;
}

// Reports a failed step; true when it succeeded.
bool Succeeded(int line, HRESULT hr) {
    if (FAILED(hr))
        ReportPlatformError(kModule, line, hr);
    return SUCCEEDED(hr);
}

} // namespace

CNAudio::CNAudio() {
    g_Audio = this;
    RecordCall("CNAudio()");
}

CNAudio::~CNAudio() {
    RecordCall("~CNAudio()");
    Release();
    std::vector<CNSound*> owned;
    for (const auto& [name, sound] : sounds)
        owned.push_back(sound.Get());
    sounds.clear();
    for (CNSound* sound : owned)
        delete sound;
    if (g_Audio == this)
        g_Audio = nullptr;
}

CNAudio* GetAudio() {
    return g_Audio;
}

HRESULT CNAudio::Init(HWND hWnd) {
    RecordCall(hWnd ? "CNAudio::Init window" : "CNAudio::Init no window");
    SetMasterSoundVolume(g_SoundVolume);
    if (g_Music)
        g_Music->SetVolume(g_MusicVolume);
    window = hWnd;
    if (FAILED(OpenDevice()) || FAILED(SetPrimaryFormat()) || FAILED(OpenListener()))
        return E_FAIL;
    listener->GetAllParameters(&listenerParameters);
    LoadSoundTable();
    return S_OK;
}

HRESULT CNAudio::OpenDevice() {
    const HRESULT hr = DirectSoundCreate8(&device);
    if (hr == DSERR_NODRIVER) {
        GetLog().Print(0, "No sound device could be opened: the game runs without sound\n");
        return E_FAIL;
    }
    if (!Succeeded(__LINE__, hr))
        return E_FAIL;
    if (!Succeeded(__LINE__, device->SetCooperativeLevel(window, DSSCL_EXCLUSIVE)))
        return E_FAIL;
    soundCache = new CNSoundCache(device);
    return S_OK;
}

HRESULT CNAudio::SetPrimaryFormat() {
    DSBUFFERDESC description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer8* primary = nullptr;
    if (!Succeeded(__LINE__, device->CreateSoundBuffer(&description, &primary)))
        return E_FAIL;
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(g_SoundChannels);
    format.nSamplesPerSec = static_cast<DWORD>(g_SoundFrequency);
    format.wBitsPerSample = static_cast<WORD>(g_SoundBits);
    format.nBlockAlign = static_cast<WORD>(format.nChannels * (format.wBitsPerSample / 8));
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    const HRESULT hr = primary->SetFormat(&format);
    primary->Release();
    return Succeeded(__LINE__, hr) ? S_OK : E_FAIL;
}

HRESULT CNAudio::OpenListener() {
    DSBUFFERDESC description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
    IDirectSoundBuffer8* primary = nullptr;
    if (!Succeeded(__LINE__, device->CreateSoundBuffer(&description, &primary)))
        return E_FAIL;
    const HRESULT hr = primary->GetListener(&listener);
    primary->Release();
    return Succeeded(__LINE__, hr) ? S_OK : E_FAIL;
}

// Every line "name;file;mode" loads its own new sound; mode "3d" (any
// letter case) makes it a 3D sound. A later line of the same name replaces
// the sound of an earlier one.
void CNAudio::LoadSoundTable() {
    CPFileReader reader("Data\\Sounds\\Sounds.dat", false);
    if (FAILED(reader.Load())) {
        GetLog().Print(
            0, "Data\\Sounds\\Sounds.dat could not be read (missing or cut short): no named sounds\n");
        return;
    }
    CPLineReader lines(reader.GetData(), static_cast<std::size_t>(reader.GetSize()));
    std::string line;
    while (lines.ReadLine(line)) {
        CPTokenizer tokens(line, ";", true);
        std::string name, file, mode;
        tokens.NextToken(name);
        tokens.NextToken(file);
        tokens.NextToken(mode);
        ToLowerString(mode);
        CPRefPtr<CNSound> sound;
        LoadSound(sound, file, mode == "3d", true);
        SetSound(name, sound.Get());
    }
}

void CNAudio::SetSound(const std::string& name, CNSound* sound) {
    CPRefPtr<CNSound>& entry = sounds[name];
    CNSound* replaced = entry.Get();
    entry = sound;
    delete replaced;
}

HRESULT CNAudio::LoadSound(CPRefPtr<CNSound>& out, const std::string& file, bool is3D, bool force) {
    if (!soundCache) {
        out = nullptr;
        return E_FAIL;
    }
    return soundCache->GetOrLoad(out, file, is3D, force);
}

CPRefPtr<CNSound> CNAudio::FindSound(const std::string& name) {
    return sounds[name];
}

void CNAudio::SetListenerPosition(const D3DXVECTOR3& position, const D3DXVECTOR3& velocity) {
    RecordCall("CNAudio::SetListenerPosition " + VectorText(position) + " " + VectorText(velocity));
    ChangeListener([&](DS3DLISTENER& parameters) {
        parameters.vPosition = position;
        parameters.vVelocity = velocity;
    });
}

void CNAudio::SetListenerOrientation(const D3DXVECTOR3& front, const D3DXVECTOR3& top) {
    RecordCall("CNAudio::SetListenerOrientation " + VectorText(front) + " " + VectorText(top));
    ChangeListener([&](DS3DLISTENER& parameters) {
        parameters.vOrientFront = front;
        parameters.vOrientTop = top;
    });
}

void CNAudio::ChangeListener(const std::function<void(DS3DLISTENER&)>& change) {
    if (!listener)
        return;
    listener->GetAllParameters(&listenerParameters);
    change(listenerParameters);
    Succeeded(__LINE__, listener->SetAllParameters(&listenerParameters, DS3D_IMMEDIATE));
}

void CNAudio::SetSoundDistances(const CPRefPtr<CNSound>& sound, float minimum, float maximum) {
    if (!sound)
        return;
    sound->Change3DParameters([&](DS3DBUFFER& parameters) {
        parameters.flMinDistance = minimum;
        parameters.flMaxDistance = maximum;
    });
}

void CNAudio::SetSoundVolume(float volume) {
    g_SoundVolume = volume;
    SetMasterSoundVolume(volume);
}

void CNAudio::SetMusicVolume(float volume) {
    g_MusicVolume = volume;
    if (g_Music)
        g_Music->SetVolume(volume);
}

void CNAudio::Release() {
    PlatReleaseAndClear(listener);
    delete soundCache;
    soundCache = nullptr;
    PlatReleaseAndClear(device);
}
