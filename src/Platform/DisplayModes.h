#pragma once

// The modes of the first display, in the display's own order (largest
// first; a size comes once per refresh rate and pixel format). SDL's
// offscreen and dummy drivers have no real modes, so without a display the
// list is a fixed one of a typical desktop monitor:
//   1920x1080 at 60 and 50 Hz, 1680x1050, 1280x1024 at 75 and 60 Hz,
//   1280x720, 1024x768, 800x600, all 32 bits.
struct PlatDisplayMode {
    int width = 0;
    int height = 0;
    int refreshRate = 0;
    int bitsPerPixel = 0;
};

// The number of modes; 0 when there is no video device.
int PlatGetDisplayModeCount();
// False when the mode cannot be read (then `mode` is unchanged).
bool PlatGetDisplayMode(int index, PlatDisplayMode& mode);
