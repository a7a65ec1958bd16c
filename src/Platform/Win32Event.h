#pragma once

#include "Platform/Win32Types.h"

// Event objects given to devices as their notification; nothing in this
// program waits on them.
struct PlatEventObject;
using HANDLE = PlatEventObject*;

// Null when the event cannot be created.
HANDLE CreateEventA(void* attributes, BOOL manualReset, BOOL initialState, const char* name);
// FALSE for a null handle.
BOOL CloseHandle(HANDLE event);
