#include "Render/PRenderObject.h"

#include "Render/PRender.h"
#include "Render/PSceneObject.h"
#include "Render/PVertexEffect.h"

#include <algorithm>

namespace {

// Writes the source's position times the matrix (row vector with w = 1,
// translation included) and its normal times the 3x3 part into the target.
void PlaceVertex(const MeshVertex& source, const D3DXMATRIX& m, MeshVertex& target) {
    const float x = source.x, y = source.y, z = source.z;
    target.x = x * m._11 + y * m._21 + z * m._31 + m._41;
    target.y = x * m._12 + y * m._22 + z * m._32 + m._42;
    target.z = x * m._13 + y * m._23 + z * m._33 + m._43;
    const float nx = source.nx, ny = source.ny, nz = source.nz;
    target.nx = nx * m._11 + ny * m._21 + nz * m._31;
    target.ny = nx * m._12 + ny * m._22 + nz * m._32;
    target.nz = nx * m._13 + ny * m._23 + nz * m._33;
}

} // namespace

CPRenderObject::CPRenderObject(CPSceneObject* ownerObject) : owner(ownerObject) {
    D3DXMatrixIdentity(&staticWorld);
}

CPRenderObject::~CPRenderObject() {
    for (CPVertexEffect* effect : vertexEffects)
        delete effect;
}

void CPRenderObject::Fill(MeshVertex* vertexDestination, uint16_t* indexDestination, int baseVertex, int) {
    if (isStatic || sourceVertices.empty())
        return;
    // The counts come from the source vertices: the world copy must match them.
    const bool resized = vertices.size() != sourceVertices.size();
    if (resized)
        vertices = sourceVertices;
    if (owner && (owner->IsWorldChanged() || resized)) {
        FollowOwner();
        owner->ClearWorldChanged();
    }
    const int count = static_cast<int>(vertices.size());
    if (hasVertexEffects && !vertexEffects.empty()) {
        vertexEffects.front()->Apply(vertexDestination, vertices.data(), count);
        for (std::size_t i = 1; i < vertexEffects.size(); ++i)
            vertexEffects[i]->Apply(vertexDestination, vertexDestination, count);
    } else {
        std::copy(vertices.begin(), vertices.end(), vertexDestination);
    }
    for (std::size_t i = 0; i < indices.size(); ++i)
        indexDestination[i] = static_cast<uint16_t>(baseVertex + indices[i]);
}

void CPRenderObject::FollowOwner() {
    const D3DXMATRIX& world = owner->GetWorldMatrix();
    for (std::size_t k = 0; k < sourceVertices.size(); ++k) {
        PlaceVertex(sourceVertices[k], world, vertices[k]);
        vertices[k].diffuse = sourceVertices[k].diffuse;
    }
    if (hasParts)
        MovePartBoxes(world);
}

void CPRenderObject::CopyIndices(uint16_t* destination, int, uint16_t* first, uint16_t* last) {
    if (vertices.empty() || indices.empty())
        return;
    std::copy(indices.begin(), indices.end(), destination);
    *first = indices.front();
    *last = indices.back();
}

void CPRenderObject::CopyFrom(const CPRefPtr<CPRenderObject>& source) {
    owner = source->owner;
    sourceVertices = source->sourceVertices;
    vertices = source->vertices;
    indices = source->indices;
    material = source->material;
    // Without a renderer there are no static buffers: the copy stays dynamic.
    SetStatic(source->IsStatic() && g_Render);
    if (isStatic) {
        name = source->name;
        staticBuffers = g_Render->GetStaticBuffers(name, sourceVertices.data(), indices.data(),
                                                   GetVertexCount(), GetIndexCount());
        SetStatic(staticBuffers != nullptr);
    }
    hasVertexEffects = source->hasVertexEffects;
    for (CPVertexEffect* effect : vertexEffects)
        delete effect;
    vertexEffects.clear();
    for (const CPVertexEffect* effect : source->vertexEffects)
        vertexEffects.push_back(effect->Clone());
    source->Release();
}

void CPRenderObject::TransformVertices(const D3DXMATRIX& matrix) {
    for (MeshVertex& vertex : sourceVertices)
        PlaceVertex(vertex, matrix, vertex);
}
