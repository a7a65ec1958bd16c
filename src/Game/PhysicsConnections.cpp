#include "Game/PhysicsConnections.h"

#include "Game/PGameObject.h"
#include "Physics/PPhysics.h"
#include "Physics/PhysicsServices.h"
#include "Physics/VectorConversions.h"
#include "Render/PRenderObject.h"
#include "Render/ShadowDecal.h"

#include <algorithm>

namespace {

CPGameObject* GameObject(CPObject* object) {
    return dynamic_cast<CPGameObject*>(object);
}

// The grid's triangle t as a decal triangle; false when t or one of its
// vertices is not in the grid (candidates left from an earlier level's grid).
bool GridTriangle(const CPTerrainGrid& grid, int t, DecalTriangle& triangle) {
    if (t < 0 || t >= grid.TriangleCount())
        return false;
    const RbTriangle& source = grid.Triangles()[static_cast<std::size_t>(t)];
    const std::vector<RbVector>& vertices = grid.Vertices();
    for (int k = 0; k < 3; ++k) {
        const int index = source.vertex[k];
        if (index < 0 || static_cast<std::size_t>(index) >= vertices.size())
            return false;
        triangle.index[k] = index;
        triangle.corner[k] = ToD3D(vertices[static_cast<std::size_t>(index)]);
    }
    return true;
}

std::vector<DecalTriangle> CandidateTriangles(const CPObject* physics) {
    std::vector<DecalTriangle> triangles;
    const auto* description = dynamic_cast<const CPPhysicData*>(physics);
    if (!description || !g_Physics)
        return triangles;
    const CPTerrainGrid& grid = g_Physics->GetTerrainGrid();
    const int count = std::clamp(description->candidateCount, 0, CPTerrainGrid::CandidateCapacity);
    for (int k = 0; k < count; ++k) {
        DecalTriangle triangle;
        if (GridTriangle(grid, description->candidateTriangles[k], triangle))
            triangles.push_back(triangle);
    }
    return triangles;
}

} // namespace

void ConnectPhysicsToGameObjects() {
    g_PhysicsServices.physicData = [](CPObject* object) -> CPPhysicData* {
        CPGameObject* gameObject = GameObject(object);
        return gameObject ? gameObject->physicData.Get() : nullptr;
    };
    g_PhysicsServices.position = [](CPObject* object) {
        CPGameObject* gameObject = GameObject(object);
        return gameObject ? gameObject->GetPosition() : D3DXVECTOR3();
    };
    g_PhysicsServices.orientation = [](CPObject* object) {
        CPGameObject* gameObject = GameObject(object);
        return gameObject ? gameObject->GetOrientation() : D3DXQUATERNION(0, 0, 0, 1);
    };
    g_PhysicsServices.setPose = [](CPObject* object, const D3DXVECTOR3& position,
                                   const D3DXQUATERNION& orientation) {
        if (CPGameObject* gameObject = GameObject(object)) {
            gameObject->SetPosition(position);
            gameObject->SetOrientation(orientation);
            gameObject->UpdateHierarchy();
        }
    };
    // The struck object's own mesh: a car body's parts reach the meshes of
    // its whole tree.
    g_PhysicsServices.deformParts = [](CPObject* object, const D3DXVECTOR3& point,
                                       const D3DXVECTOR3& direction, float amount) {
        CPGameObject* gameObject = GameObject(object);
        if (CPRenderObject* mesh = gameObject ? gameObject->GetRenderObject() : nullptr)
            mesh->DeformParts(point, direction, amount);
    };
}

void ConnectShadowDecalsToTerrain() {
    g_DecalTerrainSource = CandidateTriangles;
}
