#pragma once

// Lets the physics play the named sounds of the sound manager.
void ConnectSoundToPhysics();
