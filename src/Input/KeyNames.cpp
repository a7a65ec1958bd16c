#include "Input/KeyNames.h"

#include <utility>

namespace {

constexpr std::pair<int, const char*> kNamedKeys[] = {
    {1, "Esc"},         {2, "1"},
    {3, "2"},           {4, "3"},
    {5, "4"},           {6, "5"},
    {7, "6"},           {8, "7"},
    {9, "8"},           {10, "9"},
    {11, "0"},          {12, "-"},
    {13, "="},          {14, "Backspace"},
    {15, "Tab"},        {16, "Q"},
    {17, "W"},          {18, "E"},
    {19, "R"},          {20, "T"},
    {21, "Y"},          {22, "U"},
    {23, "I"},          {24, "O"},
    {25, "P"},          {26, "["},
    {27, "]"},          {28, "Enter"},
    {29, "LCtrl"},      {30, "A"},
    {31, "S"},          {32, "D"},
    {33, "F"},          {34, "G"},
    {35, "H"},          {36, "J"},
    {37, "K"},          {38, "L"},
    {39, ";"},          {40, "'"},
    {41, "`"},          {42, "LShift"},
    {43, "\\"},         {44, "Z"},
    {45, "X"},          {46, "C"},
    {47, "V"},          {48, "B"},
    {49, "N"},          {50, "M"},
    {51, ","},          {52, "."},
    {53, "/"},          {54, "RShift"},
    {55, "*"},          {56, "LAlt"},
    {57, "Space"},      {58, "CapsLock"},
    {59, "F1"},         {60, "F2"},
    {61, "F3"},         {62, "F4"},
    {63, "F5"},         {64, "F6"},
    {65, "F7"},         {66, "F8"},
    {67, "F9"},         {68, "F10"},
    {69, "NumLock"},    {70, "ScrollLock"},
    {71, "NumPad 7"},   {72, "NumPad 8"},
    {73, "NumPad 9"},   {74, "NumPad -"},
    {75, "NumPad 4"},   {76, "NumPad 5"},
    {77, "NumPad 6"},   {78, "NumPad +"},
    {79, "NumPad 1"},   {80, "NumPad 2"},
    {81, "NumPad 3"},   {82, "NumPad 0"},
    {83, "NumPad ."},   {87, "F11"},
    {88, "F12"},        {100, "F13"},
    {101, "F14"},       {102, "F15"},
    {112, "Kana"},      {121, "Convert"},
    {123, "NoConvert"}, {125, "Yen"},
    {141, "Numpad ="},  {144, "CircumFlex"},
    {145, "@"},         {146, ":"},
    {147, "_"},         {148, "Kanji"},
    {149, "Stop"},      {150, "Ax"},
    {151, "Unlabeled"}, {156, "NumPad Enter"},
    {157, "RCtrl"},     {179, "Numpad ,"},
    {181, "Numpad /"},  {183, "SysRq"},
    {184, "RAlt"},      {197, "Pause"},
    {199, "Home"},      {200, "Up"},
    {201, "PgUp"},      {203, "Left"},
    {205, "Right"},     {207, "End"},
    {208, "Down"},      {209, "PgDn"},
    {210, "Ins"},       {211, "Del"},
};

constexpr const char* kUndefinedKey = "undefined key";

constexpr std::array<const char*, kKeyNameCount> MakeKeyNames() {
    std::array<const char*, kKeyNameCount> names{};
    names.fill(kUndefinedKey);
    for (const auto& [code, name] : kNamedKeys)
        names[code] = name;
    return names;
}

} // namespace

const std::array<const char*, kKeyNameCount> g_KeyNames = MakeKeyNames();

int FindKeyName(std::string_view name) {
    for (std::size_t code = 0; code < g_KeyNames.size(); ++code)
        if (name == g_KeyNames[code])
            return static_cast<int>(code);
    return -1;
}

const char* KeyNameOf(int code) {
    if (code < 0 || code >= static_cast<int>(kKeyNameCount))
        return kUndefinedKey;
    return g_KeyNames[code];
}
