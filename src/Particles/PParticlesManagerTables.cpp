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
// finite number counts as 0 (NaN and the infinities with a log line), so that no later arithmetic of a frame
// overflows into infinities or NaN.
constexpr float kLargestTableReal = 1.0e6f;
// A sprite sheet has at most this many frames across and down.
constexpr int kLargestSheetSide = 256;

// One line of a table: its fields, and where it stands for the log.
struct TableLine {
    const std::string& file;
    int number = 0;
    std::vector<std::string> fields;

    const std::string& Text(std::size_t index) const { return FieldAt(fields, index); }
    float Real(std::size_t index) const { return RealOf(Text(index)); }
    D3DXVECTOR3 Vector(std::size_t first) const { return {Real(first), Real(first + 1), Real(first + 2)}; }

    // NaN or an infinity is logged and reads as 0.
    float RealOf(const std::string& text) const {
        const float value = TextToFloat(text);
        if (std::isfinite(value))
            return std::clamp(value, -kLargestTableReal, kLargestTableReal);
        GetLog().Print(0, "%s line %d: \"%s\" is not a finite number; it reads as 0\n", file.c_str(), number,
                       text.c_str());
        return 0;
    }
};

int SheetSide(const std::string& text) {
    return std::clamp(TextToInt(text), 1, kLargestSheetSide);
}

// base + offset, kept within int.
int MaterialPriority(int base, const std::string& offsetText) {
    const long long priority = static_cast<long long>(base) + TextToInt(offsetText);
    return static_cast<int>(std::clamp<long long>(priority, INT_MIN, INT_MAX));
}

// "a:r:g:b:s,..." in file order; a missing component is 0.
std::vector<ParticleKey> ReadKeys(const TableLine& line, const std::string& text) {
    std::vector<ParticleKey> keys;
    for (const std::string& entry : SplitFields(text, ",")) {
        const std::vector<std::string> values = SplitFields(entry, ":");
        keys.push_back({line.RealOf(FieldAt(values, 0)), line.RealOf(FieldAt(values, 1)),
                        line.RealOf(FieldAt(values, 2)), line.RealOf(FieldAt(values, 3)),
                        line.RealOf(FieldAt(values, 4))});
    }
    return keys;
}

// Calls handle(line) for every logical line of the table.
template <class Handle>
void ForEachLine(const std::string& file, const std::string& text, const std::string& separator,
                 Handle&& handle) {
    CPLineReader lines(text.data(), text.size());
    std::string line;
    while (lines.ReadLine(line))
        handle(TableLine{file, lines.LineNumber(), SplitFields(line, separator)});
}

} // namespace

void CPParticlesManager::ReadParticleTypes(const std::string& file, const std::string& text, bool spots) {
    ForEachLine(file, text, " ", [&](const TableLine& line) {
        std::unique_ptr<CPParticleRenderObject> type =
            spots ? std::make_unique<CPSpotRenderObject>() : std::make_unique<CPParticleRenderObject>();
        type->SetSheet(SheetSide(line.Text(3)), SheetSide(line.Text(4)));
        type->sheetValue = TextToInt(line.Text(5));
        type->sheetFlag = TextToInt(line.Text(6)) != 0;
        if (g_MaterialManager) {
            CPRefPtr<CPMaterial> material;
            const int base = spots ? RENDER_OBJECT_BASE : RENDER_PARTICLES_BASE;
            g_MaterialManager->GetMaterial(material, MaterialPriority(base, line.Text(7)), line.Text(2),
                                           {line.Text(1)});
            type->SetMaterial(material);
        }
        if (!line.Text(8).empty())
            type->SetKeys(ReadKeys(line, line.Text(8)));
        particleTypes[line.Text(0)] = std::move(type);
    });
}

void CPParticlesManager::ReadSystemDefs(const std::string& file, const std::string& text) {
    ForEachLine(file, text, " ", [&](const TableLine& line) {
        ParticleSystemDef definition;
        definition.typeName = line.Text(1);
        definition.lifetime = line.Real(2);
        definition.size = line.Real(3);
        definition.growth = line.Real(4);
        definition.fade = TextToInt(line.Text(5)) != 0;
        definition.speed = line.Real(6);
        definition.coneAngle = TextToInt(line.Text(7));
        definition.direction = line.Vector(8);
        definition.acceleration = line.Vector(11);
        definition.spawnBox = line.Vector(14);
        systemDefs[line.Text(0)] = definition;
    });
}

void CPParticlesManager::ReadFlames(const std::string& file, const std::string& text) {
    ForEachLine(file, text, ";", [&](const TableLine& line) {
        auto flame = std::make_unique<CPParticleSystem>(nullptr, SplitFields(line.Text(0), ","));
        flame->SetInterval(line.Real(1));
        flame->duration = line.Real(2);
        flame->damage = line.Real(3);
        if (flame->definitions.empty())
            GetLog().Print(0, "The flame \"%s\" names no known particle system\n", line.Text(0).c_str());
        flames.push_back(std::move(flame));
    });
}
