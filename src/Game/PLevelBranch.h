#pragma once

#include "Core/AxisAlignedBox.h"
#include "Core/PObject.h"
#include "Core/PRefPtr.h"
#include "Game/LeafCuller.h"
#include "Game/PGameObject.h"

#include <memory>
#include <unordered_set>
#include <vector>

class CPMaterial;
class CPPerspectiveCamera;
class CPRenderBlock;
struct RayQuery;

// A node of the two-way tree over a level's objects that serves culling with
// the choice of detail levels, ray picking, sphere queries and the
// deactivation of the moving objects. Splits keep objects that share
// materials together so that a subtree draws with few material changes.
class CPLevelBranch : public CPObject {
public:
    using ObjectList = std::vector<CPRefPtr<CPGameObject>>;

    // Nodes this deep stay leaves: a level whose objects split one at a time
    // cannot recurse without bound.
    static constexpr int kMaxDepth = 48;

    size_t GetSize() const override { return sizeof(CPLevelBranch); }
    std::string GetClassName() const override { return "CPLevelBranch"; }

    // The root's objects: the node's box, materials and static/dynamic lists.
    // With the "static" setting on, each static object also goes to the
    // renderer's static block, once for the whole tree.
    void SetObjects(const ObjectList& range);
    // Splits the node until each leaf's objects share one centre (or the
    // depth limit is reached).
    void Build();
    // Draws the leaves whose boxes meet the camera's frustum (as built by
    // the last SetObjects or Build).
    void CullVisible(const CPRefPtr<CPPerspectiveCamera>& camera);
    // Submits the leaf's moving objects and its static objects at the detail
    // level their distance from the main camera calls for.
    void DrawLeaf();
    // Whether an object of the subtree lies on the query's ray; the nearest
    // hit is written into the query.
    bool RayTest(RayQuery& query);
    // Appends the objects whose part boxes touch the sphere.
    void QuerySphere(const D3DXVECTOR3& centre, float radius, ObjectList& result);
    // Deactivates the moving objects; static ones stay active.
    void DeactivateObjects();

    std::unordered_set<CPMaterial*> materials;
    AxisAlignedBox box;
    std::unique_ptr<CPLevelBranch> left;
    std::unique_ptr<CPLevelBranch> right;
    ObjectList objects;
    ObjectList dynamicObjects;
    ObjectList staticObjects;

private:
    void Assign(const ObjectList& range);
    void CollectMaterials();
    void Build(int depth);
    // Splits the objects at the middle of their centres on one axis; false
    // when one side would be empty.
    bool TrySplit(int axis, const D3DXVECTOR3& middle);
    void DrawLeaf(CPRenderBlock& block);
    void PackCullGroups();

    // The root's leaves as culling reads them; made by SetObjects and Build.
    std::unique_ptr<LeafCuller> culler;

    std::size_t ChildMaterialCount() const { return left->materials.size() + right->materials.size(); }
};

// The model to draw for a static object at its distance from the main
// camera: the object itself, one of its detail models, or null for nothing.
CPGameObject* ChooseDetailLevel(CPGameObject& object);
