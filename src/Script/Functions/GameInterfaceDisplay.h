#pragma once

#include "Game/CarInfo.h"
#include "Vehicles/WeaponKind.h"

#include <string>

class CPInterface;

// What the heads-up display shows of the player's car during a race.
struct PlayerDisplay {
    // The weapon slot in use: 0, 1 or 2.
    int currentSlot = 0;
    float life = 0;
    // 0..1 of the full magazine.
    float ammunitionFraction = 0;
    bool hasMines = false;
    // The number of mines the display shows, before truncation.
    float mineCount = 0;
    // The window of the mine kind, shown where "no_mina" is.
    std::string mineIcon;
    // The cursor naming the kind of ammunition; empty keeps the current one.
    std::string ammunitionCursor;
};

// The decimal digits of the integer part of the value (NaN as 0, values
// beyond int's range as its nearest end), padded with zeros to the width.
std::string ZeroPadded(double value, int width);
// How many of `count` lamps a 0..1 level lights: the nearest integer to
// level x count, a half going up, within 0..count.
int LitLamps(float level, int count);
// The page cursor naming the ammunition of a weapon kind; empty for no
// weapon, which keeps the cursor shown.
const char* AmmunitionCursor(EWeaponKind kind);
// "mm:ss" of a clock in seconds, in single precision; "00:00" once the
// clock is below zero.
std::string ClockText(float seconds);

// The equipment icons of the car: every icon hidden, then the armour (or
// "krest" for none), the engine and the two equipment slots (or
// "noequipment1"/"noequipment2") shown. The page mesh is not rebuilt.
void ShowEquipment(CPInterface& page, const CarInfo& car);
// The weapon slots, super weapons, mines, life, ammunition bar and
// ammunition cursor; then the page mesh is rebuilt.
void ShowWeapons(CPInterface& page, const CarInfo& car, const PlayerDisplay& player);
// The race clock "time", the twelve engine-temperature lamps and "kills";
// then the page mesh is rebuilt.
void ShowClock(CPInterface& page, float countdown, float engineTemperature, int kills);
// The text "score".
void ShowScore(CPInterface& page, double score);
