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

ModelNodeSpec NamedNode(const std::string& name) {
    ModelNodeSpec node;
    node.name = name;
    return node;
}

// A position (x y z), a rotation quaternion (x y z w) or a body record
// (sizes x y z, mass).
bool ReadPlacement(const std::string& keyword, std::istringstream& line, ModelNodeSpec& node) {
    float numbers[4];
    const int count = keyword == "position" ? 3 : 4;
    if (!ReadNumbers(line, numbers, count))
        return false;
    if (keyword == "position") {
        node.position = {numbers[0], numbers[1], numbers[2]};
    } else if (keyword == "rotation") {
        D3DXQUATERNION q(numbers[0], numbers[1], numbers[2], numbers[3]);
        if (!(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w > 0.0f))
            return false;
        D3DXQuaternionNormalize(&node.rotation, &q);
    } else {
        node.bodySize = {numbers[0], numbers[1], numbers[2]};
        node.bodyMass = numbers[3];
    }
    node.placed = true;
    return true;
}

// Applies one line; false when it cannot be read.
bool ReadSpecLine(const std::string& text, ModelSpec& model) {
    std::istringstream line(text);
    std::string keyword, value;
    if (!(line >> keyword) || keyword[0] == '#')
        return true;
    ModelNodeSpec* node = model.nodes.empty() ? nullptr : &model.nodes.back();
    if (keyword == "position" || keyword == "rotation" || keyword == "body")
        return node && ReadPlacement(keyword, line, *node);
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
        model.nodes.push_back(NamedNode(value));
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

// The node's frame in model space: its rotation and position within its
// parent's frame.
D3DXMATRIX ModelFrame(const ModelNodeSpec* described, const D3DXMATRIX& parentFrame) {
    D3DXMATRIX local;
    D3DXMatrixIdentity(&local);
    if (described) {
        D3DXMatrixRotationQuaternion(&local, &described->rotation);
        local._41 = described->position.x;
        local._42 = described->position.y;
        local._43 = described->position.z;
    }
    D3DXMATRIX frame;
    return *D3DXMatrixMultiply(&frame, &local, &parentFrame);
}

// Moves the model-space vertices and box centres into the node's frame and
// writes its place and body record.
void PlaceNode(MeshFileNode& node, const ModelNodeSpec* described, const D3DXMATRIX& toNode) {
    for (MeshVertex& v : node.vertices) {
        D3DXVECTOR3 p(v.x, v.y, v.z), n(v.nx, v.ny, v.nz);
        D3DXVec3TransformCoord(&p, &p, &toNode);
        D3DXVec3TransformNormal(&n, &n, &toNode);
        v.x = p.x, v.y = p.y, v.z = p.z;
        v.nx = n.x, v.ny = n.y, v.nz = n.z;
    }
    if (!described)
        return;
    node.position = described->position;
    // The reader takes the stored rotation conjugated.
    D3DXQuaternionConjugate(&node.rotation, &described->rotation);
    node.body.size1 = described->bodySize.x;
    node.body.size2 = described->bodySize.z;
    node.body.size3 = described->bodySize.y;
    node.body.mass = described->bodyMass;
}

MeshFileNode NodeOf(const ObjGroup& group, const ModelNodeSpec* described, EMeshFileFormat format,
                    const D3DXMATRIX& frame) {
    MeshFileNode node;
    node.name = group.name;
    node.vertices = group.vertices;
    node.indices = group.indices;
    D3DXMATRIX toNode;
    D3DXMatrixInverse(&toNode, nullptr, &frame);
    if (described) {
        for (MeshPartBox box : described->boxes) {
            if (format == EMeshFileFormat::Physics) {
                D3DXVec3TransformCoord(&box.center, &box.center, &toNode);
                node.shapes.push_back(BoxShape(box));
            } else {
                node.partBoxes.push_back(box);
            }
        }
    }
    if (format == EMeshFileFormat::Physics)
        PlaceNode(node, described, toNode);
    return node;
}

std::string Vector(const D3DXVECTOR3& v) {
    char text[96];
    std::snprintf(text, sizeof(text), "(%g %g %g)", v.x, v.y, v.z);
    return text;
}

std::string Quaternion(const D3DXQUATERNION& q) {
    char text[128];
    // Adding 0 prints a negative zero as 0.
    std::snprintf(text, sizeof(text), "(%g %g %g %g)", q.x + 0.0f, q.y + 0.0f, q.z + 0.0f, q.w + 0.0f);
    return text;
}

std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g", value);
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
    if (node.position != D3DXVECTOR3() || node.rotation != D3DXQUATERNION(0, 0, 0, 1))
        out += indent + "  at " + Vector(node.position) + " turned " + Quaternion(node.rotation) + "\n";
    if (node.body.mass != 0.0f)
        out += indent + "  body: sizes " + Vector({node.body.size1, node.body.size2, node.body.size3}) +
               " mass " + Number(node.body.mass) + "\n";
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
        if (node.placed && file.format != EMeshFileFormat::Physics) {
            error = "node " + node.name + ": a position, rotation or body needs a .p3d mesh";
            return false;
        }
        for (const std::string& name : {node.name, node.parent}) {
            if (!name.empty() && groupNamed(name) == groups.end()) {
                error = "no group " + name + " in the OBJ file";
                return false;
            }
        }
    }
    // Each group's node with the nodes of the groups that name it as parent.
    std::size_t built = 0;
    std::function<void(const ObjGroup&, const D3DXMATRIX&, MeshFileNode&)> build =
        [&](const ObjGroup& group, const D3DXMATRIX& parentFrame, MeshFileNode& out) {
            ++built;
            const ModelNodeSpec* described = FindSpec(model, group.name);
            const D3DXMATRIX frame = ModelFrame(described, parentFrame);
            out = NodeOf(group, described, file.format, frame);
            for (const ObjGroup& other : groups) {
                const ModelNodeSpec* otherSpec = FindSpec(model, other.name);
                if (otherSpec && otherSpec->parent == group.name) {
                    out.children.emplace_back();
                    build(other, frame, out.children.back());
                }
            }
        };
    D3DXMATRIX modelSpace;
    D3DXMatrixIdentity(&modelSpace);
    for (const ObjGroup& group : groups) {
        const ModelNodeSpec* nodeSpec = FindSpec(model, group.name);
        if (!nodeSpec || nodeSpec->parent.empty()) {
            file.roots.emplace_back();
            build(group, modelSpace, file.roots.back());
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
