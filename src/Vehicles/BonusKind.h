#pragma once

// The consumable pickups of the bonus list, and what taking each one shows.
enum EBonusKind {
    BONUS_REMONT = 0,
    BONUS_FAST = 1,
    BONUS_SLOW = 2,
    BONUS_MINUS = 3,
    BONUS_PLUS = 4,
    BONUS_PORTAL = 5,
};

struct BonusLook {
    // The shot spawned at the pickup, its sound, the message the human
    // player sees and the bonus-list item the scripts are told of.
    const char* effect;
    const char* sound;
    const char* message;
    const char* item;
};

inline constexpr BonusLook kBonusLooks[] = {
    {"sparks4_remont", "chik", "remont!", "repair"},
    {"sparks4", "bonus_fast", "uskorenie!", "axel"},
    {"sparks4red", "bonus_slow", "zamedlenie!", "brake"},
    {"sparks4red", "bonus_minus", "sposobnost-1!", "minus"},
    {"sparks4", "bonus_plus", "sposobnost+1!", "plus"},
    {"sparks4_velm", "enter_tavrin", "uron_x2!", "velm"},
};
