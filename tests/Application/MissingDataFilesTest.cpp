#include "Core/Log.h"
#include "Game/PGameData.h"
#include "Interface/PInterface.h"
#include "Interface/SPFontManager.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// A game without these files still runs, on empty tables: the log names
// each file that could not be read, so that the player sees why.
TEST(MissingDataFilesTest, EachReaderNamesTheFileItCouldNotRead) {
    TempGameRoot root;
    const struct {
        const char* file;
        std::function<void()> read;
    } cases[] = {
        {"Data\\Fonts\\fonts.dat", [] { SPFontManager().LoadAll(); }},
        {"Data\\Fonts\\gone.fnt",
         [] {
             TempGameRoot::WriteFile("Data/Fonts/fonts.dat", "gone\t2\t0\n");
             SPFontManager().LoadAll();
         }},
        {"Data\\Interface\\nopage1024.int", [] { CPInterface().Load("nopage", 0); }},
        {"Data\\strings.txt", [] { CPGameData().LoadStrings(); }},
    };
    for (const auto& c : cases) {
        std::string log;
        GetLog().SetSink([&log](std::string_view text) { log += text; });
        c.read();
        GetLog().SetSink({});
        EXPECT_NE(log.find(std::string(c.file) + " could not be read (missing or cut short)"),
                  std::string::npos)
            << c.file << ": " << log;
    }
}

} // namespace
