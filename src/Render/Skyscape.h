#pragma once

#include <string>

// Stands in for the dynamic sky until it is built: reports each call it
// receives and draws nothing.
class Skyscape {
public:
    Skyscape() = default;
    virtual ~Skyscape() = default;
    Skyscape(const Skyscape&) = delete;
    Skyscape& operator=(const Skyscape&) = delete;

    bool Load(const std::string& fileName);
    // Draws the sky for the frame with the device's current transforms.
    virtual void Update(float frameTime);
};
