#pragma once

#include <string>

// "x,y" with two decimals each, whatever the user's locale: the form in
// which pages report pointer positions to scripts.
std::string PointText(float x, float y);
