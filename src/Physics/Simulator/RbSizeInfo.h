#pragma once

#include <cstdint>

// Capacities of a world's pools. The member initialisers are the world's own
// defaults; RbSimulator::Create copies all twelve counts.
struct RbSizeInfo {
    std::int32_t rigidBodiesCount = 50;
    std::int32_t animatedBodiesCount = 50;
    std::int32_t rigidParticleCount = 50;
    std::int32_t controllersCount = 50;
    std::int32_t overlapPairsCount = 1225;
    std::int32_t geometriesCount = 50;
    std::int32_t jointsCount = 100;
    std::int32_t constraintSetsCount = 100;
    std::int32_t rowBufferSize = 2000;
    std::int32_t sensorsCount = 100;
    std::int32_t terrainTreeNodes = 200;
    std::int32_t terrainTreeGrowth = -1;

    // True when every capacity is non-negative and the body counts together
    // stay small enough for the broad phase's numbering.
    bool IsValid() const {
        const std::int32_t counts[] = {rigidBodiesCount, animatedBodiesCount, rigidParticleCount,
                                       controllersCount, overlapPairsCount,   geometriesCount,
                                       jointsCount,      constraintSetsCount, sensorsCount};
        for (std::int32_t count : counts)
            if (count < 0)
                return false;
        std::int64_t bodies = std::int64_t{rigidBodiesCount} + animatedBodiesCount + rigidParticleCount;
        return bodies <= (std::int64_t{1} << 28);
    }
};
