#include "Core/Log.h"
#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "Render/PAVIPlayer1.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptCall.h"
#include "Sound/NAudio.h"
#include "Sound/NSoundCache.h"
#include "Sound/PMusic.h"

#include <algorithm>
#include <array>

namespace {

CPRefPtr<CNSound> FindSound(const std::string& name) {
    return g_Audio ? g_Audio->FindSound(name) : nullptr;
}

// An optional flag counts only when it is a boolean.
bool OptionalFlag(lua_State* L, int index) {
    return lua_isboolean(L, index) && lua_toboolean(L, index);
}

// Volumes are kept within 0..1: the volume law is only defined there.
float Volume(const ScriptCall& call) {
    return std::clamp(call.Float(1), 0.0f, 1.0f);
}

int PlaySpecialSound(lua_State* L) {
    PlayFromStart(FindSound(ScriptCall(L).StrictText(1)));
    return 0;
}

// False only when asked to keep a sound that already plays.
bool PlayAt(const CPRefPtr<CNSound>& sound, const D3DXVECTOR3& position, bool loop, bool keepPlaying) {
    SetSoundPosition(sound, position, D3DXVECTOR3(0, 0, 0));
    if (sound->IsPlaying()) {
        if (keepPlaying)
            return false;
        sound->Stop();
        sound->Rewind();
    }
    sound->Play(0, loop ? DSBPLAY_LOOPING : 0);
    return true;
}

int PlaySpecialSound3D(lua_State* L) {
    ScriptCall call(L);
    const CPRefPtr<CNSound> sound = FindSound(call.StrictText(1));
    const D3DXVECTOR3 position(call.Float(2), call.Float(3), call.Float(4));
    const bool loop = OptionalFlag(L, 5);
    const bool keepPlaying = OptionalFlag(L, 6);
    call.PushBool(!sound || PlayAt(sound, position, loop, keepPlaying));
    return call.Results();
}

int StopSpecialSound(lua_State* L) {
    if (const CPRefPtr<CNSound> sound = FindSound(ScriptCall(L).StrictText(1)))
        sound->Stop();
    return 0;
}

int IsSpecialSoundPlaying(lua_State* L) {
    ScriptCall call(L);
    const CPRefPtr<CNSound> sound = FindSound(call.StrictText(1));
    call.PushBool(sound && sound->IsPlaying());
    return call.Results();
}

// The velocity counts only when all three of its numbers are given.
int UpdateSoundPosition(lua_State* L) {
    const ScriptCall call(L);
    const CPRefPtr<CNSound> sound = FindSound(call.LooseText(1));
    const bool moving = lua_isnumber(L, 5) && lua_isnumber(L, 6) && lua_isnumber(L, 7);
    const D3DXVECTOR3 velocity =
        moving ? D3DXVECTOR3(call.Float(5), call.Float(6), call.Float(7)) : D3DXVECTOR3(0, 0, 0);
    SetSoundPosition(sound, D3DXVECTOR3(call.Float(2), call.Float(3), call.Float(4)), velocity);
    return 0;
}

// Without a sound cache (no sound device) only the live sounds stop.
int StopSounds(lua_State*) {
    if (g_SoundCache)
        g_SoundCache->RewindAll();
    for (CNSound* sound : g_SoundList)
        sound->Stop();
    return 0;
}

int GetSoundVolume(lua_State* L) {
    ScriptCall call(L);
    call.PushNumber(g_SoundVolume);
    return call.Results();
}

int SetSoundVolume(lua_State* L) {
    g_SoundVolume = Volume(ScriptCall(L));
    if (g_Audio)
        g_Audio->SetSoundVolume(g_SoundVolume);
    return 0;
}

int GetMusicVolume(lua_State* L) {
    ScriptCall call(L);
    call.PushNumber(g_MusicVolume);
    return call.Results();
}

int SetMusicVolume(lua_State* L) {
    g_MusicVolume = Volume(ScriptCall(L));
    if (g_Audio)
        g_Audio->SetMusicVolume(g_MusicVolume);
    return 0;
}

int PlayMusicNoLoop(lua_State* L) {
    const std::string name = ScriptCall(L).LooseText(1);
    if (g_Music) {
        g_Music->Play(name, false);
        g_Music->Start();
    }
    return 0;
}

int StopPlayingMusic(lua_State*) {
    if (g_Music)
        g_Music->Stop();
    return 0;
}

int GetMusicName(lua_State* L) {
    ScriptCall call(L);
    call.PushText(g_Music ? g_Music->GetFileName() : std::string());
    return call.Results();
}

// True (reported once per run) when there is no player.
bool NoPlayer(const CPAVIPlayer* player) {
    static bool reported = false;
    if (player)
        return false;
    if (!reported)
        GetLog().Print(0, "There is no video player: the scripts' videos are not shown\n");
    reported = true;
    return true;
}

void RunVideo(CPAVIPlayer& player, bool scriptFlag) {
    if (scriptFlag)
        player.scriptFlag = true;
    player.priority = PRIORITY_VIDEO;
    if (g_TaskManager)
        g_TaskManager->AddTask(CPRefPtr<CPTask>(&player));
}

void PlayFirstVideo(lua_State* L, bool noSound) {
    const ScriptCall call(L);
    const std::string name = call.LooseText(1);
    if (NoPlayer(g_AVIPlayer))
        return;
    g_AVIPlayer->Play(name, noSound);
    RunVideo(*g_AVIPlayer, call.Bool(2));
}

int PlayVideo(lua_State* L) {
    PlayFirstVideo(L, false);
    return 0;
}

int PlayVideoNoSound(lua_State* L) {
    PlayFirstVideo(L, true);
    return 0;
}

int PlayVideo1(lua_State* L) {
    const std::string name = ScriptCall(L).StrictText(1);
    if (NoPlayer(g_AVIPlayer1))
        return 0;
    g_AVIPlayer1->Play(name);
    RunVideo(*g_AVIPlayer1, true);
    return 0;
}

void StopPlayer(CPAVIPlayer* player) {
    if (!NoPlayer(player) && player->running)
        player->Stop();
}

int StopVideo(lua_State*) {
    StopPlayer(g_AVIPlayer);
    return 0;
}

int StopVideo1(lua_State*) {
    StopPlayer(g_AVIPlayer1);
    return 0;
}

constexpr std::array kSoundFunctions = std::to_array<ScriptFunction>({
    {"PlaySpecialSound", PlaySpecialSound},
    {"PlaySpecialSound3D", PlaySpecialSound3D},
    {"StopSpecialSound", StopSpecialSound},
    {"IsSpecialSoundPlaying", IsSpecialSoundPlaying},
    {"UpdateSoundPosition", UpdateSoundPosition},
    {"StopSounds", StopSounds},
    {"GetSoundVolume", GetSoundVolume},
    {"SetSoundVolume", SetSoundVolume},
    {"GetMusicVolume", GetMusicVolume},
    {"SetMusicVolume", SetMusicVolume},
    {"PlayMusicNoLoop", PlayMusicNoLoop},
    {"StopPlayingMusic", StopPlayingMusic},
    {"GetMusicName", GetMusicName},
    {"PlayVideo", PlayVideo},
    {"PlayVideoNoSound", PlayVideoNoSound},
    {"PlayVideo1", PlayVideo1},
    {"StopVideo", StopVideo},
    {"StopVideo1", StopVideo1},
});

} // namespace

ScriptFunctionTable SoundFunctions() {
    return kSoundFunctions;
}
