#include "Vehicles/PCar.h"

#include "Core/Log.h"
#include "Game/PGameObject.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Physics/Simulator/RbSensor.h"
#include "Physics/VectorConversions.h"
#include "Sound/NSound.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The car's sounds are private copies: freeing one also silences it.
void FreeSound(CPRefPtr<CNSound>& sound) {
    CNSound* owned = sound.Get();
    sound = nullptr;
    delete owned;
}

} // namespace

CPCar::CPCar(CPGameObject* owner) : owner(owner) {}

// The controller belongs to the body; once the world has let go of the body
// (the owner's description no longer has it) it is no longer the car's to touch.
CPCar::~CPCar() {
    FreeSound(engineSound);
    FreeSound(skidSound);
    FreeSound(nitroSound);
    if (controller && GetBody()) {
        controller->callback = nullptr;
        controller->SetControllerForce({});
        controller->SetControllerTorque({});
    }
}

RbRigidBody* CPCar::GetBody() const {
    return owner && owner->physicData ? owner->physicData->rigidBody : nullptr;
}

bool CPCar::Setup(RbSimulator* /*world*/, bool playerCarFlag) {
    locked = false;
    ReadParams(playerCarFlag);
    RbRigidBody* body = GetBody();
    if (!body) {
        GetLog().Print(0, "The car %s has no rigid body\n", owner ? owner->GetName().c_str() : "");
        return false;
    }
    for (int i = 0; i < wheelCount; ++i) {
        char name[16];
        std::snprintf(name, sizeof(name), "w%d", i);
        wheelParts[i] = owner->GetPart(name);
    }
    for (int i = 0; i < wheelCount; ++i)
        SetupWheel(i, *body);
    controller = body->AddController(this, 0);
    if (!controller)
        GetLog().Print(0, "The car %s got no controller\n", owner->GetName().c_str());
    owner->physicData->SetupRigidBody();
    stopLights = owner->GetPart("stoplights");
    stopLightsOn = owner->GetPart("stoplights2");
    backLights = owner->GetPart("backlights");
    reverseLights = owner->GetPart("backlights2");
    ShowLightPair(stopLights, stopLightsOn);
    ShowLightPair(backLights, reverseLights);
    return true;
}

// A wheel without its part has no rest position and gets no sensor.
void CPCar::SetupWheel(int i, RbRigidBody& body) {
    if (!wheelParts[i])
        return;
    wheelSensors[i] = body.AddSensor();
    if (!wheelSensors[i]) {
        GetLog().Print(0, "The car %s got no sensor for wheel %d\n", owner->GetName().c_str(), i);
        return;
    }
    const D3DXVECTOR3& part = wheelParts[i]->GetPosition();
    restPositions[i] = {part.x, part.y, wheelHeight};
    const float side = i % 2 == 0 ? 1.0f : -1.0f;
    const RbVector start(part.x - side * sensorSideOffset, part.y, wheelHeight);
    wheelSensors[i]->SetLineSensor(start, {0, 0, -sensorLength});
    dustSpawnPoints[i] = {start.x, start.y, 0};
    wheelTravel[i] = wheelRadius - sensorLength;
}

void CPCar::ShowLightPair(const CPRefPtr<CPGameObject>& shown, const CPRefPtr<CPGameObject>& hidden) {
    if (shown)
        shown->SetVisible(true);
    if (hidden)
        hidden->SetVisible(false);
}

void CPCar::SetControls(float throttle, float steeringInput) {
    if (!std::isfinite(throttle))
        throttle = 0.0f;
    if (!std::isfinite(steeringInput))
        steeringInput = 0.0f;
    if (throttle >= 0.0f) {
        throttleForce = throttle * forwardDrive;
        ShowLightPair(backLights, reverseLights);
    } else {
        throttleForce = throttle * reverseDrive;
        if (BodyY(velocity) > 0.0f)
            ShowLightPair(reverseLights, backLights);
    }
    steering = std::clamp(steeringInput, -MaxSteering, MaxSteering);
}

void CPCar::SetBrake(bool on) {
    if (on && !braking)
        ShowLightPair(stopLightsOn, stopLights);
    else if (!on && braking)
        ShowLightPair(stopLights, stopLightsOn);
    braking = on;
}

void CPCar::ApplyImpulse(const D3DXVECTOR3& point, const D3DXVECTOR3& impulse) {
    if (RbRigidBody* body = GetBody())
        body->ApplyImpulse(ToRb(impulse), ToRb(point));
}
