#pragma once

#include "Core/StringHashMap.h"
#include "Render/PAnimation.h"
#include "Render/PStandInVisual.h"

#include <string>

class CPSceneObject;

// Stands in for the vertex-frame animated object until the vertex
// animations land: it keeps its named animations, the current one, its
// material and vertex effects, and writes no geometry.
class CPAnimatedObject : public CPStandInVisual {
public:
    explicit CPAnimatedObject(CPSceneObject* owner) : owner(owner) {}

    // Stores the animation under the name (replacing an older one); the
    // first one stored becomes current and the object plays.
    void AddAnimation(const std::string& animationName, const CPRefPtr<CPAnimation>& animation);

    size_t GetSize() const override { return sizeof(CPAnimatedObject); }
    std::string GetClassName() const override { return "CPAnimatedObject"; }

    CPSceneObject* owner;
    StringHashMap<CPRefPtr<CPAnimation>> animations{100};
    CPRefPtr<CPAnimation> current;
    bool stopped = true;
};
