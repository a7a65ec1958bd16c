#include "Game/RacePath.h"
#include "Game/PLine.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace {

// Pieces with the given centres, in order.
class Path {
public:
    explicit Path(const std::vector<D3DXVECTOR3>& centres) {
        for (const D3DXVECTOR3& centre : centres) {
            lines.push_back(std::make_unique<CPLine>());
            lines.back()->centre = centre;
            path.Add(lines.back().get());
        }
    }

    // The search in piece order the packed one must agree with.
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

// Ties go to the later piece whether they share a lane, sit in different
// lanes or fall among the last pieces after the whole groups of four; height
// is ignored; nothing beyond the limit is found.
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
        {"six pieces at 1, the last after the groups", {0, 0, 0}, 100, 8},
        {"equal pieces in the same lane", {1, 0, 0}, 100, 5},
        {"equal pieces in different lanes", {0.5f, -0.5f, 0}, 100, 6},
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

// Rings of every length from 1 to 13 with centres on a coarse grid (many
// ties): the packed search finds the piece the ordered search does.
TEST(RacePath, NearestAgreesWithTheSearchInPieceOrder) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> grid(-3, 3);
    for (int count = 1; count <= 13; ++count) {
        std::vector<D3DXVECTOR3> centres;
        for (int i = 0; i < count; ++i)
            centres.emplace_back(static_cast<float>(grid(random)), static_cast<float>(grid(random)), 0.0f);
        const Path path(centres);
        for (int probe = 0; probe < 20; ++probe) {
            const D3DXVECTOR3 point(static_cast<float>(grid(random)), static_cast<float>(grid(random)), 0.0f);
            SCOPED_TRACE(testing::Message() << count << " pieces, probe " << probe);
            EXPECT_EQ(path.path.Nearest(point, 8), path.NearestInOrder(point, 8));
        }
    }
}
