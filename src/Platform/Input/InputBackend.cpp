#include "Platform/Input/InputBackend.h"

#include "Platform/Scripted/ScriptedInput.h"
#include "Platform/Sdl/SdlInput.h"

namespace {

PlatInputBackendKind g_kind = PlatInputBackendKind::Sdl;

} // namespace

void PlatSetInputBackendKind(PlatInputBackendKind kind) {
    g_kind = kind;
}

PlatInputBackend& PlatGetInputBackend() {
    if (g_kind == PlatInputBackendKind::Scripted)
        return PlatGetScriptedInput();
    return PlatGetSdlInput();
}
