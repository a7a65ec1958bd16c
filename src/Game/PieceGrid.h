#pragma once

#include <vector>

// The centres of a race path's pieces on the ground, bucketed in square
// cells, so that the search for the nearest piece, which every car runs each
// frame, reads the few cells around a car instead of every piece.
class PieceGrid {
public:
    // Buckets the centres (x[i], y[i]) of pieces 0 to n - 1.
    void Build(const std::vector<float>& x, const std::vector<float>& y);

    // The piece whose centre lies nearest (px, py), the last of equally near
    // ones, among those whose squared distance is at most `farthest`; -1 for
    // none. Distances are summed as dx * dx + dy * dy in float, exactly as a
    // search through every piece would, so the answer is that search's.
    int Nearest(float px, float py, float farthest) const;

private:
    struct Best {
        float distance;
        int index;
        void Offer(float candidate, int piece);
    };

    static int FirstOfPair(double cells, int count);
    int Column(double x) const;
    int Row(double y) const;
    void SearchEntries(int from, int to, float px, float py, Best& best) const;
    void SearchBlock(int firstColumn, int firstRow, float px, float py, Best& best) const;

    double originX = 0;
    double originY = 0;
    double cellSize = 1;
    int columns = 0;
    int rows = 0;
    // The pieces with their centres, cell by cell: cell c holds entries
    // cellStart[c] to cellStart[c + 1] - 1. Pieces whose centre is not
    // finite lie in no cell; they follow the last cell's entries and every
    // search reads them.
    std::vector<int> cellStart;
    std::vector<int> entryPiece;
    std::vector<float> entryX;
    std::vector<float> entryY;
};
