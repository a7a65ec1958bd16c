#include "Game/MissionInfo.h"

const WeightedName* DrawWeightedName(const std::vector<WeightedName>& list, int draw) {
    for (const WeightedName& item : list) {
        if (item.low <= draw && draw < item.high)
            return &item;
    }
    return nullptr;
}
