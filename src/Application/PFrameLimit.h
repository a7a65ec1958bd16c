#pragma once

#include "Platform/Win32Messages.h"

// Ends a run after a number of frames: installed in front of the current
// event source, it posts WM_QUIT once the frame clock has counted that many
// frames. The clock runs first in every pass, so frames are kernel passes.
class CPFrameLimit : public PlatEventSource {
public:
    explicit CPFrameLimit(int frames);
    // Puts the previous event source back.
    ~CPFrameLimit() override;
    CPFrameLimit(const CPFrameLimit&) = delete;
    CPFrameLimit& operator=(const CPFrameLimit&) = delete;

    void Pump() override;
    void Wait(int timeoutMilliseconds) override;

private:
    PlatEventSource* inner;
    int frames;
    bool quitPosted = false;
};
