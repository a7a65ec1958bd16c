#pragma once

#include <string>

// The kind of a vehicle's active weapon: what it fires and how it aims.
enum EWeaponKind {
    WEAPON_LGUN = 0,
    WEAPON_LGUN2X = 1,
    WEAPON_HMGUN = 2,
    WEAPON_SSRLAUNCHER = 3,
    WEAPON_RLAUNCHER = 4,
    WEAPON_PLASMA = 5,
    WEAPON_SHOTGUN = 6,
    WEAPON_GAUSS = 7,
    WEAPON_FIRETHROWER = 8,
    WEAPON_NONE = 9,
};

// The kind of the weapon item of that exact (case-sensitive) name;
// WEAPON_NONE for any name the game does not know.
EWeaponKind WeaponKindFromName(const std::string& name);
