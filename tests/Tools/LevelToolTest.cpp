#include "Core/PFileReader.h"
#include "Game/LevelFile.h"
#include "Render/MeshFile.h"
#include "leveltool/LevelBuild.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A stadium of about 100 pieces: two straights of 360 and bends of radius 70.
const char* const kStadium = R"(# a comment line
number 3
width 16
direction against
straight -180 -70 180 -70
arc 180 0 70 -90 90
straight 180 70 -180 70   # trailing comment
arc -180 0 70 90 270
car player 20 -70 0
record stolb_start_left 0 -80 1
record tree7 10 20 0 90 2 2 2
)";

LevelFile ReadBack(const std::vector<uint8_t>& bytes) {
    CPFileReader reader("level1.lvl", false);
    reader.SetData(bytes);
    LevelFile file;
    EXPECT_TRUE(file.Read(reader)) << file.error;
    return file;
}

} // namespace

TEST(LevelTool, BuildDumpAndReloadAgree) {
    TrackText track;
    ASSERT_TRUE(track.Read(kStadium)) << track.error;
    EXPECT_EQ(track.number, 3);
    LevelBuild build;
    ASSERT_TRUE(build.Prepare(track)) << build.error;
    EXPECT_GT(build.Pieces(), 90);
    EXPECT_LT(build.Pieces(), 110);

    const LevelFile file = ReadBack(build.LevelFileBytes());
    ASSERT_EQ(file.lines.size(), 3u);
    EXPECT_EQ(CountPieces(file.FindLine("c_path")->firstLine), build.Pieces());
    ASSERT_TRUE(file.FindLine("left") && file.FindLine("right"));

    ASSERT_EQ(file.records.size(), 3u);
    // Scenery is stored conjugated so that the loader turns it by +90 degrees.
    const LevelRecord& tree = file.records[1];
    EXPECT_EQ(tree.name, "tree7");
    EXPECT_NEAR(tree.f[5], -std::sin(D3DX_PI / 4), 1e-5f);
    EXPECT_NEAR(tree.f[6], std::cos(D3DX_PI / 4), 1e-5f);
    EXPECT_FLOAT_EQ(tree.f[8], 2.0f);
    // The car faces the race direction, -x on the lower straight: its
    // forward axis (0, -1, 0) turned by its stored orientation.
    const LevelRecord& player = file.records[2];
    EXPECT_EQ(player.name, "player");
    D3DXMATRIX turn;
    const D3DXQUATERNION q(player.f[3], player.f[4], player.f[5], player.f[6]);
    D3DXMatrixRotationQuaternion(&turn, &q);
    const D3DXVECTOR3 ahead(0, -1, 0);
    D3DXVECTOR3 facing;
    D3DXVec3TransformNormal(&facing, &ahead, &turn);
    EXPECT_NEAR(facing.x, -1.0f, 1e-3f);
    EXPECT_NEAR(facing.y, 0.0f, 1e-2f);

    const std::vector<uint8_t> ground = build.GroundMeshBytes();
    MeshFile mesh;
    std::string error;
    ASSERT_TRUE(ReadMeshFile(ground.data(), ground.size(), EMeshFileFormat::Static, mesh, error)) << error;
    ASSERT_EQ(mesh.roots.size(), 1u);
    EXPECT_GT(mesh.roots[0].indices.size(), 600u);
    for (const MeshVertex& vertex : mesh.roots[0].vertices)
        EXPECT_EQ(vertex.z, 0.0f);
}

TEST(LevelTool, ShortRingsAndBadTextAreRefused) {
    TrackText ring;
    ASSERT_TRUE(ring.Read("arc 0 0 100 0 360\n"));
    LevelBuild build;
    EXPECT_FALSE(build.Prepare(ring));
    EXPECT_NE(build.error.find("50 pieces"), std::string::npos) << build.error;

    TrackText open;
    ASSERT_TRUE(open.Read("open\nstraight 0 0 100 0\n"));
    EXPECT_TRUE(LevelBuild().Prepare(open)) << "an open line may be short";

    for (const char* text : {"", "bend 0 0 1 1\n", "straight 0 0 1\n", "straight 0 0 1 x\n", "width -2\n",
                             "direction sideways\nstraight 0 0 1 1\n", "record tree 1 2\nstraight 0 0 1 1\n",
                             "car player 1 2 3 4\nstraight 0 0 1 1\n", "arc 0 0 0 0 90\n"}) {
        TrackText track;
        EXPECT_FALSE(track.Read(text)) << text;
        EXPECT_FALSE(track.error.empty());
    }
}
