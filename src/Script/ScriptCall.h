#pragma once

#include "lua.hpp"

#include <string>
#include <vector>

class CPObject;

// A clock as scripts receive it: minutes, seconds and hundredths.
struct ScriptClock {
    int minutes = 0;
    int seconds = 0;
    int hundredths = 0;
};

// Splits a time in seconds, in single precision the way every clock the
// scripts read is split.
ScriptClock ToScriptClock(float seconds);

// Truncates toward zero; NaN gives 0 and values beyond the int range give
// its nearest end.
int TruncateToInt(double value);

// One call of a script function: reads the arguments by the rules every
// script function follows and pushes its results.
// - Numbers: missing or not numeric reads as 0; NaN, an infinity and (for
//   Float) a value beyond the float range read as 0 too, with a log line
//   naming the function and the argument.
// - Booleans: only a missing argument, nil and false are false.
// - Objects: anything but a handle of a live object reads as null.
// - Strict text raises a script error unless the argument is text or a
//   number; loose text reads as "" when it is neither.
class ScriptCall {
public:
    explicit ScriptCall(lua_State* state) : L(state) {}

    double Number(int index) const;
    float Float(int index) const;
    int Int(int index) const { return TruncateToInt(Number(index)); }
    bool Bool(int index) const { return lua_toboolean(L, index) != 0; }
    CPObject* Object(int index) const;
    // The live object, when it is a T.
    template <class T>
    T* ObjectAs(int index) const {
        return dynamic_cast<T*>(Object(index));
    }
    std::string StrictText(int index) const;
    std::string LooseText(int index) const;
    // Raises a script error unless the argument is a number or numeric text;
    // a number that is not finite reads as 0 as above.
    double StrictNumber(int index) const;

    void PushNumber(double value);
    void PushBool(bool value);
    void PushText(const std::string& text);
    // A null object pushes the null handle (not nil).
    void PushObject(CPObject* object);
    // One result per text, however many there are.
    void PushTexts(const std::vector<std::string>& texts);
    // One result: a table of the texts at 1, 2, ...
    void PushTextTable(const std::vector<std::string>& texts);
    // Three numbers: minutes, seconds, hundredths.
    void PushClock(float seconds);

    // The number of results pushed: what the script function returns.
    int Results() const { return results; }

private:
    void MakeRoom(int count);
    // Logs the refused argument; 0.
    double Refused(int index) const;

    lua_State* L;
    int results = 0;
};
