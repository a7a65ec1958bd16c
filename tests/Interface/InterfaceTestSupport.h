#pragma once

#include "Core/PSettings.h"
#include "Interface/InterfacePages.h"
#include "Interface/InterfaceServices.h"
#include "Interface/PInterface.h"
#include "Interface/SPFontManager.h"
#include "Support/GameTestSupport.h"
#include "Support/TempGameRoot.h"
#include "Support/TestScripts.h"
#include "uitool/FontFileWriter.h"

#include <map>
#include <string>
#include <vector>

// A 256 x 256 font of 16-texel cells: the blank ("space") in the first cell,
// 'A' (advance 10) in row 2, column 1, and the codes 0x61 to 0xFF (advance
// 8) in the other cells, so that letters, digits and bytes above 127 differ.
inline FontFileLayout TestFontLayout() {
    FontFileLayout layout{256, 256, 16, 16, {}};
    for (int cell = 0; cell < 160; ++cell)
        layout.cells.push_back({std::string(1, static_cast<char>(0x60 + cell)), 8});
    layout.cells[0] = {"space", 8};
    layout.cells[2 * 16 + 1] = {"A", 10};
    return layout;
}

// A game root in which the pages' commands are recorded: "interface:" for
// the category, "<script>:" for a page's script, each as
// "command(params)". The scripts "menu" and "second" are loaded; the screen
// is 1024 x 768 unless a test changes it.
class InterfaceScene {
public:
    InterfaceScene() : savedServices(g_InterfaceServices) {
        g_ScreenWidth = 1024;
        g_ScreenHeight = 768;
        g_InterfaceServices.sendToCategory = [this](const std::string& category, const std::string& command,
                                                    const std::string& params) {
            log.push_back(category + ":" + command + "(" + params + ")");
        };
        g_InterfaceServices.findScript = [](const std::string& scriptName) {
            return g_ScriptManager->GetScript(scriptName).Get();
        };
        g_InterfaceServices.sendCommand = [this](CPLuaScript* script, const std::string& command,
                                                 const std::string& params) {
            log.push_back(script->GetName() + ":" + command + "(" + params + ")");
        };
    }
    ~InterfaceScene() {
        g_InterfaceServices = savedServices;
        g_ScreenWidth = 640;
        g_ScreenHeight = 480;
    }
    InterfaceScene(const InterfaceScene&) = delete;
    InterfaceScene& operator=(const InterfaceScene&) = delete;

    static void WritePage(const std::string& pageName, const std::string& text) {
        TempGameRoot::WriteFile("Data/Interface/" + pageName + "1024.int", text);
    }
    static void WriteFonts(const std::string& list, const std::map<std::string, std::string>& fontFiles) {
        TempGameRoot::WriteFile("Data/Fonts/fonts.dat", list);
        for (const auto& [fontName, text] : fontFiles)
            TempGameRoot::WriteFile("Data/Fonts/" + fontName + ".fnt", text);
    }
    // The log since the last call.
    std::vector<std::string> TakeLog() { return std::exchange(log, {}); }

    TempGameRoot root;
    std::vector<std::string> log;
    TestScripts scripts{{"menu", "second"}};

private:
    InterfaceServices savedServices;
};
