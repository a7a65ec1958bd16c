#include "Game/RacePath.h"
#include "Game/PLine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

namespace {

// Pieces with the given centres, in order.
class Path {
public:
    explicit Path(const std::vector<D3DXVECTOR3>& centres) {
        std::vector<CPLine*> inOrder;
        for (const D3DXVECTOR3& centre : centres) {
            lines.push_back(std::make_unique<CPLine>());
            lines.back()->centre = centre;
            inOrder.push_back(lines.back().get());
        }
        path.Assign(inOrder);
    }

    // The search in piece order the bucketed one must agree with.
    int NearestInOrder(const D3DXVECTOR3& point, float farthest) const {
        int nearest = -1;
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            const float dx = lines[i]->centre.x - point.x;
            const float dy = lines[i]->centre.y - point.y;
            const float distance = dx * dx + dy * dy;
            if (distance <= farthest) {
                farthest = distance;
                nearest = i;
            }
        }
        return nearest;
    }

    std::vector<std::unique_ptr<CPLine>> lines;
    RacePath path;
};

} // namespace

// Ties go to the later piece wherever the equal pieces lie; height is
// ignored; nothing beyond the limit is found.
TEST(RacePath, NearestIsTheLastOfTheNearestPiecesWithinTheLimit) {
    const Path path({{5, 0, 0},
                     {1, 0, 0},
                     {0, 3, 0},
                     {-1, 0, 9},
                     {0, 1, 0},
                     {1, 0, 0},
                     {0, -1, 0},
                     {9, 9, 0},
                     {0, 1, 0}});
    struct Case {
        const char* name;
        D3DXVECTOR3 point;
        float farthest;
        int nearest;
    };
    const Case cases[] = {
        {"six pieces at 1", {0, 0, 0}, 100, 8},
        {"two pieces at one centre", {1, 0, 0}, 100, 5},
        {"equal pieces at different centres", {0.5f, -0.5f, 0}, 100, 6},
        {"one piece", {9, 9, 5}, 100, 7},
        {"a piece at exactly the limit", {5, 3, 0}, 9, 0},
        {"every piece beyond the limit", {100, 100, 0}, 100, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(path.path.Nearest(c.point, c.farthest), c.nearest);
        EXPECT_EQ(path.path.Nearest(c.point, c.farthest), path.NearestInOrder(c.point, c.farthest));
    }
    EXPECT_EQ(RacePath().Nearest({0, 0, 0}, 100), -1);
}

// Paths of every length from 1 to 13 with centres on a coarse grid (many
// ties), probed on and off that grid: the bucketed search finds the piece
// the ordered search does.
TEST(RacePath, NearestAgreesWithTheSearchInPieceOrder) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> grid(-3, 3);
    for (int count = 1; count <= 13; ++count) {
        std::vector<D3DXVECTOR3> centres;
        for (int i = 0; i < count; ++i)
            centres.emplace_back(static_cast<float>(grid(random)), static_cast<float>(grid(random)), 0.0f);
        const Path path(centres);
        for (int probe = 0; probe < 40; ++probe) {
            const float scale = probe < 20 ? 1.0f : 5.0f;
            const D3DXVECTOR3 point(scale * static_cast<float>(grid(random)),
                                    scale * static_cast<float>(grid(random)), 0.0f);
            SCOPED_TRACE(testing::Message() << count << " pieces, probe " << probe);
            EXPECT_EQ(path.path.Nearest(point, 8), path.NearestInOrder(point, 8));
            EXPECT_EQ(path.path.Nearest(point, 1e6f), path.NearestInOrder(point, 1e6f));
        }
    }
}

// A winding track of 400 pieces like a level's, probed near the road, far
// from it and beyond its box, with limits that cut some pieces off.
TEST(RacePath, NearestAgreesOnATrack) {
    std::vector<D3DXVECTOR3> centres;
    for (int i = 0; i < 400; ++i) {
        const float t = 2 * std::numbers::pi_v<float> * static_cast<float>(i) / 400;
        const float radius = 300 + 120 * std::sin(3 * t);
        centres.emplace_back(radius * std::cos(t), 0.6f * radius * std::sin(t), 0.0f);
    }
    const Path path(centres);
    std::mt19937 random(5);
    std::uniform_real_distribution<float> offset(-8, 8);
    std::uniform_real_distribution<float> anywhere(-900, 900);
    for (int probe = 0; probe < 600; ++probe) {
        const D3DXVECTOR3& near = centres[static_cast<std::size_t>(probe) % centres.size()];
        const D3DXVECTOR3 point = probe % 3 == 0 ? D3DXVECTOR3(anywhere(random), anywhere(random), 0)
                                                 : near + D3DXVECTOR3(offset(random), offset(random), 0);
        SCOPED_TRACE(testing::Message() << "probe " << probe);
        for (const float farthest : {100000.0f, 400.0f, 30.0f})
            EXPECT_EQ(path.path.Nearest(point, farthest), path.NearestInOrder(point, farthest));
    }
}

// Centres and points that are not finite, and paths whose centres span no
// area, behave as the search through every piece does.
TEST(RacePath, NearestAgreesOnDegenerateInput) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<std::vector<D3DXVECTOR3>> paths = {
        {{2, 2, 0}},
        {{2, 2, 0}, {2, 2, 0}, {2, 2, 0}},
        {{0, 0, 0}, {0, 5, 0}, {0, 10, 0}, {0, 5, 0}},
        {{nan, 0, 0}, {1, 1, 0}, {inf, 0, 0}, {3, -inf, 0}, {4, 4, 0}},
        {{nan, nan, 0}, {inf, inf, 0}},
        {{1e30f, 1e30f, 0}, {-1e30f, 0, 0}, {0, 0, 0}},
    };
    const std::vector<D3DXVECTOR3> points = {
        {0, 0, 0},   {2, 2, 0},       {0, 7.5f, 0},      {50, -50, 0},  {nan, 0, 0},
        {inf, 0, 0}, {-inf, -inf, 0}, {1e30f, 1e30f, 0}, {1e20f, 0, 0},
    };
    for (std::size_t p = 0; p < paths.size(); ++p) {
        const Path path(paths[p]);
        for (std::size_t q = 0; q < points.size(); ++q) {
            SCOPED_TRACE(testing::Message() << "path " << p << ", point " << q);
            for (const float farthest : {100.0f, inf, std::numeric_limits<float>::max()})
                EXPECT_EQ(path.path.Nearest(points[q], farthest), path.NearestInOrder(points[q], farthest));
        }
    }
}
