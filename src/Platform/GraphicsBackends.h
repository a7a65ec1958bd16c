#pragma once

#include "Platform/Graphics/Direct3D9.h"

#include <memory>

class PlatGraphicsBackend;

// The one place that chooses what a new device draws with: OpenGL or the
// recording backend.
std::unique_ptr<PlatGraphicsBackend> PlatCreateGraphicsBackend(PlatGraphicsBackendKind kind);
