#pragma once

#include <string>
#include <vector>

// What `cartool drive` is asked to do: the car description to drive and how.
struct DriveOptions {
    std::string descriptionFile;
    float mass = 20.0f;
    // The ground rises toward the car's front by this many degrees.
    float slopeDegrees = 0.0f;
    float throttle = 0.0f;
    float steering = 0.0f;
    bool brake = false;
    float nitro = 0.0f;
    float seconds = 5.0f;
};

// Reads "DESC.xml [--mass M] [--slope DEG] [--throttle T] [--steering S]
// [--brake] [--nitro N] [--seconds S]"; false with `error` for an unknown
// option, a missing or unreadable number, a mass or duration that is not
// positive, or a slope outside -60..60 degrees.
bool ParseDriveOptions(const std::vector<std::string>& arguments, DriveOptions& options, std::string& error);
