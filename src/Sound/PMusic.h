#pragma once

#include "Core/PTask.h"
#include "Platform/Sound/MusicStream.h"

#include <memory>
#include <string>

class CPMusic;
extern CPMusic* g_Music;

// The music task: plays one piece at a time from Data\Music, loops it or
// tells the script "main" when it ended ("stop_music" with the file name).
class CPMusic : public CPTask {
public:
    CPMusic();
    ~CPMusic() override;

    // Loads the piece Data\Music\<name> without playing it: a looping piece
    // starts on the next Update, a one-shot one on Start. E_FAIL (logged,
    // nothing loaded) when the file cannot be played.
    HRESULT Play(const std::string& name, bool loop);
    // Plays a loaded piece; applies the volume in any case.
    bool Start() override;
    void Update() override;
    // Stops and rewinds the piece; it is no longer loaded.
    void Stop() override;
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(CPMusic); }
    std::string GetClassName() const override { return "CPMusic"; }

    // Stores the volume (0..1) and applies it by the volume law.
    void SetVolume(float newVolume);
    void ReleaseGraph();

    // The name given to the last Play.
    const std::string& GetFileName() const { return fileName; }
    bool IsLoaded() const { return loaded; }

private:
    void OnPieceEnded();

    std::unique_ptr<PlatMusicStream> stream;
    bool loop = false;
    std::string fileName;
    bool loaded = false;
    float volume = 1;
};
