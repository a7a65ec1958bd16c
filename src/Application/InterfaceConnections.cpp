#include "Application/InterfaceConnections.h"

#include "Input/PageInputServices.h"
#include "Interface/InterfacePages.h"

void ConnectInterfaceInput() {
    g_PageInputServices.mouseDown = BroadcastMouseDown;
    g_PageInputServices.mouseUp = BroadcastMouseUp;
    g_PageInputServices.mouseMove = BroadcastMouseMove;
    g_PageInputServices.enterPress = BroadcastEnterPress;
    g_PageInputServices.enterRelease = BroadcastEnterRelease;
    g_PageInputServices.keyUp = BroadcastKeyUp;
    g_PageInputServices.keyDown = BroadcastKeyDown;
    g_PageInputServices.keyLeft = BroadcastKeyLeft;
    g_PageInputServices.keyRight = BroadcastKeyRight;
}
