#pragma once

#include "Platform/D3DX9Math.h"
#include "Render/DeformPart.h"
#include "Render/PBaseRenderObject.h"

#include <string>
#include <vector>

class CPSceneObject;
class CPVertexEffect;
struct StaticBufferRecord;

// A mesh. Its world-space copy follows the owner's world matrix whenever the
// owner marks that matrix as changed; a static mesh is drawn from the shared
// static buffers of its name instead and writes nothing per frame.
class CPRenderObject : public CPBaseRenderObject {
public:
    explicit CPRenderObject(CPSceneObject* owner);
    ~CPRenderObject() override;

    // An empty mesh never becomes static: it would need buffers of no size.
    void SetStatic(bool value) override { isStatic = value && !sourceVertices.empty(); }
    int GetVertexCount() const override { return static_cast<int>(sourceVertices.size()); }
    int GetIndexCount() const override { return static_cast<int>(indices.size()); }
    void Fill(MeshVertex* vertexDestination, uint16_t* indexDestination, int baseVertex,
              int placement) override;
    void CopyIndices(uint16_t* destination, int ignored, uint16_t* first, uint16_t* last) override;

    // Takes the source's geometry, material, static buffers and vertex
    // effects (cloned), then releases the source.
    virtual void CopyFrom(const CPRefPtr<CPRenderObject>& source);
    // Bakes the matrix into the object-space vertices (positions with the
    // translation, normals by the 3x3 part, not renormalised).
    void TransformVertices(const D3DXMATRIX& matrix);

    // Clusters the vertices of this mesh and of the meshes of the owner's
    // tree (the wheels left out) into dentable parts, and makes them white.
    void BuildDeformParts();
    // One impact: every part not yet fully damaged whose box the ray from
    // the point along the direction reaches within 1.7 takes the amount as
    // damage and gets its vertex normals turned by small random rotations.
    // Amounts of 0.01 or less do nothing.
    void DeformParts(D3DXVECTOR3 point, D3DXVECTOR3 direction, float amount);

    size_t GetSize() const override { return sizeof(CPRenderObject); }
    std::string GetClassName() const override { return "CPRenderObject"; }

    CPSceneObject* owner;
    bool hasVertexEffects = false;
    std::vector<CPVertexEffect*> vertexEffects;
    std::vector<MeshVertex> sourceVertices;
    std::vector<uint16_t> indices;
    std::vector<MeshVertex> vertices;
    std::vector<DeformPart> parts;
    bool hasParts = false;
    // The world transform the frame draws a static mesh with; the owner keeps
    // it equal to its world matrix.
    D3DXMATRIX staticWorld;
    std::string name;
    StaticBufferRecord* staticBuffers = nullptr;
    // Free for game code to write (a car's glass glow sits in w).
    D3DXVECTOR4 parameter;

private:
    void FollowOwner();
    void MovePartBoxes(const D3DXMATRIX& world);
};
