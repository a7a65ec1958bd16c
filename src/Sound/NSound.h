#pragma once

#include "Core/PObject.h"

#include <string>
#include <utility>

// Stands in for a loaded sound until the sound subsystem lands: it keeps the
// state the callers set, and reports starts, stops and rewinds to the call
// recorder.
class CNSound : public CPObject {
public:
    CNSound() = default;
    explicit CNSound(std::string file) : file(std::move(file)) {}

    size_t GetSize() const override { return sizeof(CNSound); }
    std::string GetClassName() const override { return "CNSound"; }

    // flags 1 loops; 0 plays once.
    int Play(int priority, int flags);
    void Stop();
    void Rewind();
    bool IsPlaying() const { return playing; }
    void SetPitch(float factor) { pitch = factor; }

    std::string file;
    bool playing = false;
    bool looping = false;
    float pitch = 1.0f;
};
