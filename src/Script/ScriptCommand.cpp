#include "Script/ScriptCommand.h"

#include "Core/PTokenizer.h"

#include <utility>

ScriptCommand::ScriptCommand(std::string command, const std::string& parameterText)
    : name(std::move(command)), params(SplitFields(parameterText, ",")) {}
