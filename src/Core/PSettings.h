#pragma once

#include "Core/PDator.h"
#include "Core/PRefPtr.h"
#include "Core/StringHashMap.h"
#include "Platform/Win32Types.h"

#include <memory>
#include <string>
#include <vector>

// The user settings. Every subsystem reads and writes these globals
// directly; their initial values are the defaults, and config.cfg only
// overrides what it names.
extern int g_ScreenWidth;
extern int g_ScreenHeight;
extern int g_ScreenBPP;
extern int g_FullScreen;
extern int g_WeightDiv;
extern int g_StaticSetting;
extern int g_Rolling;
extern int g_TexLod;
extern int g_QuadLevels;
extern int g_BBoxes;
extern int g_SoundChannels;
extern int g_SoundFrequency;
extern int g_SoundBits;
extern float g_SoundVolume;
extern float g_MusicVolume;
extern float g_MouseSetting;
extern float g_Plane;
extern int g_CamSpeed;
extern int g_Distance;
extern int g_StartMenu;
extern float g_PhysicsFriction;
extern float g_PhysicsRestitution;
extern int g_Shadows;
extern int g_Bloom;
extern int g_LensFlare;
extern int g_Dust;
extern int g_Wheel;
extern int g_ParticleSystems;
extern int g_Weather;
extern int g_Blur;
extern int g_Contrast;
extern float g_Aniso;

class CPSettings;
extern CPSettings* g_Settings;

// The settings registry: binds each key of config.cfg ("screenWidth",
// "soundVolume", ...) to its global through a dator, reads the file into the
// globals and writes them back, one "key = value" line per key in the order
// of the key map.
class CPSettings {
public:
    using DatorMap = StringHashMap<CPRefPtr<CPDator>>;

    // Publishes g_Settings and registers every key.
    CPSettings();
    virtual ~CPSettings();
    CPSettings(const CPSettings&) = delete;
    CPSettings& operator=(const CPSettings&) = delete;

    void RegisterAll();
    // The key's entry takes the dator, replacing any earlier one.
    void Register(const std::string& key, const CPRefPtr<CPDator>& dator);

    // Reads the file from disk (never from the packs), each line through
    // ParseLine; a missing file changes nothing. A line is read up to 1023
    // characters; the rest of a longer line is dropped.
    void Load(const std::string& path);
    // "key = value", "+key" (value 1), "-key" or "key" (value 0). Unknown
    // keys, comments and section lines change nothing.
    void ParseLine(const std::string& line);
    // Sets the key's value. A value that is no finite number, or lies
    // outside the range the key allows (the screen size, the sound format,
    // the volumes), is refused with a log line naming the key: the setting
    // keeps its value, and the next save writes that back.
    void Apply(const std::string& name, const std::string& value);
    // Writes every key as "key = value\r\n"; E_FAIL when the file could not
    // be written (the old one then stays whole).
    HRESULT Save(const std::string& path) const;

    // Drops the per-key handles kept beside the map (the map keeps its own,
    // so Save keeps working). Called when the main loop ends.
    void ReleaseDators();

    const DatorMap& GetDators() const { return dators; }

private:
    template <class Dator, class T>
    void Bind(const char* key, T* variable);

    DatorMap dators;
    // The dators RegisterAll created, deleted with the registry.
    std::vector<std::unique_ptr<CPDator>> ownedDators;
    // One handle per registered key, held besides the map's.
    std::vector<CPRefPtr<CPDator>> keyHandles;
};
