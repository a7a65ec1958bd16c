#pragma once

#include "Vehicles/PShot.h"

// An effect without a body: at its launch it plays its sound and throws a
// burst of particles into a cone about its direction (straight up for a
// zero direction); it has finished by its first tick.
// Row columns: particle type, count, speed, size, growth, lifetime, cone
// half angle (radians), sound.
class CPBurstShot : public CPShot {
public:
    // The most particles one burst throws.
    static constexpr int kMaxParticles = 256;

    explicit CPBurstShot(std::vector<std::string> row) : CPShot(std::move(row)) {}

    size_t GetSize() const override { return sizeof(CPBurstShot); }

    std::unique_ptr<CPShot> Clone() const override { return CloneAs<CPBurstShot>(); }
    bool Tick() override { return false; }
    void Launch(const D3DXVECTOR3& at, const D3DXVECTOR3& towards, float launchSpeed,
                const CPRefPtr<CPGameObject>& owner) override;
};
