#pragma once

#include "Core/PTask.h"
#include "Platform/Graphics/Texture9.h"
#include "Platform/Sound/MusicStream.h"
#include "Platform/Video/VideoStream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IDirect3DDevice9;
class CPTexture;

// 2 for n < 2, otherwise the smallest power of two strictly greater than n.
int NextPowerOfTwo(int n);

// A video player: decodes a file of Data\Video into a texture of power-of-two
// size that the texture manager offers as "video". Frames go into the
// texture's top-left corner at their own size. Unless told otherwise it plays
// the file's sound track at the sound volume, and the track's position then
// chooses the frame. As a task it shows each frame at its time and stops
// itself at the end of the stream, keeping the last frame on the texture.
class CPAVIPlayer : public CPTask {
public:
    CPAVIPlayer();
    ~CPAVIPlayer() override;
    CPAVIPlayer(const CPAVIPlayer&) = delete;
    CPAVIPlayer& operator=(const CPAVIPlayer&) = delete;

    // Prepares the player for a new file; S_OK (nothing here can fail).
    HRESULT Init();
    // Closes the file being played and its sound. Safe to call any number
    // of times. Named apart from the reference count's Release, which it
    // must not replace.
    void ReleaseVideo();
    // ReleaseVideo then Init; ReleaseVideo again when Init fails.
    HRESULT Reset();
    // Opens Data\Video\<name>, sizes the texture and registers it; S_OK or
    // the failing step's code (reported to the log), never success on failure.
    HRESULT Play(const std::string& name, bool noSoundFlag);

    bool Start() override;
    void Update() override;
    void Stop() override;
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(CPAVIPlayer); }
    std::string GetClassName() const override { return "CPAVIPlayer"; }

    RECT sourceRect = {};
    IDirect3DTexture9* texture = nullptr;
    IDirect3DDevice9* device = nullptr;
    int textureWidth = 0;
    int textureHeight = 0;
    int textureBits = 0;
    bool frameFlag = false;
    // Set by the script functions that start the player.
    bool scriptFlag = false;
    bool noSound = false;

protected:
    // What tells the two players apart: their source name for error reports,
    // the lines of the steps that can fail and their texture entry.
    struct Identity {
        const char* source;
        const char* entry;
        const char* textureName;
        int resetLine;
        int openLine;
        int createTextureLine;
        int soundLine;
    };
    explicit CPAVIPlayer(const Identity& identity);

private:
    HRESULT OpenStream(const std::string& path);
    HRESULT OpenSound(const std::string& path);
    HRESULT PrepareTexture();
    void ReleaseTexture();
    void Register();
    CPTexture* Entry() const;
    // Shows every frame whose time has come; false once the stream has ended
    // and the last frame has had its time.
    bool ShowDueFrames();
    bool ReadPending();
    // Where the stream stands now: the sound track's position while it
    // plays, otherwise the frame times summed.
    double CurrentTime() const;
    void WriteFrame(const std::vector<uint32_t>& pixels);

    Identity identity;
    std::unique_ptr<IVideoStream> stream;
    std::unique_ptr<PlatMusicStream> sound;
    std::vector<uint32_t> pending;
    double pendingTime = 0;
    bool hasPending = false;
    double playTime = 0;
    double endTime = 0;
};

extern CPAVIPlayer* g_AVIPlayer;
