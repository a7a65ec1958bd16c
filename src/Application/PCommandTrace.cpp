#include "Application/PCommandTrace.h"

#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Game/PLevel.h"
#include "Script/PScriptManager.h"
#include "Vehicles/PPlayer.h"

#include <cstdio>

CPCommandTrace::CPCommandTrace(std::string traceFile) : fileName(std::move(traceFile)) {}

bool CPCommandTrace::Open() {
    file = PlatCreateLogFile(fileName);
    if (!file) {
        GetLog().Print(0, "The trace %s could not be created\n", fileName.c_str());
        return false;
    }
    // Each line reaches the file at once: a run that is killed keeps them.
    std::setvbuf(file.get(), nullptr, _IOLBF, 0);
    return true;
}

void CPCommandTrace::Listen() {
    if (g_ScriptManager)
        g_ScriptManager->SetCommandObserver(
            [this](const std::string& target, const std::string& command, const std::string& params,
                   bool queued) { AddCommand(target, command, params, queued); });
}

void CPCommandTrace::AddCommand(const std::string& target, const std::string& command,
                                const std::string& params, bool queued) {
    WriteLine(std::to_string(g_FrameCounter) + " " + target + " " + command + " \"" + params + "\"" +
              (queued ? "\n" : " dropped\n"));
}

void CPCommandTrace::AddCarPositions() {
    if (!g_Level)
        return;
    if (const CPPlayer* player = g_Level->player.Get()) {
        const D3DXVECTOR3& at = player->GetPosition();
        AddPosition("player", at.x, at.y, at.z);
    }
    int index = 0;
    for (const CPRefPtr<CPPlayer>& car : g_Level->cars) {
        if (car.Get() == g_Level->player.Get())
            continue;
        const D3DXVECTOR3& at = car->GetPosition();
        AddPosition("car" + std::to_string(++index), at.x, at.y, at.z);
    }
    if (const CPGameObject* ghost = g_Level->run.ghost.Get()) {
        const D3DXVECTOR3& at = ghost->GetPosition();
        AddPosition("ghost", at.x, at.y, at.z);
    }
}

void CPCommandTrace::AddPosition(const std::string& name, float x, float y, float z) {
    // A float printed with %a takes at most 16 characters.
    char numbers[64];
    std::snprintf(numbers, sizeof(numbers), "%a %a %a", static_cast<double>(x), static_cast<double>(y),
                  static_cast<double>(z));
    WriteLine(std::to_string(g_FrameCounter) + " position " + name + " " + numbers + "\n");
}

// A failed write leaves the stream's error flag set, which Close reports.
void CPCommandTrace::WriteLine(const std::string& line) {
    if (file)
        std::fwrite(line.data(), 1, line.size(), file.get());
}

bool CPCommandTrace::Close() {
    if (!file)
        return false;
    const bool written = std::fflush(file.get()) == 0 && !std::ferror(file.get());
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed)
        GetLog().Print(0, "The trace %s could not be written whole\n", fileName.c_str());
    return written && closed;
}
