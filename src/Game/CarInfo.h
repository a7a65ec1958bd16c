#pragma once

#include <cstdint>
#include <string>

// A car's equipment: the item names of every slot (empty for none) and the
// number of super weapons carried.
struct CarInfo {
    std::string weapon1;
    std::string weapon2;
    std::string weapon3;
    std::string equipment1;
    std::string equipment2;
    std::string bumper;
    std::string engine;
    std::string armor;
    std::string superWeapon;
    int32_t superWeaponCount = 0;
    std::string mines;

    bool operator==(const CarInfo&) const = default;
};
