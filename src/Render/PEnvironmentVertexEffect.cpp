#include "Render/PEnvironmentVertexEffect.h"

void CPEnvironmentVertexEffect::Apply(MeshVertex* destination, const MeshVertex* source, int count) {
    for (int i = 0; i < count; ++i) {
        MeshVertex vertex = source[i];
        vertex.u1 = vertex.x / scale + vertex.nx * 0.5f;
        vertex.v1 = vertex.y / scale + vertex.ny * 0.5f;
        destination[i] = vertex;
    }
}
