#pragma once

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
