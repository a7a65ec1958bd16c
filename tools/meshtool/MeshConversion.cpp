#include "meshtool/MeshConversion.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <functional>
#include <sstream>

namespace {

bool ReadNumbers(std::istringstream& line, float* values, int count) {
    for (int i = 0; i < count; ++i) {
        std::string word;
        if (!(line >> word))
            return false;
        const auto [end, failure] = std::from_chars(word.data(), word.data() + word.size(), values[i]);
        if (failure != std::errc() || end != word.data() + word.size())
            return false;
    }
    return true;
}

// Applies one line; false when it cannot be read.
bool ReadSpecLine(const std::string& text, ModelSpec& model) {
    std::istringstream line(text);
    std::string keyword, value;
    if (!(line >> keyword) || keyword[0] == '#')
        return true;
    ModelNodeSpec* node = model.nodes.empty() ? nullptr : &model.nodes.back();
    if (keyword == "box") {
        float numbers[6];
        if (!node || !ReadNumbers(line, numbers, 6))
            return false;
        node->boxes.push_back({{numbers[0], numbers[1], numbers[2]}, {numbers[3], numbers[4], numbers[5]}});
        return true;
    }
    if (!(line >> value))
        return false;
    if (keyword == "mesh")
        model.meshFile = value;
    else if (keyword == "description")
        model.descriptionFile = value;
    else if (keyword == "node")
        model.nodes.push_back({value, {}, {}, {}, {}});
    else if (keyword == "parent" && node)
        node->parent = value;
    else if (keyword == "effect" && node)
        node->effect = value;
    else if (keyword == "texture" && node && node->textures.size() < 4)
        node->textures.push_back(value);
    else
        return false;
    return true;
}

const ModelNodeSpec* FindSpec(const ModelSpec& model, const std::string& name) {
    for (const ModelNodeSpec& node : model.nodes) {
        if (node.name == name)
            return &node;
    }
    return nullptr;
}

// A box shape stands on its base and counts full sizes: size 2 is the
// height.
MeshShape BoxShape(const MeshPartBox& box) {
    MeshShape shape;
    shape.size1 = 2 * box.halfSize.x;
    shape.size2 = 2 * box.halfSize.z;
    shape.size3 = 2 * box.halfSize.y;
    shape.position = box.center - D3DXVECTOR3(0, 0, box.halfSize.z);
    return shape;
}

MeshFileNode NodeOf(const ObjGroup& group, const ModelNodeSpec* described, EMeshFileFormat format) {
    MeshFileNode node;
    node.name = group.name;
    node.vertices = group.vertices;
    node.indices = group.indices;
    if (described) {
        for (const MeshPartBox& box : described->boxes) {
            if (format == EMeshFileFormat::Physics)
                node.shapes.push_back(BoxShape(box));
            else
                node.partBoxes.push_back(box);
        }
    }
    return node;
}

std::string Vector(const D3DXVECTOR3& v) {
    char text[96];
    std::snprintf(text, sizeof(text), "(%g %g %g)", v.x, v.y, v.z);
    return text;
}

void DumpNode(const MeshFileNode& node, int depth, std::string& out) {
    const std::string indent(2 * static_cast<std::size_t>(depth), ' ');
    std::size_t vertices = node.vertices.size(), indices = node.indices.size();
    for (const MeshFrame& frame : node.frames) {
        vertices += frame.vertices.size();
        indices += frame.indices.size();
    }
    out += indent + "node " + node.name + ": " + std::to_string(vertices) + " vertices, " +
           std::to_string(indices) + " indices";
    if (!node.frames.empty())
        out += " in " + std::to_string(node.frames.size()) + " frames";
    out += "\n";
    for (const MeshPartBox& box : node.partBoxes)
        out +=
            indent + "  part box: centre " + Vector(box.center) + " half size " + Vector(box.halfSize) + "\n";
    for (const MeshShape& shape : node.shapes) {
        const char* kind = shape.kind == 0 ? "box" : shape.kind == 1 ? "cylinder" : "unknown";
        out += indent + "  shape " + kind + ": sizes " + Vector({shape.size1, shape.size2, shape.size3}) +
               " at " + Vector(shape.position);
        if (shape.kind == 1)
            out += " diameter " + std::to_string(shape.diameter);
        out += "\n";
    }
    for (const MeshFileNode& child : node.children)
        DumpNode(child, depth + 1, out);
}

} // namespace

bool ReadModelSpec(const std::string& text, ModelSpec& model, std::string& error) {
    model = ModelSpec();
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!ReadSpecLine(line, model)) {
            error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
    }
    if (model.meshFile.empty()) {
        error = "no mesh line";
        return false;
    }
    return true;
}

bool BuildMeshFile(const std::vector<ObjGroup>& groups, const ModelSpec& model, MeshFile& file,
                   std::string& error) {
    file = MeshFile();
    file.format = MeshFileFormatFor(model.meshFile);
    const auto groupNamed = [&](const std::string& name) {
        return std::find_if(groups.begin(), groups.end(), [&](const ObjGroup& g) { return g.name == name; });
    };
    for (const ModelNodeSpec& node : model.nodes) {
        for (const std::string& name : {node.name, node.parent}) {
            if (!name.empty() && groupNamed(name) == groups.end()) {
                error = "no group " + name + " in the OBJ file";
                return false;
            }
        }
    }
    // Each group's node with the nodes of the groups that name it as parent.
    std::size_t built = 0;
    std::function<void(const ObjGroup&, MeshFileNode&)> build = [&](const ObjGroup& group,
                                                                    MeshFileNode& out) {
        ++built;
        out = NodeOf(group, FindSpec(model, group.name), file.format);
        for (const ObjGroup& other : groups) {
            const ModelNodeSpec* otherSpec = FindSpec(model, other.name);
            if (otherSpec && otherSpec->parent == group.name) {
                out.children.emplace_back();
                build(other, out.children.back());
            }
        }
    };
    for (const ObjGroup& group : groups) {
        const ModelNodeSpec* nodeSpec = FindSpec(model, group.name);
        if (!nodeSpec || nodeSpec->parent.empty()) {
            file.roots.emplace_back();
            build(group, file.roots.back());
        }
    }
    // Groups whose parents lead round in a circle are reached from no root.
    if (built != groups.size()) {
        error = "the parents of some nodes form a cycle";
        return false;
    }
    return true;
}

std::string BuildObjectDescription(const ModelSpec& model) {
    std::string text = "model=" + model.meshFile + "\n";
    for (const ModelNodeSpec& node : model.nodes) {
        if (node.effect.empty() && node.textures.empty())
            continue;
        text += "\n[" + node.name + "]\n";
        if (!node.effect.empty())
            text += "effectfile=" + node.effect + "\n";
        for (std::size_t k = 0; k < node.textures.size(); ++k)
            text += "texturefile" + std::to_string(k + 1) + "=" + node.textures[k] + "\n";
    }
    return text;
}

std::string DumpMeshFile(const MeshFile& file) {
    std::string out;
    for (const MeshFileNode& root : file.roots)
        DumpNode(root, 0, out);
    if (file.hasTrailingBlock)
        out += "trailing block: " + std::to_string(file.trailing.size()) + " entries\n";
    return out;
}
