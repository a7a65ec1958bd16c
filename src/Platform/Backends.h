#pragma once

#include "Platform/Graphics/Direct3D9.h"

#include <memory>

class PlatDialogBackend;
class PlatGraphicsBackend;

// The one place that chooses the platform's backends.

// The machinery a new device draws with: OpenGL or the recording backend.
std::unique_ptr<PlatGraphicsBackend> PlatCreateGraphicsBackend(PlatGraphicsBackendKind kind);

// What shows the next dialog: the test's script when one is installed, else
// GTK when it reaches a display; null when neither can.
PlatDialogBackend* PlatChooseDialogBackend();
