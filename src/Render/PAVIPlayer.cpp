#include "Render/PAVIPlayer.h"

#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Platform/Graphics/Direct3DDevice9.h"
#include "Platform/Sound/DirectSound8.h"
#include "Render/PRender.h"
#include "Render/PTextureManager.h"
#include "Sound/VolumeLaw.h"

#include <cstring>

CPAVIPlayer* g_AVIPlayer = nullptr;

int NextPowerOfTwo(int n) {
    int power = 2;
    while (power <= n)
        power *= 2;
    return power;
}

CPAVIPlayer::CPAVIPlayer()
    : CPAVIPlayer(Identity{"Render\\PAVIPlayer", "video", "VIDEO", 63, 82, 136, 148}) {}

CPAVIPlayer::CPAVIPlayer(const Identity& identity) : identity(identity) {
    priority = PRIORITY_VIDEO;
}

CPAVIPlayer::~CPAVIPlayer() {
    ReleaseVideo();
    ReleaseTexture();
}

HRESULT CPAVIPlayer::Init() {
    return S_OK;
}

void CPAVIPlayer::ReleaseVideo() {
    stream.reset();
    sound.reset();
    pending.clear();
    hasPending = false;
}

HRESULT CPAVIPlayer::Reset() {
    ReleaseVideo();
    const HRESULT hr = Init();
    if (FAILED(hr))
        ReleaseVideo();
    return hr;
}

HRESULT CPAVIPlayer::Play(const std::string& name, bool noSoundFlag) {
    noSound = noSoundFlag;
    HRESULT hr = Reset();
    if (FAILED(hr)) {
        ReportPlatformError(identity.source, identity.resetLine, hr);
        return hr;
    }
    device = g_Render ? g_Render->GetDevice() : nullptr;
    Reset();
    // Any length of name makes a path: nothing is cut to a fixed buffer.
    const std::string path = "Data\\Video\\" + name;
    hr = OpenStream(path);
    if (SUCCEEDED(hr))
        hr = PrepareTexture();
    if (SUCCEEDED(hr) && !noSound)
        hr = OpenSound(path);
    if (FAILED(hr))
        return hr;
    frameFlag = false;
    Register();
    return S_OK;
}

HRESULT CPAVIPlayer::OpenStream(const std::string& path) {
    std::string error;
    const HRESULT hr = PlatOpenVideo(path, stream, error);
    if (FAILED(hr)) {
        ReportPlatformError(identity.source, identity.openLine, hr);
        GetLog().Print(0, "%s\n", error.c_str());
        return hr;
    }
    sourceRect = RECT{0, 0, stream->GetWidth(), stream->GetHeight()};
    return S_OK;
}

// A file without a sound track, or a machine without a sound device, plays
// the picture alone; a sound track that cannot be played fails.
HRESULT CPAVIPlayer::OpenSound(const std::string& path) {
    std::string error;
    const HRESULT hr = PlatOpenVideoSound(path, sound, error);
    if (hr == VIDEO_E_NO_SOUND || hr == DSERR_NODRIVER)
        return S_OK;
    if (FAILED(hr)) {
        ReportPlatformError(identity.source, identity.soundLine, hr);
        GetLog().Print(0, "%s\n", error.c_str());
        return hr;
    }
    sound->SetVolume(VolumeToAttenuation(g_SoundVolume));
    return S_OK;
}

HRESULT CPAVIPlayer::PrepareTexture() {
    const int width = NextPowerOfTwo(sourceRect.right);
    const int height = NextPowerOfTwo(sourceRect.bottom);
    if (texture && textureBits == g_ScreenBPP && textureWidth == width && textureHeight == height)
        return S_OK;
    ReleaseTexture();
    // The device keeps lockable textures in 32 bits only, so the frames go
    // into an X8R8G8B8 texture at every screen depth.
    const HRESULT hr = device ? device->CreateTexture(width, height, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED,
                                                      &texture, nullptr)
                              : E_FAIL;
    if (FAILED(hr)) {
        texture = nullptr;
        ReportPlatformError(identity.source, identity.createTextureLine, hr);
        return hr;
    }
    textureWidth = width;
    textureHeight = height;
    textureBits = g_ScreenBPP;
    return S_OK;
}

void CPAVIPlayer::ReleaseTexture() {
    if (!texture)
        return;
    // The entry must not keep a texture that is gone.
    if (CPTexture* entry = Entry(); entry && entry->texture == texture)
        entry->texture = nullptr;
    texture->Release();
    texture = nullptr;
}

CPTexture* CPAVIPlayer::Entry() const {
    if (!g_TextureManager)
        return nullptr;
    const auto& textures = g_TextureManager->GetTextures();
    const auto found = textures.find(identity.entry);
    return found == textures.end() ? nullptr : found->second.Get();
}

void CPAVIPlayer::Register() {
    CPTexture* entry = Entry();
    if (!entry)
        return;
    entry->texture = texture;
    entry->name = identity.textureName;
    entry->width = textureWidth;
    entry->height = textureHeight;
}

bool CPAVIPlayer::Start() {
    playTime = 0;
    endTime = 0;
    if (stream)
        ReadPending();
    ShowDueFrames();
    if (sound)
        sound->Run();
    return CPTask::Start();
}

void CPAVIPlayer::Update() {
    if (sound)
        sound->Update();
    playTime = CurrentTime();
    if (!ShowDueFrames())
        Stop();
}

double CPAVIPlayer::CurrentTime() const {
    if (sound && sound->IsRunning())
        return sound->GetPosition();
    return playTime + g_FrameTime;
}

void CPAVIPlayer::Stop() {
    ReleaseVideo();
    CPTask::Stop();
}

bool CPAVIPlayer::ReadPending() {
    hasPending = stream && stream->ReadFrame(pending, pendingTime);
    return hasPending;
}

bool CPAVIPlayer::ShowDueFrames() {
    while (hasPending && pendingTime <= playTime) {
        WriteFrame(pending);
        const double rate = stream->GetFrameRate();
        endTime = pendingTime + (rate > 0 ? 1.0 / rate : 0.0);
        ReadPending();
    }
    return hasPending || playTime < endTime || (sound && sound->IsRunning());
}

void CPAVIPlayer::WriteFrame(const std::vector<uint32_t>& pixels) {
    D3DLOCKED_RECT locked;
    if (!texture || FAILED(texture->LockRect(0, &locked, nullptr, 0)))
        return;
    const int width = sourceRect.right;
    auto* bytes = static_cast<uint8_t*>(locked.pBits);
    for (int y = 0; y < sourceRect.bottom; ++y) {
        const uint32_t* source = pixels.data() + static_cast<size_t>(y) * width;
        std::memcpy(bytes + static_cast<ptrdiff_t>(y) * locked.Pitch, source, static_cast<size_t>(width) * 4);
    }
    texture->UnlockRect(0);
    frameFlag = true;
}
