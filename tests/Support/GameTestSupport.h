#pragma once

#include "Core/PTask.h"
#include "Game/GameObjectServices.h"
#include "Game/PGameObject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

inline constexpr float kEps = 1e-5f;

inline void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected) {
    EXPECT_NEAR(actual.x, expected.x, kEps);
    EXPECT_NEAR(actual.y, expected.y, kEps);
    EXPECT_NEAR(actual.z, expected.z, kEps);
}

// Owns the objects of a test's tree and deletes them children first.
class ObjectTree {
public:
    ~ObjectTree() { Clear(); }

    void Clear() {
        while (!objects.empty())
            Delete(*objects.back());
    }

    CPGameObject& Add(const std::string& name, CPGameObject* parent = nullptr) {
        objects.push_back(new CPGameObject(name));
        if (parent)
            parent->AddChild(objects.back());
        return *objects.back();
    }
    // Takes an object made elsewhere, with its whole subtree.
    void Adopt(CPGameObject* root) {
        std::vector<CPRefPtr<CPGameObject>> subtree;
        root->CollectTree(subtree);
        for (const auto& object : subtree)
            objects.push_back(object.Get());
    }
    void Delete(CPGameObject& object) {
        objects.erase(std::find(objects.begin(), objects.end(), &object));
        delete &object;
    }

private:
    std::vector<CPGameObject*> objects;
};

// A script as the game objects see it: an opaque handle whose task and
// received commands the fake services expose.
class FakeScript : public CPTask {
public:
    explicit FakeScript(std::string name) : name(std::move(name)) {}
    CPLuaScript* Handle() { return reinterpret_cast<CPLuaScript*>(this); }
    static FakeScript* From(CPLuaScript* script) { return reinterpret_cast<FakeScript*>(script); }

    void Update() override {}
    int GetCategory() const override { return TASK_LEVEL; }
    size_t GetSize() const override { return sizeof(FakeScript); }
    std::string GetClassName() const override { return "FakeScript"; }

    std::string name;
    // "command(params)" in the order received.
    std::vector<std::string> received;
};

// Connects the game objects to fake scripts while it lives.
class FakeScriptServices {
public:
    FakeScriptServices() {
        saved = g_GameObjectServices;
        g_GameObjectServices.scriptTask = [](CPLuaScript* script) -> CPTask* {
            return FakeScript::From(script);
        };
        g_GameObjectServices.sendCommand = [](CPLuaScript* script, const std::string& command,
                                              const std::string& params) {
            FakeScript::From(script)->received.push_back(command + "(" + params + ")");
        };
    }
    ~FakeScriptServices() { g_GameObjectServices = saved; }

private:
    GameObjectServices saved;
};
