#pragma once

#include "Game/PieceGrid.h"
#include "Platform/D3DX9Math.h"

#include <cstddef>
#include <vector>

class CPLine;

// The pieces of the race's line in race order, with their centres bucketed
// for the search for the nearest piece that every car runs each frame.
class RacePath {
public:
    void Clear() { Assign({}); }
    // Takes the pieces in race order; their centres are read now.
    void Assign(std::vector<CPLine*> inOrder);

    std::size_t size() const { return pieces.size(); }
    bool empty() const { return pieces.empty(); }
    CPLine* operator[](std::size_t i) const { return pieces[i]; }

    // The piece whose centre lies nearest the point on the ground (x, y),
    // the last of equally near ones, among those whose squared distance is
    // at most `farthest`; -1 for none.
    int Nearest(const D3DXVECTOR3& point, float farthest) const {
        return grid.Nearest(point.x, point.y, farthest);
    }

private:
    std::vector<CPLine*> pieces;
    PieceGrid grid;
};
