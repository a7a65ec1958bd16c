#pragma once

// Lets object descriptions make particle systems.
void ConnectGameObjectsToParticles();
