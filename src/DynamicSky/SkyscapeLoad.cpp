// Reading the sky file and building the dome.
#include "Core/Log.h"
#include "DynamicSky/CloudFile.h"
#include "DynamicSky/Skyscape.h"
#include "Platform/Random.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;
constexpr float kQuarterTurn = 1.5707964f;
constexpr DWORD kDomeColour = 0x80FFFFFF;
constexpr const char* kLightEffect = "data/effects/skyscape_light.fx";
// rand() never reaches this: a larger modulus draws the same.
constexpr float kLargestModulus = 32768.0f;

// The header lines of a sky file, in their order.
struct SkyHeader {
    float timeScale = 0;
    int startKeyframe = 0;
    float radius = 0;
    float heightScale = 0;
    int segments = 0;
    D3DXVECTOR3 centre{0, 0, 0};
    std::string texture;
    std::string effect;
    int colourKeys = 0;
    int keyframes = 0;
    int sprites = 0;
    std::string spriteEffect0;
    std::string spriteEffect1;
    int cloudLayers = 0;
    std::string cloudSet;
};

SkyHeader ReadHeader(CloudFile& file) {
    SkyHeader header;
    header.timeScale = file.NextReal();
    header.startKeyframe = file.NextInt();
    header.radius = file.NextReal();
    header.heightScale = file.NextReal();
    header.segments = file.NextInt();
    header.centre = file.NextVector();
    header.texture = file.NextName();
    header.effect = file.NextName();
    header.colourKeys = file.NextCount();
    header.keyframes = file.NextCount();
    header.sprites = file.NextCount();
    header.spriteEffect0 = file.NextName();
    header.spriteEffect1 = file.NextName();
    header.cloudLayers = file.NextCount();
    header.cloudSet = file.NextName();
    return header;
}

MeshVertex DomeVertex(float radius, int segments, const D3DXVECTOR3& centre, float heightScale, int ring,
                      int i) {
    const float step = (360.0f / static_cast<float>(segments)) * kRadiansPerDegree;
    const float elevation = kQuarterTurn - static_cast<float>(ring) * step;
    const float around = static_cast<float>(i) * step;
    MeshVertex vertex{};
    vertex.x = std::cos(around) * radius * std::sin(elevation) + centre.x;
    vertex.y = std::sin(around) * radius * std::sin(elevation) + centre.y;
    vertex.z = std::cos(elevation) * heightScale * radius + centre.z;
    D3DXVECTOR3 normal;
    const D3DXVECTOR3 inward(-vertex.x, -vertex.y, -vertex.z);
    D3DXVec3Normalize(&normal, &inward);
    vertex.nx = normal.x;
    vertex.ny = normal.y;
    vertex.nz = normal.z;
    vertex.diffuse = kDomeColour;
    vertex.u0 = 2.0f * static_cast<float>(i) / static_cast<float>(segments);
    vertex.v0 = 1.5f * static_cast<float>(ring) / static_cast<float>(segments / 4 + 1);
    return vertex;
}

// The vertex and index counts of a dome of that many segments around.
constexpr size_t DomeVertexCount(int segments) {
    return (static_cast<size_t>(segments / 4) + 1) * (static_cast<size_t>(segments) + 1);
}
constexpr size_t DomeIndexCount(int segments) {
    return static_cast<size_t>(segments / 4) * static_cast<size_t>(segments) * 6;
}

// The most segments whose dome fits the sky's buffers.
constexpr int MaxDomeSegments() {
    int segments = 1;
    while (DomeVertexCount(segments + 1) <= VertexObject::kMaxVertices &&
           DomeIndexCount(segments + 1) <= VertexObject::kMaxIndices)
        ++segments;
    return segments;
}

} // namespace

Skyscape::Skyscape() = default;
Skyscape::~Skyscape() = default;

bool Skyscape::Load(const std::string& fileName) {
    CloudFile file;
    fileRead = file.Load(fileName);
    if (fileRead)
        ReadSky(file);
    LoadAltEffect(kLightEffect);
    return fileRead;
}

void Skyscape::ReadSky(CloudFile& file) {
    const SkyHeader header = ReadHeader(file);
    timeScale = header.timeScale;
    if (header.segments >= 1 && header.segments <= MaxDomeSegments())
        Setup(header.radius, header.segments, header.centre, header.heightScale);
    else
        GetLog().Print(0, "DynamicSky: %d dome segments are out of range (1 to %d): the sky has no dome\n",
                       header.segments, MaxDomeSegments());
    if (!header.texture.empty())
        LoadTexture(CloudFile::PathOf(header.texture));
    if (!header.effect.empty())
        LoadEffect(CloudFile::PathOf(header.effect));
    colourKeyCount = header.colourKeys;
    ringsPerBand = colourKeyCount >= 2 ? domeSegments / (4 * colourKeyCount - 4) : 0;
    for (int k = 0; k < header.keyframes; ++k)
        keyframes.push_back(ReadKeyframe(file, header.sprites));
    for (int i = 0; i < header.sprites; ++i)
        ReadSprite(file, header.spriteEffect0, header.spriteEffect1);
    ReadCloudLayers(file, header.cloudLayers);
    cloudSets.Load(header.cloudSet);
    StartWeather();
    SizeCurrentValues(header.sprites);
    if (keyframes.empty())
        return;
    const bool startValid = header.startKeyframe >= 0 && header.startKeyframe < header.keyframes;
    currentKeyframe = startValid ? header.startKeyframe : 0;
    ApplyKeyframes();
}

SkyKeyframe Skyscape::ReadKeyframe(CloudFile& file, int spriteCount) const {
    SkyKeyframe keyframe;
    keyframe.duration = file.NextReal();
    keyframe.domeAlpha = file.NextReal();
    keyframe.domeTilt = file.NextReal() * kRadiansPerDegree;
    keyframe.overcastChannel = std::clamp(file.NextInt() - 1, 0, 2);
    for (int i = 0; i < colourKeyCount; ++i)
        keyframe.keyColours.push_back(file.NextVector());
    keyframe.sunColour = file.NextVector();
    keyframe.ambientColour = file.NextVector();
    keyframe.colourC = file.NextVector();
    keyframe.colourD = file.NextVector();
    keyframe.fogColour = file.NextVector();
    keyframe.extraValues.x = file.NextReal();
    keyframe.extraValues.y = file.NextReal();
    keyframe.extraValues.z = file.NextReal();
    keyframe.doubleLight = file.NextInt();
    if (keyframe.doubleLight != 0) {
        keyframe.sunColour *= 2.0f;
        keyframe.ambientColour *= 2.0f;
    }
    for (int i = 0; i < spriteCount; ++i) {
        keyframe.spriteAngles.push_back(file.NextReal() * kRadiansPerDegree);
        keyframe.spriteEffects.push_back(file.NextInt());
        keyframe.spriteScales.push_back(file.NextReal());
        keyframe.spriteAdvance.push_back(file.NextInt());
    }
    return keyframe;
}

void Skyscape::ReadSprite(CloudFile& file, const std::string& effect0, const std::string& effect1) {
    auto sprite = std::make_unique<SkySprite>();
    sprite->Load(effect0, effect1);
    sprite->direction = file.NextVector();
    const float size = file.NextReal();
    sprite->distance = file.NextReal();
    sprite->baseAngle = file.NextReal() * kRadiansPerDegree;
    const int textureCount = file.NextCount();
    for (int i = 0; i < textureCount; ++i)
        sprite->AddTexture(file.NextName());
    sprite->Setup(size);
    sprites.push_back(std::move(sprite));
}

void Skyscape::ReadCloudLayers(CloudFile& file, int count) {
    for (int i = 0; i < count; ++i) {
        const std::string name = file.NextName();
        auto layer = std::make_unique<CloudLayer>();
        layer->Load(name);
        cloudLayers[name] = std::move(layer);
    }
}

void Skyscape::SizeCurrentValues(int spriteCount) {
    const auto slots = static_cast<size_t>(spriteCount);
    for (SkyKeyframe* values : {&current, &rates, &overcast}) {
        values->keyColours.assign(static_cast<size_t>(colourKeyCount), D3DXVECTOR3(0, 0, 0));
        values->spriteAngles.assign(slots, 0.0f);
        values->spriteScales.assign(slots, 0.0f);
        values->spriteEffects.assign(slots, 0);
        values->spriteAdvance.assign(slots, 0);
    }
}

void Skyscape::Setup(float radius, int segments, const D3DXVECTOR3& centre, float heightScale) {
    domeRadius = radius;
    domeSegments = segments;
    domeCentre = centre;
    domeHeightScale = heightScale;
    if (segments < 1)
        return;
    const int rings = segments / 4;
    const auto perRing = static_cast<size_t>(segments) + 1;
    if (!FitsBuffers(DomeVertexCount(segments), DomeIndexCount(segments)))
        return;
    std::vector<MeshVertex> dome;
    for (int ring = 0; ring <= rings; ++ring)
        for (int i = 0; i <= segments; ++i)
            dome.push_back(DomeVertex(radius, segments, centre, heightScale, ring, i));
    std::vector<uint16_t> triangles;
    for (int ring = 0; ring < rings; ++ring) {
        for (int i = 0; i < segments; ++i) {
            const auto k =
                static_cast<uint16_t>(static_cast<size_t>(ring) * perRing + static_cast<size_t>(i));
            const auto up = static_cast<uint16_t>(k + perRing);
            triangles.insert(triangles.end(), {k, up, static_cast<uint16_t>(up + 1), k,
                                               static_cast<uint16_t>(up + 1), static_cast<uint16_t>(k + 1)});
        }
    }
    UploadGeometry(dome, triangles, false);
}

void Skyscape::StartWeather() {
    if (cloudSets.entries.empty())
        return;
    weatherIndex = 0;
    weather = cloudSets.entries[0];
    weatherClock = 0;
    blend = 0;
    blendingIn = true;
    if (CloudLayer* layer = FindLayer(weather.layerName)) {
        activeLayers.push_back(layer);
        layer->fadingIn = false;
        layer->fadingOut = false;
    }
    nextWeatherChange = DrawWeatherDuration();
}

float Skyscape::DrawWeatherDuration() const {
    const float mean = weather.meanDuration;
    const float spread = weather.spread;
    const float range = std::min(mean * spread * 20.0f, kLargestModulus);
    // Under 1 (or not a number) the range holds no whole draw: no offset.
    const int modulus = range >= 1.0f ? static_cast<int>(range) : 0;
    const float offset = modulus > 0 ? static_cast<float>(PlatRand() % modulus) * 0.1f : 0.0f;
    return offset + mean - mean * spread;
}

CloudLayer* Skyscape::FindLayer(const std::string& name) const {
    const auto found = cloudLayers.find(name);
    return found == cloudLayers.end() ? nullptr : found->second.get();
}
