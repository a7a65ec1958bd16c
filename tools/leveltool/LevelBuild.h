#pragma once

#include "Game/PSpline.h"
#include "leveltool/TrackText.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Turns a track text into the files of a level: the level file, the flat
// collision ground "road_phys<N>" under the whole track and the ground model
// "land" the terrain quad is made from.
class LevelBuild {
public:
    // A closed racing line must be longer than this many pieces.
    static constexpr int kMinRingPieces = 70;
    // Side of the collision ground's squares.
    static constexpr float kGroundStep = 20.0f;

    // Samples the lines with the engine's own sampling and turns the cars to
    // face the race direction. False, with `error`, when a line yields no
    // piece or a closed racing line has kMinRingPieces pieces or fewer.
    bool Prepare(const TrackText& track);

    std::vector<uint8_t> LevelFileBytes() const;
    // A static mesh file of one node: a grid of kGroundStep squares at
    // height 0 over the racing line's box widened by the road and the margin;
    // empty when the grid needs more vertices than 16-bit indices reach.
    std::vector<uint8_t> GroundMeshBytes() const;

    // A mesh file in the physics layout (whose bounds the loader takes from
    // the vertices) of one node of that name without body or shapes: the
    // road drawn along the racing line, the road width wide, at height 0,
    // textured across (u) and along (v, once per road width); empty when
    // the strip needs more vertices than 16-bit indices reach.
    std::vector<uint8_t> RoadMeshBytes(const std::string& nodeName) const;
    // Adds the scenery record that places the road model (at the origin,
    // unturned, unscaled) to the level file.
    void AddRoad(const std::string& model);

    int Pieces() const { return pieces; }
    std::string error;

private:
    bool SampleCentre();
    LevelRecord FacingRace(LevelRecord car) const;
    // The racing line's piece starts in order, closed by the first one again
    // (the last piece's end for an open line).
    std::vector<D3DXVECTOR3> RoadPoints() const;

    TrackText track;
    std::vector<TrackLineEntry> lines;
    std::unique_ptr<CPSpline> centre;
    int pieces = 0;
};

// The number of pieces in the ring or chain from the first piece along
// `next`.
int CountPieces(const CPLine* first);
