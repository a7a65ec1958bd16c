#pragma once

#include "Platform/Win32Types.h"

// What a window handle points to, for the platform's own modules: a
// top-level SDL window, a dialog or one of a dialog's controls. Each module
// keeps its own live objects and recognises a handle by looking it up there,
// so a handle from elsewhere is never taken for one of its own.
struct PlatWindow {
    virtual ~PlatWindow() = default;
};
