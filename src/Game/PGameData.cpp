#include "Game/PGameData.h"

#include "Core/CallRecorder.h"

CPGameData* g_GameData = nullptr;

CPGameData::CPGameData() {
    g_GameData = this;
    RecordCall("CPGameData()");
}

CPGameData::~CPGameData() {
    RecordCall("~CPGameData()");
    if (g_GameData == this)
        g_GameData = nullptr;
}

void CPGameData::LoadStrings() {
    RecordCall("CPGameData::LoadStrings");
}

CPGameData* GetGameData() {
    return g_GameData;
}
