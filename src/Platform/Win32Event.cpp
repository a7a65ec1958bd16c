#include "Platform/Win32Event.h"

struct PlatEventObject {
    bool manualReset = false;
    bool signalled = false;
};

HANDLE CreateEventA(void*, BOOL manualReset, BOOL initialState, const char*) {
    return new PlatEventObject{manualReset != FALSE, initialState != FALSE};
}

BOOL CloseHandle(HANDLE event) {
    delete event;
    return event ? TRUE : FALSE;
}
