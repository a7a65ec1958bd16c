#pragma once

#include "Vehicles/PShot.h"

// A bullet: flies straight at its speed, tests its path against the level
// every frame, damages the first thing it hits (its top owner) and spawns
// its impact effect there. Drawn as a short streak.
// Row columns: speed (when the launch gives a negative one), range, damage,
// impact effect, texture, effect file, render priority, half width, streak
// length, sound.
class CPTracerShot : public CPShot {
public:
    explicit CPTracerShot(std::vector<std::string> row) : CPShot(std::move(row)) {}
    ~CPTracerShot() override;

    size_t GetSize() const override { return sizeof(CPTracerShot); }

    std::unique_ptr<CPShot> Clone() const override { return CloneAs<CPTracerShot>(); }
    bool Tick() override;
    bool Configure(const std::vector<std::string>& row) override;
    void Launch(const D3DXVECTOR3& at, const D3DXVECTOR3& towards, float launchSpeed,
                const CPRefPtr<CPGameObject>& owner) override;

    float defaultSpeed = 0;
    float range = 0;
    float damage = 0;
    std::string impactEffect;
    float halfWidth = 0;
    float streakLength = 0;
    float flightSpeed = 0;
    float travelled = 0;
    CPRefPtr<CPRenderObject> beam;
};
