#pragma once

#include "Core/PSettings.h"
#include "Interface/InterfacePages.h"
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

// A game root in which the pages' commands are recorded as the script
// manager hears them: "interface:" for the category (which no script joins),
// "<script>:" for a page's script, each as "command(params)". The scripts
// "menu" and "second" are loaded; the screen is 1024 x 768 unless a test
// changes it.
class InterfaceScene {
public:
    InterfaceScene() {
        g_ScreenWidth = 1024;
        g_ScreenHeight = 768;
        scripts.Observe(
            [this](const std::string& target, const std::string& command, const std::string& params, bool) {
                const std::string category = "category:";
                const bool toCategory = target.starts_with(category);
                log.push_back((toCategory ? target.substr(category.size()) : target) + ":" + command + "(" +
                              params + ")");
            });
    }
    ~InterfaceScene() {
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
};
