#include "Sound/NSound.h"

#include "Core/Log.h"
#include "Core/PSettings.h"
#include "Platform/Win32Time.h"
#include "Sound/VolumeLaw.h"

#include <algorithm>
#include <cstring>

std::list<CNSound*> g_SoundList;
float g_MasterVolume = 0;
float g_PitchFactor = 1.0f;

namespace {

constexpr const char* kModule = "Sound\\NSound";
// A buffer that stays lost after this many restore attempts is given up.
constexpr int kRestoreAttempts = 100;

HRESULT Report(int line, HRESULT hr) {
    if (FAILED(hr))
        ReportPlatformError(kModule, line, hr);
    return hr;
}

} // namespace

CNSound::CNSound(IDirectSound8* device, const std::string& path, bool sound3D)
    : is3D(sound3D), filePath(path) {
    waveFile = std::make_unique<CNWaveFile>();
    if (SUCCEEDED(waveFile->Open(path.c_str())))
        dataSize = waveFile->GetSize();
    Create(device);
}

CNSound::~CNSound() {
    Destroy();
}

void CNSound::Create(IDirectSound8* device) {
    if (!device || FAILED(Report(__LINE__, CreateBuffer(device)))) {
        GetLog().Print(0, "The sound %s could not be created\n", filePath.c_str());
        return;
    }
    Fill();
    buffer->SetCurrentPosition(0);
    buffer->Get3DBuffer(&buffer3D);
    if (is3D)
        Set3DMode();
    g_SoundList.push_back(this);
    listed = true;
    ApplyMasterVolume();
}

// The buffer holds whole sample frames only; a file without a readable
// format or sample data gives an empty description, which is refused.
HRESULT CNSound::CreateBuffer(IDirectSound8* device) {
    const WAVEFORMATEX* format = waveFile->GetFormat();
    if (format && format->nBlockAlign > 0)
        dataSize -= dataSize % format->nBlockAlign;
    DSBUFFERDESC description;
    description.dwFlags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLVOLUME | (is3D ? DSBCAPS_CTRL3D : 0);
    description.dwBufferBytes = dataSize;
    description.lpwfxFormat = format;
    if (is3D)
        description.guid3DAlgorithm = g_SoundBits == 16 ? DS3DALG::HrtfFull : DS3DALG::HrtfLight;
    if (!format || dataSize == 0)
        return DSERR_BADFORMAT;
    return device->CreateSoundBuffer(&description, &buffer);
}

void CNSound::Set3DMode() {
    Change3DParameters([](DS3DBUFFER& parameters) { parameters.dwMode = DS3DMODE_NORMAL; });
}

// Copies the sample data into the buffer from its start; whatever the file
// could not supply is silence (0x80 for 8-bit data, 0 otherwise).
HRESULT CNSound::Fill() {
    RestoreIfLost();
    void* area = nullptr;
    DWORD areaBytes = 0;
    if (FAILED(Report(__LINE__, buffer->Lock(0, dataSize, &area, &areaBytes, nullptr, nullptr, 0))))
        return E_FAIL;
    auto* bytes = static_cast<BYTE*>(area);
    DWORD read = 0;
    if (FAILED(waveFile->ResetFile()) || FAILED(waveFile->Read(bytes, areaBytes, &read)))
        read = 0;
    const int silence = waveFile->GetFormat()->wBitsPerSample == 8 ? 0x80 : 0;
    std::memset(bytes + read, silence, areaBytes - read);
    buffer->Unlock(area, areaBytes, nullptr, 0);
    return Report(__LINE__, buffer->GetFrequency(&baseFrequency));
}

// True when the buffer had been lost and was restored (its contents are
// then gone).
bool CNSound::RestoreIfLost() {
    DWORD status = 0;
    if (!buffer || FAILED(buffer->GetStatus(&status)) || !(status & DSBSTATUS_BUFFERLOST))
        return false;
    for (int attempt = 0; attempt < kRestoreAttempts; ++attempt) {
        if (buffer->Restore() != DSERR_BUFFERLOST)
            return true;
        Sleep(10);
    }
    return false;
}

HRESULT CNSound::Play(DWORD priority, DWORD flags) {
    if (!buffer)
        return E_FAIL;
    if (RestoreIfLost()) {
        Fill();
        Rewind();
    }
    const auto frequency = static_cast<DWORD>(static_cast<float>(baseFrequency) * g_PitchFactor);
    if (FAILED(Report(__LINE__, buffer->SetFrequency(frequency))))
        return E_FAIL;
    return buffer->Play(0, priority, flags);
}

void CNSound::Stop() {
    if (buffer)
        buffer->Stop();
}

void CNSound::Rewind() {
    if (buffer)
        buffer->SetCurrentPosition(0);
}

bool CNSound::IsPlaying() {
    DWORD status = 0;
    return buffer && SUCCEEDED(buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
}

// A frequency the device refuses is reported the first time only: the car
// engine asks for a new pitch every frame.
HRESULT CNSound::SetPitch(float factor) {
    if (!buffer)
        return E_FAIL;
    const float hz = static_cast<float>(baseFrequency) * factor;
    const DWORD frequency = hz > 0.0f ? static_cast<DWORD>(std::min(hz, 4.0e9f)) : 0;
    const HRESULT hr = buffer->SetFrequency(frequency);
    if (FAILED(hr) && !pitchRefused) {
        pitchRefused = true;
        Report(__LINE__, hr);
    }
    return hr;
}

// Half a hertz above the lowest frequency, so that truncating the product
// cannot fall below it.
float CNSound::PlayablePitch(float factor) const {
    if (baseFrequency == 0)
        return factor;
    const float base = static_cast<float>(baseFrequency);
    const float lowest = (static_cast<float>(DSBFREQUENCY_MIN) + 0.5f) / base;
    const float highest = static_cast<float>(DSBFREQUENCY_MAX) / base;
    return factor >= lowest ? std::min(factor, highest) : lowest;
}

HRESULT CNSound::SetVolume(float volume) {
    if (!buffer)
        return E_FAIL;
    return Report(__LINE__, buffer->SetVolume(VolumeToAttenuation(volume)));
}

HRESULT CNSound::ApplyMasterVolume() {
    return SetVolume(g_MasterVolume);
}

void CNSound::Change3DParameters(const std::function<void(DS3DBUFFER&)>& change) {
    if (!buffer3D)
        return;
    buffer3D->GetAllParameters(&parameters3D);
    change(parameters3D);
    Report(__LINE__, buffer3D->SetAllParameters(&parameters3D, DS3D_IMMEDIATE));
}

void CNSound::Destroy() {
    PlatReleaseAndClear(buffer3D);
    PlatReleaseAndClear(buffer);
    waveFile.reset();
    if (listed)
        g_SoundList.remove(this);
    listed = false;
}

void SetMasterSoundVolume(float volume) {
    g_MasterVolume = volume;
    for (CNSound* sound : g_SoundList)
        sound->ApplyMasterVolume();
}

void PlayFromStart(const CPRefPtr<CNSound>& sound) {
    if (!sound)
        return;
    if (sound->IsPlaying()) {
        sound->Stop();
        sound->Rewind();
    }
    sound->Play(0, 0);
}

void SetSoundPosition(const CPRefPtr<CNSound>& sound, const D3DXVECTOR3& position,
                      const D3DXVECTOR3& velocity) {
    if (!sound)
        return;
    sound->Change3DParameters([&](DS3DBUFFER& parameters) {
        parameters.vPosition = position;
        parameters.vVelocity = velocity;
    });
}
