#include "Game/ObjectDescription.h"

#include "Core/PLineReader.h"
#include "Core/StringFunctions.h"

#include <cstdlib>

namespace {

void CollectKey(ObjectDescription& description, const std::string& key, const std::string& value,
                DescriptionSection* section) {
    const std::map<std::string, std::vector<std::string>*> lists = {
        {"sprite", &description.sprites},
        {"lod", &description.lods},
        {"light", &description.lights},
        {"linekeypoint", &description.lineKeyPoints},
        {"psystem", &description.particleSystems},
    };
    const std::map<std::string, std::string*> lastValues = {
        {"linecolor", &description.lineColour},
        {"description", &description.description},
        {"shadowtextures", &description.shadowTextures},
    };
    if (auto list = lists.find(key); list != lists.end())
        list->second->push_back(value);
    else if (auto last = lastValues.find(key); last != lastValues.end())
        *last->second = value;
    else if (section)
        (*section)[key] = value;
}

} // namespace

const DescriptionSection& ObjectDescription::Section(const std::string& name) const {
    static const DescriptionSection empty;
    const auto found = sections.find(name);
    return found == sections.end() ? empty : found->second;
}

void ParseObjectDescription(const void* text, std::size_t size, ObjectDescription& description) {
    CPLineReader lines(text, size);
    std::string line;
    if (!lines.ReadLine(line))
        return;
    description.modelSpec = FieldAt(SplitFields(line, "="), 1);
    DescriptionSection* section = nullptr;
    while (lines.ReadLine(line)) {
        if (!lines.IsPlainLine()) {
            ToLowerString(line);
            section = &description.sections[line];
            continue;
        }
        ToLowerString(line);
        const std::vector<std::string> fields = SplitFields(line, "=");
        CollectKey(description, FieldAt(fields, 0), FieldAt(fields, 1), section);
    }
}
