#pragma once

#include "DynamicSky/WeatherEntry.h"

#include <string>
#include <vector>

// The weather entries of a cloud-set file: a count, then fifteen lines per
// entry. A missing file or a count of 0 or less gives no entries.
class CloudSet {
public:
    void Load(const std::string& fileName);

    std::vector<WeatherEntry> entries;
};
