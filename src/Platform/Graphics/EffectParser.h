#pragma once

#include "Platform/Graphics/EffectFile.h"

#include <string_view>

// Reads an effect file (format in EffectFile.h). On failure *error names
// the line: "line 12: unknown render state 'FOGSTRAT'".
class PlatEffectParser {
public:
    static bool Parse(std::string_view text, PlatEffectFile* file, std::string* error);

private:
    explicit PlatEffectParser(PlatEffectFile& target) : file(target) {}

    bool ParseLine(std::string_view line);
    bool ParseParameter(const std::vector<std::string_view>& words);
    bool ParseShaderHeader(const std::vector<std::string_view>& words);
    bool ParsePassLine(const std::vector<std::string_view>& words);
    bool ParseState(PlatStateGroup group, const std::vector<std::string_view>& words, size_t first);
    bool CheckReferences();
    bool Fail(const std::string& message);

    PlatEffectFile& file;
    std::string error;
    int lineNumber = 0;
    PlatEffectShaderDecl* shader = nullptr; // inside "shader" up to "end"
    PlatEffectTechniqueDecl* technique = nullptr;
    int techniqueLine = 0;
};
