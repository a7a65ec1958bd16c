#pragma once

#include <string>

// The shortest decimal text that reads back as the same float, in the C
// locale ("12", "0.5", "-3.25").
std::string NumberText(float value);
