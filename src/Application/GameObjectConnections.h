#pragma once

// Lets object descriptions make particle systems and game objects take
// flames, gives emitters their owners' placement, damage and material, and
// lets the physics spawn its sparks.
void ConnectGameObjectsToParticles();
