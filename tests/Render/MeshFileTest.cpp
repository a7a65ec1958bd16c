#include "Render/MeshFile.h"
#include "meshtool/MeshWriter.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

MeshFile StaticQuadFile() {
    MeshFile file;
    file.format = EMeshFileFormat::Static;
    file.roots.push_back(MakeQuadNode("Quad"));
    return file;
}

MeshFile PhysicsQuadFile() {
    MeshFile file;
    file.format = EMeshFileFormat::Physics;
    file.roots.push_back(MakeQuadNode("body"));
    MeshShape box;
    box.size1 = 1;
    box.size2 = 2;
    box.size3 = 3;
    file.roots[0].shapes.push_back(box);
    return file;
}

MeshFile AnimationQuadFile() {
    MeshFile file;
    file.format = EMeshFileFormat::Animation;
    MeshFileNode node;
    node.name = "flag";
    node.frameTime = 240;
    for (int k = 0; k < 2; ++k) {
        MeshFrame frame;
        MakeQuad(frame.vertices, frame.indices);
        frame.vertices[2].z = static_cast<float>(k);
        node.frames.push_back(frame);
    }
    file.roots.push_back(node);
    return file;
}

MeshFile Read(const std::vector<uint8_t>& bytes, EMeshFileFormat format, bool expectOk = true) {
    MeshFile file;
    std::string error;
    EXPECT_EQ(ReadMeshFile(bytes.data(), bytes.size(), format, file, error), expectOk) << error;
    EXPECT_EQ(error.empty(), expectOk) << error;
    return file;
}

TEST(MeshFile, FixturesHaveTheDocumentedSizes) {
    EXPECT_EQ(WriteMeshFile(StaticQuadFile()).size(), 492u);
    EXPECT_EQ(WriteMeshFile(PhysicsQuadFile()).size(), 624u);
    EXPECT_EQ(WriteMeshFile(AnimationQuadFile()).size(), 840u);
    EXPECT_EQ(sizeof(MeshVertex), 48u);
}

TEST(MeshFile, EachLayoutReadsBackAsWritten) {
    MeshFile physics = PhysicsQuadFile();
    physics.roots[0].position = {1, 2, 3};
    physics.roots[0].rotation = {0, 0, 0.7071f, 0.7071f};
    physics.roots[0].body.mass = 1500;
    physics.roots[0].children.push_back(MakeQuadNode("wheel"));
    physics.hasTrailingBlock = true;
    physics.trailing.push_back({"marker", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}});

    const MeshFile read = Read(WriteMeshFile(physics), EMeshFileFormat::Physics);
    ASSERT_EQ(read.roots.size(), 1u);
    const MeshFileNode& body = read.roots[0];
    EXPECT_EQ(body.name, "body");
    EXPECT_EQ(body.position, D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(body.rotation, D3DXQUATERNION(0, 0, 0.7071f, 0.7071f));
    EXPECT_EQ(body.body.mass, 1500);
    EXPECT_EQ(body.vertices.size(), 4u);
    EXPECT_EQ(body.indices, (std::vector<uint16_t>{0, 2, 1, 0, 3, 2}));
    ASSERT_EQ(body.shapes.size(), 1u);
    EXPECT_EQ(body.shapes[0].size2, 2);
    ASSERT_EQ(body.children.size(), 1u);
    EXPECT_EQ(body.children[0].name, "wheel");
    EXPECT_TRUE(read.hasTrailingBlock);
    ASSERT_EQ(read.trailing.size(), 1u);
    EXPECT_EQ(read.trailing[0].name, "marker");
    EXPECT_EQ(read.trailing[0].matrix[11], 12);

    MeshFile boxed = StaticQuadFile();
    boxed.roots[0].partBoxes.push_back({{0, 0, 1}, {2, 3, 4}});
    const MeshFile staticRead = Read(WriteMeshFile(boxed), EMeshFileFormat::Static);
    ASSERT_EQ(staticRead.roots[0].partBoxes.size(), 1u);
    EXPECT_EQ(staticRead.roots[0].partBoxes[0].halfSize, D3DXVECTOR3(2, 3, 4));
    EXPECT_FALSE(staticRead.hasTrailingBlock) << "exactly the nodes: no trailing block";

    const MeshFile animation = Read(WriteMeshFile(AnimationQuadFile()), EMeshFileFormat::Animation);
    ASSERT_EQ(animation.roots[0].frames.size(), 2u);
    EXPECT_EQ(animation.roots[0].frameTime, 240);
    EXPECT_EQ(animation.roots[0].frames[1].vertices[2].z, 1);
}

TEST(MeshFile, EveryTruncationFailsCleanly) {
    for (const MeshFile& file : {StaticQuadFile(), PhysicsQuadFile(), AnimationQuadFile()}) {
        const std::vector<uint8_t> bytes = WriteMeshFile(file);
        for (std::size_t size = 0; size < bytes.size(); ++size) {
            MeshFile read;
            std::string error;
            // A truncated Static or Physics file may not read as a shorter valid one.
            EXPECT_FALSE(ReadMeshFile(bytes.data(), size, file.format, read, error)) << size;
            EXPECT_FALSE(error.empty());
        }
    }
}

// The offset of the vertex count of the first node of a Static file.
constexpr std::size_t kVertexCountOffset = 8 + 4 + kMeshNameSize;

TEST(MeshFile, MalformedCountsAreRefused) {
    const std::vector<uint8_t> good = WriteMeshFile(StaticQuadFile());
    struct Case {
        const char* what;
        std::size_t offset;
        int32_t value;
    } cases[] = {
        {"negative vertex count", kVertexCountOffset, -1},
        {"vertex count beyond the file", kVertexCountOffset, 1000000},
        {"huge root count", 4, 0x7fffffff},
        {"negative index count", kVertexCountOffset + 4 + 4 * 48, -6},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        std::memcpy(bytes.data() + c.offset, &c.value, 4);
        Read(bytes, EMeshFileFormat::Static, false);
    }
    std::vector<uint8_t> extra = good;
    extra.push_back(0);
    Read(extra, EMeshFileFormat::Static, false);
}

TEST(MeshFile, TrianglesNamingMissingVerticesAreDropped) {
    MeshFile file = StaticQuadFile();
    file.roots[0].indices = {0, 1, 2, 0, 2, 9, 1, 2, 3, 0, 1};
    const MeshFile read = Read(WriteMeshFile(file), EMeshFileFormat::Static);
    EXPECT_EQ(read.roots[0].indices, (std::vector<uint16_t>{0, 1, 2, 1, 2, 3}));
}

TEST(MeshFile, ARootCountOfZeroOrLessGivesNoNodes) {
    MeshFile empty;
    std::vector<uint8_t> bytes = WriteMeshFile(empty);
    EXPECT_TRUE(Read(bytes, EMeshFileFormat::Static).roots.empty());
    const int32_t negative = -3;
    std::memcpy(bytes.data() + 4, &negative, 4);
    EXPECT_TRUE(Read(bytes, EMeshFileFormat::Static).roots.empty());
}

TEST(MeshFile, TooDeepATreeIsRefused) {
    MeshFile file = StaticQuadFile();
    MeshFileNode* node = &file.roots[0];
    for (int depth = 0; depth <= kMaxMeshDepth; ++depth) {
        node->children.push_back(MakeQuadNode("n"));
        node = &node->children[0];
    }
    Read(WriteMeshFile(file), EMeshFileFormat::Static, false);
}

TEST(MeshFile, TheFormatFollowsTheNameEnding) {
    EXPECT_EQ(MeshFileFormatFor("car.P3D"), EMeshFileFormat::Physics);
    EXPECT_EQ(MeshFileFormatFor("house.msh"), EMeshFileFormat::Static);
    EXPECT_EQ(MeshFileFormatFor("3d"), EMeshFileFormat::Static);
}

} // namespace
