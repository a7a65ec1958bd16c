#include "Render/MeshFile.h"

#include "Core/StringFunctions.h"

#include <algorithm>
#include <cstring>

namespace {

// A bounds-checked little-endian cursor: a read that does not fit fails the
// whole file with a message naming what was being read.
class MeshCursor {
public:
    MeshCursor(const uint8_t* data, std::size_t size) : data(data), size(size) {}

    bool Failed() const { return !error.empty(); }
    std::size_t Remaining() const { return size - offset; }
    const std::string& Error() const { return error; }

    void Fail(const std::string& what) {
        if (error.empty())
            error = what + " at byte " + std::to_string(offset);
    }

    bool Bytes(void* destination, std::size_t count, const char* what) {
        if (Failed() || count > Remaining()) {
            Fail(std::string("truncated ") + what);
            return false;
        }
        // An empty vector's data() may be null.
        if (count == 0)
            return true;
        std::memcpy(destination, data + offset, count);
        offset += count;
        return true;
    }
    int32_t Int(const char* what) {
        int32_t value = 0;
        Bytes(&value, sizeof(value), what);
        return value;
    }
    float Float(const char* what) {
        float value = 0;
        Bytes(&value, sizeof(value), what);
        return value;
    }
    D3DXVECTOR3 Vector(const char* what) {
        D3DXVECTOR3 v;
        Bytes(&v, sizeof(v), what);
        return v;
    }
    D3DXQUATERNION Quaternion(const char* what) {
        D3DXQUATERNION q;
        Bytes(&q, sizeof(q), what);
        return q;
    }
    // A count of records of `recordSize` bytes that must all fit.
    int32_t Count(std::size_t recordSize, const char* what) {
        const int32_t count = Int(what);
        if (count < 0 || static_cast<std::size_t>(count) > Remaining() / recordSize) {
            Fail(std::string("bad ") + what + " " + std::to_string(count));
            return 0;
        }
        return count;
    }
    std::string Name() {
        char field[kMeshNameSize] = {};
        Bytes(field, sizeof(field), "name");
        return std::string(field, strnlen(field, sizeof(field)));
    }
    void Skip(std::size_t count, const char* what) {
        if (count > Remaining())
            Fail(std::string("truncated ") + what);
        else
            offset += count;
    }

private:
    const uint8_t* data;
    std::size_t size;
    std::size_t offset = 0;
    std::string error;
};

MeshShape ReadShape(MeshCursor& in) {
    MeshShape shape;
    shape.kind = in.Int("shape kind");
    shape.size1 = in.Float("shape");
    shape.size2 = in.Float("shape");
    shape.size3 = in.Float("shape");
    shape.position = in.Vector("shape");
    shape.rotation = in.Quaternion("shape");
    shape.diameter = in.Float("shape");
    shape.mass = in.Float("shape");
    return shape;
}

// Keeps the whole triangles whose three indices name existing vertices.
void KeepValidTriangles(std::vector<uint16_t>& indices, std::size_t vertexCount) {
    std::vector<uint16_t> kept;
    kept.reserve(indices.size());
    for (std::size_t k = 0; k + 3 <= indices.size(); k += 3) {
        if (indices[k] < vertexCount && indices[k + 1] < vertexCount && indices[k + 2] < vertexCount)
            kept.insert(kept.end(), indices.begin() + k, indices.begin() + k + 3);
    }
    indices.swap(kept);
}

void ReadGeometry(MeshCursor& in, std::vector<MeshVertex>& vertices, std::vector<uint16_t>& indices) {
    vertices.resize(in.Count(sizeof(MeshVertex), "vertex count"));
    in.Bytes(vertices.data(), vertices.size() * sizeof(MeshVertex), "vertices");
    indices.resize(in.Count(sizeof(uint16_t), "index count"));
    in.Bytes(indices.data(), indices.size() * sizeof(uint16_t), "indices");
    KeepValidTriangles(indices, vertices.size());
}

void ReadShapes(MeshCursor& in, std::vector<MeshShape>& shapes) {
    shapes.resize(in.Count(kMeshShapeSize, "shape count"));
    for (MeshShape& shape : shapes)
        shape = ReadShape(in);
}

void ReadFrames(MeshCursor& in, MeshFileNode& node) {
    // A frame needs at least its two counts.
    node.frames.resize(in.Count(8, "frame count"));
    node.frameTime = in.Float("frame time");
    for (MeshFrame& frame : node.frames)
        ReadGeometry(in, frame.vertices, frame.indices);
}

bool ReadNode(MeshCursor& in, EMeshFileFormat format, int depth, MeshFileNode& node) {
    if (depth > kMaxMeshDepth) {
        in.Fail("tree deeper than " + std::to_string(kMaxMeshDepth));
        return false;
    }
    if (format != EMeshFileFormat::Animation)
        in.Int("node header");
    node.name = in.Name();
    if (format != EMeshFileFormat::Static) {
        node.position = in.Vector("position");
        node.rotation = in.Quaternion("rotation");
        node.body = ReadShape(in);
    }
    if (format == EMeshFileFormat::Animation) {
        node.bounds = ReadShape(in);
        ReadFrames(in, node);
    } else {
        ReadGeometry(in, node.vertices, node.indices);
    }
    if (format == EMeshFileFormat::Static) {
        node.partBoxes.resize(in.Count(kMeshPartBoxSize, "box count"));
        for (MeshPartBox& box : node.partBoxes) {
            float record[kMeshPartBoxSize / 4] = {};
            in.Bytes(record, sizeof(record), "part box");
            box.center = D3DXVECTOR3(record[0], record[1], record[2]);
            box.halfSize = D3DXVECTOR3(record[4], record[5], record[6]);
        }
    } else {
        ReadShapes(in, node.shapes);
    }
    // Each child is at least its own child count; the rest is checked as read.
    node.children.resize(in.Count(4, "child count"));
    for (MeshFileNode& child : node.children) {
        if (!ReadNode(in, format, depth + 1, child))
            return false;
    }
    return !in.Failed();
}

void ReadTrailingBlock(MeshCursor& in, MeshFile& file) {
    file.hasTrailingBlock = true;
    // An entry is at least its string count and 12 floats.
    file.trailing.resize(in.Count(4 + 12 * 4, "trailing count"));
    for (MeshTrailingEntry& entry : file.trailing) {
        std::string text(in.Count(1, "trailing name length"), '\0');
        in.Bytes(text.data(), text.size(), "trailing name");
        entry.name = text.substr(0, text.find('\0'));
        in.Bytes(entry.matrix, sizeof(entry.matrix), "trailing matrix");
    }
    if (!in.Failed() && in.Remaining() > 0)
        in.Fail("bytes after the trailing block");
}

} // namespace

EMeshFileFormat MeshFileFormatFor(const std::string& fileName) {
    std::string ending = fileName.size() >= 3 ? fileName.substr(fileName.size() - 3) : fileName;
    ToLowerString(ending);
    return ending == "p3d" ? EMeshFileFormat::Physics : EMeshFileFormat::Static;
}

bool ReadMeshFile(const uint8_t* data, std::size_t size, EMeshFileFormat format, MeshFile& file,
                  std::string& error) {
    file = MeshFile();
    file.format = format;
    MeshCursor in(data, size);
    file.header = in.Int("header");
    if (format == EMeshFileFormat::Animation) {
        file.header2 = in.Int("header");
        file.roots.resize(1);
    } else {
        // A root count of 0 or less means no nodes.
        const int32_t count = in.Int("root count");
        if (count > 0 && static_cast<std::size_t>(count) > in.Remaining() / 4)
            in.Fail("bad root count " + std::to_string(count));
        else
            file.roots.resize(std::max(count, 0));
    }
    for (MeshFileNode& root : file.roots) {
        if (!ReadNode(in, format, 0, root))
            break;
    }
    if (format != EMeshFileFormat::Animation && !in.Failed() && in.Remaining() > 0)
        ReadTrailingBlock(in, file);
    error = in.Error();
    return !in.Failed();
}
