#pragma once

// Connects the physics task to the game objects: bodies carry their game
// objects, whose descriptions and poses the physics reads and writes.
void ConnectPhysicsToGameObjects();
