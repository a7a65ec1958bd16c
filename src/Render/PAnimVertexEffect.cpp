#include "Render/PAnimVertexEffect.h"

#include "Core/PGlobalTimer.h"

#include <cmath>

namespace {

int SheetFrames(int columns, int rows) {
    if (columns < 1 || rows < 1)
        return 0;
    const int64_t frames = int64_t{columns} * rows;
    return frames <= CPAnimVertexEffect::kMaxFrames ? static_cast<int>(frames) : 0;
}

} // namespace

CPAnimVertexEffect::CPAnimVertexEffect(int columnCount, int rowCount, float framesPerSecond)
    : columns(columnCount), rows(rowCount), speed(framesPerSecond),
      uScale(columnCount > 0 ? 1.0f / static_cast<float>(columnCount) : 0.0f),
      vScale(rowCount > 0 ? 1.0f / static_cast<float>(rowCount) : 0.0f),
      frameCount(SheetFrames(columnCount, rowCount)) {
    uTable.reserve(static_cast<std::size_t>(frameCount));
    vTable.reserve(static_cast<std::size_t>(frameCount));
    for (int j = 0; j < rows && frameCount > 0; ++j) {
        for (int k = 0; k < columns; ++k) {
            uTable.push_back(static_cast<float>(k) / static_cast<float>(columns));
            vTable.push_back(static_cast<float>(j) / static_cast<float>(rows));
        }
    }
}

void CPAnimVertexEffect::Update(float dt) {
    time += dt;
    if (frameCount <= 0)
        return;
    const double frames = std::trunc(static_cast<double>(time) * speed);
    // A frame number beyond 64 bits (or not a number at all) has no frame.
    if (!(std::fabs(frames) < 9.0e18)) {
        frame = 0;
        return;
    }
    const int64_t count = frameCount;
    // Backwards play (a negative speed) counts down through the frames.
    frame = static_cast<int>((static_cast<int64_t>(frames) % count + count) % count);
}

void CPAnimVertexEffect::Apply(MeshVertex* destination, const MeshVertex* source, int count) {
    Update(g_FrameTime);
    for (int i = 0; i < count; ++i) {
        MeshVertex vertex = source[i];
        if (frameCount > 0) {
            vertex.u0 = uTable[frame] + uScale * vertex.u0;
            vertex.v0 = vTable[frame] + vScale * vertex.v0;
        }
        destination[i] = vertex;
    }
}
