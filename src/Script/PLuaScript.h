#pragma once

#include "Core/PTask.h"

#include <string>

// Stands in for a script task until the scripting subsystem lands: it has a
// name and runs nothing.
class CPLuaScript : public CPTask {
public:
    explicit CPLuaScript(std::string scriptName) : name(std::move(scriptName)) {}

    void Update() override {}
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(CPLuaScript); }
    std::string GetClassName() const override { return "CPLuaScript"; }

    const std::string name;
};
