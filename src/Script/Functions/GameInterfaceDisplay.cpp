#include "Script/Functions/GameInterfaceDisplay.h"

#include "Interface/PInterface.h"
#include "Script/ScriptCall.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kAmmunitionLamps = 17;
constexpr int kTemperatureLamps = 12;
constexpr int kSlots = 3;

constexpr std::array kEquipmentIcons = {
    "krest",    "steel",     "steelfibre",   "titan",         "energy",       "engine1",
    "engine2",  "engine3",   "analyzer",     "repair",        "laser",        "bullets",
    "firerate", "damage",    "regeneration", "analyzer2",     "repair2",      "laser2",
    "bullets2", "firerate2", "damage2",      "regeneration2", "noequipment1", "noequipment2",
};

constexpr std::array kWeaponIcons = {
    "lgun",  "lgun2x",    "gauss",       "shotgun", "mgun",        "mgun2x",
    "hmgun", "rlauncher", "ssrlauncher", "plasma",  "firethrower", "autoshotgun",
};

constexpr std::array kIndicators = {
    "contact", "emcontact", "timer",    "nocontact", "emnocontact", "cassette", "no_mina", "mines",  "slot1",
    "slot2",   "slot3",     "nosuper1", "nosuper2",  "nosuper3",    "super1",   "super2",  "super3",
};

std::string Numbered(const char* stem, int number) {
    return stem + std::to_string(number);
}

// Lamps 1..n of the stem shown, the rest up to count hidden.
void ShowLamps(CPInterface& page, const char* stem, int lit, int count) {
    for (int i = 1; i <= count; ++i)
        page.ShowWindow(Numbered(stem, i), i <= lit);
}

void HideWeaponElements(CPInterface& page) {
    for (const char* icon : kWeaponIcons) {
        page.ShowWindow(icon, false);
        page.ShowWindow(std::string(icon) + "_off", false);
    }
    for (const char* indicator : kIndicators)
        page.ShowWindow(indicator, false);
}

void ShowSupers(CPInterface& page, int count) {
    for (int i = 1; i <= kSlots; ++i)
        page.ShowWindow(Numbered(i > count ? "nosuper" : "super", i), true);
}

// A window moved onto another one's place and shown.
void ShowAt(CPInterface& page, const std::string& window, const std::string& place) {
    float x = 0;
    float y = 0;
    page.GetWindowPosition(place, x, y);
    page.SetWindowPosition(window, x, y);
    page.ShowWindow(window, true);
}

void ShowSlots(CPInterface& page, const CarInfo& car, int currentSlot) {
    const std::array<const std::string*, kSlots> weapons = {&car.weapon1, &car.weapon2, &car.weapon3};
    for (int k = 0; k < kSlots; ++k) {
        const std::string frame = Numbered("slot", k + 1);
        const std::string& weapon = *weapons[static_cast<std::size_t>(k)];
        if (weapon.empty())
            page.ShowWindow(frame, true);
        else
            ShowAt(page, k == currentSlot ? weapon : weapon + "_off", frame);
    }
}

void ShowMines(CPInterface& page, const PlayerDisplay& player) {
    if (!player.hasMines) {
        page.ShowWindow("no_mina", true);
        page.SetPageText("mines", "00");
        return;
    }
    page.ShowWindow("mines", true);
    page.SetPageText("mines", ZeroPadded(player.mineCount, 2));
    ShowAt(page, player.mineIcon, "no_mina");
    page.ShowWindow("mines", true);
}

} // namespace

std::string ZeroPadded(double value, int width) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%0*d", width, TruncateToInt(value));
    return text.data();
}

int LitLamps(float level, int count) {
    const float lamps = std::floor(level * static_cast<float>(count) + 0.5f);
    if (!(lamps > 0))
        return 0;
    return lamps >= static_cast<float>(count) ? count : static_cast<int>(lamps);
}

const char* AmmunitionCursor(EWeaponKind kind) {
    switch (kind) {
    case WEAPON_LGUN:
    case WEAPON_LGUN2X:
    case WEAPON_HMGUN:
    case WEAPON_SHOTGUN:
        return "bullet";
    case WEAPON_SSRLAUNCHER:
    case WEAPON_RLAUNCHER:
        return "rocket";
    case WEAPON_PLASMA:
    case WEAPON_GAUSS:
        return "plazma";
    case WEAPON_FIRETHROWER:
        return "shotgun";
    case WEAPON_NONE:
        break;
    }
    return "";
}

std::string ClockText(float seconds) {
    // A clock that has run out shows zero, never a negative time.
    if (!(seconds > 0))
        seconds = 0;
    const int minutes = TruncateToInt(seconds * 0.016666668f);
    const int rest = TruncateToInt(seconds - 60.0f * static_cast<float>(minutes));
    return ZeroPadded(minutes, 2) + ":" + ZeroPadded(rest, 2);
}

void ShowEquipment(CPInterface& page, const CarInfo& car) {
    for (const char* icon : kEquipmentIcons)
        page.ShowWindow(icon, false);
    page.ShowWindow(car.armor.empty() ? std::string("krest") : car.armor, true);
    if (!car.engine.empty())
        page.ShowWindow(car.engine, true);
    page.ShowWindow(car.equipment1.empty() ? std::string("noequipment1") : car.equipment1, true);
    page.ShowWindow(car.equipment2.empty() ? std::string("noequipment2") : car.equipment2 + "2", true);
}

void ShowWeapons(CPInterface& page, const CarInfo& car, const PlayerDisplay& player) {
    HideWeaponElements(page);
    ShowSupers(page, car.superWeaponCount);
    page.SetPageText("life", ZeroPadded(player.life, 3));
    ShowSlots(page, car, player.currentSlot);
    ShowMines(page, player);
    ShowLamps(page, "bullet", LitLamps(player.ammunitionFraction, kAmmunitionLamps), kAmmunitionLamps);
    if (!player.ammunitionCursor.empty())
        page.SetCursor(player.ammunitionCursor);
    page.UpdateBuffers();
}

void ShowClock(CPInterface& page, float countdown, float engineTemperature, int kills) {
    page.SetPageText("time", ClockText(countdown));
    ShowLamps(page, "overheat", LitLamps(engineTemperature, kTemperatureLamps), kTemperatureLamps);
    page.SetPageText("kills", ZeroPadded(kills, 5));
    page.UpdateBuffers();
}

void ShowScore(CPInterface& page, double score) {
    page.SetPageText("score", ZeroPadded(score, 5));
}
