#include "Sound/NAudio.h"

#include "Core/CallRecorder.h"

#include <cstdio>

CNAudio* g_Audio = nullptr;

namespace {

std::string VectorText(const D3DXVECTOR3& v) {
    char text[64];
    std::snprintf(text, sizeof(text), "(%g, %g, %g)", v.x, v.y, v.z);
    return text;
}

} // namespace

CNAudio::CNAudio() {
    g_Audio = this;
    RecordCall("CNAudio()");
}

CNAudio::~CNAudio() {
    RecordCall("~CNAudio()");
    if (g_Audio == this)
        g_Audio = nullptr;
}

CNAudio* GetAudio() {
    return g_Audio;
}

HRESULT CNAudio::Init(HWND hWnd) {
    RecordCall(hWnd ? "CNAudio::Init window" : "CNAudio::Init no window");
    return S_OK;
}

void CNAudio::SetListenerPosition(const D3DXVECTOR3& position, const D3DXVECTOR3& velocity) {
    RecordCall("CNAudio::SetListenerPosition " + VectorText(position) + " " + VectorText(velocity));
}

void CNAudio::SetListenerOrientation(const D3DXVECTOR3& front, const D3DXVECTOR3& top) {
    RecordCall("CNAudio::SetListenerOrientation " + VectorText(front) + " " + VectorText(top));
}

void CNAudio::LoadSound(CPRefPtr<CNSound>& out, const std::string& file, bool is3D, bool force) {
    RecordCall("CNAudio::LoadSound " + file + (is3D ? " 3d " : " 2d ") + (force ? "1" : "0"));
    loadedSounds.push_back(std::make_unique<CNSound>(file));
    out = loadedSounds.back().get();
}
