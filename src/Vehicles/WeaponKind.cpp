#include "Vehicles/WeaponKind.h"

#include <utility>

EWeaponKind WeaponKindFromName(const std::string& name) {
    static const std::pair<const char*, EWeaponKind> kinds[] = {
        {"lgun", WEAPON_LGUN},           {"ssrlauncher", WEAPON_SSRLAUNCHER},
        {"plasma", WEAPON_PLASMA},       {"lgun2x", WEAPON_LGUN2X},
        {"hmgun", WEAPON_HMGUN},         {"shotgun", WEAPON_SHOTGUN},
        {"mgun", WEAPON_LGUN},           {"mgun2x", WEAPON_LGUN},
        {"gauss", WEAPON_GAUSS},         {"rlauncher", WEAPON_RLAUNCHER},
        {"autoshotgun", WEAPON_SHOTGUN}, {"firethrower", WEAPON_FIRETHROWER},
    };
    for (const auto& [itemName, kind] : kinds) {
        if (name == itemName)
            return kind;
    }
    return WEAPON_NONE;
}
