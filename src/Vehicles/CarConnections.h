#pragma once

// Connects the physics task to the cars: CreateCar gives a game object its
// CPCar (the player car with its engine, skid and nitro sounds), and the
// controls and the velocity the physics passes or asks for are the car's;
// the level's player car is the player object, and a vehicle in a contact
// has collided.
void ConnectPhysicsToCars();
