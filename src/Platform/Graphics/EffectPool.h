#pragma once

#include "Platform/Graphics/BaseTexture9.h"
#include "Platform/Graphics/EffectFile.h"
#include "Platform/Graphics/EffectTypes.h"

#include <map>

// The value of an effect parameter: up to 16 floats (ints and bools are
// stored as floats) or a texture, held by a reference.
struct PlatEffectValue {
    std::array<float, 16> floats{};
    PlatComPtr<IDirect3DBaseTexture9> texture;
};

// Values of shared parameters, by name, seen by every effect created with
// this pool. The first effect to declare a name gives its default.
class ID3DXEffectPool : public IUnknown {
public:
    PlatEffectValue& Slot(const PlatEffectParameterDecl& parameter) {
        auto [entry, added] = values.try_emplace(parameter.name);
        if (added)
            entry->second.floats = parameter.defaults;
        return entry->second;
    }

private:
    ~ID3DXEffectPool() override = default;

    std::map<std::string, PlatEffectValue> values;
};

HRESULT D3DXCreateEffectPool(ID3DXEffectPool** pool);
