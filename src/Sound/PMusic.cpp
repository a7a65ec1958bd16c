#include "Sound/PMusic.h"

#include "Core/CallRecorder.h"
#include "Core/Log.h"
#include "Platform/Sound/DirectSound8.h"
#include "Script/PScriptManager.h"
#include "Sound/VolumeLaw.h"

CPMusic* g_Music = nullptr;

CPMusic::CPMusic() {
    g_Music = this;
    RecordCall("CPMusic()");
}

CPMusic::~CPMusic() {
    RecordCall("~CPMusic()");
    ReleaseGraph();
    if (g_Music == this)
        g_Music = nullptr;
}

HRESULT CPMusic::Play(const std::string& name, bool loopPiece) {
    ReleaseGraph();
    loaded = false;
    fileName = name;
    loop = loopPiece;
    stream = PlatCreateMusicStream();
    const std::string path = "Data\\Music\\" + name;
    const HRESULT hr = stream->Render(path);
    if (FAILED(hr)) {
        // Without a sound device there is nothing to play: the sound
        // manager has said so once already.
        if (hr != DSERR_NODRIVER)
            GetLog().Print(0, "The music %s cannot be played\n", path.c_str());
        ReleaseGraph();
        return hr;
    }
    loaded = true;
    SetVolume(volume);
    return S_OK;
}

bool CPMusic::Start() {
    bool ran = true;
    if (loaded && !stream->Run()) {
        GetLog().Print(0, "The music %s cannot be started\n", fileName.c_str());
        ran = false;
    }
    SetVolume(volume);
    return CPTask::Start() && ran;
}

void CPMusic::Stop() {
    if (!loaded)
        return;
    stream->Stop();
    stream->Rewind();
    loaded = false;
}

// A piece that reached its end is stopped and rewound; then, when it no
// longer runs, a looping piece plays again from the start and a one-shot
// piece ends.
void CPMusic::Update() {
    if (!loaded)
        return;
    stream->Update();
    if (stream->TakeCompleteEvent()) {
        stream->Stop();
        stream->Rewind();
    }
    if (stream->IsRunning())
        return;
    if (loop) {
        stream->Rewind();
        stream->Run();
        return;
    }
    OnPieceEnded();
}

void CPMusic::OnPieceEnded() {
    loaded = false;
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByName("main", "stop_music", fileName);
}

void CPMusic::SetVolume(float newVolume) {
    volume = newVolume;
    if (stream)
        stream->SetVolume(VolumeToAttenuation(volume));
}

void CPMusic::ReleaseGraph() {
    stream.reset();
}
