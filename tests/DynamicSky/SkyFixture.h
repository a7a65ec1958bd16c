#pragma once

#include "Core/Log.h"
#include "DynamicSky/Skyscape.h"
#include "Render/RenderTestScene.h"
#include "Support/TempGameRoot.h"
#include "imagetool/SkyPictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

// A sky file's content, written out line by line as the sky reads it.
struct SkySpriteKey {
    float angle = 0;
    int effect = 1;
    float scale = 1;
    int advance = 0;
};

struct SkyKeyframeText {
    float duration = 60;
    float alpha = 200;
    float tilt = 0;
    int channel = 3;
    std::vector<D3DXVECTOR3> keys;
    D3DXVECTOR3 sun{255, 255, 255};
    D3DXVECTOR3 ambient{90, 90, 100};
    D3DXVECTOR3 fog{180, 200, 220};
    int doubleLight = 0;
    std::vector<SkySpriteKey> sprites;
};

struct SkySpriteText {
    D3DXVECTOR3 direction{1, 0, 0};
    float size = 40;
    float distance = 400;
    float baseAngle = -40;
    std::vector<std::string> textures{"sun.tga"};
};

struct SkyText {
    float timeScale = 4;
    int start = 0;
    float radius = 450;
    float heightScale = 0.6f;
    int segments = 32;
    int colourKeys = 5;
    std::vector<SkyKeyframeText> keyframes;
    std::vector<SkySpriteText> sprites;
    std::vector<std::string> layers{"layer.cl"};
    std::string cloudSet = "clouds.set";

    std::string Text() const {
        std::ostringstream out;
        out << "timeScale " << timeScale << "\nstart " << start << "\nradius " << radius << "\nheight "
            << heightScale << "\nsegments " << segments << "\ncentre 0 0 0\ntexture skygrad.tga\n"
            << "effect sky_dome.fx\nkeys " << colourKeys << "\nkeyframes " << keyframes.size() << "\nsprites "
            << sprites.size() << "\nspriteEffect0 sky_sprite0.fx\nspriteEffect1 sky_sprite1.fx\nlayers "
            << layers.size() << "\ncloudSet " << cloudSet << "\n";
        for (const SkyKeyframeText& keyframe : keyframes)
            WriteKeyframe(out, keyframe);
        for (const SkySpriteText& sprite : sprites) {
            out << "direction " << Triple(sprite.direction) << "\nsize " << sprite.size << "\ndistance "
                << sprite.distance << "\nbase " << sprite.baseAngle << "\ntextures " << sprite.textures.size()
                << "\n";
            for (const std::string& texture : sprite.textures)
                out << "texture " << texture << "\n";
        }
        for (const std::string& layer : layers)
            out << "layer " << layer << "\n";
        return out.str();
    }

    static std::string Triple(const D3DXVECTOR3& v) {
        std::ostringstream out;
        out << v.x << " " << v.y << " " << v.z;
        return out.str();
    }

private:
    static void WriteKeyframe(std::ostringstream& out, const SkyKeyframeText& keyframe) {
        out << "duration " << keyframe.duration << "\nalpha " << keyframe.alpha << "\ntilt " << keyframe.tilt
            << "\nchannel " << keyframe.channel << "\n";
        for (const D3DXVECTOR3& key : keyframe.keys)
            out << "key " << Triple(key) << "\n";
        out << "sun " << Triple(keyframe.sun) << "\nambient " << Triple(keyframe.ambient)
            << "\nc 0 0 0\nd 0 0 0\nfog " << Triple(keyframe.fog) << "\ne 0\ne 0\ne 0\ndouble "
            << keyframe.doubleLight << "\n";
        for (const SkySpriteKey& sprite : keyframe.sprites)
            out << "angle " << sprite.angle << "\neffect " << sprite.effect << "\nscale " << sprite.scale
                << "\nadvance " << sprite.advance << "\n";
    }
};

// One weather entry of a cloud-set file.
struct WeatherText {
    float blendTime = 10;
    float mean = 60;
    float spread = 0.5f;
    std::string layer = "layer.cl";
    int logged = 0;
    int overcast = 0;
    float probability = 1;
};

inline std::string CloudSetText(const std::vector<WeatherText>& entries) {
    std::ostringstream out;
    out << "count " << entries.size() << "\n";
    for (const WeatherText& entry : entries)
        out << "blend " << entry.blendTime << "\nmean " << entry.mean << "\nspread " << entry.spread
            << "\nlayer " << entry.layer << "\nk 0\nk 0\nk 0\nk 0\nk 0\nk 0\nk 0\nlogged " << entry.logged
            << "\novercast " << entry.overcast << "\nprobability " << entry.probability << "\nk 0\n";
    return out.str();
}

inline std::string LayerText(const D3DXVECTOR3& offset, const std::vector<std::string>& models = {}) {
    std::ostringstream out;
    out << "offset " << SkyText::Triple(offset) << "\nk 0\nk 0\nk 0 0 0\nk 0\nmodels " << models.size()
        << "\n";
    for (size_t i = 0; i < models.size(); ++i)
        out << "model " << models[i] << "\nbase " << i << " 0 0\nscale 1\nangle 0\nk 0\n";
    return out.str();
}

// Five grey keys from the horizon up: 0, 40, 80, 120, 160.
inline std::vector<D3DXVECTOR3> GreyKeys(int count) {
    std::vector<D3DXVECTOR3> keys;
    for (int i = 0; i < count; ++i)
        keys.emplace_back(40.0f * i, 40.0f * i, 40.0f * i);
    return keys;
}

// A keyframe with `keys` colour keys and one key per sprite.
inline SkyKeyframeText Keyframe(std::vector<D3DXVECTOR3> keys, size_t spriteCount = 1) {
    SkyKeyframeText keyframe;
    keyframe.keys = std::move(keys);
    keyframe.sprites.assign(spriteCount, SkySpriteKey{});
    return keyframe;
}

// The demo-like sky: 32 segments, 5 keys, one keyframe, the sun, one layer.
inline SkyText DemoLikeSky() {
    SkyText sky;
    sky.keyframes.push_back(Keyframe(GreyKeys(5)));
    sky.sprites.emplace_back();
    return sky;
}

// Writes a file of the sky's folder.
inline void WriteCloudFile(const std::string& name, const std::string& text) {
    TempGameRoot::WriteFile("Data/Clouds/" + name, text);
}

// The sky's own effects and pictures in a game root, beside the engine's.
inline void WriteSkyData() {
    std::filesystem::create_directories("Data/Clouds");
    for (const char* effect : {"sky_dome.fx", "sky_sprite0.fx", "sky_sprite1.fx"})
        std::filesystem::copy_file(std::string(KV_SOURCE_DIR "/data/Clouds/") + effect,
                                   std::string("Data/Clouds/") + effect,
                                   std::filesystem::copy_options::overwrite_existing);
    RenderTestScene::WritePicture("Data/Clouds/skygrad.tga", SkyGradientPicture());
    RenderTestScene::WritePicture("Data/Clouds/sun.tga", SunPicture());
    RenderTestScene::WritePicture("Data/Textures/cloud.tga", CloudPicture());
}

// Collects the log while it lives.
class SkyLogCapture {
public:
    SkyLogCapture() {
        GetLog().SetSink([this](std::string_view line) { text += line; });
    }
    ~SkyLogCapture() { GetLog().SetSink({}); }
    SkyLogCapture(const SkyLogCapture&) = delete;
    SkyLogCapture& operator=(const SkyLogCapture&) = delete;

    std::string text;
};

inline bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

inline uint32_t Grey(uint32_t alpha, uint32_t level) {
    return alpha << 24 | level << 16 | level << 8 | level;
}

inline float Radians(float degrees) {
    return degrees * 0.017453292f;
}
