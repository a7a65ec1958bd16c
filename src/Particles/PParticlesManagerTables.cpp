// The readers of the four particle tables.
#include "Core/Log.h"
#include "Core/PLineReader.h"
#include "Core/PTokenizer.h"
#include "Core/StringFunctions.h"
#include "Particles/PParticleSystem.h"
#include "Particles/PParticlesManager.h"
#include "Particles/PSpotRenderObject.h"
#include "Render/PMaterialManager.h"
#include "Render/RenderPriority.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Table numbers are kept within this range, and a text that reads as no
// finite number counts as 0, so that no later arithmetic of a frame
// overflows into infinities or NaN.
constexpr float kLargestTableReal = 1.0e6f;
// A sprite sheet has at most this many frames across and down.
constexpr int kLargestSheetSide = 256;

float TableReal(const std::string& text) {
    const float value = TextToFloat(text);
    if (!std::isfinite(value))
        return 0;
    return std::clamp(value, -kLargestTableReal, kLargestTableReal);
}

D3DXVECTOR3 TableVector(const std::vector<std::string>& fields, std::size_t first) {
    return {TableReal(FieldAt(fields, first)), TableReal(FieldAt(fields, first + 1)),
            TableReal(FieldAt(fields, first + 2))};
}

int SheetSide(const std::string& text) {
    return std::clamp(TextToInt(text), 1, kLargestSheetSide);
}

// base + offset, kept within int.
int MaterialPriority(int base, const std::string& offsetText) {
    const long long priority = static_cast<long long>(base) + TextToInt(offsetText);
    return static_cast<int>(std::clamp<long long>(priority, INT_MIN, INT_MAX));
}

// "a:r:g:b:s,..." in file order; a missing component is 0.
std::vector<ParticleKey> ReadKeys(const std::string& text) {
    std::vector<ParticleKey> keys;
    for (const std::string& entry : SplitFields(text, ",")) {
        const std::vector<std::string> values = SplitFields(entry, ":");
        keys.push_back({TableReal(FieldAt(values, 0)), TableReal(FieldAt(values, 1)),
                        TableReal(FieldAt(values, 2)), TableReal(FieldAt(values, 3)),
                        TableReal(FieldAt(values, 4))});
    }
    return keys;
}

// Calls handle(fields) for every logical line of the table.
template <class Handle>
void ForEachLine(const std::string& text, const std::string& separator, Handle&& handle) {
    CPLineReader lines(text.data(), text.size());
    std::string line;
    while (lines.ReadLine(line))
        handle(SplitFields(line, separator));
}

} // namespace

void CPParticlesManager::ReadParticleTypes(const std::string& text, bool spots) {
    ForEachLine(text, " ", [&](const std::vector<std::string>& fields) {
        std::unique_ptr<CPParticleRenderObject> type =
            spots ? std::make_unique<CPSpotRenderObject>() : std::make_unique<CPParticleRenderObject>();
        type->SetSheet(SheetSide(FieldAt(fields, 3)), SheetSide(FieldAt(fields, 4)));
        type->sheetValue = TextToInt(FieldAt(fields, 5));
        type->sheetFlag = TextToInt(FieldAt(fields, 6)) != 0;
        if (g_MaterialManager) {
            CPRefPtr<CPMaterial> material;
            const int base = spots ? RENDER_OBJECT_BASE : RENDER_PARTICLES_BASE;
            g_MaterialManager->GetMaterial(material, MaterialPriority(base, FieldAt(fields, 7)),
                                           FieldAt(fields, 2), {FieldAt(fields, 1)});
            type->SetMaterial(material);
        }
        if (!FieldAt(fields, 8).empty())
            type->SetKeys(ReadKeys(FieldAt(fields, 8)));
        particleTypes[FieldAt(fields, 0)] = std::move(type);
    });
}

void CPParticlesManager::ReadSystemDefs(const std::string& text) {
    ForEachLine(text, " ", [&](const std::vector<std::string>& fields) {
        ParticleSystemDef definition;
        definition.typeName = FieldAt(fields, 1);
        definition.lifetime = TableReal(FieldAt(fields, 2));
        definition.size = TableReal(FieldAt(fields, 3));
        definition.growth = TableReal(FieldAt(fields, 4));
        definition.fade = TextToInt(FieldAt(fields, 5)) != 0;
        definition.speed = TableReal(FieldAt(fields, 6));
        definition.coneAngle = TextToInt(FieldAt(fields, 7));
        definition.direction = TableVector(fields, 8);
        definition.acceleration = TableVector(fields, 11);
        definition.spawnBox = TableVector(fields, 14);
        systemDefs[FieldAt(fields, 0)] = definition;
    });
}

void CPParticlesManager::ReadFlames(const std::string& text) {
    ForEachLine(text, ";", [&](const std::vector<std::string>& fields) {
        auto flame = std::make_unique<CPParticleSystem>(nullptr, SplitFields(FieldAt(fields, 0), ","));
        flame->SetInterval(TableReal(FieldAt(fields, 1)));
        flame->duration = TableReal(FieldAt(fields, 2));
        flame->damage = TableReal(FieldAt(fields, 3));
        if (flame->definitions.empty())
            GetLog().Print(0, "The flame \"%s\" names no known particle system\n",
                           FieldAt(fields, 0).c_str());
        flames.push_back(std::move(flame));
    });
}
