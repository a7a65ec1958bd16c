#pragma once

// Stands in for the sound cache until the sound subsystem lands.
class CNSoundCache {
public:
    // Stops every cached sound and empties the cache.
    static void StopAll();
};
