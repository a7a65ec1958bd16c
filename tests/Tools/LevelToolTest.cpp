#include "Core/PFileReader.h"
#include "Game/LevelFile.h"
#include "Platform/Graphics/DdsReader.h"
#include "Render/MeshFile.h"
#include "imagetool/LevelPictures.h"
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

// The drawn road: a strip the road width wide along the racing line, closed
// around the ring, placed by its own record at the origin.
TEST(LevelTool, RoadStripFollowsTheRacingLine) {
    TrackText track;
    ASSERT_TRUE(track.Read(kStadium)) << track.error;
    LevelBuild build;
    ASSERT_TRUE(build.Prepare(track)) << build.error;
    build.AddScenery("stadium_road");

    const std::vector<uint8_t> bytes = build.RoadMeshBytes("stadium_road");
    MeshFile mesh;
    std::string error;
    ASSERT_TRUE(ReadMeshFile(bytes.data(), bytes.size(), EMeshFileFormat::Physics, mesh, error)) << error;
    ASSERT_EQ(mesh.roots.size(), 1u);
    const MeshFileNode& road = mesh.roots[0];
    EXPECT_EQ(road.name, "stadium_road");
    EXPECT_EQ(road.body.mass, 0.0f);
    EXPECT_TRUE(road.shapes.empty());
    const std::size_t pieces = static_cast<std::size_t>(build.Pieces());
    ASSERT_EQ(road.vertices.size(), 2 * (pieces + 1));
    EXPECT_EQ(road.indices.size(), 6 * pieces);

    const LevelFile file = ReadBack(build.LevelFileBytes());
    const CPLine* piece = file.FindLine("c_path")->firstLine;
    for (std::size_t i = 0; i + 1 < road.vertices.size() / 2; ++i, piece = piece->next) {
        SCOPED_TRACE(i);
        const MeshVertex& left = road.vertices[2 * i];
        const MeshVertex& right = road.vertices[2 * i + 1];
        // Each pair straddles the piece's start, across the road (square to
        // the chord between its neighbours' starts).
        EXPECT_NEAR((left.x + right.x) / 2, piece->start.x, 1e-3f);
        EXPECT_NEAR((left.y + right.y) / 2, piece->start.y, 1e-3f);
        EXPECT_NEAR(std::hypot(left.x - right.x, left.y - right.y), 16.0f, 1e-3f);
        const D3DXVECTOR3 along = piece->next->start - piece->prev->start;
        EXPECT_NEAR((left.x - right.x) * along.x + (left.y - right.y) * along.y, 0.0f, 0.5f);
        EXPECT_EQ(left.z, 0.0f);
        EXPECT_EQ(left.nz, 1.0f);
        EXPECT_EQ(left.u0, 0.0f);
        EXPECT_EQ(right.u0, 1.0f);
    }
    // The ring closes on its first pair; v runs once per road width.
    const std::size_t last = road.vertices.size() - 2;
    EXPECT_NEAR(road.vertices[last].x, road.vertices[0].x, 1e-3f);
    EXPECT_NEAR(road.vertices[last].y, road.vertices[0].y, 1e-3f);
    // The stadium is two straights of 360 and two half circles of radius 70.
    EXPECT_NEAR(road.vertices[last].v0, (720.0f + 2 * D3DX_PI * 70.0f) / 16.0f, 0.5f);

    ASSERT_EQ(file.records.size(), 4u);
    const LevelRecord& placed = file.records.back();
    EXPECT_EQ(placed.name, "stadium_road");
    EXPECT_EQ(ClassifyLevelRecord(StripTrailingDigits(placed.name)), ELevelRecordKind::Scenery);
    for (int i = 0; i < 10; ++i)
        EXPECT_FLOAT_EQ(std::abs(placed.f[i]), i >= 6 ? 1.0f : 0.0f) << i;
}

// Barriers 12 from the racing line and 2 high: the collision ground gets
// their upright inner faces, the drawn barriers a box shape over each length
// of wall, every one standing 12 to 12.5 from the line; without the keyword
// there is no barrier.
TEST(LevelTool, BarriersStandBothSidesOfTheRoad) {
    TrackText plain;
    ASSERT_TRUE(plain.Read(kStadium)) << plain.error;
    LevelBuild without;
    ASSERT_TRUE(without.Prepare(plain));
    EXPECT_FALSE(without.HasBarriers());
    EXPECT_TRUE(without.BarrierMeshBytes("walls").empty());

    TrackText track;
    ASSERT_TRUE(track.Read(std::string(kStadium) + "barrier 12 2\n")) << track.error;
    LevelBuild build;
    ASSERT_TRUE(build.Prepare(track)) << build.error;
    ASSERT_TRUE(build.HasBarriers());
    // The distance of a point from the stadium's racing line.
    const auto fromLine = [](float x, float y) {
        const float ax = std::fabs(x);
        return ax <= 180 ? std::fabs(std::fabs(y) - 70) : std::fabs(std::hypot(ax - 180, y) - 70);
    };

    const std::vector<uint8_t> ground = build.GroundMeshBytes();
    MeshFile collision;
    std::string error;
    ASSERT_TRUE(ReadMeshFile(ground.data(), ground.size(), EMeshFileFormat::Static, collision, error))
        << error;
    int upper = 0;
    for (const MeshVertex& vertex : collision.roots[0].vertices) {
        if (vertex.z == 0)
            continue;
        EXPECT_EQ(vertex.z, 2.0f);
        EXPECT_NEAR(fromLine(vertex.x, vertex.y), 12.0f, 0.3f) << vertex.x << " " << vertex.y;
        ++upper;
    }
    const int ringPoints = build.Pieces() + 1;
    EXPECT_EQ(upper, 2 * ringPoints) << "one top edge point per piece start, each side";

    const std::vector<uint8_t> bytes = build.BarrierMeshBytes("walls");
    MeshFile drawn;
    ASSERT_TRUE(ReadMeshFile(bytes.data(), bytes.size(), EMeshFileFormat::Physics, drawn, error)) << error;
    const MeshFileNode& walls = drawn.roots[0];
    EXPECT_EQ(walls.name, "walls");
    ASSERT_EQ(walls.shapes.size(), 2u * build.Pieces());
    for (const MeshShape& shape : walls.shapes) {
        EXPECT_EQ(shape.kind, 0);
        EXPECT_FLOAT_EQ(shape.size2, 2.0f);
        EXPECT_FLOAT_EQ(shape.size3, LevelBuild::kBarrierThickness);
        EXPECT_NEAR(fromLine(shape.position.x, shape.position.y), 12.25f, 0.5f) << "a chord's middle";
        EXPECT_EQ(shape.position.z, 0.0f);
    }
    for (const MeshVertex& vertex : walls.vertices) {
        const float away = fromLine(vertex.x, vertex.y);
        EXPECT_TRUE(away > 11.7f && away < 12.8f) << away;
    }

    EXPECT_FALSE(TrackText().Read("barrier 8 2\nstraight 0 0 1 1\n")) << "inside the road";
    EXPECT_FALSE(TrackText().Read("barrier 12 0\nstraight 0 0 1 1\n")) << "no height";
}

// The ground's pictures as DDS files read back through the engine's reader:
// whole, pixel for pixel.
TEST(LevelTool, GroundTexturesReadBackPixelForPixel) {
    for (const Image& picture : {GroundColourPicture(), GroundDetailPicture()}) {
        const std::vector<uint8_t> bytes = EncodeDds(picture);
        EXPECT_EQ(bytes.size(), 128 + 4 * picture.pixels.size());
        PlatImage read;
        ASSERT_TRUE(PlatReadDds(bytes.data(), bytes.size(), &read));
        ASSERT_EQ(read.surfaces.size(), 1u);
        EXPECT_EQ(read.surfaces[0].width, static_cast<uint32_t>(picture.width));
        EXPECT_EQ(read.surfaces[0].texels, picture.pixels);
    }
    // The detail averages mid-grey, so that the doubled product keeps the
    // colour map's brightness.
    double sum = 0;
    for (const uint32_t pixel : GroundDetailPicture().pixels)
        sum += pixel & 0xFF;
    EXPECT_NEAR(sum / GroundDetailPicture().pixels.size(), 127.5, 4.0);
}
