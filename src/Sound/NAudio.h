#pragma once

#include "Core/PRefPtr.h"
#include "Platform/D3DX9Math.h"
#include "Platform/Win32Types.h"
#include "Sound/NSound.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class CNAudio;
extern CNAudio* g_Audio;
CNAudio* GetAudio();

// Stands in for the sound manager until the sound subsystem lands.
class CNAudio {
public:
    CNAudio();
    virtual ~CNAudio();
    CNAudio(const CNAudio&) = delete;
    CNAudio& operator=(const CNAudio&) = delete;

    // Opens the sound device for the window and loads the named sounds.
    HRESULT Init(HWND hWnd);
    void SetListenerPosition(const D3DXVECTOR3& position, const D3DXVECTOR3& velocity);
    void SetListenerOrientation(const D3DXVECTOR3& front, const D3DXVECTOR3& top);

    // A sound of its own for the caller; the manager keeps it until it is
    // deleted itself.
    void LoadSound(CPRefPtr<CNSound>& out, const std::string& file, bool is3D, bool force);

    // The named sounds of Data\Sounds\Sounds.dat.
    std::map<std::string, CPRefPtr<CNSound>> sounds;

private:
    std::vector<std::unique_ptr<CNSound>> loadedSounds;
};
