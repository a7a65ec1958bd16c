#pragma once

#include "Game/CarInfo.h"
#include "Game/ItemCatalogue.h"
#include "Game/ItemInfo.h"

#include <array>
#include <string>
#include <vector>

// The catalogue an equipment slot takes its items from.
enum class ItemKind { Weapon, Mine, SuperWeapon, Bumper, Equipment, Armor, Engine };

// One named slot of a car's equipment.
struct ItemSlot {
    ItemKind kind;
    const std::string* name;
};

// The ten item names of a configuration with the catalogue of each.
std::array<ItemSlot, 10> ItemSlots(const CarInfo& car);

// The shop's seven catalogues and the predefined configurations the
// automatic fitting walks.
struct ItemCatalogues {
    ItemCatalogue<WeaponInfo> weaponCatalogue;
    ItemCatalogue<MineInfo> mineCatalogue;
    ItemCatalogue<SuperWeaponInfo> superWeaponCatalogue;
    ItemCatalogue<PartInfo> bumperCatalogue;
    ItemCatalogue<PartInfo> equipmentCatalogue;
    ItemCatalogue<PartInfo> armorCatalogue;
    ItemCatalogue<EngineInfo> engineCatalogue;
    std::vector<CarInfo> presetCarInfos;

    // The price of the item in the catalogue of that kind; 0 when it holds
    // no such item.
    int32_t Price(ItemKind kind, const std::string& name) const;
    bool Holds(ItemKind kind, const std::string& name) const;

    // What the configuration's items cost: every named item's price, the
    // super weapon's times the number carried.
    float GetEquipmentValue(const CarInfo& car) const;

    // One message for every non-empty name of the configuration that its
    // catalogue does not hold.
    std::vector<std::string> FindUnknownItems(const CarInfo& car) const;
};

// The message for a name that the catalogue of its kind does not hold.
std::string UnknownItemMessage(ItemKind kind, const std::string& name);
