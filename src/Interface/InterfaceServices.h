#pragma once

#include <functional>
#include <string>

class CPLuaScript;

// What the interface pages need of the subsystems beside them: the scripts
// their controls report to, the pointer position the input task keeps, and
// the game's text table. Every entry does nothing (or gives an
// empty answer) until the application connects the real one.
struct InterfaceServices {
    // Sends the command to every script of the category.
    std::function<void(const std::string& category, const std::string& command, const std::string& params)>
        sendToCategory = [](const std::string&, const std::string&, const std::string&) {};
    // The loaded script of that name, or null.
    std::function<CPLuaScript*(const std::string& name)> findScript = [](const std::string&) -> CPLuaScript* {
        return nullptr;
    };
    // Sends the command to a page's script.
    std::function<void(CPLuaScript* script, const std::string& command, const std::string& params)>
        sendCommand = [](CPLuaScript*, const std::string&, const std::string&) {};
    // The pointer position in screen pixels.
    std::function<void(float& x, float& y)> mousePosition = [](float& x, float& y) { x = y = 0; };
    // The text of a key of the game's text table; empty for an unknown key.
    std::function<std::string(const std::string& key)> gameText = [](const std::string&) {
        return std::string();
    };
};

extern InterfaceServices g_InterfaceServices;
