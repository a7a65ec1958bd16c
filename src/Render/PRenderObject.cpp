#include "Render/PRenderObject.h"

#include "Render/PRender.h"
#include "Render/PSceneObject.h"
#include "Render/PVertexEffect.h"
#include "Render/VertexPlacement.h"

#include <algorithm>

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
    CloneEffectChain(vertexEffects, source->vertexEffects);
    source->Release();
}

void CPRenderObject::TransformVertices(const D3DXMATRIX& matrix) {
    for (MeshVertex& vertex : sourceVertices)
        PlaceVertex(vertex, matrix, vertex);
}
