#include "Render/PVertexEffect.h"

#include "Core/StringFunctions.h"
#include "Render/PAnimVertexEffect.h"
#include "Render/PEnvironmentVertexEffect.h"
#include "Render/PFadeVertexEffect.h"
#include "Render/PFlickVertexEffect.h"
#include "Render/PMovingTexVertexEffect.h"

#include <charconv>
#include <cmath>

namespace {

// The leading integer of the text, 0 when there is none or it does not fit
// (the C locale's atoi without its overflow).
int LeadingInt(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() ? value : 0;
}

// The leading number of the text, 0 when there is none; a number too large
// for a float is infinite.
float LeadingFloat(const std::string& text) {
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range)
        return INFINITY;
    return error == std::errc() ? static_cast<float>(value) : 0.0f;
}

bool AllFinite(std::initializer_list<float> values) {
    for (float value : values)
        if (!std::isfinite(value))
            return false;
    return true;
}

CPVertexEffect* CreateAnim(const std::vector<std::string>& arguments) {
    const int columns = LeadingInt(arguments[0]);
    const int rows = LeadingInt(arguments[1]);
    const float speed = LeadingFloat(arguments[2]);
    if (columns < 1 || rows < 1 || int64_t{columns} * rows > CPAnimVertexEffect::kMaxFrames ||
        !AllFinite({speed}))
        return nullptr;
    return new CPAnimVertexEffect(columns, rows, speed);
}

CPVertexEffect* CreateFlick(const std::vector<std::string>& arguments) {
    const float frequency = LeadingFloat(arguments[0]);
    if (!AllFinite({frequency}))
        return nullptr;
    return new CPFlickVertexEffect(frequency, static_cast<uint8_t>(LeadingInt(arguments[1])),
                                   static_cast<uint8_t>(LeadingInt(arguments[2])));
}

CPVertexEffect* CreateMovingTex(const std::vector<std::string>& arguments) {
    const float du = LeadingFloat(arguments[0]);
    const float dv = LeadingFloat(arguments[1]);
    return AllFinite({du, dv}) ? new CPMovingTexVertexEffect(du, dv) : nullptr;
}

CPVertexEffect* CreateFade(const std::vector<std::string>& arguments) {
    const float rate = LeadingFloat(arguments[0]);
    return AllFinite({rate}) ? new CPFadeVertexEffect(rate) : nullptr;
}

CPVertexEffect* CreateEnvironment(const std::vector<std::string>& arguments) {
    // A scale of 0 would put every coordinate at infinity.
    const float scale = LeadingFloat(arguments[0]);
    return AllFinite({scale}) && scale != 0.0f ? new CPEnvironmentVertexEffect(scale) : nullptr;
}

struct Kind {
    const char* keyword;
    std::size_t argumentCount;
    CPVertexEffect* (*create)(const std::vector<std::string>&);
};

constexpr Kind kKinds[] = {
    {"anim", 3, CreateAnim},
    {"flick", 3, CreateFlick},
    {"movingtex", 2, CreateMovingTex},
    {"fade", 1, CreateFade},
    {"environment", 1, CreateEnvironment},
};

} // namespace

CPVertexEffect* CreateVertexEffect(const std::string& keyword, const std::vector<std::string>& arguments) {
    std::string name = keyword;
    ToLowerString(name);
    for (const std::string& argument : arguments)
        if (!IsNumberString(argument))
            return nullptr;
    for (const Kind& kind : kKinds)
        if (name == kind.keyword)
            return arguments.size() == kind.argumentCount ? kind.create(arguments) : nullptr;
    return nullptr;
}

void CloneEffectChain(std::vector<CPVertexEffect*>& chain, const std::vector<CPVertexEffect*>& source) {
    for (CPVertexEffect* effect : chain)
        delete effect;
    chain.clear();
    for (const CPVertexEffect* effect : source)
        chain.push_back(effect->Clone());
}
