#include "Render/PIVBlock.h"

#include "Render/PIVertexBuffer.h"

void CPIVBlock::AddRenderObject(const CPRefPtr<CPBaseRenderObject>& object) {
    objects.push_back(object);
    if (object->IsStatic())
        return;
    indexCount += object->GetIndexCount();
    vertexCount += object->GetVertexCount();
}

void CPIVBlock::Empty() {
    objects.clear();
    staticObjects.clear();
    ranges.clear();
    indexCount = 0;
    vertexCount = 0;
    placed = false;
}
