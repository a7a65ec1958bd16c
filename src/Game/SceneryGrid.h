#pragma once

#include "Core/PRefPtr.h"
#include "Game/PGameObject.h"

#include <list>
#include <memory>
#include <vector>

// The loose scenery filed by place, so that queries near a point read only
// the cells around it (PLevelQueries.cpp); the level's extent bounds it.
struct SceneryGrid {
    // cellsX x cellsY lists; null once deleted.
    std::unique_ptr<std::vector<std::list<CPRefPtr<CPGameObject>>>> cells;
    std::unique_ptr<std::vector<int>> counts;
    int cellsX = 0;
    int cellsY = 0;
    float extentX = 10.0f;
    float extentY = 10.0f;
};
