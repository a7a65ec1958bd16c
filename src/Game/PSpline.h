#pragma once

#include "Game/BezierSegment.h"
#include "Game/PGameObject.h"
#include "Game/PLine.h"
#include "Render/MeshVertex.h"

#include <memory>
#include <string>
#include <vector>

class CPFileReader;

// A track line: a curve of cubic Bezier segments read from the level file,
// sampled at load time into a ring of straight pieces of 10.5 length units,
// with a line mesh (one zero-area triangle per piece) as its visual. The
// level keeps its racing line and its two edges as splines and searches
// their rings for the piece nearest a point.
class CPSpline : public CPGameObject {
public:
    static constexpr float kPieceLength = 10.5f;
    // Each piece takes three 16-bit mesh indices.
    static constexpr int kMaxPieces = 21845;

    CPSpline();

    size_t GetSize() const override { return sizeof(CPSpline); }
    std::string GetClassName() const override { return "CPSpline"; }
    void Activate(int) override {}
    void Deactivate() override {}

    // Reads one track-line entry (name, closed flag, segment count, then per
    // segment start, end, first control and second control point) and
    // samples it. False, with the line left empty, when the entry is cut
    // short, holds a number that is not finite, is too long to sample or
    // yields no piece.
    bool Load(CPFileReader& reader);
    // True when the last Load read its entry to the end, so that the stream
    // stands at the next entry even when the line yielded no piece.
    bool EntryWasRead() const { return entryRead; }

    static D3DXVECTOR3 Evaluate(const BezierSegment& segment, float t);
    // The point at distance d along the segment (measured in its length
    // value) and the unnormalised direction toward the point 0.1 further on.
    static void PointAtDistance(const BezierSegment& segment, float d, D3DXVECTOR3& point,
                                D3DXVECTOR3& direction);

    // Sets the heights of every piece's start, end and centre from the
    // physics terrain.
    void DrapeOnTerrain();

    // Searches the ring outward from `start` in both directions while the
    // pieces stay within the square of half-size `radius` around the point;
    // `start` and `currentLine` become the piece whose centre is nearest.
    // Then steps `steps` pieces from it (positive along prev, negative along
    // next), writes the point's signed distance from that piece's line into
    // `radius` (positive on its right) and returns that piece's angle. A null
    // `start` begins at the first piece; a line without pieces returns 0.
    float FindClosestLine(const D3DXVECTOR3& point, float& radius, int steps, CPLine*& start);

    const std::string& GetSplineName() const { return splineName; }

    std::vector<BezierSegment> segments;
    bool closed = false;
    float totalLength = 0;
    std::string splineName;
    CPLine* currentLine = nullptr;
    // Every piece made, in order; the last one may lie outside the ring.
    std::vector<std::unique_ptr<CPLine>> lines;
    CPLine* firstLine = nullptr;

private:
    bool ReadEntry(CPFileReader& reader);
    bool ReadSegment(CPFileReader& reader);
    bool SampleRing(std::vector<MeshVertex>& vertices, std::vector<uint16_t>& indices);
    // Leaves `point` as it was when the distance lies past the end of an open
    // line or in no segment.
    void PointOnLine(float distance, D3DXVECTOR3& point) const;
    void InstallMesh(std::vector<MeshVertex> vertices, std::vector<uint16_t> indices);
    void Clear();

    bool entryRead = false;
};
