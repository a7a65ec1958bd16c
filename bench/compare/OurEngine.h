#pragma once

#include "../RbSceneWorld.h"
#include "PhysicsEngine.h"

#include <memory>

// Our simulator with the scene's terrain served by the test helper's query
// or by the game's own grid.
class OurEngine : public PhysicsEngine {
public:
    explicit OurEngine(SceneQuery terrainQuery) : query(terrainQuery) {}
    const char* Name() const override {
        return query == SceneQuery::GameGrid ? "ours, game's grid" : "ours, helper query";
    }
    void PrintSettings() const override;
    void Load(const PhysicsScene& scene) override { loaded = std::make_unique<RbSceneWorld>(scene, query); }
    void Step() override { loaded->Step(); }
    std::vector<RbVector> Positions() const override;
    double CandidatesPerQuery() const { return loaded->CandidatesPerQuery(); }

private:
    SceneQuery query;
    std::unique_ptr<RbSceneWorld> loaded;
};
