// The sky's update: its keyframes, colours, lights, drawing and weather.
#include "DynamicSky/Skyscape.h"

#include "Core/Log.h"
#include "DynamicSky/SkyLighting.h"
#include "Platform/Random.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

constexpr float kFullTurn = 6.2831855f;
constexpr float kSunHighlight = 56.0f;
constexpr float kOvercastGrey = 20.0f;
constexpr float kSunAlphaFade = 200.0f;
constexpr float kSpriteAlphaFade = 255.0f;

template <class T>
T Rate(const T& next, const T& now, float duration) {
    return duration > 0 ? (next - now) / duration : T{};
}

template <class T>
std::vector<T> Rates(const std::vector<T>& next, const std::vector<T>& now, float duration) {
    std::vector<T> rates;
    for (size_t i = 0; i < now.size(); ++i)
        rates.push_back(i < next.size() ? Rate(next[i], now[i], duration) : T{});
    return rates;
}

template <class T>
void Advance(std::vector<T>& values, const std::vector<T>& rates, float step) {
    for (size_t i = 0; i < values.size() && i < rates.size(); ++i)
        values[i] += rates[i] * step;
}

D3DXVECTOR3 Clamped(const D3DXVECTOR3& colour) {
    return D3DXVECTOR3(std::clamp(colour.x, 0.0f, 255.0f), std::clamp(colour.y, 0.0f, 255.0f),
                       std::clamp(colour.z, 0.0f, 255.0f));
}

// a moved towards b by f; a stays exact (and finite) at f = 0.
D3DXVECTOR3 Lerp(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float f) {
    return a * (1.0f - f) + b * f;
}

D3DXVECTOR3 OvercastOf(const D3DXVECTOR3& colour, int channel) {
    const float v = colour[channel];
    if (v <= kOvercastGrey)
        return D3DXVECTOR3(0, 0, v);
    return D3DXVECTOR3(v - kOvercastGrey, v - kOvercastGrey, v);
}

DWORD Channel(float value, float highlight) {
    return static_cast<DWORD>(std::min(255.0f, value + highlight));
}

} // namespace

void Skyscape::ApplyKeyframes() {
    if (keyframes.empty())
        return;
    const auto count = static_cast<int>(keyframes.size());
    const SkyKeyframe& now = keyframes[static_cast<size_t>(currentKeyframe)];
    const SkyKeyframe& next = keyframes[static_cast<size_t>((currentKeyframe + 1) % count)];
    current = now;
    const float duration = now.duration;
    rates.keyColours = Rates(next.keyColours, now.keyColours, duration);
    rates.domeTilt = Rate(next.domeTilt, now.domeTilt, duration);
    rates.domeAlpha = Rate(next.domeAlpha, now.domeAlpha, duration);
    rates.ambientColour = Rate(next.ambientColour, now.ambientColour, duration);
    rates.sunColour = Rate(next.sunColour, now.sunColour, duration);
    rates.colourD = Rate(next.colourD, now.colourD, duration);
    rates.colourC = Rate(next.colourC, now.colourC, duration);
    rates.fogColour = Rate(next.fogColour, now.fogColour, duration);
    rates.extraValues = Rate(next.extraValues, now.extraValues, duration);
    rates.spriteScales = Rates(next.spriteScales, now.spriteScales, duration);
    // From the last keyframe the angles run on over a full turn to the first.
    std::vector<float> from = now.spriteAngles;
    if (currentKeyframe == count - 1)
        for (float& angle : from)
            angle -= kFullTurn;
    rates.spriteAngles = Rates(next.spriteAngles, from, duration);
    for (size_t i = 0; i < sprites.size() && i < now.spriteEffects.size(); ++i) {
        sprites[i]->SelectEffect(now.spriteEffects[i]);
        if (now.spriteAdvance[i] == 1)
            sprites[i]->NextFrame();
    }
}

void Skyscape::Update(float frameTime) {
    if (!fileRead)
        return;
    if (blendingIn)
        blend = std::min(blend + animationStep, weather.blendTime);
    else
        blend = std::max(blend - animationStep, 0.0f);
    Animate();
    MakeOvercast();
    SetFog();
    ColourDome();
    // The tilted copy is replaced by the upright dome at the upload below.
    TransformVertices(TiltMatrix());
    keyframeClock += animationStep;
    weatherClock += frameTime * timeScale;
    SetAmbient();
    UploadGeometry(vertices, indices, false);
    Render();
    DrawSprites();
    ClearDepth();
    AdvanceKeyframe();
    AdvanceWeather();
}

void Skyscape::Animate() {
    // A step of 0 changes nothing, even where a rate is not finite.
    const float step = animationStep;
    if (step == 0.0f)
        return;
    Advance(current.keyColours, rates.keyColours, step);
    for (auto colour : {&SkyKeyframe::sunColour, &SkyKeyframe::ambientColour, &SkyKeyframe::colourC,
                        &SkyKeyframe::colourD, &SkyKeyframe::fogColour})
        current.*colour = Clamped(current.*colour + rates.*colour * step);
    current.domeAlpha = std::clamp(current.domeAlpha + rates.domeAlpha * step, 0.0f, 255.0f);
    current.domeTilt += rates.domeTilt * step;
    current.extraValues += rates.extraValues * step;
    Advance(current.spriteAngles, rates.spriteAngles, step);
    Advance(current.spriteScales, rates.spriteScales, step);
}

void Skyscape::MakeOvercast() {
    if (!Overcast())
        return;
    const int channel = current.overcastChannel;
    overcast.keyColours.clear();
    for (const D3DXVECTOR3& key : current.keyColours)
        overcast.keyColours.push_back(OvercastOf(key, channel));
    for (auto colour : {&SkyKeyframe::sunColour, &SkyKeyframe::ambientColour, &SkyKeyframe::colourC,
                        &SkyKeyframe::colourD, &SkyKeyframe::fogColour})
        overcast.*colour = OvercastOf(current.*colour, channel);
}

float Skyscape::BlendFactor() const {
    return weather.blendTime > 0 ? blend / weather.blendTime : 0.0f;
}

D3DXVECTOR3 Skyscape::Weathered(const D3DXVECTOR3& clear, const D3DXVECTOR3& clouded) const {
    return Overcast() ? Lerp(clear, clouded, BlendFactor()) : clear;
}

void Skyscape::SetFog() const {
    const D3DXVECTOR3 fog = Weathered(current.fogColour, overcast.fogColour);
    SetSkyFogColour(fog.x, fog.y, fog.z);
}

void Skyscape::SetAmbient() const {
    const D3DXVECTOR3 ambient = Weathered(current.ambientColour, overcast.ambientColour);
    SetSkyAmbient(ambient.x, ambient.y, ambient.z);
}

void Skyscape::ColourDome() {
    const int bands = colourKeyCount - 1;
    if (bands < 1 || ringsPerBand < 1 || domeSegments < 1 ||
        current.keyColours.size() < static_cast<size_t>(colourKeyCount))
        return;
    // Rings past those built have no vertices: the walk ends with the dome.
    const auto builtRings =
        static_cast<std::int64_t>(vertices.size() / (static_cast<size_t>(domeSegments) + 1));
    D3DXVECTOR3 sun;
    D3DXVec3Normalize(&sun, &g_SunPosition);
    const auto perRing = static_cast<float>(ringsPerBand);
    for (int band = 0; band < bands; ++band) {
        const auto b = static_cast<size_t>(band);
        D3DXVECTOR3 colour = Weathered(current.keyColours[b], overcast.keyColours[b]);
        const D3DXVECTOR3 end = Weathered(current.keyColours[b + 1], overcast.keyColours[b + 1]);
        const D3DXVECTOR3 step = (end - colour) / perRing;
        const std::int64_t first = std::int64_t{band} * ringsPerBand;
        const std::int64_t last =
            std::min(first + ringsPerBand - 1 + (band == bands - 1 ? 1 : 0), builtRings - 1);
        for (std::int64_t ring = first; ring <= last; ++ring) {
            colour = Clamped(colour + step);
            ColourRing(static_cast<int>(ring), colour, sun);
        }
    }
}

void Skyscape::ColourRing(int ring, const D3DXVECTOR3& colour, const D3DXVECTOR3& sun) {
    const auto alpha = static_cast<DWORD>(std::clamp(current.domeAlpha, 0.0f, 255.0f));
    const auto perRing = static_cast<size_t>(domeSegments) + 1;
    const size_t first = static_cast<size_t>(ring) * perRing;
    for (size_t k = first; k < first + perRing && k < vertices.size(); ++k) {
        MeshVertex& vertex = vertices[k];
        const D3DXVECTOR3 normal(vertex.nx, vertex.ny, vertex.nz);
        const float highlight = -kSunHighlight * std::min(0.0f, D3DXVec3Dot(&normal, &sun));
        vertex.diffuse = alpha << 24 | Channel(colour.x, highlight) << 16 |
                         Channel(colour.y, highlight) << 8 | Channel(colour.z, highlight);
    }
}

D3DXMATRIX Skyscape::TiltMatrix() const {
    D3DXMATRIX toCentre;
    D3DXMATRIX turn;
    D3DXMATRIX back;
    D3DXMatrixTranslation(&toCentre, -domeCentre.x, -domeCentre.y, -domeCentre.z);
    D3DXMatrixRotationY(&turn, -current.domeTilt);
    D3DXMatrixTranslation(&back, domeCentre.x, domeCentre.y, domeCentre.z);
    return toCentre * turn * back;
}

void Skyscape::DrawSprites() {
    const float fade = BlendFactor();
    for (size_t i = 0; i < sprites.size(); ++i) {
        SkySprite& sprite = *sprites[i];
        if (i < current.spriteAngles.size()) {
            sprite.angle = current.spriteAngles[i];
            sprite.scale = current.spriteScales[i];
        }
        if (i == 0) {
            if (Overcast())
                sprite.SetAlpha(static_cast<int>(255.0f - fade * kSunAlphaFade));
            g_SunPosition = sprite.position * 100.0f;
            SetSunLight(-sprite.position, Weathered(current.sunColour, overcast.sunColour) / 255.0f);
        } else if (Overcast()) {
            sprite.SetAlpha(static_cast<int>(255.0f - fade * kSpriteAlphaFade));
        }
        sprite.Update(animationStep);
    }
}

void Skyscape::AdvanceKeyframe() {
    if (keyframes.empty() || !(keyframeClock > current.duration))
        return;
    keyframeClock = 0;
    currentKeyframe = (currentKeyframe + 1) % static_cast<int>(keyframes.size());
    ApplyKeyframes();
}

void Skyscape::AdvanceWeather() {
    const std::vector<WeatherEntry>& entries = cloudSets.entries;
    if (entries.empty())
        return;
    if (weatherClock > nextWeatherChange) {
        const int next = DrawWeatherEntry();
        if (next != weatherIndex) {
            weatherIndex = next;
            weather = entries[static_cast<size_t>(next)];
            SwitchCloudGroup();
        }
        weatherClock = 0;
        nextWeatherChange = DrawWeatherDuration();
    } else if (nextWeatherChange - weatherClock <= weather.blendTime) {
        blendingIn = false;
    }
}

int Skyscape::DrawWeatherEntry() const {
    const auto count = static_cast<int>(cloudSets.entries.size());
    if (count < 2)
        return weatherIndex;
    for (int draw = 0; draw < kMaxWeatherDraws; ++draw) {
        const int j = PlatRand() % count;
        if (j == weatherIndex)
            continue;
        if (static_cast<float>(PlatRand() % 100) * 0.01f <=
            cloudSets.entries[static_cast<size_t>(j)].probability)
            return j;
    }
    return weatherIndex;
}

void Skyscape::SwitchCloudGroup() {
    blend = 0;
    blendingIn = true;
    GetLog().Print(1, "DynamicSky: weather of cloud group %s (%s)\n", weather.layerName.c_str(),
                   weather.logged != 0 ? "on" : "off");
    CloudLayer* kept = nullptr;
    if (!activeLayers.empty())
        kept = activeLayers.size() >= 2 ? activeLayers[1] : activeLayers[0];
    CloudLayer* next = FindLayer(weather.layerName);
    // An unknown group, or the one already fading in, leaves the list as it is.
    if (!next || next == kept)
        return;
    activeLayers.clear();
    if (kept) {
        kept->SetFade(false, false);
        activeLayers.push_back(kept);
    }
    next->idle = false;
    next->PlaceModels();
    next->SetFade(true, true);
    activeLayers.push_back(next);
}
