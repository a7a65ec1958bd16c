#pragma once

#include "Platform/D3DX9Math.h"

#include <cstdint>
#include <string>
#include <vector>

// One item of a weighted list: it covers the draws from `low` up to, not
// including, `high`; the items of a list cover consecutive ranges from 0.
struct WeightedName {
    std::string name;
    int32_t low = 0;
    int32_t high = 0;
};

// The first item whose range holds the draw; null when none does (a draw at
// or above the sum of the weights, or a negative one).
const WeightedName* DrawWeightedName(const std::vector<WeightedName>& list, int draw);

// One mission line of a race: the check-point values, the enemy names drawn
// when no source qualifies, the chance in percent of a bonus drop and the
// bonus names drawn.
struct MissionInfo {
    float value1 = 0;
    int32_t value2 = 0;
    int32_t value3 = 0;
    int32_t value4 = 0;
    std::vector<WeightedName> enemies;
    int32_t bonusChance = 0;
    std::vector<WeightedName> bonuses;
};

// One source line: the position of the level's source point it names, the
// side flag the scripts choose sources by, a value and a weighted list.
struct SourceInfo {
    D3DXVECTOR3 position{0, 0, 0};
    bool side = false;
    float value = 0;
    std::vector<WeightedName> names;
};
