#pragma once

#include "Core/PGlobalTimer.h"
#include "Particles/PParticlesManager.h"
#include "Particles/PSpotRenderObject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

// A particle manager without tables, whose types the test adds by hand, and
// a frame time the test sets; both are put back afterwards.
class ParticleTest : public ::testing::Test {
protected:
    ~ParticleTest() override { g_FrameTime = savedFrameTime; }

    CPParticleRenderObject* AddType(const std::string& name) {
        auto& slot = manager.particleTypes[name];
        slot = std::make_unique<CPParticleRenderObject>();
        return slot.get();
    }
    CPSpotRenderObject* AddSpotType(const std::string& name) {
        auto spot = std::make_unique<CPSpotRenderObject>();
        CPSpotRenderObject* raw = spot.get();
        manager.particleTypes[name] = std::move(spot);
        return raw;
    }
    static ParticleDesc Desc(const std::string& type, float lifetime) {
        ParticleDesc desc;
        desc.typeName = type;
        desc.lifetime = lifetime;
        return desc;
    }
    // Runs the manager's update n times at the frame time.
    void Run(int n, float dt) {
        g_FrameTime = dt;
        for (int i = 0; i < n; ++i)
            manager.Update();
    }

    CPParticlesManager manager;
    float savedFrameTime = g_FrameTime;
};

// The vertices and indices an object writes, filled from base vertex `base`.
struct FilledQuads {
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;
};

inline FilledQuads FillObject(CPParticleRenderObject& object, int base = 0) {
    FilledQuads out;
    out.vertices.resize(static_cast<std::size_t>(object.GetVertexCount()));
    out.indices.resize(static_cast<std::size_t>(object.GetIndexCount()));
    object.Fill(out.vertices.data(), out.indices.data(), base, 0);
    return out;
}

inline bool VertexIsFinite(const MeshVertex& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.u0) &&
           std::isfinite(v.v0);
}
