#pragma once

#include "Vehicles/PShot.h"

// A rocket: flies straight at its speed, or, in "ballistic" mode, on the
// arc of the rocket launch speed and gravity whose elevation the launch
// gives in the direction's z (its x and y give the heading), coming down at
// the aim point. It explodes where its path meets something, at the end of
// its range, or (ballistic) when it falls back to its launch height: every
// object within the splash radius has its top owner damaged once, and the
// impact effect is spawned. It leaves a trail of particles.
// Row columns: mode ("straight" or "ballistic"), speed (when the launch
// gives a negative one), damage, splash radius, range, impact effect, trail
// particle type, texture, effect file, render priority, half width, sound.
class CPRocketShot : public CPShot {
public:
    explicit CPRocketShot(std::vector<std::string> row) : CPShot(std::move(row)) {}
    ~CPRocketShot() override;

    size_t GetSize() const override { return sizeof(CPRocketShot); }

    std::unique_ptr<CPShot> Clone() const override { return CloneAs<CPRocketShot>(); }
    bool Tick() override;
    bool Configure(const std::vector<std::string>& row) override;
    void Launch(const D3DXVECTOR3& at, const D3DXVECTOR3& towards, float launchSpeed,
                const CPRefPtr<CPGameObject>& owner) override;

    bool ballistic = false;
    float defaultSpeed = 0;
    float damage = 0;
    float splashRadius = 0;
    float range = 0;
    std::string impactEffect;
    std::string trailType;
    float halfWidth = 0;
    D3DXVECTOR3 velocity{0, 0, 0};
    float travelled = 0;
    CPRefPtr<CPRenderObject> beam;

private:
    // The next position after the frame time, with the velocity then.
    D3DXVECTOR3 Advance(float dt, D3DXVECTOR3& nextVelocity) const;
    void Explode(const D3DXVECTOR3& at);
    void EmitTrail() const;
};
