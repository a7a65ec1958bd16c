#include "Platform/Graphics/EffectStateNames.h"

#include <charconv>
#include <span>
#include <utility>

namespace {

enum class ValueKind {
    Bool,
    Number,
    Float,
    Blend,
    BlendOp,
    Cull,
    Compare,
    Fog,
    Fill,
    MaterialSource,
    TextureOp,
    TextureArg,
    Address,
    Filter
};

struct StateName {
    std::string_view name;
    uint32_t state;
    ValueKind kind;
};

using NamedValue = std::pair<std::string_view, DWORD>;

constexpr StateName kRenderStates[] = {
    {"ZENABLE", D3DRS_ZENABLE, ValueKind::Bool},
    {"FILLMODE", D3DRS_FILLMODE, ValueKind::Fill},
    {"ZWRITEENABLE", D3DRS_ZWRITEENABLE, ValueKind::Bool},
    {"ALPHATESTENABLE", D3DRS_ALPHATESTENABLE, ValueKind::Bool},
    {"SRCBLEND", D3DRS_SRCBLEND, ValueKind::Blend},
    {"DESTBLEND", D3DRS_DESTBLEND, ValueKind::Blend},
    {"CULLMODE", D3DRS_CULLMODE, ValueKind::Cull},
    {"ZFUNC", D3DRS_ZFUNC, ValueKind::Compare},
    {"ALPHAREF", D3DRS_ALPHAREF, ValueKind::Number},
    {"ALPHAFUNC", D3DRS_ALPHAFUNC, ValueKind::Compare},
    {"DITHERENABLE", D3DRS_DITHERENABLE, ValueKind::Bool},
    {"ALPHABLENDENABLE", D3DRS_ALPHABLENDENABLE, ValueKind::Bool},
    {"FOGENABLE", D3DRS_FOGENABLE, ValueKind::Bool},
    {"SPECULARENABLE", D3DRS_SPECULARENABLE, ValueKind::Bool},
    {"FOGCOLOR", D3DRS_FOGCOLOR, ValueKind::Number},
    {"FOGSTART", D3DRS_FOGSTART, ValueKind::Float},
    {"FOGEND", D3DRS_FOGEND, ValueKind::Float},
    {"FOGDENSITY", D3DRS_FOGDENSITY, ValueKind::Float},
    {"CLIPPING", D3DRS_CLIPPING, ValueKind::Bool},
    {"LIGHTING", D3DRS_LIGHTING, ValueKind::Bool},
    {"AMBIENT", D3DRS_AMBIENT, ValueKind::Number},
    {"FOGVERTEXMODE", D3DRS_FOGVERTEXMODE, ValueKind::Fog},
    {"DIFFUSEMATERIALSOURCE", D3DRS_DIFFUSEMATERIALSOURCE, ValueKind::MaterialSource},
    {"SPECULARMATERIALSOURCE", D3DRS_SPECULARMATERIALSOURCE, ValueKind::MaterialSource},
    {"AMBIENTMATERIALSOURCE", D3DRS_AMBIENTMATERIALSOURCE, ValueKind::MaterialSource},
    {"EMISSIVEMATERIALSOURCE", D3DRS_EMISSIVEMATERIALSOURCE, ValueKind::MaterialSource},
    {"MULTISAMPLEANTIALIAS", D3DRS_MULTISAMPLEANTIALIAS, ValueKind::Bool},
    {"BLENDOP", D3DRS_BLENDOP, ValueKind::BlendOp},
};

constexpr StateName kStageStates[] = {
    {"COLOROP", D3DTSS_COLOROP, ValueKind::TextureOp},
    {"COLORARG1", D3DTSS_COLORARG1, ValueKind::TextureArg},
    {"COLORARG2", D3DTSS_COLORARG2, ValueKind::TextureArg},
    {"ALPHAOP", D3DTSS_ALPHAOP, ValueKind::TextureOp},
    {"ALPHAARG1", D3DTSS_ALPHAARG1, ValueKind::TextureArg},
    {"ALPHAARG2", D3DTSS_ALPHAARG2, ValueKind::TextureArg},
    {"TEXCOORDINDEX", D3DTSS_TEXCOORDINDEX, ValueKind::Number},
};

constexpr StateName kSamplerStates[] = {
    {"ADDRESSU", D3DSAMP_ADDRESSU, ValueKind::Address},
    {"ADDRESSV", D3DSAMP_ADDRESSV, ValueKind::Address},
    {"ADDRESSW", D3DSAMP_ADDRESSW, ValueKind::Address},
    {"MAGFILTER", D3DSAMP_MAGFILTER, ValueKind::Filter},
    {"MINFILTER", D3DSAMP_MINFILTER, ValueKind::Filter},
    {"MIPFILTER", D3DSAMP_MIPFILTER, ValueKind::Filter},
    {"MAXANISOTROPY", D3DSAMP_MAXANISOTROPY, ValueKind::Number},
};

constexpr NamedValue kBoolNames[] = {{"FALSE", FALSE}, {"TRUE", TRUE}};
constexpr NamedValue kBlendNames[] = {
    {"ZERO", D3DBLEND_ZERO},           {"ONE", D3DBLEND_ONE},
    {"SRCCOLOR", D3DBLEND_SRCCOLOR},   {"INVSRCCOLOR", D3DBLEND_INVSRCCOLOR},
    {"SRCALPHA", D3DBLEND_SRCALPHA},   {"INVSRCALPHA", D3DBLEND_INVSRCALPHA},
    {"DESTALPHA", D3DBLEND_DESTALPHA}, {"INVDESTALPHA", D3DBLEND_INVDESTALPHA},
    {"DESTCOLOR", D3DBLEND_DESTCOLOR}, {"INVDESTCOLOR", D3DBLEND_INVDESTCOLOR}};
constexpr NamedValue kBlendOpNames[] = {{"ADD", D3DBLENDOP_ADD},
                                        {"SUBTRACT", D3DBLENDOP_SUBTRACT},
                                        {"REVSUBTRACT", D3DBLENDOP_REVSUBTRACT},
                                        {"MIN", D3DBLENDOP_MIN},
                                        {"MAX", D3DBLENDOP_MAX}};
constexpr NamedValue kCullNames[] = {{"NONE", D3DCULL_NONE}, {"CW", D3DCULL_CW}, {"CCW", D3DCULL_CCW}};
constexpr NamedValue kCompareNames[] = {{"NEVER", D3DCMP_NEVER},
                                        {"LESS", D3DCMP_LESS},
                                        {"EQUAL", D3DCMP_EQUAL},
                                        {"LESSEQUAL", D3DCMP_LESSEQUAL},
                                        {"GREATER", D3DCMP_GREATER},
                                        {"NOTEQUAL", D3DCMP_NOTEQUAL},
                                        {"GREATEREQUAL", D3DCMP_GREATEREQUAL},
                                        {"ALWAYS", D3DCMP_ALWAYS}};
constexpr NamedValue kFogNames[] = {
    {"NONE", D3DFOG_NONE}, {"EXP", D3DFOG_EXP}, {"EXP2", D3DFOG_EXP2}, {"LINEAR", D3DFOG_LINEAR}};
constexpr NamedValue kFillNames[] = {
    {"POINT", D3DFILL_POINT}, {"WIREFRAME", D3DFILL_WIREFRAME}, {"SOLID", D3DFILL_SOLID}};
constexpr NamedValue kMaterialSourceNames[] = {
    {"MATERIAL", D3DMCS_MATERIAL}, {"COLOR1", D3DMCS_COLOR1}, {"COLOR2", D3DMCS_COLOR2}};
constexpr NamedValue kTextureOpNames[] = {
    {"DISABLE", D3DTOP_DISABLE},   {"SELECTARG1", D3DTOP_SELECTARG1}, {"SELECTARG2", D3DTOP_SELECTARG2},
    {"MODULATE", D3DTOP_MODULATE}, {"MODULATE2X", D3DTOP_MODULATE2X}, {"ADD", D3DTOP_ADD}};
constexpr NamedValue kTextureArgNames[] = {
    {"DIFFUSE", D3DTA_DIFFUSE}, {"CURRENT", D3DTA_CURRENT}, {"TEXTURE", D3DTA_TEXTURE}};
constexpr NamedValue kAddressNames[] = {
    {"WRAP", D3DTADDRESS_WRAP}, {"MIRROR", D3DTADDRESS_MIRROR}, {"CLAMP", D3DTADDRESS_CLAMP}};
constexpr NamedValue kFilterNames[] = {{"NONE", D3DTEXF_NONE},
                                       {"POINT", D3DTEXF_POINT},
                                       {"LINEAR", D3DTEXF_LINEAR},
                                       {"ANISOTROPIC", D3DTEXF_ANISOTROPIC}};

std::span<const NamedValue> ValueNames(ValueKind kind) {
    switch (kind) {
    case ValueKind::Bool:
        return kBoolNames;
    case ValueKind::Blend:
        return kBlendNames;
    case ValueKind::BlendOp:
        return kBlendOpNames;
    case ValueKind::Cull:
        return kCullNames;
    case ValueKind::Compare:
        return kCompareNames;
    case ValueKind::Fog:
        return kFogNames;
    case ValueKind::Fill:
        return kFillNames;
    case ValueKind::MaterialSource:
        return kMaterialSourceNames;
    case ValueKind::TextureOp:
        return kTextureOpNames;
    case ValueKind::TextureArg:
        return kTextureArgNames;
    case ValueKind::Address:
        return kAddressNames;
    case ValueKind::Filter:
        return kFilterNames;
    case ValueKind::Number:
    case ValueKind::Float:
        break;
    }
    return {};
}

template <size_t N>
const StateName* Find(const StateName (&table)[N], std::string_view name) {
    for (const StateName& entry : table)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

const StateName* FindIn(PlatStateGroup group, std::string_view name) {
    switch (group) {
    case PlatStateGroup::Render:
        return Find(kRenderStates, name);
    case PlatStateGroup::Stage:
        return Find(kStageStates, name);
    case PlatStateGroup::Sampler:
        return Find(kSamplerStates, name);
    }
    return nullptr;
}

const StateName* FindState(PlatStateGroup group, uint32_t state) {
    auto search = [state](const auto& table) -> const StateName* {
        for (const StateName& entry : table)
            if (entry.state == state)
                return &entry;
        return nullptr;
    };
    if (group == PlatStateGroup::Render)
        return search(kRenderStates);
    return group == PlatStateGroup::Stage ? search(kStageStates) : search(kSamplerStates);
}

bool ParseNumber(std::string_view text, DWORD* value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value, base);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

bool PlatFindStateName(PlatStateGroup group, std::string_view name, uint32_t* state) {
    const StateName* entry = FindIn(group, name);
    if (entry)
        *state = entry->state;
    return entry != nullptr;
}

bool PlatParseStateValue(PlatStateGroup group, uint32_t state, std::string_view text, DWORD* value) {
    const StateName* entry = FindState(group, state);
    if (!entry || text.empty())
        return false;
    if (entry->kind == ValueKind::Float) {
        float number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error != std::errc() || end != text.data() + text.size())
            return false;
        *value = PlatFloatBits(number);
        return true;
    }
    for (const auto& [name, named] : ValueNames(entry->kind))
        if (name == text) {
            *value = named;
            return true;
        }
    return ParseNumber(text, value);
}
