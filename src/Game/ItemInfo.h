#pragma once

#include <cstdint>
#include <string>

// The shop's item records, one layout per catalogue. Each starts with the
// item's name and price and ends with the key of its description text and
// the mission from which the shop offers it. Numbers the game does not
// interpret are kept by position.

struct WeaponInfo {
    std::string name;
    int32_t price = 0;
    int32_t volleySize = 0; // shots per volley
    float number2 = 0;
    int32_t number3 = 0;
    float shotSpeed = 0;
    float number5 = 0;
    int32_t magazine = 0; // volleys times volley size of a full load
    float fireRate = 0;   // volleys per second
    float number8 = 0;
    std::string descriptionKey;
    int32_t level = 0;
};

struct MineInfo {
    std::string name;
    int32_t price = 0;
    int32_t number1 = 0;
    float number2 = 0;
    float number3 = 0;
    int32_t number4 = 0;
    float number5 = 0;
    float number6 = 0;
    float number7 = 0;
    std::string descriptionKey;
    int32_t level = 0;
};

struct SuperWeaponInfo {
    std::string name;
    int32_t price = 0;
    std::string descriptionKey;
    int32_t level = 0;
};

// Bumpers, equipment and armor.
struct PartInfo {
    std::string name;
    int32_t price = 0;
    float value = 0;
    std::string descriptionKey;
    int32_t level = 0;
};

struct EngineInfo {
    std::string name;
    int32_t price = 0;
    float number1 = 0;
    float number2 = 0;
    float number3 = 0;
    float heatRate = 0;
    float coolRate = 0;
    std::string descriptionKey;
    int32_t level = 0;
};
