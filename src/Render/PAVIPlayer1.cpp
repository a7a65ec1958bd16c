#include "Render/PAVIPlayer1.h"

CPAVIPlayer1* g_AVIPlayer1 = nullptr;

CPAVIPlayer1::CPAVIPlayer1()
    : CPAVIPlayer(Identity{"Render\\PAVIPlayer1", "video1", "VIDEO1", 62, 78, 125, 131}) {}
