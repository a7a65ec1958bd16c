#pragma once

#include "Render/PAVIPlayer.h"

// The second video player: its texture is "video1" and it always plays the
// sound track.
class CPAVIPlayer1 : public CPAVIPlayer {
public:
    CPAVIPlayer1();

    HRESULT Play(const std::string& name) { return CPAVIPlayer::Play(name, false); }

    size_t GetSize() const override { return sizeof(CPAVIPlayer1); }
    std::string GetClassName() const override { return "CPAVIPlayer1"; }
};

extern CPAVIPlayer1* g_AVIPlayer1;
