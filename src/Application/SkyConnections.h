#pragma once

// Lets the renderer make the dynamic sky for every level it loads.
void ConnectRenderToSky();
