#pragma once

#include "Platform/Input/InputChange.h"

#include <string>
#include <vector>

// Recorded input for a run without devices: one change per line, the pass
// (frame) first, counted from 1:
//   FRAME KEY down|up       a key by its name ("Esc", "NumPad Enter")
//   FRAME mouse DX DY       relative mouse motion
//   FRAME button N down|up  mouse button 0 (left), 1 (right) or 2 (middle)
//   FRAME wheel N           wheel notches, positive away from the user
//   FRAME autodrive on|off  from that frame on the autodriver presses and
//                           releases the driving keys (see CPAutoDriver)
// Comments and blank lines follow the engine's line reader.
// The autodriver taking over (on) or letting go (off) from a frame on.
struct SPAutodriveSwitch {
    int frame = 0;
    bool on = false;
};

class CPInputReplay {
public:
    // Reads the file; false, with the reason in `error` (naming the line),
    // when it cannot be read or a line is not one of the above.
    bool Load(const std::string& fileName, std::string& error);
    const std::vector<PlatInputChange>& GetChanges() const { return changes; }
    // In the file's order.
    const std::vector<SPAutodriveSwitch>& GetAutodriveSwitches() const { return autodrive; }

private:
    bool ParseLine(const std::string& line, std::string& error);

    std::vector<PlatInputChange> changes;
    std::vector<SPAutodriveSwitch> autodrive;
};
