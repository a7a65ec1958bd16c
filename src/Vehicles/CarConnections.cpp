#include "Vehicles/CarConnections.h"

#include "Game/PGameObject.h"
#include "Game/PLevel.h"
#include "Physics/PhysicsServices.h"
#include "Physics/VectorConversions.h"
#include "Sound/NAudio.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PPlayer.h"

#include <typeinfo>

namespace {

// The object is nearly always a vehicle, several times a frame per car: its
// exact type is found cheaper than by the search of a dynamic_cast.
CPCar* CarOf(CPObject* object) {
    CPGameObject* gameObject = object && typeid(*object) == typeid(CPPlayer)
                                   ? static_cast<CPPlayer*>(object)
                                   : dynamic_cast<CPGameObject*>(object);
    return gameObject ? AsCar(gameObject->car.Get()) : nullptr;
}

void LoadCarSounds(CPCar& car) {
    if (!g_Audio)
        return;
    g_Audio->LoadSound(car.engineSound, "main.wav", false, true);
    g_Audio->LoadSound(car.skidSound, "vizg.wav", false, true);
    g_Audio->LoadSound(car.nitroSound, "nitro.wav", false, false);
}

// A new car replaces (and deletes) one the object had.
void CreateCar(CPObject* object, CPPhysicData* description, RbSimulator* world, bool player) {
    auto* gameObject = dynamic_cast<CPGameObject*>(object);
    if (!gameObject) {
        description->SetupRigidBody();
        return;
    }
    CPObject* old = gameObject->car.Get();
    auto* car = new CPCar(gameObject);
    gameObject->car = car;
    delete old;
    car->Setup(world, player);
    car->playerCar = player;
    if (player)
        LoadCarSounds(*car);
}

} // namespace

void ConnectPhysicsToCars() {
    g_PhysicsServices.createCar = CreateCar;
    g_PhysicsServices.isPlayer = [](CPObject* object) {
        return g_Level && object && g_Level->player.Get() == object;
    };
    g_PhysicsServices.markCollided = [](CPObject* object) {
        if (auto* vehicle = dynamic_cast<CPPlayer*>(object))
            vehicle->collided = true;
    };
    g_PhysicsServices.carVelocity = [](CPObject* object) {
        CPCar* car = CarOf(object);
        return car ? ToD3D(car->velocity) : D3DXVECTOR3();
    };
}
