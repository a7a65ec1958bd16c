#include "cartool/TestDrive.h"

#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Game/PGameObject.h"
#include "Game/PhysicsConnections.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Vehicles/CarConnections.h"
#include "Vehicles/PCar.h"

#include <cmath>

namespace {

constexpr float Degree = D3DX_PI / 180.0f;
constexpr float HalfGround = 2000.0f;

} // namespace

TestDrive::TestDrive(const DriveOptions& options)
    : options(options), slope(options.slopeDegrees * Degree), savedServices(g_PhysicsServices) {
    gameData.levelStarted = true;
}

TestDrive::~TestDrive() {
    car.reset();
    wheels.clear();
    physics.DestroyWorld();
    g_PhysicsServices = savedServices;
}

// The plane rises toward -y, the way the car faces.
float TestDrive::GroundHeight(float y) const {
    return -y * std::tan(slope);
}

bool TestDrive::Start(const std::string& descriptionText, std::string& error) {
    ConnectPhysicsToGameObjects();
    ConnectPhysicsToCars();
    g_WeightDiv = 1;
    TerrainMesh ground;
    const float h = HalfGround;
    ground.positions = {{-h, -h, GroundHeight(-h)},
                        {h, -h, GroundHeight(-h)},
                        {h, h, GroundHeight(h)},
                        {-h, h, GroundHeight(h)}};
    ground.indices = {0, 1, 2, 0, 2, 3};
    if (!physics.BuildTerrainGrid(ground) || !physics.CreateWorld()) {
        error = "the world could not be built";
        return false;
    }
    BuildCar(descriptionText);
    if (car->description.Error() || !car->description.RootElement()) {
        error = std::string("the description cannot be read: ") + car->description.ErrorDesc();
        return false;
    }
    physics.AddSyncObject(car.get());
    physics.RegisterObject(car.get(), true, 1);
    physics.CreateCar(car.get(), false);
    carPhysics = dynamic_cast<CPCar*>(car->car.Get());
    if (!carPhysics || !carPhysics->GetBody()) {
        error = "the car has no body";
        return false;
    }
    carPhysics->SetControls(options.throttle, options.steering);
    carPhysics->SetBrake(options.brake);
    carPhysics->nitroDemand = options.nitro;
    return true;
}

void TestDrive::BuildCar(const std::string& descriptionText) {
    car = std::make_unique<CPGameObject>("car");
    auto* body = new CPPhysicData(car.get());
    body->SetBoxBody(2.0f, 0.8f, 4.0f, options.mass);
    body->AddBoxShape({0, 0, 0}, {0, 0, 0, 1}, 2.0f, 0.8f, 4.0f, options.mass);
    car->physicData = body;
    car->description.Parse(descriptionText.c_str());
    const float x[4] = {-0.9f, 0.9f, -0.9f, 0.9f}, y[4] = {-1.4f, -1.4f, 1.4f, 1.4f};
    for (int i = 0; i < 4; ++i) {
        wheels.push_back(std::make_unique<CPGameObject>("w" + std::to_string(i)));
        wheels.back()->SetPosition({x[i], y[i], -0.65f});
        car->AddChild(wheels.back().get());
    }
    // Level with the ground, its wheel sensors just reaching it.
    D3DXQUATERNION tilt;
    const D3DXVECTOR3 side(1, 0, 0);
    D3DXQuaternionRotationAxis(&tilt, &side, -slope);
    car->SetOrientation(tilt);
    car->SetPosition(D3DXVECTOR3(0, std::sin(slope), std::cos(slope)) * 1.5f);
}

void TestDrive::RunFrame() {
    g_FrameTime = FrameTime;
    ++g_FrameCounter;
    g_FrameParticleCount = 0;
    physics.Update();
    ++frames;
}

DriveSample TestDrive::Sample() const {
    const RbRigidBody& body = *carPhysics->GetBody();
    const RbMatrix4 transform = body.GetTransform();
    const RbVector& p = transform.Position();
    const RbVector forward = -transform.row[1];
    DriveSample sample;
    sample.time = static_cast<float>(frames) * FrameTime;
    sample.speed = RbSafeLength(body.GetVelocity());
    sample.height = p.z - GroundHeight(p.y);
    sample.heading = std::atan2(forward.y, forward.x) / Degree;
    for (int i = 0; i < carPhysics->WheelCount(); ++i)
        sample.wheelsDown += carPhysics->wheelOnGround[i] ? 1 : 0;
    return sample;
}
