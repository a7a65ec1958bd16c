#include "Game/PGameData.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/PScriptManager.h"
#include "Script/ScriptCall.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <initializer_list>

namespace {

// Items up to this level are on offer: every item of the demo's levels once
// the difficult flag is set.
constexpr int kDifficultOfferLevel = 15;
constexpr int kMaxSuperWeapons = 3;

// The text of the key; "" for a key the table lacks (it is not added).
std::string TextOf(const CPGameData& data, const std::string& key) {
    const std::string* text = data.textTable.Find(key);
    return text ? *text : std::string();
}

// The item's display name, its numbers (price first), its description and
// its level; nothing for a name the catalogue does not hold.
template <class Item>
int PushItemInfo(lua_State* L, ItemCatalogue<Item> ItemCatalogues::*catalogue,
                 std::vector<double> (*numbers)(const Item&)) {
    ScriptCall call(L);
    const std::string name = call.LooseText(1);
    const Item* item = g_GameData ? (g_GameData->*catalogue).Find(name) : nullptr;
    if (!item)
        return 0;
    call.PushText(TextOf(*g_GameData, item->name));
    for (const double number : numbers(*item))
        call.PushNumber(number);
    call.PushText(TextOf(*g_GameData, item->descriptionKey));
    call.PushNumber(item->level);
    return call.Results();
}

std::vector<double> WeaponNumbers(const WeaponInfo& w) {
    return {static_cast<double>(w.price),
            static_cast<double>(w.volleySize),
            w.number2,
            static_cast<double>(w.number3),
            w.shotSpeed,
            w.number5,
            static_cast<double>(w.magazine),
            w.fireRate,
            w.number8};
}

std::vector<double> MineNumbers(const MineInfo& m) {
    return {static_cast<double>(m.price),
            static_cast<double>(m.number1),
            m.number2,
            m.number3,
            static_cast<double>(m.number4),
            m.number5,
            m.number6,
            m.number7};
}

std::vector<double> SuperWeaponNumbers(const SuperWeaponInfo& s) {
    return {static_cast<double>(s.price)};
}

std::vector<double> PartNumbers(const PartInfo& p) {
    return {static_cast<double>(p.price), p.value};
}

std::vector<double> EngineNumbers(const EngineInfo& e) {
    return {static_cast<double>(e.price), e.number1, e.number2, e.number3, e.heatRate, e.coolRate};
}

int GetWeaponInfo(lua_State* L) {
    return PushItemInfo(L, &ItemCatalogues::weaponCatalogue, WeaponNumbers);
}

int GetMineInfo(lua_State* L) {
    return PushItemInfo(L, &ItemCatalogues::mineCatalogue, MineNumbers);
}

int GetSuperWeaponInfo(lua_State* L) {
    return PushItemInfo(L, &ItemCatalogues::superWeaponCatalogue, SuperWeaponNumbers);
}

int GetBumperInfo(lua_State* L) {
    return PushItemInfo(L, &ItemCatalogues::bumperCatalogue, PartNumbers);
}

int GetEquipmentInfo(lua_State* L) {
    return PushItemInfo(L, &ItemCatalogues::equipmentCatalogue, PartNumbers);
}

int GetArmorInfo(lua_State* L) {
    return PushItemInfo(L, &ItemCatalogues::armorCatalogue, PartNumbers);
}

int GetEngineInfo(lua_State* L) {
    return PushItemInfo(L, &ItemCatalogues::engineCatalogue, EngineNumbers);
}

// The keys of the catalogue's items on offer, in catalogue order: those up
// to the offer level that are not fitted already.
template <class Item>
std::vector<std::string> OfferedKeys(const ItemCatalogue<Item>& catalogue,
                                     std::initializer_list<std::string> fitted) {
    const int offerLevel = g_GameData->difficultFlag ? kDifficultOfferLevel : g_GameData->currentMission;
    std::vector<std::string> keys;
    for (const auto& [key, item] : catalogue.Items()) {
        if (item.level <= offerLevel && std::find(fitted.begin(), fitted.end(), key) == fitted.end())
            keys.push_back(key);
    }
    return keys;
}

// The number of items on offer and a table of their keys.
int PushOffer(lua_State* L, std::vector<std::string> (*offer)(const CPGameData&)) {
    ScriptCall call(L);
    const std::vector<std::string> keys = g_GameData ? offer(*g_GameData) : std::vector<std::string>();
    call.PushNumber(static_cast<double>(keys.size()));
    call.PushTextTable(keys);
    return call.Results();
}

int GetWeaponNames(lua_State* L) {
    return PushOffer(L, [](const CPGameData& d) {
        return OfferedKeys(d.weaponCatalogue, {d.carInfo.weapon1, d.carInfo.weapon2, d.carInfo.weapon3});
    });
}

int GetMineNames(lua_State* L) {
    return PushOffer(L, [](const CPGameData& d) { return OfferedKeys(d.mineCatalogue, {d.carInfo.mines}); });
}

int GetSuperWeaponNames(lua_State* L) {
    return PushOffer(L, [](const CPGameData& d) {
        return d.carInfo.superWeaponCount >= kMaxSuperWeapons ? std::vector<std::string>()
                                                              : OfferedKeys(d.superWeaponCatalogue, {});
    });
}

int GetBumperNames(lua_State* L) {
    return PushOffer(L,
                     [](const CPGameData& d) { return OfferedKeys(d.bumperCatalogue, {d.carInfo.bumper}); });
}

int GetEquipmentNames(lua_State* L) {
    return PushOffer(L, [](const CPGameData& d) {
        return OfferedKeys(d.equipmentCatalogue, {d.carInfo.equipment1, d.carInfo.equipment2});
    });
}

int GetArmorNames(lua_State* L) {
    return PushOffer(L, [](const CPGameData& d) { return OfferedKeys(d.armorCatalogue, {d.carInfo.armor}); });
}

int GetEngineNames(lua_State* L) {
    return PushOffer(L,
                     [](const CPGameData& d) { return OfferedKeys(d.engineCatalogue, {d.carInfo.engine}); });
}

int IsValidGameDataName(lua_State* L) {
    ScriptCall call(L);
    const std::string name = call.LooseText(1);
    constexpr std::array kKinds = {ItemKind::Weapon, ItemKind::Mine,      ItemKind::SuperWeapon,
                                   ItemKind::Bumper, ItemKind::Equipment, ItemKind::Armor,
                                   ItemKind::Engine};
    call.PushBool(g_GameData && std::any_of(kKinds.begin(), kKinds.end(),
                                            [&](ItemKind kind) { return g_GameData->Holds(kind, name); }));
    return call.Results();
}

int GetCarInfo(lua_State* L) {
    if (!g_GameData)
        return 0;
    ScriptCall call(L);
    const CarInfo& car = g_GameData->carInfo;
    call.PushTexts({car.weapon1, car.weapon2, car.weapon3, car.equipment1, car.equipment2, car.bumper,
                    car.engine, car.armor, car.superWeapon});
    call.PushNumber(car.superWeaponCount);
    call.PushText(car.mines);
    return call.Results();
}

int SetCarInfo(lua_State* L) {
    const ScriptCall call(L);
    CarInfo car;
    std::string* names[] = {&car.weapon1, &car.weapon2, &car.weapon3, &car.equipment1, &car.equipment2,
                            &car.bumper,  &car.engine,  &car.armor,   &car.superWeapon};
    int index = 1;
    for (std::string* name : names)
        *name = call.LooseText(index++);
    car.superWeaponCount = call.Int(10);
    car.mines = call.LooseText(11);
    if (g_GameData)
        g_GameData->SetCarInfo(car);
    return 0;
}

int CommitCarSettings(lua_State*) {
    if (g_GameData)
        g_GameData->CommitCarInfo();
    return 0;
}

// The money as the menu shows it.
void SendMoney(float money) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.2f", static_cast<double>(money));
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByName("gamemenu", "change_money", text);
}

// Fits the richest preset the money and the fitted equipment pay for,
// walking down from the presets of the current mission; a mission below 1
// has none.
int AutoSetting(lua_State*) {
    if (!g_GameData || g_GameData->presetCarInfos.empty())
        return 0;
    CPGameData& data = *g_GameData;
    const float budget = data.money + data.GetEquipmentValue(data.carInfo);
    // Every mission an int holds has its first preset in 64 bits.
    const auto last = static_cast<std::int64_t>(data.presetCarInfos.size()) - 1;
    const std::int64_t first = std::min(3 * static_cast<std::int64_t>(data.currentMission) - 1, last);
    for (std::int64_t index = first; index >= 0; --index) {
        const CarInfo& preset = data.presetCarInfos[static_cast<std::size_t>(index)];
        const float value = data.GetEquipmentValue(preset);
        if (value <= budget) {
            data.carInfo = preset;
            data.money = budget - value;
            SendMoney(data.money);
            return 0;
        }
    }
    return 0;
}

int InitPlayer(lua_State*) {
    if (g_GameData)
        g_GameData->LoadPlayer();
    return 0;
}

int GetMoney(lua_State* L) {
    ScriptCall call(L);
    call.PushNumber(g_GameData ? g_GameData->money : 0.0f);
    return call.Results();
}

int SetMoney(lua_State* L) {
    const float money = ScriptCall(L).Float(1);
    if (!g_GameData)
        return 0;
    g_GameData->money = money;
    SendMoney(money);
    return 0;
}

constexpr std::array kShopFunctions = std::to_array<ScriptFunction>({
    {"GetWeaponInfo", GetWeaponInfo},
    {"GetMineInfo", GetMineInfo},
    {"GetSuperWeaponInfo", GetSuperWeaponInfo},
    {"GetBumperInfo", GetBumperInfo},
    {"GetEquipmentInfo", GetEquipmentInfo},
    {"GetArmorInfo", GetArmorInfo},
    {"GetEngineInfo", GetEngineInfo},
    {"GetWeaponNames", GetWeaponNames},
    {"GetMineNames", GetMineNames},
    {"GetSuperWeaponNames", GetSuperWeaponNames},
    {"GetBumperNames", GetBumperNames},
    {"GetEquipmentNames", GetEquipmentNames},
    {"GetArmorNames", GetArmorNames},
    {"GetEngineNames", GetEngineNames},
    {"IsValidGameDataName", IsValidGameDataName},
    {"GetCarInfo", GetCarInfo},
    {"SetCarInfo", SetCarInfo},
    {"CommitCarSettings", CommitCarSettings},
    {"AutoSetting", AutoSetting},
    {"InitPlayer", InitPlayer},
    {"GetMoney", GetMoney},
    {"SetMoney", SetMoney},
});

} // namespace

ScriptFunctionTable ShopFunctions() {
    return kShopFunctions;
}
