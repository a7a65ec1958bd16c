#pragma once

#include "Core/PTokenizer.h"
#include "Core/StringFunctions.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

// The properties of one node: lower-cased key to lower-cased value.
using DescriptionSection = std::map<std::string, std::string>;

// An object description (.rdf) as read: the model line's value (its
// case kept), the node sections by lower-cased name, and the global keys,
// which count wherever they stand.
struct ObjectDescription {
    std::string modelSpec;
    std::map<std::string, DescriptionSection> sections;
    std::vector<std::string> sprites;
    std::vector<std::string> lods;
    std::vector<std::string> lights;
    std::vector<std::string> lineKeyPoints;
    std::vector<std::string> particleSystems;
    std::string lineColour;
    std::string description;
    std::string shadowTextures;

    // The section of that name, or an empty one.
    const DescriptionSection& Section(const std::string& name) const;
};

// Reads the text of a description. The first logical line is the model
// line ("name=value"); "[name]" lines open sections (a repeated name
// continues the same one); every other "key=value" line is a global key or
// belongs to the current section, and is dropped before the first section.
void ParseObjectDescription(const void* text, std::size_t size, ObjectDescription& description);
