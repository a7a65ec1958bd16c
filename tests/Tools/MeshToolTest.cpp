#include "Render/MeshFile.h"
#include "meshtool/MeshWriter.h"

#include "Support/TempGameRoot.h"
#include "Support/ToolRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ToolRun Meshtool(const std::string& arguments) {
    return RunTool(MESHTOOL_PATH, arguments);
}

MeshFile ReadBack(const std::string& path, EMeshFileFormat format) {
    const std::string bytes = TempGameRoot::ReadFile(path);
    MeshFile file;
    std::string error;
    EXPECT_TRUE(
        ReadMeshFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), format, file, error))
        << error;
    return file;
}

// A square plate (one quad) and a triangular flag above it, as a 3D editor
// writes them: comments, normals, texture coordinates, a negative index.
const char* const kObj = "# plate and flag\n"
                         "mtllib ignored.mtl\n"
                         "v 0 0 0\nv 2 0 0\nv 2 2 0\nv 0 2 0\n"
                         "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                         "vn 0 0 1\n"
                         "o Plate\n"
                         "usemtl wood\n"
                         "f 1/1/1 2/2/1 3/3/1 4/4/1\n"
                         "g flag\n"
                         "v 0 0 3\n"
                         "f 1//1 2//1 -1//1\n";

TEST(MeshTool, ConvertsAnObjWithItsModelDescription) {
    TempGameRoot root;
    root.WriteFile("model.obj", kObj);
    root.WriteFile("model.txt", "# the model\n"
                                "mesh plate.msh\n"
                                "description plate.rdf\n"
                                "node Plate\n"
                                "effect simple.fx\n"
                                "texture wood.tga\n"
                                "texture grain.tga\n"
                                "box 1 1 0 1 1 0.1\n"
                                "node flag\n"
                                "parent Plate\n");
    ASSERT_EQ(Meshtool("convert model.obj model.txt out").exitCode, 0);

    const MeshFile file = ReadBack("out/plate.msh", EMeshFileFormat::Static);
    ASSERT_EQ(file.roots.size(), 1u);
    const MeshFileNode& plate = file.roots[0];
    EXPECT_EQ(plate.name, "Plate");
    ASSERT_EQ(plate.vertices.size(), 4u);
    EXPECT_EQ(plate.indices, (std::vector<uint16_t>{0, 1, 2, 0, 2, 3})) << "the quad fanned";
    EXPECT_EQ(plate.vertices[2].x, 2);
    EXPECT_EQ(plate.vertices[2].u0, 1);
    EXPECT_EQ(plate.vertices[2].v0, 0) << "v counts from the top";
    EXPECT_EQ(plate.vertices[0].nz, 1);
    ASSERT_EQ(plate.partBoxes.size(), 1u);
    EXPECT_EQ(plate.partBoxes[0].halfSize, D3DXVECTOR3(1, 1, 0.1f));
    ASSERT_EQ(plate.children.size(), 1u);
    EXPECT_EQ(plate.children[0].name, "flag");
    ASSERT_EQ(plate.children[0].vertices.size(), 3u);
    EXPECT_EQ(plate.children[0].vertices[2].z, 3) << "-1 is the latest position";

    EXPECT_EQ(root.ReadFile("out/plate.rdf"), "model=plate.msh\n\n"
                                              "[Plate]\neffectfile=simple.fx\n"
                                              "texturefile1=wood.tga\ntexturefile2=grain.tga\n");

    const ToolRun dump = Meshtool("dump out/plate.msh");
    EXPECT_EQ(dump.exitCode, 0);
    EXPECT_EQ(dump.output, "node Plate: 4 vertices, 6 indices\n"
                           "  part box: centre (1 1 0) half size (1 1 0.1)\n"
                           "  node flag: 3 vertices, 3 indices\n");
}

TEST(MeshTool, PhysicsFilesGetBoxShapesStandingOnTheirBase) {
    TempGameRoot root;
    root.WriteFile("model.obj", kObj);
    root.WriteFile("model.txt", "mesh car.p3d\nnode Plate\nbox 1 1 2 1 3 0.5\n");
    ASSERT_EQ(Meshtool("convert model.obj model.txt out").exitCode, 0);
    const MeshFile file = ReadBack("out/car.p3d", EMeshFileFormat::Physics);
    ASSERT_EQ(file.roots.size(), 2u) << "flag has no parent: a second top-level node";
    ASSERT_EQ(file.roots[0].shapes.size(), 1u);
    const MeshShape& box = file.roots[0].shapes[0];
    EXPECT_EQ(D3DXVECTOR3(box.size1, box.size2, box.size3), D3DXVECTOR3(2, 1, 6));
    EXPECT_EQ(box.position, D3DXVECTOR3(1, 1, 1.5f));

    const ToolRun dump = Meshtool("dump out/car.p3d");
    EXPECT_EQ(dump.output, "node Plate: 4 vertices, 6 indices\n"
                           "  shape box: sizes (2 1 6) at (1 1 1.5)\n"
                           "node flag: 3 vertices, 3 indices\n");
    EXPECT_FALSE(root.ReadFile("out/car.rdf").size()) << "no description line, no description";
}

// A body and a wheel modelled in place: the wheel's vertices come out in
// its own frame, its place and the body's record in the file.
TEST(MeshTool, PhysicsNodesTakeTheirPlaceAndBodyRecord) {
    TempGameRoot root;
    root.WriteFile("car.obj", "o body\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"
                              "o wheel\nv 2 3 4\nv 3 3 4\nv 2 4 4\nf 4 5 6\n");
    root.WriteFile("car.txt", "mesh car.p3d\n"
                              "node body\nbody 2 4 0.8 30\n"
                              "node wheel\nparent body\nposition 2 3 4\n"
                              "rotation 0 0 0.7071068 0.7071068   # a quarter turn about z\n");
    ASSERT_EQ(Meshtool("convert car.obj car.txt out").exitCode, 0);
    const MeshFile file = ReadBack("out/car.p3d", EMeshFileFormat::Physics);
    ASSERT_EQ(file.roots.size(), 1u);
    const MeshFileNode& body = file.roots[0];
    EXPECT_EQ(D3DXVECTOR3(body.body.size1, body.body.size2, body.body.size3), D3DXVECTOR3(2, 0.8f, 4));
    EXPECT_EQ(body.body.mass, 30);
    ASSERT_EQ(body.children.size(), 1u);
    const MeshFileNode& wheel = body.children[0];
    EXPECT_EQ(wheel.position, D3DXVECTOR3(2, 3, 4));
    EXPECT_NEAR(wheel.rotation.z, -0.7071068f, 1e-6f) << "stored conjugated, as the reader takes it";
    EXPECT_EQ(wheel.body.mass, 0);
    const D3DXVECTOR3 expected[3] = {{0, 0, 0}, {0, -1, 0}, {1, 0, 0}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(wheel.vertices[k].x, expected[k].x, 1e-5f) << k;
        EXPECT_NEAR(wheel.vertices[k].y, expected[k].y, 1e-5f) << k;
        EXPECT_NEAR(wheel.vertices[k].z, expected[k].z, 1e-5f) << k;
    }

    const ToolRun dump = Meshtool("dump out/car.p3d");
    EXPECT_EQ(dump.output, "node body: 3 vertices, 3 indices\n"
                           "  body: sizes (2 0.8 4) mass 30\n"
                           "  node wheel: 3 vertices, 3 indices\n"
                           "    at (2 3 4) turned (0 0 -0.707107 0.707107)\n");
}

TEST(MeshTool, BadInputFailsWithoutWriting) {
    TempGameRoot root;
    root.WriteFile("model.obj", kObj);
    const std::string goodSpec = "mesh m.msh\nnode Plate\n";
    struct Case {
        std::string obj;
        std::string model;
    };
    const Case cases[] = {
        {"v 0 0\n", goodSpec},                      // too few coordinates
        {"v 0 0 0\nf 1 1\n", goodSpec},             // a face of two corners
        {"v 0 0 0\nf 1 2 3\n", goodSpec},           // an index past the end
        {"v 0 0 0\nf 1/1 1 1\n", goodSpec},         // a texture index with no texture coordinates
        {kObj, "node Plate\n"},                     // no mesh line
        {kObj, "mesh m.msh\nnode Nothing\n"},       // a node that names no group
        {kObj, "mesh m.msh\nbox 0 0 0 1 1 1\n"},    // a box before any node
        {kObj, "mesh m.msh\nnode Plate\nsize 3\n"}, // an unknown keyword
        {kObj, "mesh m.msh\nnode Plate\nparent flag\nnode flag\nparent Plate\n"}, // a cycle
        {kObj, "mesh m.msh\nnode Plate\nposition 1 2 3\n"},                       // a place in a static mesh
        {kObj, "mesh m.p3d\nnode Plate\nrotation 0 0 0 0\n"},                     // no rotation
        {kObj, "mesh m.p3d\nnode Plate\nbody 1 2 3\n"},                           // a body without mass
        {kObj, "mesh m.p3d\nposition 1 2 3\n"},                                   // a place before any node
    };
    for (const Case& c : cases) {
        root.WriteFile("bad.obj", c.obj);
        root.WriteFile("bad.txt", c.model);
        EXPECT_EQ(Meshtool("convert bad.obj bad.txt out").exitCode, 1) << c.obj << c.model;
        EXPECT_FALSE(std::filesystem::exists("out/m.msh")) << c.obj << c.model;
    }

    root.WriteFile("short.msh", std::string("\x01\x00\x00\x00\x02\x00\x00\x00", 8));
    EXPECT_EQ(Meshtool("dump short.msh").exitCode, 1);
    EXPECT_EQ(Meshtool("dump").exitCode, 2);
}

TEST(MeshTool, DumpsAnimationFilesFrameByFrame) {
    TempGameRoot root;
    MeshFile file;
    file.format = EMeshFileFormat::Animation;
    MeshFileNode node;
    node.name = "flag";
    MeshFrame frame;
    MakeQuad(frame.vertices, frame.indices);
    node.frames = {frame, frame};
    file.roots = {node};
    const std::vector<uint8_t> bytes = WriteMeshFile(file);
    root.WriteFile("flag.msh", std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(Meshtool("dump --anim flag.msh").output, "node flag: 8 vertices, 12 indices in 2 frames\n");
}

// Frame k of a waving flag: the plate stays, the flag's tip moves up k.
std::string FlagFrame(int k, bool withFlag = true) {
    std::string text = "v 0 0 0\nv 2 0 0\nv 2 2 0\nv 0 2 0\no Plate\nf 1 2 3 4\n";
    if (withFlag)
        text += "g flag\nv 0 0 " + std::to_string(3 + k) + "\nf 1 2 -1\n";
    return text;
}

TEST(MeshTool, AnimatesOneObjModelPerFrame) {
    TempGameRoot root;
    for (int k = 0; k < 3; ++k)
        root.WriteFile("wave" + std::to_string(k) + ".obj", FlagFrame(k));
    ASSERT_EQ(Meshtool("animate out/wave.msh 0.1 wave0.obj wave1.obj wave2.obj").exitCode, 0);

    const MeshFile file = ReadBack("out/wave.msh", EMeshFileFormat::Animation);
    ASSERT_EQ(file.roots.size(), 1u);
    const MeshFileNode& plate = file.roots[0];
    EXPECT_EQ(plate.name, "Plate");
    EXPECT_FLOAT_EQ(plate.frameTime, 240) << "0.1 s in 1/2400 s";
    ASSERT_EQ(plate.frames.size(), 3u);
    EXPECT_EQ(plate.frames[2].indices, (std::vector<uint16_t>{0, 1, 2, 0, 2, 3}));
    ASSERT_EQ(plate.children.size(), 1u);
    const MeshFileNode& flag = plate.children[0];
    EXPECT_EQ(flag.name, "flag");
    ASSERT_EQ(flag.frames.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        ASSERT_EQ(flag.frames[k].vertices.size(), 3u);
        EXPECT_FLOAT_EQ(flag.frames[k].vertices[2].z, 3.0f + k) << k;
    }
    EXPECT_EQ(
        Meshtool("dump --anim out/wave.msh").output,
        "node Plate: 12 vertices, 18 indices in 3 frames\n  node flag: 9 vertices, 9 indices in 3 frames\n");
}

TEST(MeshTool, BadAnimationFramesFailWithoutWriting) {
    TempGameRoot root;
    root.WriteFile("a.obj", FlagFrame(0));
    root.WriteFile("b.obj", FlagFrame(1, false));
    root.WriteFile("bad.obj", "f 1 2 3\n");
    const char* const cases[] = {
        "animate out.msh 0.1 a.obj b.obj",       // the second frame lacks the flag
        "animate out.msh 0 a.obj",               // no frame time
        "animate out.msh fast a.obj",            // not a number
        "animate out.msh 0.1 a.obj bad.obj",     // a malformed frame
        "animate out.msh 0.1 a.obj missing.obj", // a frame that is not there
    };
    for (const char* arguments : cases) {
        EXPECT_EQ(Meshtool(arguments).exitCode, 1) << arguments;
        EXPECT_FALSE(std::filesystem::exists("out.msh")) << arguments;
    }
    EXPECT_EQ(Meshtool("animate out.msh 0.1").exitCode, 2) << "no frame at all";
}

} // namespace
