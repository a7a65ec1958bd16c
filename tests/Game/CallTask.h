#pragma once

#include "Core/PTask.h"

#include <functional>
#include <string>
#include <utility>

// A task that runs a call in its update.
class CallTask : public CPTask {
public:
    explicit CallTask(std::function<void()> call) : call(std::move(call)) {}
    void Update() override { call(); }
    int GetCategory() const override { return TASK_LEVEL; }
    size_t GetSize() const override { return sizeof(CallTask); }
    std::string GetClassName() const override { return "CallTask"; }

private:
    std::function<void()> call;
};
