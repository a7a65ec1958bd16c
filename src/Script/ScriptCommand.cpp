#include "Script/ScriptCommand.h"

#include "Core/PTokenizer.h"

#include <utility>

ScriptCommand::ScriptCommand(std::string command, const std::string& parameterText)
    : name(std::move(command)) {
    CPTokenizer fields(parameterText, ",", true);
    std::string field;
    while (fields.NextToken(field))
        params.push_back(field);
}
