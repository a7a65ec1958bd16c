#pragma once

#include "Core/BoundingBox.h"
#include "Core/PObject.h"
#include "Render/MeshFile.h"
#include "Render/MeshVertex.h"

#include <cstdint>
#include <string>
#include <vector>

// One whole frame of a vertex animation and its place in the sequence.
struct AnimationFrame {
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;
    int frameNumber = 0;
};

// The vertex frames of one node of one mesh file, shared through the
// animation manager by every object loaded from that file.
class CPAnimation : public CPObject {
public:
    // The float nearest 1/2400: frame times are stored in 1/2400 s.
    static constexpr float kFrameTimeUnit = 0.00041666668f;

    explicit CPAnimation(std::string key);

    // Takes the node's frames anew (records are overwritten in place, so
    // holders see the new frames), every vertex with the `diffuse` colour,
    // and the box over every vertex of every frame (a zero box at the origin
    // when there is none).
    void Load(const MeshFileNode& node, DWORD diffuse);

    // The index of the frame shown `seconds` into a play that loops: time
    // past the length wraps around, a frame past the last is the last, a
    // time before the start is frame 0. Frame 0 when the frames take no time
    // (or the time is not a number); -1 without frames.
    int FrameAt(float seconds) const;

    size_t GetSize() const override { return sizeof(CPAnimation); }
    std::string GetClassName() const override { return "CPAnimation"; }

    std::string name;
    // Seconds: frameDuration x frameCount.
    float length = 0;
    int frameCount = 0;
    float frameDuration = 0;
    std::vector<AnimationFrame> frames;
    BoundingBox bounds;

private:
    void UpdateBounds();
};
