#include "Core/PSettings.h"

#include "Core/Log.h"
#include "Core/PFileWriter.h"
#include "Core/PFloatDator.h"
#include "Core/PIntDator.h"
#include "Core/StringFunctions.h"
#include "Platform/FileSystem.h"

#include <cmath>
#include <locale>
#include <sstream>

int g_ScreenWidth = 640;
int g_ScreenHeight = 480;
int g_ScreenBPP = 16;
int g_FullScreen = 0;
int g_WeightDiv = 0;
int g_StaticSetting = 0;
int g_Rolling = 0;
int g_TexLod = -1;
int g_QuadLevels = 0;
int g_BBoxes = 0;
int g_SoundChannels = 2;
int g_SoundFrequency = 22050;
int g_SoundBits = 8;
float g_SoundVolume = 0.5f;
float g_MusicVolume = 0.5f;
float g_MouseSetting = 0.0f;
float g_Plane = 0.5f;
int g_CamSpeed = 0;
int g_Distance = 200;
int g_StartMenu = 1;
float g_PhysicsFriction = 0.2f;
float g_PhysicsRestitution = 0.0f;
int g_Shadows = 1;
int g_Bloom = 1;
int g_LensFlare = 1;
int g_Dust = 1;
int g_Wheel = 1;
int g_ParticleSystems = 25;
int g_Weather = 1;
int g_Blur = 1;
int g_Contrast = 1;
float g_Aniso = 0.0f;

CPSettings* g_Settings = nullptr;

namespace {

constexpr std::size_t kSettingCount = 32;
constexpr std::size_t kMaxLineLength = 1023;

// The values a setting may take where others break the game: a screen it
// cannot open, a sound format the device refuses, a volume past full.
struct SettingRange {
    const char* key;
    double lowest;
    double highest;
};

constexpr SettingRange kRanges[] = {
    {"screenWidth", 1, 16384},   {"screenHeight", 1, 16384}, {"screenBPP", 8, 32},  {"channels", 1, 8},
    {"frequency", 8000, 192000}, {"bitrate", 8, 32},         {"soundVolume", 0, 1}, {"musicVolume", 0, 1},
};

// The number the text starts with (in the C locale); NaN when it starts
// with none or one beyond the range of a double.
double LeadingNumber(const std::string& text) {
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    double value = 0;
    stream >> value;
    return stream.fail() ? std::nan("") : value;
}

// True when the setting's value is a finite number within its range.
bool IsAllowed(const std::string& key, const CPDator& dator) {
    const double value = LeadingNumber(dator.ToString());
    if (!std::isfinite(value))
        return false;
    for (const SettingRange& range : kRanges) {
        if (key == range.key)
            return value >= range.lowest && value <= range.highest;
    }
    return true;
}

} // namespace

CPSettings::CPSettings() {
    g_Settings = this;
    RegisterAll();
}

CPSettings::~CPSettings() {
    ReleaseDators();
    dators.Clear();
    g_Settings = nullptr;
}

template <class Dator, class T>
void CPSettings::Bind(const char* key, T* variable) {
    ownedDators.push_back(std::make_unique<Dator>(variable));
    keyHandles.emplace_back(ownedDators.back().get());
    Register(key, keyHandles.back());
}

// The registration order decides the order of keys sharing a bucket, and so
// the order config.cfg is written in.
void CPSettings::RegisterAll() {
    keyHandles.reserve(kSettingCount);
    Bind<CPIntDator>("screenWidth", &g_ScreenWidth);
    Bind<CPIntDator>("screenHeight", &g_ScreenHeight);
    Bind<CPIntDator>("screenBPP", &g_ScreenBPP);
    Bind<CPIntDator>("fullScreen", &g_FullScreen);
    Bind<CPIntDator>("weight_div", &g_WeightDiv);
    Bind<CPIntDator>("static", &g_StaticSetting);
    Bind<CPIntDator>("rolling", &g_Rolling);
    Bind<CPIntDator>("texlod", &g_TexLod);
    Bind<CPIntDator>("quadlevels", &g_QuadLevels);
    Bind<CPIntDator>("bboxes", &g_BBoxes);
    Bind<CPIntDator>("channels", &g_SoundChannels);
    Bind<CPIntDator>("frequency", &g_SoundFrequency);
    Bind<CPIntDator>("bitrate", &g_SoundBits);
    Bind<CPFloatDator>("soundVolume", &g_SoundVolume);
    Bind<CPFloatDator>("musicVolume", &g_MusicVolume);
    Bind<CPFloatDator>("mouse", &g_MouseSetting);
    Bind<CPFloatDator>("plane", &g_Plane);
    Bind<CPIntDator>("cam_speed", &g_CamSpeed);
    Bind<CPIntDator>("distance", &g_Distance);
    Bind<CPIntDator>("startmenu", &g_StartMenu);
    Bind<CPFloatDator>("friction", &g_PhysicsFriction);
    Bind<CPFloatDator>("restitution", &g_PhysicsRestitution);
    Bind<CPIntDator>("shadows", &g_Shadows);
    Bind<CPIntDator>("bloom", &g_Bloom);
    Bind<CPIntDator>("lensflare", &g_LensFlare);
    Bind<CPIntDator>("dust", &g_Dust);
    Bind<CPIntDator>("wheel", &g_Wheel);
    Bind<CPIntDator>("psystems", &g_ParticleSystems);
    Bind<CPIntDator>("weather", &g_Weather);
    Bind<CPIntDator>("blur", &g_Blur);
    Bind<CPIntDator>("contrast", &g_Contrast);
    Bind<CPFloatDator>("aniso", &g_Aniso);
}

void CPSettings::Register(const std::string& key, const CPRefPtr<CPDator>& dator) {
    dators[key] = dator;
}

void CPSettings::Load(const std::string& path) {
    const PlatFile file = PlatOpenFileForReading(path);
    if (!file)
        return;
    std::string line;
    for (int c = std::getc(file.get()); c != EOF; c = std::getc(file.get())) {
        if (c == '\n') {
            ParseLine(line);
            line.clear();
        } else if (line.size() < kMaxLineLength) {
            line += static_cast<char>(c);
        }
    }
    ParseLine(line);
}

void CPSettings::ParseLine(const std::string& line) {
    if (line.empty())
        return;
    const bool plus = line.front() == '+';
    const std::size_t start = plus || line.front() == '-' ? 1 : 0;
    const std::size_t equals = line.find('=', start);
    std::string name = line.substr(start, equals == std::string::npos ? std::string::npos : equals - start);
    std::string value = equals == std::string::npos ? (plus ? "1" : "0") : line.substr(equals + 1);
    TrimString(name);
    TrimString(value);
    Apply(name, value);
}

void CPSettings::Apply(const std::string& name, const std::string& value) {
    const CPRefPtr<CPDator>* dator = dators.Find(name);
    if (!dator)
        return;
    const std::string kept = (*dator)->ToString();
    // Text that is no number ("nan", "inf", nothing) would read as 0.
    if (!std::isfinite(LeadingNumber(value))) {
        GetLog().Print(0, "The setting %s = %s is not a finite number; it keeps %s\n", name.c_str(),
                       value.c_str(), kept.c_str());
        return;
    }
    (*dator)->Assign(value);
    if (IsAllowed(name, **dator))
        return;
    (*dator)->Assign(kept);
    GetLog().Print(0, "The setting %s = %s is out of range; it keeps %s\n", name.c_str(), value.c_str(),
                   kept.c_str());
}

HRESULT CPSettings::Save(const std::string& path) const {
    CPFileWriter writer(path, false);
    dators.ForEach([&writer](const std::string& key, const CPRefPtr<CPDator>& dator) {
        const std::string line = key + " = " + dator->ToString() + "\r\n";
        writer.Write(line.data(), static_cast<int>(line.size()));
    });
    return writer.Save();
}

void CPSettings::ReleaseDators() {
    keyHandles.clear();
}
