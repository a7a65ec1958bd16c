#include "meshtool/MeshWriter.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

class ByteSink {
public:
    explicit ByteSink(std::vector<uint8_t>& out) : out(out) {}

    void Bytes(const void* data, std::size_t count) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        out.insert(out.end(), bytes, bytes + count);
    }
    void Int(int32_t value) { Bytes(&value, sizeof(value)); }
    void Float(float value) { Bytes(&value, sizeof(value)); }
    void Count(std::size_t count) { Int(static_cast<int32_t>(count)); }
    void Name(const std::string& name) {
        char field[kMeshNameSize] = {};
        std::memcpy(field, name.data(), std::min(name.size(), sizeof(field) - 1));
        Bytes(field, sizeof(field));
    }
    void Shape(const MeshShape& shape) {
        Int(shape.kind);
        Float(shape.size1);
        Float(shape.size2);
        Float(shape.size3);
        Bytes(&shape.position, sizeof(shape.position));
        Bytes(&shape.rotation, sizeof(shape.rotation));
        Float(shape.diameter);
        Float(shape.mass);
    }
    void Geometry(const std::vector<MeshVertex>& vertices, const std::vector<uint16_t>& indices) {
        Count(vertices.size());
        Bytes(vertices.data(), vertices.size() * sizeof(MeshVertex));
        Count(indices.size());
        Bytes(indices.data(), indices.size() * sizeof(uint16_t));
    }

private:
    std::vector<uint8_t>& out;
};

void WriteNode(ByteSink& out, EMeshFileFormat format, const MeshFileNode& node) {
    if (format != EMeshFileFormat::Animation)
        out.Int(0);
    out.Name(node.name);
    if (format != EMeshFileFormat::Static) {
        out.Bytes(&node.position, sizeof(node.position));
        out.Bytes(&node.rotation, sizeof(node.rotation));
        out.Shape(node.body);
    }
    if (format == EMeshFileFormat::Animation) {
        out.Shape(node.bounds);
        out.Count(node.frames.size());
        out.Float(node.frameTime);
        for (const MeshFrame& frame : node.frames)
            out.Geometry(frame.vertices, frame.indices);
    } else {
        out.Geometry(node.vertices, node.indices);
    }
    if (format == EMeshFileFormat::Static) {
        out.Count(node.partBoxes.size());
        for (const MeshPartBox& box : node.partBoxes) {
            float record[kMeshPartBoxSize / 4] = {};
            std::memcpy(record, &box.center, sizeof(box.center));
            std::memcpy(record + 4, &box.halfSize, sizeof(box.halfSize));
            out.Bytes(record, sizeof(record));
        }
    } else {
        out.Count(node.shapes.size());
        for (const MeshShape& shape : node.shapes)
            out.Shape(shape);
    }
    out.Count(node.children.size());
    for (const MeshFileNode& child : node.children)
        WriteNode(out, format, child);
}

} // namespace

std::vector<uint8_t> WriteMeshFile(const MeshFile& file) {
    std::vector<uint8_t> bytes;
    ByteSink out(bytes);
    out.Int(file.header);
    if (file.format == EMeshFileFormat::Animation)
        out.Int(file.header2);
    else
        out.Count(file.roots.size());
    for (const MeshFileNode& root : file.roots)
        WriteNode(out, file.format, root);
    if (file.hasTrailingBlock) {
        out.Count(file.trailing.size());
        for (const MeshTrailingEntry& entry : file.trailing) {
            out.Count(entry.name.size());
            out.Bytes(entry.name.data(), entry.name.size());
            out.Bytes(entry.matrix, sizeof(entry.matrix));
        }
    }
    return bytes;
}

void MakeQuad(std::vector<MeshVertex>& vertices, std::vector<uint16_t>& indices) {
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    vertices.clear();
    for (const auto& corner : corners) {
        MeshVertex vertex{};
        vertex.x = corner[0];
        vertex.y = corner[1];
        vertex.nz = 1;
        vertex.diffuse = 0xffffffff;
        vertex.u0 = corner[0];
        vertex.v0 = 1 - corner[1];
        vertices.push_back(vertex);
    }
    indices = {0, 2, 1, 0, 3, 2};
}

MeshFileNode MakeQuadNode(const std::string& name) {
    MeshFileNode node;
    node.name = name;
    MakeQuad(node.vertices, node.indices);
    return node;
}
