#pragma once

#include "Core/PRefPtr.h"
#include "Platform/D3DX9Math.h"

#include "lua.hpp"

#include <list>
#include <string>

class CPGameObject;
class CPPlayer;
class ScriptCall;

// What the race functions share: the player's car, vehicle arguments, the
// forward direction of a car and the two names of each car model.

// The car the race camera follows; null without a level or before the level
// has chosen it.
CPPlayer* PlayerCar();
// The computer cars of the level; none without a level.
const std::list<CPRefPtr<CPPlayer>>& LevelCars();
// A vehicle argument: a live CPPlayer (the player's or a computer's), else
// null.
CPPlayer* VehicleArgument(const ScriptCall& call, int index);
// (0, -1, 0) turned by the object's orientation and normalised: the way a
// car faces.
D3DXVECTOR3 ForwardOf(const CPGameObject& object);
// The name the scripts show for a car model, and back; a name the table does
// not hold passes unchanged.
std::string DisplayNameOf(const std::string& modelName);
std::string ModelNameOf(const std::string& displayName);

// Forgets the track line GetPlayerSplineAngle keeps between calls; the next
// call starts again from the spline's current line.
void ForgetKeptSplineLine();

// One result of a script function, returned as its result count.
int PushNumber(lua_State* L, double value);
int PushBool(lua_State* L, bool value);
// Three results: x, y and z.
int PushVector(lua_State* L, const D3DXVECTOR3& v);
