#include "Game/RacePath.h"

#include "Game/PLine.h"

void RacePath::Assign(std::vector<CPLine*> inOrder) {
    pieces = std::move(inOrder);
    std::vector<float> x;
    std::vector<float> y;
    x.reserve(pieces.size());
    y.reserve(pieces.size());
    for (const CPLine* piece : pieces) {
        x.push_back(piece->centre.x);
        y.push_back(piece->centre.y);
    }
    grid.Build(x, y);
}
