#pragma once

#include "Platform/Graphics/IndexBuffer9.h"
#include "Platform/Graphics/VertexBuffer9.h"
#include "Render/MeshVertex.h"

#include <vector>

// The shared managed-pool buffers of one static mesh, with a copy of their
// contents. Owned by the renderer's cache; clearing the cache releases the
// buffers but keeps the record, so meshes holding it see null buffers.
struct StaticBufferRecord {
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    int vertexCount = 0;
    int triangleCount = 0;
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;
};
