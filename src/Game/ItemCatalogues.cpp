#include "Game/ItemCatalogues.h"

std::array<ItemSlot, 10> ItemSlots(const CarInfo& car) {
    return {{{ItemKind::Weapon, &car.weapon1},
             {ItemKind::Weapon, &car.weapon2},
             {ItemKind::Weapon, &car.weapon3},
             {ItemKind::Equipment, &car.equipment1},
             {ItemKind::Equipment, &car.equipment2},
             {ItemKind::Bumper, &car.bumper},
             {ItemKind::Engine, &car.engine},
             {ItemKind::Armor, &car.armor},
             {ItemKind::SuperWeapon, &car.superWeapon},
             {ItemKind::Mine, &car.mines}}};
}

namespace {

const char* ItemKindName(ItemKind kind) {
    switch (kind) {
    case ItemKind::Weapon:
        return "weapon";
    case ItemKind::Mine:
        return "mine";
    case ItemKind::SuperWeapon:
        return "super weapon";
    case ItemKind::Bumper:
        return "bumper";
    case ItemKind::Equipment:
        return "equipment";
    case ItemKind::Armor:
        return "armor";
    case ItemKind::Engine:
        return "engine";
    }
    return "item";
}

// Calls visit with the catalogue of that kind and returns its result.
template <class Visit>
auto VisitCatalogue(const ItemCatalogues& catalogues, ItemKind kind, Visit visit) {
    switch (kind) {
    case ItemKind::Weapon:
        return visit(catalogues.weaponCatalogue);
    case ItemKind::Mine:
        return visit(catalogues.mineCatalogue);
    case ItemKind::SuperWeapon:
        return visit(catalogues.superWeaponCatalogue);
    case ItemKind::Bumper:
        return visit(catalogues.bumperCatalogue);
    case ItemKind::Equipment:
        return visit(catalogues.equipmentCatalogue);
    case ItemKind::Armor:
        return visit(catalogues.armorCatalogue);
    case ItemKind::Engine:
        break;
    }
    return visit(catalogues.engineCatalogue);
}

} // namespace

std::string UnknownItemMessage(ItemKind kind, const std::string& name) {
    return std::string("no ") + ItemKindName(kind) + " \"" + name + "\" in the catalogues";
}

int32_t ItemCatalogues::Price(ItemKind kind, const std::string& name) const {
    return VisitCatalogue(*this, kind, [&](const auto& catalogue) { return catalogue.Price(name); });
}

bool ItemCatalogues::Holds(ItemKind kind, const std::string& name) const {
    return VisitCatalogue(*this, kind,
                          [&](const auto& catalogue) { return catalogue.Find(name) != nullptr; });
}

float ItemCatalogues::GetEquipmentValue(const CarInfo& car) const {
    float value = 0;
    for (const ItemSlot& slot : ItemSlots(car)) {
        if (slot.kind != ItemKind::SuperWeapon)
            value += static_cast<float>(Price(slot.kind, *slot.name));
    }
    // An integer product, as the shop counts it, wide enough not to overflow.
    const int64_t superWeapons =
        int64_t{Price(ItemKind::SuperWeapon, car.superWeapon)} * car.superWeaponCount;
    value += static_cast<float>(superWeapons);
    return value;
}

std::vector<std::string> ItemCatalogues::FindUnknownItems(const CarInfo& car) const {
    std::vector<std::string> messages;
    for (const ItemSlot& slot : ItemSlots(car)) {
        if (!slot.name->empty() && !Holds(slot.kind, *slot.name))
            messages.push_back(UnknownItemMessage(slot.kind, *slot.name));
    }
    return messages;
}
