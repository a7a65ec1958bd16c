#pragma once

#include "Game/AnimationRequest.h"

#include "lua.hpp"

class ScriptCall;

// The request of SetAnimation's arguments 2 to 6: name (loose text), speed,
// loop count, report frame and the script to notify (none unless it is a
// script handle). Missing numbers read as 0, so a missing report frame asks
// for a report at frame 0.
AnimationRequest ReadAnimationRequest(const ScriptCall& call);

// Deactivates a game object (nothing for anything else); pages reach it as
// DeactivateInterface too.
int DeactivateObject(lua_State* L);
