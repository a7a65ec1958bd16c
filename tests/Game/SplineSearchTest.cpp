#include "Core/PFileReader.h"
#include "Game/PSpline.h"
#include "leveltool/LevelWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A ring of pieces through the corners in order, closed back to the first,
// as the sampling links them.
void MakeRing(CPSpline& spline, const std::vector<D3DXVECTOR3>& corners) {
    for (std::size_t i = 0; i < corners.size(); ++i) {
        auto piece = std::make_unique<CPLine>();
        piece->start = corners[i];
        piece->end = corners[(i + 1) % corners.size()];
        piece->ComputeShape();
        if (!spline.lines.empty()) {
            piece->prev = spline.lines.back().get();
            piece->prev->next = piece.get();
        }
        spline.lines.push_back(std::move(piece));
    }
    spline.firstLine = spline.lines.front().get();
    spline.firstLine->prev = spline.lines.back().get();
    spline.lines.back()->next = spline.firstLine;
    spline.currentLine = spline.firstLine;
}

// Twelve pieces of 10 around the square of side 30, anticlockwise from the
// origin: centres (5, 0), (15, 0), (25, 0), (30, 5), ... (0, 5).
void TwelvePieceRing(CPSpline& spline) {
    std::vector<D3DXVECTOR3> corners;
    for (int i = 0; i < 3; ++i)
        corners.push_back(D3DXVECTOR3(10.0f * i, 0, 0));
    for (int i = 0; i < 3; ++i)
        corners.push_back(D3DXVECTOR3(30, 10.0f * i, 0));
    for (int i = 0; i < 3; ++i)
        corners.push_back(D3DXVECTOR3(30 - 10.0f * i, 30, 0));
    for (int i = 0; i < 3; ++i)
        corners.push_back(D3DXVECTOR3(0, 30 - 10.0f * i, 0));
    MakeRing(spline, corners);
}

int IndexOf(const CPSpline& spline, const CPLine* piece) {
    for (std::size_t i = 0; i < spline.lines.size(); ++i)
        if (spline.lines[i].get() == piece)
            return static_cast<int>(i);
    return -1;
}

struct SearchCase {
    const char* name;
    D3DXVECTOR3 point;
    float radius;
    int steps;
    int start;
    // The nearest piece (the new start and current piece).
    int nearest;
    // The piece whose angle and distance come back.
    int reported;
    float distance;
};

TEST(SplineSearchTest, FindClosestLineOnATwelvePieceRing) {
    const SearchCase cases[] = {
        {"near", {17, -2, 0}, 10, 0, 0, 1, 1, 2},
        {"near from afar along the ring", {17, -2, 0}, 10, 0, 3, 1, 1, 2},
        {"far: the start comes back", {17, 100, 0}, 5, 0, 0, 0, 0, -100},
        {"two steps back along prev", {35.5f, 17.5f, 0}, 10, 2, 3, 4, 2, -17.5f},
        {"one step forward along next", {35.5f, 17.5f, 0}, 10, -1, 3, 4, 5, 5.5f},
        {"tie: the forward walker meets piece 2 first", {30, 0, 0}, 10, 0, 0, 2, 2, 0},
        {"tie: the backward walker meets piece 3 first", {30, 0, 0}, 10, 0, 5, 3, 3, 0},
        {"all inside, equal centres: the start stays", {15, 15, 0}, 20, 0, 1, 1, 1, -15},
        {"left of a piece is negative", {5, 2, 0}, 10, 0, 0, 0, 0, -2},
        {"right of a piece going up is positive", {31, 25, 0}, 10, 0, 5, 5, 5, 1},
    };
    for (const SearchCase& c : cases) {
        CPSpline spline;
        TwelvePieceRing(spline);
        CPLine* start = spline.lines[c.start].get();
        float radius = c.radius;
        const float angle = spline.FindClosestLine(c.point, radius, c.steps, start);
        EXPECT_EQ(IndexOf(spline, start), c.nearest) << c.name;
        EXPECT_EQ(spline.currentLine, start) << c.name;
        EXPECT_FLOAT_EQ(angle, spline.lines[c.reported]->angle) << c.name;
        EXPECT_NEAR(radius, c.distance, 1e-4f) << c.name;
    }
}

TEST(SplineSearchTest, FindClosestLineOnASevenPieceRingWalksRoundWhenAllPiecesAreInside) {
    // A square whose sides measure 18.375 samples into seven pieces.
    const float side = 7 * 10.5f / 4 / 0.9000001f - 0.001f;
    const D3DXVECTOR3 corners[4] = {{0, 0, 0}, {side, 0, 0}, {side, side, 0}, {0, side, 0}};
    TrackLineEntry entry{"c_path", true, {}};
    for (int i = 0; i < 4; ++i)
        entry.segments.push_back(StraightSegment(corners[i], corners[(i + 1) % 4]));
    std::vector<uint8_t> bytes;
    WriteTrackLine(bytes, entry);
    CPFileReader reader("memory", false);
    reader.SetData(bytes);
    CPSpline spline;
    ASSERT_TRUE(spline.Load(reader));
    ASSERT_EQ(spline.lines.size(), 8u);

    for (const D3DXVECTOR3& point : {D3DXVECTOR3(3, 1, 0), D3DXVECTOR3(19, 17, 0), D3DXVECTOR3(2, 15, 0)}) {
        int nearest = 0;
        float best = 1e30f;
        for (int i = 0; i < 7; ++i) {
            const D3DXVECTOR3 offset = spline.lines[i]->centre - point;
            const float d2 = offset.x * offset.x + offset.y * offset.y;
            if (d2 < best) {
                best = d2;
                nearest = i;
            }
        }
        for (int startIndex = 0; startIndex < 7; ++startIndex) {
            CPLine* start = spline.lines[startIndex].get();
            float radius = 100;
            spline.FindClosestLine(point, radius, 0, start);
            EXPECT_EQ(IndexOf(spline, start), nearest) << point.x << "," << point.y << " from " << startIndex;
        }
    }
    // Far from every piece the start comes back on the odd ring too.
    CPLine* start = spline.lines[4].get();
    float radius = 3;
    spline.FindClosestLine({500, 500, 0}, radius, 0, start);
    EXPECT_EQ(start, spline.lines[4].get());
}

} // namespace
