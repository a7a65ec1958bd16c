#pragma once

// Connects the game objects to the script manager: scripts become the
// objects' kernel tasks and receive their events by object, and those of
// the objects' vertex animations.
void ConnectGameObjectsToScripts();

// Lets object descriptions make particle systems.
void ConnectGameObjectsToParticles();
