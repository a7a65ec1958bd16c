#pragma once

#include "DynamicSky/CloudLayer.h"
#include "DynamicSky/CloudSet.h"
#include "DynamicSky/SkyKeyframe.h"
#include "DynamicSky/SkySprite.h"
#include "DynamicSky/VertexObject.h"
#include "DynamicSky/VolumeCloud.h"
#include "DynamicSky/WeatherEntry.h"
#include "Render/PSky.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class CloudFile;

// The sky of a level, read from a file of the sky's folder: a dome coloured
// in bands between colour keys, sprites on circles about it (the first is
// the sun, which also lights the level), the ambient and fog colours, all
// from time-of-day keyframes, and a weather schedule over the entries of a
// cloud-set file that switches cloud groups and blends in an overcast look.
//
// The sky moves through its keyframes at `animationStep` per update, which
// is 0: the start keyframe's look stays. Only the weather clock runs, at
// the frame time times `timeScale` per update.
class Skyscape : public VertexObject, public CPSky {
public:
    // After this many draws without an entry that may be taken, the weather
    // keeps its entry.
    static constexpr int kMaxWeatherDraws = 1000;

    Skyscape();
    ~Skyscape() override;

    // Reads the sky file; false when it cannot be read, and the sky then
    // draws and sets nothing. Either way the second effect is loaded. A
    // number of dome segments below 1, or too many for the buffers, is
    // logged and builds no dome.
    bool Load(const std::string& fileName) override;
    // Builds and uploads the dome of `segments` around and a quarter of
    // that in rings up to the zenith.
    void Setup(float radius, int segments, const D3DXVECTOR3& centre, float heightScale);
    // Takes the current keyframe's look and the rates towards the next.
    void ApplyKeyframes();
    // One update: colours, fog, ambient, the dome and sprites drawn, the
    // depth cleared, then the keyframe and weather clocks.
    void Update(float frameTime) override;
    // Fades the listed cloud groups over to the current weather's group.
    void SwitchCloudGroup();

    // The turn of the dome about its centre by its tilt.
    D3DXMATRIX TiltMatrix() const;
    // When the next weather change is due, drawn about the entry's mean.
    float DrawWeatherDuration() const;

    float domeRadius = 0;
    int domeSegments = 0;
    float domeHeightScale = 0;
    D3DXVECTOR3 domeCentre{0, 0, 0};
    std::vector<SkyKeyframe> keyframes;
    int colourKeyCount = 0;
    int ringsPerBand = 0;
    // The current values, their change per second, and their overcast
    // versions (colours only).
    SkyKeyframe current;
    SkyKeyframe rates;
    SkyKeyframe overcast;
    int currentKeyframe = 0;
    float keyframeClock = 0;
    float timeScale = 4.0f;
    float animationStep = 0;
    std::vector<std::unique_ptr<SkySprite>> sprites;
    std::map<std::string, std::unique_ptr<CloudLayer>> cloudLayers;
    CloudSet cloudSets;
    WeatherEntry weather;
    float weatherClock = 0;
    float nextWeatherChange = 0;
    int weatherIndex = 0;
    float blend = 0;
    bool blendingIn = true;
    std::vector<CloudLayer*> activeLayers;
    VolumeCloud volumeClouds;
    bool fileRead = false;

private:
    void ReadSky(CloudFile& file);
    SkyKeyframe ReadKeyframe(CloudFile& file, int spriteCount) const;
    void ReadSprite(CloudFile& file, const std::string& effect0, const std::string& effect1);
    void ReadCloudLayers(CloudFile& file, int count);
    // Zero current values (and rates) of the right sizes for a sky without
    // keyframes.
    void SizeCurrentValues(int spriteCount);
    void StartWeather();
    bool Overcast() const { return weather.overcast != 0; }
    // How far the overcast look is blended in, 0..1 (0 without a blend time).
    float BlendFactor() const;
    // The colour blended towards its overcast version while overcast.
    D3DXVECTOR3 Weathered(const D3DXVECTOR3& clear, const D3DXVECTOR3& clouded) const;
    void Animate();
    void MakeOvercast();
    void SetFog() const;
    void SetAmbient() const;
    void ColourDome();
    void ColourRing(int ring, const D3DXVECTOR3& colour, const D3DXVECTOR3& sun);
    void DrawSprites();
    void AdvanceKeyframe();
    void AdvanceWeather();
    // The index of the entry the weather changes to; the current one when
    // no other can be drawn.
    int DrawWeatherEntry() const;
    CloudLayer* FindLayer(const std::string& name) const;
};
