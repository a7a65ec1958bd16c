#include "Platform/Graphics/EffectParser.h"

#include <charconv>

namespace {

struct TypeName {
    std::string_view name;
    PlatEffectType type;
    int values; // numbers a default may give
};

constexpr TypeName kTypes[] = {
    {"float", PlatEffectType::Float, 1},         {"float4", PlatEffectType::Float4, 4},
    {"float4x4", PlatEffectType::Float4x4, 16},  {"int", PlatEffectType::Int, 1},
    {"bool", PlatEffectType::Bool, 1},           {"texture", PlatEffectType::Texture, 0},
    {"texture2d", PlatEffectType::Texture2D, 0}, {"texturecube", PlatEffectType::TextureCube, 0},
};

std::string_view StripComment(std::string_view line) {
    const size_t hash = line.find('#');
    const size_t slashes = line.find("//");
    return line.substr(0, std::min(hash, slashes));
}

// Words separated by blanks; a double-quoted text is one word, quotes kept.
std::vector<std::string_view> Split(std::string_view line) {
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < line.size()) {
        if (line[at] == ' ' || line[at] == '\t' || line[at] == '\r') {
            ++at;
            continue;
        }
        size_t end = at + 1;
        if (line[at] == '"') {
            end = line.find('"', at + 1);
            end = end == std::string_view::npos ? line.size() : end + 1;
        } else {
            while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r')
                ++end;
        }
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

bool ParseIndex(std::string_view text, DWORD limit, DWORD* index) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *index);
    return error == std::errc() && end == text.data() + text.size() && *index < limit;
}

bool IsIdentifier(std::string_view name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9'))
        return false;
    for (char c : name)
        if (!(c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

} // namespace

bool PlatEffectParser::Parse(std::string_view text, PlatEffectFile* file, std::string* error) {
    PlatEffectFile parsed;
    PlatEffectParser parser(parsed);
    size_t at = 0;
    bool ok = true;
    while (ok && at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        ++parser.lineNumber;
        ok = parser.ParseLine(text.substr(at, end - at));
        at = end + 1;
    }
    if (ok && parser.shader)
        ok = parser.Fail("shader '" + parser.shader->name + "' has no \"end\"");
    if (ok && parser.technique)
        ok = parser.Fail("technique '" + parser.technique->name + "' from line " +
                         std::to_string(parser.techniqueLine) + " has no \"end\"");
    if (ok)
        ok = parser.CheckReferences();
    if (!ok) {
        if (error)
            *error = parser.error;
        return false;
    }
    *file = std::move(parsed);
    return true;
}

bool PlatEffectParser::Fail(const std::string& message) {
    error = "line " + std::to_string(lineNumber) + ": " + message;
    return false;
}

bool PlatEffectParser::ParseLine(std::string_view line) {
    if (shader) {
        const std::vector<std::string_view> words = Split(StripComment(line));
        if (words.size() == 1 && words[0] == "end")
            shader = nullptr;
        else
            shader->source.append(line).append("\n");
        return true;
    }
    const std::vector<std::string_view> words = Split(StripComment(line));
    if (words.empty())
        return true;
    if (technique)
        return ParsePassLine(words);
    if (words[0] == "parameter")
        return ParseParameter(words);
    if (words[0] == "shader")
        return ParseShaderHeader(words);
    if (words[0] == "technique") {
        if (words.size() != 2 || !IsIdentifier(words[1]))
            return Fail("expected \"technique <name>\"");
        file.techniques.push_back({std::string(words[1]), {}});
        technique = &file.techniques.back();
        techniqueLine = lineNumber;
        return true;
    }
    return Fail("unexpected '" + std::string(words[0]) + "'");
}

bool PlatEffectParser::ParseParameter(const std::vector<std::string_view>& words) {
    size_t at = 1;
    PlatEffectParameterDecl parameter;
    if (at < words.size() && words[at] == "shared") {
        parameter.shared = true;
        ++at;
    }
    if (at + 1 >= words.size())
        return Fail("expected \"parameter [shared] <type> <name>\"");
    const TypeName* type = nullptr;
    for (const TypeName& candidate : kTypes)
        if (candidate.name == words[at])
            type = &candidate;
    if (!type)
        return Fail("unknown parameter type '" + std::string(words[at]) + "'");
    parameter.type = type->type;
    parameter.name = words[at + 1];
    if (!IsIdentifier(parameter.name))
        return Fail("bad parameter name '" + parameter.name + "'");
    if (file.FindParameter(parameter.name))
        return Fail("parameter '" + parameter.name + "' declared twice");
    at += 2;
    if (parameter.type == PlatEffectType::Float4x4)
        parameter.defaults = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    if (at < words.size() && words[at] == "=") {
        int count = 0;
        for (++at; at < words.size() && words[at][0] != '"'; ++at, ++count) {
            const std::string_view number = words[at];
            float value = 0;
            const auto [end, failure] = std::from_chars(number.data(), number.data() + number.size(), value);
            if (failure != std::errc() || end != number.data() + number.size())
                return Fail("bad number '" + std::string(number) + "'");
            if (count >= type->values)
                return Fail("too many values for '" + parameter.name + "'");
            parameter.defaults[count] = value;
        }
    }
    if (at < words.size()) {
        const std::string_view text = words[at];
        if (text.size() < 2 || text.back() != '"' || at + 1 != words.size())
            return Fail("unexpected '" + std::string(text) + "'");
        parameter.description = text.substr(1, text.size() - 2);
    }
    file.parameters.push_back(std::move(parameter));
    return true;
}

bool PlatEffectParser::ParseShaderHeader(const std::vector<std::string_view>& words) {
    if (words.size() != 3 || (words[1] != "vertex" && words[1] != "fragment") || !IsIdentifier(words[2]))
        return Fail("expected \"shader vertex|fragment <name>\"");
    if (file.FindShader(std::string(words[2])))
        return Fail("shader '" + std::string(words[2]) + "' declared twice");
    file.shaders.push_back({std::string(words[2]), words[1] == "vertex", {}});
    shader = &file.shaders.back();
    return true;
}

bool PlatEffectParser::ParsePassLine(const std::vector<std::string_view>& words) {
    const std::string_view keyword = words[0];
    if (keyword == "end" && words.size() == 1) {
        if (technique->passes.empty())
            return Fail("technique '" + technique->name + "' has no pass");
        technique = nullptr;
        return true;
    }
    if (keyword == "pass") {
        if (words.size() != 2 || !IsIdentifier(words[1]))
            return Fail("expected \"pass <name>\"");
        technique->passes.push_back({std::string(words[1]), lineNumber, {}, {}, {}, {}});
        return true;
    }
    if (technique->passes.empty())
        return Fail("expected \"pass <name>\" before '" + std::string(keyword) + "'");
    PlatEffectPassDecl& pass = technique->passes.back();
    if ((keyword == "vertex" || keyword == "fragment") && words.size() == 2) {
        (keyword == "vertex" ? pass.vertexShader : pass.fragmentShader) = words[1];
        return true;
    }
    if (keyword == "render")
        return ParseState(PlatStateGroup::Render, words, 1);
    if (keyword == "stage")
        return ParseState(PlatStateGroup::Stage, words, 2);
    if (keyword == "sampler")
        return ParseState(PlatStateGroup::Sampler, words, 2);
    if (keyword == "texture") {
        PlatEffectTextureDecl binding;
        if (words.size() != 3 || !ParseIndex(words[1], kPlatSamplers, &binding.sampler))
            return Fail("expected \"texture <sampler 0-7> <parameter>\"");
        binding.parameter = words[2];
        pass.textures.push_back(std::move(binding));
        return true;
    }
    return Fail("unknown pass setting '" + std::string(keyword) + "'");
}

bool PlatEffectParser::ParseState(PlatStateGroup group, const std::vector<std::string_view>& words,
                                  size_t first) {
    PlatEffectStateDecl state;
    state.group = group;
    const DWORD limit = group == PlatStateGroup::Stage ? kPlatTextureStages : kPlatSamplers;
    if (words.size() != first + 2 || (first == 2 && !ParseIndex(words[1], limit, &state.index)))
        return Fail("expected \"" + std::string(words[0]) + (first == 2 ? " <index>" : "") +
                    " <STATE> <value>\"");
    const std::string name(words[first]);
    if (!PlatFindStateName(group, name, &state.state))
        return Fail("unknown " + std::string(words[0]) + " state '" + name + "'");
    if (!PlatParseStateValue(group, state.state, words[first + 1], &state.value))
        return Fail("bad value '" + std::string(words[first + 1]) + "' for " + name);
    technique->passes.back().states.push_back(state);
    return true;
}

// Shader and texture names may be used before they are declared; they are
// checked once the whole file is read.
bool PlatEffectParser::CheckReferences() {
    for (const PlatEffectTechniqueDecl& each : file.techniques)
        for (const PlatEffectPassDecl& pass : each.passes) {
            lineNumber = pass.line;
            const std::string where = "pass '" + each.name + "." + pass.name + "': ";
            const PlatEffectShaderDecl* vertex = file.FindShader(pass.vertexShader);
            const PlatEffectShaderDecl* fragment = file.FindShader(pass.fragmentShader);
            if (pass.vertexShader.empty() != pass.fragmentShader.empty())
                return Fail(where + "needs both a vertex and a fragment shader, or neither");
            if (!pass.vertexShader.empty() && (!vertex || !vertex->vertex))
                return Fail(where + "no vertex shader '" + pass.vertexShader + "'");
            if (!pass.fragmentShader.empty() && (!fragment || fragment->vertex))
                return Fail(where + "no fragment shader '" + pass.fragmentShader + "'");
            for (const PlatEffectTextureDecl& binding : pass.textures) {
                const PlatEffectParameterDecl* parameter = file.FindParameter(binding.parameter);
                if (!parameter || parameter->type < PlatEffectType::Texture)
                    return Fail(where + "no texture parameter '" + binding.parameter + "'");
            }
        }
    return true;
}
