#pragma once

#include "Script/ScriptFunctionRegistry.h"

#include <vector>

// The tables in registration order; a later entry of a name replaces an
// earlier one.
const std::vector<ScriptFunctionTable>& ScriptFunctionTables();

// Adds every table to the script host; called before the scripts load.
void AddScriptFunctionTables();

// The object and task functions: reading and sending commands, handles,
// objects, animations, activation, fade, buttons, ending the program, music.
ScriptFunctionTable ObjectFunctions();
// Interface pages: creating and activating them, their windows, cursor,
// texts and edit boxes, and the menu focus.
ScriptFunctionTable InterfaceFunctions();
// The heads-up display of a race.
ScriptFunctionTable GameInterfaceFunctions();
// Named sounds, volumes, music and the two video players.
ScriptFunctionTable SoundFunctions();
// Key bindings, the mouse setting, stopping a script, files, textures and
// opening documents or web addresses.
ScriptFunctionTable SystemFunctions();
// The race level's life cycle, its modes and the frame clock.
ScriptFunctionTable LevelFunctions();
// Laps, clocks, points, missions and the bonus list of the race.
ScriptFunctionTable RaceClockFunctions();
// The track line, the level's ray tests and the radar.
ScriptFunctionTable TrackFunctions();
// Enemy records, enemy sources and spawn points.
ScriptFunctionTable EnemyFunctions();
// Driving, pushing, locking and placing cars and objects.
ScriptFunctionTable CarControlFunctions();
// Speeds, directions, nitro, the nearest cars, health bars and copies.
ScriptFunctionTable CarQueryFunctions();
// Damage, defeat, abilities, mana, kills and the game speed.
ScriptFunctionTable CarStateFunctions();
// Weapons, the player's car model, the loading screen and car tuning.
ScriptFunctionTable CarWeaponFunctions();
// Shots, effects, bonuses, the super weapon, lightning bolts, debug lines and
// world objects.
ScriptFunctionTable EffectFunctions();
// The race camera and its views, the default camera, the sun light, the
// lens flare and the renderer's blur and light switches.
ScriptFunctionTable CameraFunctions();
// The shop: catalogues, the car's equipment, presets and money.
ScriptFunctionTable ShopFunctions();
// Player and profile names, missions, difficulty, records and the race's
// ranking.
ScriptFunctionTable ProfileFunctions();
// The six save slots.
ScriptFunctionTable SaveGameFunctions();
