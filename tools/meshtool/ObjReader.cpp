#include "meshtool/ObjReader.h"

#include <array>
#include <charconv>
#include <map>
#include <sstream>
#include <tuple>
#include <utility>

namespace {

using Corner = std::tuple<int, int, int>;

struct ObjReaderState {
    ObjReaderState(std::vector<ObjGroup>& groups, std::string name)
        : groups(groups), pendingName(std::move(name)) {}

    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<float, 2>> texcoords;
    std::vector<std::array<float, 3>> normals;
    std::vector<ObjGroup>& groups;
    std::map<Corner, uint16_t> corners;
    std::string pendingName;
    bool groupOpen = false;
};

bool ParseFloat(const std::string& text, float& value) {
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    return failure == std::errc() && end == text.data() + text.size();
}

template <std::size_t N>
bool ReadFloats(std::istringstream& line, std::size_t needed, std::array<float, N>& values) {
    values.fill(0);
    std::string word;
    for (std::size_t i = 0; i < N && line >> word; ++i) {
        if (!ParseFloat(word, values[i]))
            return false;
        needed = needed > 0 ? needed - 1 : 0;
    }
    return needed == 0;
}

// An index from 1, or negative from the end; -1 when absent (empty text).
bool ResolveIndex(const std::string& text, std::size_t count, bool required, int& index) {
    index = -1;
    if (text.empty())
        return !required;
    int value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc() || end != text.data() + text.size() || value == 0)
        return false;
    const long long resolved = value > 0 ? value - 1LL : static_cast<long long>(count) + value;
    if (resolved < 0 || resolved >= static_cast<long long>(count))
        return false;
    index = static_cast<int>(resolved);
    return true;
}

bool ParseCorner(const std::string& word, const ObjReaderState& state, Corner& corner) {
    std::string fields[3];
    std::size_t field = 0;
    for (const char c : word) {
        if (c == '/') {
            if (++field > 2)
                return false;
        } else {
            fields[field] += c;
        }
    }
    int p, t, n;
    if (!ResolveIndex(fields[0], state.positions.size(), true, p) ||
        !ResolveIndex(fields[1], state.texcoords.size(), false, t) ||
        !ResolveIndex(fields[2], state.normals.size(), false, n))
        return false;
    corner = {p, t, n};
    return true;
}

bool AddCorner(ObjReaderState& state, const Corner& corner, uint16_t& index) {
    if (!state.groupOpen) {
        state.groups.push_back({state.pendingName, {}, {}});
        state.corners.clear();
        state.groupOpen = true;
    }
    ObjGroup& group = state.groups.back();
    if (const auto found = state.corners.find(corner); found != state.corners.end()) {
        index = found->second;
        return true;
    }
    if (group.vertices.size() >= 0xffff)
        return false;
    const auto [p, t, n] = corner;
    MeshVertex vertex{};
    vertex.x = state.positions[p][0];
    vertex.y = state.positions[p][1];
    vertex.z = state.positions[p][2];
    if (n >= 0) {
        vertex.nx = state.normals[n][0];
        vertex.ny = state.normals[n][1];
        vertex.nz = state.normals[n][2];
    }
    if (t >= 0) {
        vertex.u0 = vertex.u1 = state.texcoords[t][0];
        vertex.v0 = vertex.v1 = 1 - state.texcoords[t][1];
    }
    vertex.diffuse = 0xffffffff;
    vertex.specular = 0xff000000;
    index = static_cast<uint16_t>(group.vertices.size());
    state.corners[corner] = index;
    group.vertices.push_back(vertex);
    return true;
}

bool ReadFace(std::istringstream& line, ObjReaderState& state) {
    std::vector<uint16_t> face;
    std::string word;
    while (line >> word) {
        Corner corner;
        uint16_t index = 0;
        if (!ParseCorner(word, state, corner) || !AddCorner(state, corner, index))
            return false;
        face.push_back(index);
    }
    if (face.size() < 3)
        return false;
    std::vector<uint16_t>& indices = state.groups.back().indices;
    for (std::size_t k = 1; k + 1 < face.size(); ++k)
        indices.insert(indices.end(), {face[0], face[k], face[k + 1]});
    return true;
}

bool ReadLine(const std::string& text, ObjReaderState& state) {
    std::istringstream line(text);
    std::string keyword;
    if (!(line >> keyword) || keyword[0] == '#')
        return true;
    if (keyword == "v") {
        state.positions.emplace_back();
        return ReadFloats(line, 3, state.positions.back());
    }
    if (keyword == "vt") {
        state.texcoords.emplace_back();
        return ReadFloats(line, 1, state.texcoords.back());
    }
    if (keyword == "vn") {
        state.normals.emplace_back();
        return ReadFloats(line, 3, state.normals.back());
    }
    if (keyword == "o" || keyword == "g") {
        std::string name;
        std::getline(line >> std::ws, name);
        if (name.empty())
            return false;
        state.pendingName = name;
        state.groupOpen = false;
        return true;
    }
    if (keyword == "f")
        return ReadFace(line, state);
    return true;
}

} // namespace

bool ReadObj(const std::string& text, const std::string& defaultName, std::vector<ObjGroup>& groups,
             std::string& error) {
    groups.clear();
    ObjReaderState state(groups, defaultName);
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!ReadLine(line, state)) {
            error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
    }
    return true;
}
