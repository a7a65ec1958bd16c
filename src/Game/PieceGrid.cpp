#include "Game/PieceGrid.h"

#include <algorithm>
#include <cmath>

namespace {

// The block of cells around a point is enough when every centre outside it
// is known to lie farther than the best piece found in it. The margins keep
// that bound below the float distance of any such centre however the cell
// coordinates round.
constexpr double kCellMargin = 0.01;
constexpr float kDistanceMargin = 0.999f;
constexpr double kCellsPerPieceSide = 4;
constexpr double kStepsPerCell = 3;

bool Finite(float x, float y) {
    return std::isfinite(x) && std::isfinite(y);
}

} // namespace

void PieceGrid::Best::Offer(float candidate, int piece) {
    if (candidate < distance || (candidate == distance && piece > index)) {
        distance = candidate;
        index = piece;
    }
}

namespace {

// The mean distance between neighbouring pieces' centres; 0 without two
// finite neighbours.
double MeanStep(const std::vector<float>& x, const std::vector<float>& y) {
    double sum = 0;
    int steps = 0;
    for (std::size_t i = 1; i < x.size(); ++i) {
        const double step = std::hypot(double{x[i]} - x[i - 1], double{y[i]} - y[i - 1]);
        if (std::isfinite(step)) {
            sum += step;
            ++steps;
        }
    }
    return steps > 0 ? sum / steps : 0.0;
}

} // namespace

// Cells about three times as wide as the step between pieces, so that a car
// on the road finds its piece within the four cells nearest it; over a sparse path
// the grid is coarser, at most about sixteen cells per piece.
void PieceGrid::Build(const std::vector<float>& x, const std::vector<float>& y) {
    const int count = static_cast<int>(x.size());
    double lowX = HUGE_VAL, lowY = HUGE_VAL, highX = -HUGE_VAL, highY = -HUGE_VAL;
    for (int i = 0; i < count; ++i) {
        if (!Finite(x[i], y[i]))
            continue;
        lowX = std::min(lowX, double{x[i]});
        lowY = std::min(lowY, double{y[i]});
        highX = std::max(highX, double{x[i]});
        highY = std::max(highY, double{y[i]});
    }
    const bool anyFinite = lowX <= highX;
    originX = anyFinite ? lowX : 0.0;
    originY = anyFinite ? lowY : 0.0;
    const double extent = anyFinite ? std::max(highX - lowX, highY - lowY) : 0.0;
    const double perSide = std::ceil(std::sqrt(static_cast<double>(std::max(count, 1))));
    cellSize =
        extent > 0 ? std::max(kStepsPerCell * MeanStep(x, y), extent / (kCellsPerPieceSide * perSide)) : 1.0;
    columns = 1;
    rows = 1;
    if (anyFinite) {
        columns = static_cast<int>(std::floor((highX - originX) / cellSize)) + 1;
        rows = static_cast<int>(std::floor((highY - originY) / cellSize)) + 1;
    }

    const int cells = columns * rows;
    std::vector<int> cellOf(x.size(), cells);
    cellStart.assign(static_cast<std::size_t>(cells) + 2, 0);
    for (int i = 0; i < count; ++i) {
        if (Finite(x[i], y[i]))
            cellOf[i] = Row(y[i]) * columns + Column(x[i]);
        ++cellStart[cellOf[i] + 1];
    }
    for (std::size_t c = 1; c < cellStart.size(); ++c)
        cellStart[c] += cellStart[c - 1];
    entryPiece.assign(x.size(), 0);
    entryX.assign(x.size(), 0);
    entryY.assign(x.size(), 0);
    std::vector<int> next(cellStart.begin(), cellStart.end() - 1);
    for (int i = 0; i < count; ++i) {
        const int slot = next[cellOf[i]]++;
        entryPiece[slot] = i;
        entryX[slot] = x[i];
        entryY[slot] = y[i];
    }
    // The loose pieces' run is the last "cell"; no block reaches it.
    cellStart.pop_back();
}

// The first of the pair of cells nearest a point `cells` cell widths along
// an axis. Off the grid the pair lies off it or at its edge: clamping the
// point there keeps every centre outside the pair at least half a width
// away.
int PieceGrid::FirstOfPair(double cells, int count) {
    const double clamped = std::clamp(cells, -2.0, count + 1.0);
    const double cell = std::floor(clamped);
    return static_cast<int>(cell) - (clamped - cell < 0.5 ? 1 : 0);
}

// The cell of a centre; the clamp keeps rounding from stepping off the grid.
int PieceGrid::Column(double x) const {
    const double column = std::floor((x - originX) / cellSize);
    return static_cast<int>(std::clamp(column, 0.0, static_cast<double>(columns - 1)));
}

int PieceGrid::Row(double y) const {
    const double row = std::floor((y - originY) / cellSize);
    return static_cast<int>(std::clamp(row, 0.0, static_cast<double>(rows - 1)));
}

void PieceGrid::SearchEntries(int from, int to, float px, float py, Best& best) const {
    for (int k = from; k < to; ++k) {
        const float dx = entryX[k] - px;
        const float dy = entryY[k] - py;
        best.Offer(dx * dx + dy * dy, entryPiece[k]);
    }
}

// The two-by-two block of cells nearest the point, one run of entries per
// row of cells.
void PieceGrid::SearchBlock(int firstColumn, int firstRow, float px, float py, Best& best) const {
    const int first = std::max(firstColumn, 0);
    const int last = std::min(firstColumn + 1, columns - 1);
    if (first > last)
        return;
    for (int r = std::max(firstRow, 0); r <= std::min(firstRow + 1, rows - 1); ++r)
        SearchEntries(cellStart[r * columns + first], cellStart[r * columns + last + 1], px, py, best);
}

// The block around the point: on each axis its own cell and the neighbour on
// the side of the cell's half it lies in. A centre outside the block lies at
// least half a cell's width from the point on some axis, so when that
// width, squared, exceeds the best distance the block holds the answer;
// otherwise (a point far from the path, or not finite) every piece is read.
int PieceGrid::Nearest(float px, float py, float farthest) const {
    Best best{farthest, -1};
    const int total = static_cast<int>(entryPiece.size());
    if (total > 0 && Finite(px, py)) {
        SearchEntries(cellStart.back(), total, px, py, best);
        SearchBlock(FirstOfPair((px - originX) / cellSize, columns),
                    FirstOfPair((py - originY) / cellSize, rows), px, py, best);
        const auto reach = static_cast<float>((0.5 - kCellMargin) * cellSize);
        if (reach * reach * kDistanceMargin > best.distance)
            return best.index;
    }
    SearchEntries(0, total, px, py, best);
    return best.index;
}
