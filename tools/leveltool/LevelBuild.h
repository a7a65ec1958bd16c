#pragma once

#include "Game/PSpline.h"
#include "Render/MeshFile.h"
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
    // The drawn barriers' thickness, and the length of wall one repeat of
    // their texture covers.
    static constexpr float kBarrierThickness = 0.5f;
    static constexpr float kBarrierPattern = 4.0f;

    // Samples the lines with the engine's own sampling and turns the cars to
    // face the race direction. False, with `error`, when a line yields no
    // piece or a closed racing line has kMinRingPieces pieces or fewer.
    bool Prepare(const TrackText& track);

    std::vector<uint8_t> LevelFileBytes() const;
    // A static mesh file of one node: a grid of kGroundStep squares at
    // height 0 over the racing line's box widened by the road and the margin,
    // and the barriers' inner faces standing on it; empty when the mesh needs
    // more vertices than 16-bit indices reach.
    std::vector<uint8_t> GroundMeshBytes() const;

    // A mesh file in the physics layout (whose bounds the loader takes from
    // the vertices) of one node of that name without body or shapes: the
    // road drawn along the racing line, the road width wide, at height 0,
    // textured across (u) and along (v, once per road width); empty when
    // the strip needs more vertices than 16-bit indices reach.
    std::vector<uint8_t> RoadMeshBytes(const std::string& nodeName) const;
    // A mesh file in the physics layout of one node of that name: the
    // barriers drawn on both sides of the road (inner and outer faces and a
    // top, kBarrierThickness thick), with a box shape over each length of
    // wall, so that shots strike them; empty without barriers or when the
    // walls need more vertices than 16-bit indices reach.
    std::vector<uint8_t> BarrierMeshBytes(const std::string& nodeName) const;
    // Adds the scenery record that places a model of the whole track (at
    // the origin, unturned, unscaled) to the level file.
    void AddScenery(const std::string& model);
    bool HasBarriers() const { return track.barrierOffset > 0; }

    int Pieces() const { return pieces; }
    std::string error;

private:
    // The foot of one barrier's inner face along the road, and the unit
    // vectors pointing away from the road at each point.
    struct BarrierSide {
        std::vector<D3DXVECTOR3> foot;
        std::vector<D3DXVECTOR3> outward;
    };
    std::vector<BarrierSide> BarrierSides() const;
    bool AddWalls(MeshFileNode& node) const;
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
