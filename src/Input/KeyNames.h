#pragma once

#include <array>
#include <cstddef>
#include <string_view>

inline constexpr std::size_t kKeyNameCount = 212;

// The key names by key code; every code without a key of its own holds
// "undefined key". Names are compared exactly, case-sensitive.
extern const std::array<const char*, kKeyNameCount> g_KeyNames;

// The index of the first entry equal to the name; -1 when there is none.
int FindKeyName(std::string_view name);
// The name of a key code; "undefined key" for a code beyond the table.
const char* KeyNameOf(int code);
