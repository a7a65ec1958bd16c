#pragma once

#include "Render/PVertexEffect.h"

#include <cstdint>
#include <vector>

// Plays a sprite sheet of columns x rows frames (row by row) at `speed`
// frames per second by mapping the first texture coordinates into the
// current frame's cell.
class CPAnimVertexEffect : public CPVertexEffect {
public:
    // The largest sheet a description may ask for.
    static constexpr int64_t kMaxFrames = 65536;

    // Columns or rows below 1, or a sheet of more than kMaxFrames, give no
    // frames: the vertices pass unchanged.
    CPAnimVertexEffect(int columns, int rows, float speed);

    void Update(float dt) override;
    void Apply(MeshVertex* destination, const MeshVertex* source, int count) override;
    CPVertexEffect* Clone() const override { return new CPAnimVertexEffect(*this); }

    int columns;
    int rows;
    float speed;
    float time = 0;
    std::vector<float> uTable;
    std::vector<float> vTable;
    float uScale;
    float vScale;
    int frame = 0;
    int frameCount;
};
