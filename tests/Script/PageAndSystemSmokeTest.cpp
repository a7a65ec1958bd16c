#include "LuaRunner.h"

#include "Interface/InterfaceTestSupport.h"
#include "Platform/Win32Shell.h"
#include "Script/Functions/ScriptFunctionTables.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The functions whose text argument is required: only they may raise.
const std::set<std::string> kRequiredText = {
    "SetCursor",        "PlaySpecialSound",      "PlaySpecialSound3D",
    "StopSpecialSound", "IsSpecialSoundPlaying", "PlayVideo1",
    "IsFileExists",     "GetTextureSize",        "GoURL",
    "GoURLlink",
};

// Every page, display, sound and system function with hostile arguments:
// nothing, a deleted page, an object that is not a page, tables everywhere
// and huge numbers. None may crash, and only the required-text rows may
// raise a script error.
TEST(PageAndSystemSmokeTest, HostileArgumentsNeverCrash) {
    InterfaceScene scene;
    LuaRunner lua;
    PlatSetShellRecorder([](const std::string&, const std::string&) {});
    auto deleted = std::make_unique<CPInterface>();
    lua.SetHandle("gone", deleted.get());
    deleted.reset();
    lua.SetHandle("script", &scene.scripts["menu"]);
    const std::vector<std::string> argumentLists = {
        "",
        "nil",
        "gone, 'a', 1, 2, 3, 4, 5",
        "script, 'a', 1, 2",
        "{}, {}, {}, {}, {}, {}, {}",
        "CreateInterface('none', 0), 'x', 1e300, -1e300, 0/0, true, true",
    };
    std::size_t functions = 0;
    for (const ScriptFunctionTable& table :
         {InterfaceFunctions(), GameInterfaceFunctions(), SoundFunctions(), SystemFunctions()}) {
        for (const ScriptFunction& function : table) {
            ++functions;
            for (const std::string& arguments : argumentLists) {
                const std::string call = std::string(function.name) + "(" + arguments + ")";
                const std::string error = lua.Run(call);
                if (!kRequiredText.contains(function.name)) {
                    EXPECT_EQ(error, "") << call;
                }
            }
        }
    }
    EXPECT_EQ(functions, 63u);
    PlatSetShellRecorder({});
}

} // namespace
