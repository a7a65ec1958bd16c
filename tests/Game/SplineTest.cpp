#include "Core/PFileReader.h"
#include "Game/PSpline.h"
#include "Physics/PPhysics.h"
#include "Render/PRenderObject.h"
#include "Support/GameTestSupport.h"
#include "leveltool/LevelWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr float kDegrees = 180.0f / D3DX_PI;

std::vector<uint8_t> EntryBytes(const TrackLineEntry& entry) {
    std::vector<uint8_t> bytes;
    WriteTrackLine(bytes, entry);
    return bytes;
}

bool LoadBytes(CPSpline& spline, std::vector<uint8_t> bytes) {
    CPFileReader reader("memory", false);
    reader.SetData(std::move(bytes));
    return spline.Load(reader);
}

TrackLineEntry StraightLine() {
    BezierSegment segment;
    segment.p0 = {0, 0, 0};
    segment.p1 = {30, 0, 0};
    segment.p2 = {70, 0, 0};
    segment.p3 = {100, 0, 0};
    return {"c_path", false, {segment}};
}

// A square of the given side from the origin, anticlockwise, one straight
// segment per side.
TrackLineEntry Square(float side, bool closed) {
    const D3DXVECTOR3 corners[4] = {{0, 0, 0}, {side, 0, 0}, {side, side, 0}, {0, side, 0}};
    TrackLineEntry entry{"left", closed, {}};
    for (int i = 0; i < 4; ++i)
        entry.segments.push_back(StraightSegment(corners[i], corners[(i + 1) % 4]));
    return entry;
}

// The pieces of the ring from the first piece along next.
std::vector<CPLine*> Ring(const CPSpline& spline) {
    std::vector<CPLine*> ring;
    CPLine* piece = spline.firstLine;
    do {
        ring.push_back(piece);
        piece = piece->next;
    } while (piece != spline.firstLine && ring.size() <= spline.lines.size());
    return ring;
}

TEST(SplineTest, AStraightSegmentMeasuresToItsPointAtNineTenthsAndSamplesEightPieces) {
    const std::vector<uint8_t> bytes = EntryBytes(StraightLine());
    // Name length, 6 name bytes, closed flag, count, 12 floats.
    ASSERT_EQ(bytes.size(), 66u);
    CPSpline spline;
    ASSERT_TRUE(LoadBytes(spline, bytes));
    EXPECT_EQ(spline.GetSplineName(), "c_path");
    EXPECT_EQ(spline.GetName(), "CPSpline");
    ASSERT_EQ(spline.segments.size(), 1u);
    EXPECT_NEAR(spline.segments[0].length, 90.72f, 1e-4f);
    EXPECT_NEAR(spline.totalLength, 90.72f, 1e-4f);

    const std::vector<CPLine*> ring = Ring(spline);
    ASSERT_EQ(ring.size(), 8u);
    // The unfinished ninth piece stays in the list, outside the ring.
    ASSERT_EQ(spline.lines.size(), 9u);
    EXPECT_EQ(spline.currentLine, spline.firstLine);
    D3DXVECTOR3 expectedEnd, direction;
    CPSpline::PointAtDistance(spline.segments[0], 84.0f, expectedEnd, direction);
    ExpectNear(ring.back()->end, expectedEnd);
    EXPECT_LT(ring.back()->end.x, 100.0f);
    for (const CPLine* piece : ring) {
        EXPECT_NEAR(piece->angle, D3DX_PI, 1e-6f);
        EXPECT_FLOAT_EQ(piece->lineNormal.x, 0.0f);
        EXPECT_FLOAT_EQ(piece->lineNormal.y, -1.0f);
    }
    // The mesh: one zero-area triangle (start, end, end) per piece.
    const CPRenderObject* mesh = spline.GetRenderObject();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(spline.visualKind, VISUAL_MESH);
    ASSERT_EQ(mesh->sourceVertices.size(), 24u);
    ASSERT_EQ(mesh->indices.size(), 24u);
    for (uint16_t i = 0; i < 24; ++i)
        EXPECT_EQ(mesh->indices[i], i);
    EXPECT_FLOAT_EQ(mesh->sourceVertices[4].x, ring[1]->end.x);
    EXPECT_FLOAT_EQ(mesh->sourceVertices[5].x, ring[1]->end.x);
    EXPECT_EQ(mesh->sourceVertices[3].diffuse, 0xffffffffu);
}

TEST(SplineTest, TheFileStoresTheEndBeforeTheControlPoints) {
    TrackLineEntry entry = StraightLine();
    entry.segments[0].p2 = {40, 0, 0};
    std::vector<uint8_t> bytes = EntryBytes(entry);
    CPSpline spline;
    ASSERT_TRUE(LoadBytes(spline, bytes));
    ExpectNear(spline.segments[0].p3, {100, 0, 0});
    ExpectNear(spline.segments[0].p2, {40, 0, 0});

    // Swapping the second and fourth triples (end and second control) of the
    // segment gives another curve.
    constexpr std::size_t kSegment = 4 + 6 + 8;
    std::swap_ranges(bytes.begin() + kSegment + 12, bytes.begin() + kSegment + 24,
                     bytes.begin() + kSegment + 36);
    CPSpline swapped;
    ASSERT_TRUE(LoadBytes(swapped, bytes));
    ExpectNear(swapped.segments[0].p3, {40, 0, 0});
    EXPECT_GT(std::fabs(CPSpline::Evaluate(swapped.segments[0], 0.5f).x -
                        CPSpline::Evaluate(spline.segments[0], 0.5f).x),
              1.0f);
}

TEST(SplineTest, AClosedLineWrapsWhereAnOpenOneStops) {
    // Each side of 200 measures 180: 720 in all.
    CPSpline open;
    ASSERT_TRUE(LoadBytes(open, EntryBytes(Square(200, false))));
    CPSpline closed;
    ASSERT_TRUE(LoadBytes(closed, EntryBytes(Square(200, true))));
    EXPECT_NEAR(open.totalLength, 720.0f, 1e-3f);
    EXPECT_EQ(Ring(open).size(), 68u);
    ASSERT_EQ(Ring(closed).size(), 69u);
    // The closed line's last piece joins the end of the line to a point past
    // its start.
    const CPLine* last = closed.firstLine->prev;
    EXPECT_NEAR(last->end.x, 200.0f * (10.5f - (720.0f - 714.0f)) / 180.0f, 1e-2f);
    EXPECT_NEAR(last->end.y, 0.0f, 1e-3f);
}

TEST(SplineTest, TheRingClosesOverTheFinishedPiecesAndDrapingCoversEveryPiece) {
    CPPhysics physics;
    TerrainMesh ground;
    // Ground at height 3 under the whole line (heights come from the nearest
    // terrain vertex).
    ground.positions = {{-50, -50, 3}, {150, -50, 3}, {150, 50, 3}, {-50, 50, 3}};
    ground.indices = {0, 1, 2, 0, 2, 3};
    ASSERT_TRUE(physics.BuildTerrainGrid(ground));

    CPSpline spline;
    ASSERT_TRUE(LoadBytes(spline, EntryBytes(StraightLine())));
    const std::vector<CPLine*> ring = Ring(spline);
    EXPECT_EQ(spline.firstLine->prev, ring.back());
    EXPECT_EQ(ring.back()->next, spline.firstLine);
    for (std::size_t i = 1; i < ring.size(); ++i)
        EXPECT_EQ(ring[i]->prev, ring[i - 1]);

    spline.DrapeOnTerrain();
    // The piece outside the ring is draped too.
    for (const auto& piece : spline.lines) {
        EXPECT_FLOAT_EQ(piece->start.z, 3.0f);
        EXPECT_FLOAT_EQ(piece->end.z, 3.0f);
        EXPECT_FLOAT_EQ(piece->centre.z, 3.0f);
    }
}

TEST(SplineTest, PiecesCarryTheirHeadingNormalAndOffset) {
    struct Case {
        D3DXVECTOR3 from, to;
        float angle;
    };
    const Case cases[] = {
        {{0, 0, 0}, {50, 0, 0}, D3DX_PI},
        {{50, 0, 0}, {0, 0, 0}, 0},
        {{0, 0, 0}, {0, 50, 0}, 1.5f * D3DX_PI},
        {{0, 50, 0}, {0, 0, 0}, 0.5f * D3DX_PI},
        {{10, 20, 0}, {50, 60, 0}, 1.25f * D3DX_PI},
    };
    for (const Case& c : cases) {
        CPLine piece;
        piece.start = c.from;
        piece.end = c.to;
        piece.ComputeShape();
        EXPECT_NEAR(piece.angle, c.angle, 1e-5f) << c.to.x << "," << c.to.y;
        // A point on the right of the direction has a positive distance, by
        // both the line equation and the search's formula.
        const D3DXVECTOR3 direction = c.to - c.from;
        const D3DXVECTOR3 right = (c.from + c.to) * 0.5f + D3DXVECTOR3(direction.y, -direction.x, 0) * 0.1f;
        const float along = piece.lineNormal.x * right.x + piece.lineNormal.y * right.y + piece.lineOffset;
        const float expected = 0.1f * std::sqrt(direction.x * direction.x + direction.y * direction.y);
        EXPECT_NEAR(along, expected, 1e-3f);
        EXPECT_NEAR(piece.SignedDistance(right), expected, 1e-3f);
        const D3DXVECTOR3 left = c.from * 2.0f - right + direction;
        EXPECT_NEAR(piece.SignedDistance(left), -expected, 1e-3f);
        ExpectNear(piece.centre, (c.from + c.to) * 0.5f);
    }
}

TEST(SplineTest, AFourArcCircleOfRadius250SamplesTheKnownRing) {
    CPSpline spline;
    ASSERT_TRUE(LoadBytes(spline, EntryBytes({"c_path", true, CircleSegments({0, 0, 0}, 250, false)})));
    for (const BezierSegment& segment : spline.segments)
        EXPECT_NEAR(segment.length, 323.64f, 0.01f);
    EXPECT_NEAR(spline.totalLength, 1294.56f, 0.02f);
    const std::vector<CPLine*> ring = Ring(spline);
    ASSERT_EQ(ring.size(), 124u);
    struct Expected {
        int index;
        D3DXVECTOR3 start, end, centre;
        float degrees;
    };
    const Expected pieces[] = {
        {0, {250.00f, 0.00f, 0}, {249.65f, 13.35f, 0}, {249.82f, 6.68f, 0}, 271.5f},
        {1, {249.65f, 13.35f, 0}, {248.61f, 26.52f, 0}, {249.13f, 19.94f, 0}, 274.5f},
        {122, {249.42f, -17.21f, 0}, {249.97f, -3.91f, 0}, {249.69f, -10.56f, 0}, 267.6f},
        {123, {249.97f, -3.91f, 0}, {249.82f, 9.48f, 0}, {249.90f, 2.78f, 0}, 270.6f},
    };
    for (const Expected& piece : pieces) {
        const CPLine& line = *ring[piece.index];
        for (const auto& [actual, expected] :
             {std::pair{line.start, piece.start}, {line.end, piece.end}, {line.centre, piece.centre}}) {
            EXPECT_NEAR(actual.x, expected.x, 0.01f) << piece.index;
            EXPECT_NEAR(actual.y, expected.y, 0.01f) << piece.index;
        }
        EXPECT_NEAR(line.angle * kDegrees, piece.degrees, 0.05f) << piece.index;
    }
}

// Entries that must be refused, and the lines they would have made.
TEST(SplineTest, DamagedEntriesAreRefusedAndLeaveNoRing) {
    const std::vector<uint8_t> good = EntryBytes(Square(200, true));
    const auto withInt = [&](std::size_t offset, int32_t value) {
        std::vector<uint8_t> bytes = good;
        std::memcpy(bytes.data() + offset, &value, sizeof(value));
        return bytes;
    };
    const auto withFloat = [&](std::size_t offset, float value) {
        std::vector<uint8_t> bytes = good;
        std::memcpy(bytes.data() + offset, &value, sizeof(value));
        return bytes;
    };
    const std::size_t countOffset = 4 + 4 + 4;
    const std::size_t firstFloat = countOffset + 4;
    const std::vector<std::vector<uint8_t>> damaged = {
        withInt(0, -1),
        withInt(0, 0x7fffffff),
        withInt(countOffset, -5),
        withInt(countOffset, 0x7fffffff),
        withInt(countOffset, 5),
        withFloat(firstFloat, std::numeric_limits<float>::quiet_NaN()),
        withFloat(firstFloat + 4, std::numeric_limits<float>::infinity()),
        withFloat(firstFloat + 3 * 4, 1e30f),
        // No segment, and one whose points all coincide.
        EntryBytes({"right", true, {}}),
        EntryBytes({"right", false, {StraightSegment({5, 5, 0}, {5, 5, 0})}}),
        // A vertical segment: every sample at one XY point.
        EntryBytes({"right", false, {StraightSegment({5, 5, 0}, {5, 5, 100})}}),
        // Longer than 21,845 pieces of 10.5.
        EntryBytes({"right", false, {StraightSegment({0, 0, 0}, {300000, 0, 0})}}),
    };
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        CPSpline spline;
        EXPECT_FALSE(LoadBytes(spline, damaged[i])) << i;
        EXPECT_EQ(spline.firstLine, nullptr) << i;
        EXPECT_TRUE(spline.lines.empty()) << i;
        float radius = 10;
        CPLine* start = nullptr;
        EXPECT_EQ(spline.FindClosestLine({0, 0, 0}, radius, 1, start), 0.0f) << i;
    }
    for (std::size_t length = 0; length < good.size(); ++length) {
        CPSpline spline;
        EXPECT_FALSE(LoadBytes(spline, std::vector<uint8_t>(good.begin(), good.begin() + length))) << length;
    }
}

TEST(SplineTest, ZeroLengthSegmentsAreSkippedAndTheLongestLineStillSamples) {
    TrackLineEntry entry = StraightLine();
    entry.segments.insert(entry.segments.begin(), StraightSegment({0, 0, 0}, {0, 0, 0}));
    CPSpline spline;
    ASSERT_TRUE(LoadBytes(spline, EntryBytes(entry)));
    EXPECT_EQ(spline.segments[0].length, 0.0f);
    const std::vector<CPLine*> ring = Ring(spline);
    ASSERT_EQ(ring.size(), 8u);
    for (const CPLine* piece : ring)
        EXPECT_TRUE(std::isfinite(piece->angle) && std::isfinite(piece->start.x));

    // 21,845 pieces exactly fill the 16-bit indices.
    const float side = CPSpline::kMaxPieces * CPSpline::kPieceLength / 0.9000001f - 1.0f;
    CPSpline longest;
    ASSERT_TRUE(
        LoadBytes(longest, EntryBytes({"c_path", false, {StraightSegment({0, 0, 0}, {side, 0, 0})}})));
    EXPECT_LE(longest.lines.size(), static_cast<std::size_t>(CPSpline::kMaxPieces) + 1);
    EXPECT_EQ(longest.GetRenderObject()->indices.back(), longest.GetRenderObject()->indices.size() - 1);
}

} // namespace
