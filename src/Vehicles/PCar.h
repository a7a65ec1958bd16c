#pragma once

#include "Core/PRefPtr.h"
#include "Physics/Simulator/RbControllerCallback.h"
#include "Physics/Simulator/RbMatrix.h"
#include "Platform/D3DX9Math.h"
#include "Vehicles/PCarBase.h"

#include <string>
#include <typeinfo>

class CNSound;
class CPGameObject;
class RbSimulator;
struct RbRigidBody;
struct RbSensor;

// The physics of one vehicle: the vehicle's rigid body carried by one
// downward line sensor per wheel. Every physics step UpdateController sums
// the wheels' spring, damping, side-friction and drive (or hold) forces, the
// drag along the car and the nitro push, and hands them to the body's
// controller; it also turns and spins the visible wheels and raises dust.
// Once per frame it spends nitro, tints the glass and drives the engine
// sound. The car faces along -y of its body; wheels 0 and 1 are the front.
class CPCar final : public CPCarBase, public RbControllerCallback {
public:
    static constexpr int MaxWheels = 8;
    static constexpr float MaxSteering = 0.7f;
    static constexpr int FrameParticleBudget = 40;

    explicit CPCar(CPGameObject* owner);
    // Stops the engine and skid sounds and detaches the car from its
    // controller; the nitro sound is the vehicle's to stop.
    ~CPCar() override;
    CPCar(const CPCar&) = delete;
    CPCar& operator=(const CPCar&) = delete;

    size_t GetSize() const override { return sizeof(CPCar); }
    std::string GetClassName() const override { return "CPCar"; }

    // Reads the car keys, finds the wheel and light parts and puts a sensor
    // under each wheel and the car's controller on the owner's rigid body.
    // The world is not used. False (logged) when the owner has no rigid body.
    bool Setup(RbSimulator* world, bool playerCarFlag);
    // The car keys of the owner's XML description; missing keys leave their
    // fields unchanged. With "angle" the player car tells the script "jeep".
    void ReadParams(bool playerCarFlag);
    // A throttle or steering that is not a finite number counts as 0.
    void SetControls(float throttle, float steeringInput);
    void SetBrake(bool on);
    void ApplyImpulse(const D3DXVECTOR3& point, const D3DXVECTOR3& impulse);

    void UpdateController(RbController* controller, float timeStep) override;
    // Adds wheel i's forces to the sums; 1 for a driving wheel on the ground.
    int UpdateWheel(int i, RbVector& force, RbVector& torque);
    void UpdateWheelEffects(int i, float timeStep, const RbVector& bodyVelocity);
    // The rotation RotationX(spin) x RotationZ(steerAngle) as a quaternion.
    static D3DXQUATERNION WheelOrientation(float spin, float steerAngle);

    RbRigidBody* GetBody() const;
    int WheelCount() const { return wheelCount; }

    RbSensor* wheelSensors[MaxWheels] = {};
    std::string shadowName;
    bool playerCar = false;
    float frontTravelLimit = 0.0f;
    float rearTravelLimit = 0.0f;
    float forwardDrive = 100.0f;
    float reverseDrive = 100.0f;
    float yawInertia = 0.0f;
    float pitchInertia = 0.1f;
    bool fixedAtMinimum = false;
    bool fixedAtMaximum = false;
    bool braking = false;
    float brake = 100.0f;
    float sensorLength = 1.5f;
    float sensorSideOffset = 0.0f;
    float wheelHeight = 0.0f;
    CPGameObject* owner;
    RbVector dustSpawnPoints[MaxWheels];
    bool wheelInAir[MaxWheels] = {true, true, true, true, true, true, true, true};
    float wheelSpin[MaxWheels] = {};
    float wheelRollingSpeed[MaxWheels] = {};
    RbVector contactPoints[MaxWheels];
    RbVector restPositions[MaxWheels];
    float wheelTravel[MaxWheels] = {};
    bool wheelOnGround[MaxWheels] = {};
    CPRefPtr<CPGameObject> wheelParts[MaxWheels];
    bool debug = false;
    float slideFactor = 0.0f;
    // No frame yet: the first frame's block runs.
    int frameStamp = -1;
    CPRefPtr<CNSound> nitroSound;
    CPRefPtr<CNSound> engineSound;
    CPRefPtr<CNSound> skidSound;
    RbMatrix4 bodyTransform;
    RbMatrix4 inverseTransform;
    float nitroReserve = 100.0f;
    float nitroDemand = 0.0f;
    int wheelCount = 4;
    float throttleForce = 0.0f;
    float steering = 0.0f;
    float slide = 0.9f;
    RbVector steeredDirection;
    float speed = 0.0f;
    float wheelRadius = 0.5f;
    float frontSpring = 140.0f;
    float rearSpring = 150.0f;
    float damping = 150.0f;
    float topSpeedForward = 30.0f;
    float topSpeedReverse = 15.0f;
    float frontFriction = 100.0f;
    float rearFriction = 240.0f;
    RbVector velocity;
    RbVector nitroForce;
    float wheelWidth = 0.0f;
    CPRefPtr<CPGameObject> stopLights;
    CPRefPtr<CPGameObject> stopLightsOn;
    CPRefPtr<CPGameObject> backLights;
    CPRefPtr<CPGameObject> reverseLights;
    bool locked = false;
    float enginePitch = 0.0f;

private:
    void SetupWheel(int i, RbRigidBody& body);
    void StoreTransform(const RbRigidBody& body);
    RbVector Rotate(const RbVector& v) const;
    // The y component of a world direction in the body's frame.
    float BodyY(const RbVector& v) const;
    float TravelFor(int i, float depth) const;
    void AddWheelFriction(int i, const RbVector& rP, const RbVector& vP, const RbVector& n, RbVector& force,
                          RbVector& torque) const;
    void AddHoldForce(int i, const RbVector& rP, const RbVector& vP, RbVector& force, RbVector& torque) const;
    void AddDriveForce(int i, const RbVector& rP, const RbVector& n, RbVector& force, RbVector& torque) const;
    void AddNitro(RbVector& force, float timeStep);
    void SpinWheel(int i, float timeStep);
    void RaiseDust(int i);
    void PoseWheel(int i);
    void UpdateOncePerFrame();
    void UpdateGlass();
    void UpdateEngineSound();
    void ShowLightPair(const CPRefPtr<CPGameObject>& shown, const CPRefPtr<CPGameObject>& hidden);

    RbController* controller = nullptr;
};

// The object as a car, or null when it is none. CPCar is final, so its exact
// type decides: cheaper than the search of a dynamic_cast, run for every car
// several times a frame.
inline CPCar* AsCar(CPObject* object) {
    return object && typeid(*object) == typeid(CPCar) ? static_cast<CPCar*>(object) : nullptr;
}
