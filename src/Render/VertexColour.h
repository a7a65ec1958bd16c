#pragma once

#include "Platform/Win32Types.h"

#include <cstdint>

// The float nearest 1/255.
inline constexpr float kInverse255 = 0.003921569f;

// White with the low 8 bits of `alpha` as its alpha (higher bits fall off
// the top, as they would shifted into a 32-bit colour).
inline DWORD WhiteWithAlpha(int alpha) {
    return static_cast<DWORD>(static_cast<uint32_t>(alpha) << 24 | 0x00FFFFFFu);
}
