#pragma once

#include "Platform/Win32Types.h"

// One change of the scripted devices, applied at the start of a pass.
struct PlatInputChange {
    enum Kind { Key, Motion, Button, Wheel } kind = Key;
    // The pass it belongs to, counted from 1 by the mouse reads.
    int pass = 0;
    // Key code or button number.
    int code = 0;
    bool down = false;
    LONG x = 0;
    LONG y = 0;
};
