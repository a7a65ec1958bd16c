#pragma once

// Lets the scripts start music and the physics play the named sounds of
// the sound manager.
void ConnectSoundToScriptsAndPhysics();
