#pragma once

#include <functional>
#include <string>

class CPObject;

// Stands in for the direct calls of the script functions into the interface
// pages and the music until those land. Every entry does nothing until the
// application replaces it, so scripts also run without those subsystems.
// Objects handed in are live (checked by the caller) but of any class: an
// entry checks the class it needs.
struct ScriptEngineHooks {
    // Interface pages.
    std::function<void(CPObject* page, const std::string& name)> lockButton = [](CPObject*,
                                                                                 const std::string&) {};
    std::function<void(CPObject* page, const std::string& name)> unlockButton = [](CPObject*,
                                                                                   const std::string&) {};
    // Music.
    std::function<void(const std::string& fileName, bool loop)> playMusic = [](const std::string&, bool) {};
};

extern ScriptEngineHooks g_ScriptEngineHooks;
