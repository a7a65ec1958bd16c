#pragma once

#include "Core/PTask.h"

#include <functional>

// A task whose update calls a member function of another object, for objects
// that take part in the pass without being tasks themselves (the level).
class CPObjUpdater : public CPTask {
public:
    template <class T>
    CPObjUpdater(T* target, void (T::*method)(), int category = 0)
        : call([target, method] { (target->*method)(); }), category(category) {}

    void Update() override { call(); }
    int GetCategory() const override { return category; }
    size_t GetSize() const override { return 32; }
    std::string GetClassName() const override { return "CPObjUpdater"; }

private:
    std::function<void()> call;
    int category;
};
