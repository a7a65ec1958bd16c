#include "Platform/GraphicsBackends.h"

#include "Platform/OpenGL/GLBackend.h"
#include "Platform/Recording/RecordingBackend.h"

std::unique_ptr<PlatGraphicsBackend> PlatCreateGraphicsBackend(PlatGraphicsBackendKind kind) {
    if (kind == PlatGraphicsBackendKind::Recording)
        return std::make_unique<PlatRecordingBackend>();
    if (kind == PlatGraphicsBackendKind::Headless)
        return std::make_unique<PlatRecordingBackend>(false);
    return std::make_unique<PlatGLBackend>();
}
