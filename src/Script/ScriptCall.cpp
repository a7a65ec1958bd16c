#include "Script/ScriptCall.h"

#include "Core/Log.h"
#include "Core/ObjectHandle.h"
#include "Core/PObject.h"

#include <cmath>
#include <limits>

ScriptClock ToScriptClock(float seconds) {
    ScriptClock clock;
    const int whole = TruncateToInt(seconds);
    if (whole < 60) {
        clock.seconds = whole;
    } else {
        clock.minutes = TruncateToInt(static_cast<float>(whole) * 0.016666668f);
        clock.seconds = whole - 60 * clock.minutes;
    }
    clock.hundredths = TruncateToInt((seconds - static_cast<float>(whole)) * 100.0f);
    return clock;
}

int TruncateToInt(double value) {
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

double ScriptCall::Number(int index) const {
    const double value = lua_tonumber(L, index);
    return std::isfinite(value) ? value : Refused(index);
}

float ScriptCall::Float(int index) const {
    const double value = Number(index);
    return static_cast<float>(std::abs(value) <= std::numeric_limits<float>::max() ? value : Refused(index));
}

double ScriptCall::StrictNumber(int index) const {
    const double value = luaL_checknumber(L, index);
    return std::isfinite(value) ? value : Refused(index);
}

// A value that is not finite would carry NaN or an infinity into
// positions, forces and settings, where it spreads and stays.
double ScriptCall::Refused(int index) const {
    lua_Debug call{};
    const bool named = lua_getstack(L, 0, &call) && lua_getinfo(L, "n", &call) && call.name;
    GetLog().Print(0, "%s: argument %d is not a finite number in range; it reads as 0\n",
                   named ? call.name : "a script function", index);
    return 0;
}

CPObject* ScriptCall::Object(int index) const {
    return ResolveHandle(lua_touserdata(L, index));
}

std::string ScriptCall::StrictText(int index) const {
    size_t length = 0;
    const char* text = luaL_checklstring(L, index, &length);
    return std::string(text, length);
}

std::string ScriptCall::LooseText(int index) const {
    size_t length = 0;
    const char* text = lua_tolstring(L, index, &length);
    return text ? std::string(text, length) : std::string();
}

void ScriptCall::PushNumber(double value) {
    MakeRoom(1);
    lua_pushnumber(L, value);
}

void ScriptCall::PushBool(bool value) {
    MakeRoom(1);
    lua_pushboolean(L, value);
}

void ScriptCall::PushText(const std::string& text) {
    MakeRoom(1);
    lua_pushlstring(L, text.data(), text.size());
}

void ScriptCall::PushObject(CPObject* object) {
    MakeRoom(1);
    lua_pushlightuserdata(L, object);
}

void ScriptCall::PushTexts(const std::vector<std::string>& texts) {
    for (const std::string& text : texts)
        PushText(text);
}

void ScriptCall::PushTextTable(const std::vector<std::string>& texts) {
    MakeRoom(1);
    lua_createtable(L, static_cast<int>(texts.size()), 0);
    luaL_checkstack(L, 1, "too many results");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        lua_pushlstring(L, texts[i].data(), texts[i].size());
        lua_rawseti(L, -2, static_cast<int>(i + 1));
    }
}

void ScriptCall::PushClock(float seconds) {
    const ScriptClock clock = ToScriptClock(seconds);
    PushNumber(clock.minutes);
    PushNumber(clock.seconds);
    PushNumber(clock.hundredths);
}

// Lua guarantees a C function only a few free stack slots; results beyond
// them need room first (a script error when the stack cannot grow).
void ScriptCall::MakeRoom(int count) {
    luaL_checkstack(L, count, "too many results");
    results += count;
}
