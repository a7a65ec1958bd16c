#pragma once

#include "Core/AxisAlignedBox.h"
#include "Core/PObject.h"
#include "Core/PRefPtr.h"
#include "Game/PGameObject.h"
#include "Render/FrustumPlanes.h"

#include <cstdint>
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

    // Up to four nodes whose boxes culling tests together.
    struct CullGroup {
        FrustumPlanes::BoxLanes boxes;
        // For an inner node's lane, the group of the nodes below it.
        std::uint32_t below[FrustumPlanes::kLanes];
        // Null for an inner node.
        CPLevelBranch* leaves[FrustumPlanes::kLanes];
        int count;
    };
    // The root's groups depth first, the root alone in the first, packed
    // side by side so that culling reads forward through them instead of
    // chasing the nodes through memory. Made by SetObjects and Build: nodes
    // changed afterwards are culled as they were.
    std::vector<CullGroup> cullGroups;

    std::uint32_t PackGroup(const std::vector<CPLevelBranch*>& nodes);
    void CullGroupAt(const FrustumPlanes& frustum, std::uint32_t index, CPRenderBlock* block) const;
    // The nodes to test below an inner node: its children, with those whose
    // own test can be skipped replaced by theirs, at most four.
    std::vector<CPLevelBranch*> NodesBelow() const;
    // Whether the node's box meets every frustum that one of its children's
    // boxes meets, so that the node's own test can be skipped.
    bool EnclosesChildren() const;
    std::size_t ChildMaterialCount() const { return left->materials.size() + right->materials.size(); }
};

// The model to draw for a static object at its distance from the main
// camera: the object itself, one of its detail models, or null for nothing.
CPGameObject* ChooseDetailLevel(CPGameObject& object);
