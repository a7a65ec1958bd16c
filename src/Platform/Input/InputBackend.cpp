#include "Platform/Input/InputBackend.h"

#include "Platform/Scripted/ScriptedInput.h"
#include "Platform/Sdl/SdlInput.h"

#include <utility>

namespace {

PlatInputBackendKind g_kind = PlatInputBackendKind::Sdl;

} // namespace

void PlatSetInputBackendKind(PlatInputBackendKind kind) {
    g_kind = kind;
}

void PlatReplayInput(std::vector<PlatInputChange> changes) {
    g_kind = PlatInputBackendKind::Scripted;
    PlatGetScriptedInput().Reset();
    PlatGetScriptedInput().Schedule(std::move(changes));
}

int PlatGetReplayPass() {
    return PlatGetScriptedInput().GetPass();
}

void PlatSetReplayKey(int code, bool down) {
    PlatGetScriptedInput().SetKey(code, down);
}

PlatInputBackend& PlatGetInputBackend() {
    if (g_kind == PlatInputBackendKind::Scripted)
        return PlatGetScriptedInput();
    return PlatGetSdlInput();
}
