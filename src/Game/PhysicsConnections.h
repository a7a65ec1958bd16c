#pragma once

// Connects the physics task to the game objects: bodies carry their game
// objects, whose descriptions and poses the physics reads and writes, and
// whose meshes the contacts dent.
void ConnectPhysicsToGameObjects();

// Lets the shadow decals read the terrain triangles the physics found under
// a body: the candidates of its description's last terrain query, taken from
// the current level's terrain grid.
void ConnectShadowDecalsToTerrain();
