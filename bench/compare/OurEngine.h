#pragma once

#include "../RbSceneWorld.h"
#include "PhysicsEngine.h"

#include <memory>

class OurEngine : public PhysicsEngine {
public:
    const char* Name() const override { return "ours"; }
    void PrintSettings() const override;
    void Load(const PhysicsScene& scene) override { loaded = std::make_unique<RbSceneWorld>(scene); }
    void Step() override { loaded->Step(); }
    std::vector<RbVector> Positions() const override;

private:
    std::unique_ptr<RbSceneWorld> loaded;
};
