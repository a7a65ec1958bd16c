#include "Application/InterfaceConnections.h"

#include "Interface/InterfaceServices.h"
#include "Interface/PInterface.h"
#include "Script/PScriptManager.h"
#include "Script/ScriptEngineHooks.h"

void ConnectInterfaceToScripts() {
    g_InterfaceServices.sendToCategory = [](const std::string& category, const std::string& command,
                                            const std::string& params) {
        if (g_ScriptManager)
            g_ScriptManager->SendCommandByCategory(category, command, params);
    };
    // The handle is a live object of any class: only a page has buttons.
    g_ScriptEngineHooks.lockButton = [](CPObject* object, const std::string& name) {
        if (auto* page = dynamic_cast<CPInterface*>(object))
            page->LockButton(name);
    };
    g_ScriptEngineHooks.unlockButton = [](CPObject* object, const std::string& name) {
        if (auto* page = dynamic_cast<CPInterface*>(object))
            page->UnlockButton(name);
    };
}

void ConnectInterfaceInput() {
    // The input task's page hooks (mouse moves and buttons, Enter, the arrow
    // keys) are set to the broadcasts of Interface/InterfacePages.h here, and
    // g_InterfaceServices.mousePosition to the input task's pointer, once the
    // input task offers them. Until then the pages see no input.
}
