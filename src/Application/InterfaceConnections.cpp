#include "Application/InterfaceConnections.h"

#include "Game/PGameData.h"
#include "Input/NInput.h"
#include "Input/PageInputServices.h"
#include "Interface/InterfacePages.h"
#include "Interface/InterfaceServices.h"
#include "Interface/PInterface.h"
#include "Script/PScriptManager.h"

void ConnectInterfaceToScripts() {
    g_InterfaceServices.sendToCategory = [](const std::string& category, const std::string& command,
                                            const std::string& params) {
        if (g_ScriptManager)
            g_ScriptManager->SendCommandByCategory(category, command, params);
    };
    g_InterfaceServices.findScript = [](const std::string& name) -> CPLuaScript* {
        return g_ScriptManager ? g_ScriptManager->GetScript(name).Get() : nullptr;
    };
    g_InterfaceServices.sendCommand = [](CPLuaScript* script, const std::string& command,
                                         const std::string& params) {
        if (g_ScriptManager)
            g_ScriptManager->SendCommandByObject(script, command, params);
    };
}

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
    g_InterfaceServices.mousePosition = [](float& x, float& y) {
        int pointerX = 0;
        int pointerY = 0;
        if (g_Input)
            g_Input->GetMousePosition(pointerX, pointerY);
        x = static_cast<float>(pointerX);
        y = static_cast<float>(pointerY);
    };
    g_InterfaceServices.gameText = [](const std::string& key) {
        return g_GameData ? g_GameData->GetText(key) : std::string();
    };
}
