#pragma once

// Lets the renderer make the dynamic sky for every level it loads, and the
// sky's sun shine as the level's sun light.
void ConnectRenderToSky();
