#include "Physics/Simulator/RbCollisionTable.h"

void RbCollisionTable::Reset() {
    for (int a = 0; a < GroupCount; ++a) {
        terrain[a] = 1;
        for (int b = 0; b < GroupCount; ++b)
            pairs[a][b] = 1;
    }
}

void RbCollisionTable::Set(int a, int b, int code) {
    if (!IsGroup(a) || !IsGroup(b) || (a == Terrain && b == Terrain))
        return;
    if (a == Terrain || b == Terrain) {
        terrain[a == Terrain ? b : a] = code;
        return;
    }
    pairs[a][b] = code;
    pairs[b][a] = code;
}

int RbCollisionTable::Get(int a, int b) const {
    if (!IsGroup(a) || !IsGroup(b) || (a == Terrain && b == Terrain))
        return 0;
    if (a == Terrain || b == Terrain)
        return terrain[a == Terrain ? b : a];
    return pairs[a][b];
}
