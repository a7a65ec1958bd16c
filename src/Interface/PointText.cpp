#include "Interface/PointText.h"

#include <cstdio>

std::string PointText(float x, float y) {
    // Two floats of at most 39 digits each before the point fit.
    char text[96];
    std::snprintf(text, sizeof(text), "%.2f,%.2f", static_cast<double>(x), static_cast<double>(y));
    return text;
}
