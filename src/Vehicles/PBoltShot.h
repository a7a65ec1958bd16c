#pragma once

#include "Vehicles/PShot.h"

// A straight, camera-facing textured beam that grows from its launch point,
// tests the cars in its path and spawns its impact effect where it hits one.
// Row columns: side ("enemy" or another word), flight speed, launch speed,
// half width, texture, effect file, render priority, impact effect (a shot
// name), sound.
class CPBoltShot : public CPShot {
public:
    // The farthest a bolt flies.
    static constexpr float kRange = 20.0f;

    explicit CPBoltShot(std::vector<std::string> row);
    ~CPBoltShot() override;

    size_t GetSize() const override { return sizeof(CPBoltShot); }

    // A bolt is never a template.
    std::unique_ptr<CPShot> Clone() const override { return nullptr; }
    // True while the bolt flies.
    bool Tick() override;
    bool Configure(const std::vector<std::string>& row) override;
    // The launch speed is taken when it is 0 or more; the flight always
    // uses the row's flight speed.
    void Launch(const D3DXVECTOR3& at, const D3DXVECTOR3& towards, float launchSpeed,
                const CPRefPtr<CPGameObject>& owner) override;
    // One frame of flight: 1 while flying, 0 when it hit a car (the car goes
    // to `hit`), -1 once it has flown its full range.
    virtual int Fly(CPRefPtr<CPGameObject>& hit);

    float flightSpeed = 0;
    float launchSpeed = 0;
    float travelled = 0;
    std::string impactEffect;
    std::string texture;
    std::string effectFile;
    bool side = true;
    int renderPriority = 0;
    D3DXVECTOR3 startPoint{0, 0, 0};
    float size = 0;
    CPRefPtr<CPRenderObject> beam;
};
