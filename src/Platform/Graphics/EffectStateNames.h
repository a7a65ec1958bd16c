#pragma once

#include "Platform/Graphics/D3D9States.h"

#include <string_view>

// The names an effect file uses for device states and their values: the
// state's name without its prefix ("ALPHABLENDENABLE", "COLOROP",
// "ADDRESSU") and the value's ("SRCALPHA", "MODULATE", "CLAMP"). Every
// value may also be written as a number (decimal or 0x hex); float states
// take a float.
enum class PlatStateGroup { Render, Stage, Sampler };

// False when the group has no state of that name.
bool PlatFindStateName(PlatStateGroup group, std::string_view name, uint32_t* state);
// False when the text is no valid value of that state.
bool PlatParseStateValue(PlatStateGroup group, uint32_t state, std::string_view text, DWORD* value);
