#include "Render/PIVBlock.h"

#include "Render/PIVertexBuffer.h"

void CPIVBlock::Empty() {
    objects.clear();
    staticObjects.clear();
    ranges.clear();
    indexCount = 0;
    vertexCount = 0;
    placed = false;
}
