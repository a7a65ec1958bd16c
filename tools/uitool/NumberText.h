#pragma once

#include <cstdint>
#include <string>

// The shortest decimal text that reads back as the same float, in the C
// locale ("12", "0.5", "-3.25").
std::string NumberText(float value);

// Eight or fewer hexadecimal digits as an ARGB colour; false for anything else.
bool ParseArgb(const std::string& text, uint32_t& argb);
