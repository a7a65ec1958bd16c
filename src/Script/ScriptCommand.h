#pragma once

#include <string>
#include <vector>

// A command queued for a script: the command word and its parameters.
struct ScriptCommand {
    ScriptCommand() = default;
    // Splits the parameter text at ",": a field in double quotes may hold
    // commas and a doubled quote inside quotes is one quote; fields are
    // trimmed; an empty text gives no parameters, a trailing "," no empty
    // last one, and ",," an empty one between.
    ScriptCommand(std::string command, const std::string& parameterText);

    std::string name;
    std::vector<std::string> params;
};
