#include "Game/PLevelBranch.h"

#include "Core/PSettings.h"
#include "Game/RayQuery.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"

#include <algorithm>
#include <cmath>

namespace {

D3DXVECTOR3 BoxCentre(const AxisAlignedBox& box) {
    return (box.min + box.max) * 0.5f;
}

void AddMaterial(std::unordered_set<CPMaterial*>& set, const CPRefPtr<CPMaterial>& material) {
    if (material)
        set.insert(material.Get());
}

// ChooseDetailLevel for an object with detail models.
CPGameObject* ChooseByDistance(CPGameObject& object) {
    if (!g_MainCamera)
        return &object;
    // In float: the squared view distance overflows an int from 46,341 on.
    const float viewDistance = static_cast<float>(g_Distance);
    const float farthest = viewDistance * viewDistance;
    const D3DXVECTOR3 offset = object.position - g_MainCamera->eye;
    const float d2 = D3DXVec3LengthSq(&offset);
    if (d2 > farthest)
        return nullptr;
    float previous = farthest;
    for (std::size_t k = object.detailLevels.size() - 1; k >= 1; --k) {
        const float switchDistance = static_cast<float>(object.detailLevels[k].second);
        const float threshold = switchDistance * switchDistance;
        if (d2 <= previous && d2 > threshold)
            return object.detailLevels[k].first.Get();
        previous = threshold;
    }
    return &object;
}

} // namespace

void CPLevelBranch::SetObjects(const ObjectList& range) {
    Assign(range);
    PackCullGroups();
    if (g_StaticSetting == 0 || !g_Render)
        return;
    const CPRefPtr<CPRenderBlock> staticBlock = g_Render->GetStaticBlock();
    if (!staticBlock)
        return;
    for (const CPRefPtr<CPGameObject>& object : staticObjects)
        staticBlock->AddStaticObjects(object.Get());
}

void CPLevelBranch::Assign(const ObjectList& range) {
    objects = range;
    materials.clear();
    dynamicObjects.clear();
    staticObjects.clear();
    left.reset();
    right.reset();
    if (objects.empty())
        return;
    box = objects.front()->bounds;
    for (std::size_t i = 1; i < objects.size(); ++i)
        box.Merge(objects[i]->bounds);
    CollectMaterials();
    for (const CPRefPtr<CPGameObject>& object : objects)
        (object->isStatic ? staticObjects : dynamicObjects).push_back(object);
}

void CPLevelBranch::CollectMaterials() {
    ObjectList subtree;
    for (const CPRefPtr<CPGameObject>& object : objects)
        object->CollectTree(subtree);
    for (const CPRefPtr<CPGameObject>& object : subtree) {
        if (!object->isStatic || object->visualKind != VISUAL_MESH || !object->GetVisual())
            continue;
        AddMaterial(materials, object->GetVisual()->GetMaterial());
        if (object->castsShadow)
            AddMaterial(materials, object->shadowMaterial);
    }
}

void CPLevelBranch::Build() {
    Build(0);
    PackCullGroups();
}

void CPLevelBranch::PackCullGroups() {
    if (objects.empty()) {
        culler.reset();
        return;
    }
    if (!culler)
        culler = std::make_unique<LeafCuller>();
    culler->Pack(*this);
}

void CPLevelBranch::Build(int depth) {
    if (objects.empty() || depth >= kMaxDepth)
        return;
    D3DXVECTOR3 lowest = BoxCentre(objects.front()->bounds);
    D3DXVECTOR3 highest = lowest;
    for (const CPRefPtr<CPGameObject>& object : objects) {
        const D3DXVECTOR3 centre = BoxCentre(object->bounds);
        for (int axis = 0; axis < 3; ++axis) {
            lowest[axis] = std::min(lowest[axis], centre[axis]);
            highest[axis] = std::max(highest[axis], centre[axis]);
        }
    }
    const D3DXVECTOR3 middle = (lowest + highest) * 0.5f;
    for (int axis = 0; axis < 3; ++axis)
        TrySplit(axis, middle);
    if (left) {
        left->Build(depth + 1);
        right->Build(depth + 1);
    }
}

bool CPLevelBranch::TrySplit(int axis, const D3DXVECTOR3& middle) {
    ObjectList lower;
    ObjectList upper;
    for (const CPRefPtr<CPGameObject>& object : objects)
        (BoxCentre(object->bounds)[axis] <= middle[axis] ? lower : upper).push_back(object);
    if (lower.empty() || upper.empty())
        return false;
    auto candidateLeft = std::make_unique<CPLevelBranch>();
    auto candidateRight = std::make_unique<CPLevelBranch>();
    candidateLeft->Assign(lower);
    candidateRight->Assign(upper);
    // A later axis replaces the split only with strictly fewer materials.
    if (left && candidateLeft->materials.size() + candidateRight->materials.size() >= ChildMaterialCount())
        return false;
    left = std::move(candidateLeft);
    right = std::move(candidateRight);
    return true;
}

void CPLevelBranch::CullVisible(const CPRefPtr<CPPerspectiveCamera>& camera) {
    if (!camera || !culler)
        return;
    // Without a renderer the leaves are found but nothing is drawn.
    CPRenderBlock* block = g_Render ? g_Render->GetRenderBlock().Get() : nullptr;
    culler->ForEachVisible(camera->Frustum(), [block](CPLevelBranch& leaf) {
        if (block)
            leaf.DrawLeaf(*block);
    });
}

void CPLevelBranch::DrawLeaf() {
    if (g_Render && g_Render->GetRenderBlock())
        DrawLeaf(*g_Render->GetRenderBlock());
}

void CPLevelBranch::DrawLeaf(CPRenderBlock& block) {
    g_Render->visibleObjectCount += static_cast<int>(objects.size());
    for (const CPRefPtr<CPGameObject>& object : dynamicObjects)
        block.AddObject(object.Get());
    for (const CPRefPtr<CPGameObject>& object : staticObjects) {
        if (CPGameObject* model = ChooseDetailLevel(*object))
            block.AddObject(model);
    }
}

// Small enough to inline into DrawLeaf, where most objects have no detail
// models.
CPGameObject* ChooseDetailLevel(CPGameObject& object) {
    return object.detailLevels.size() < 2 ? &object : ChooseByDistance(object);
}

bool CPLevelBranch::RayTest(RayQuery& query) {
    if (objects.empty() || !box.IntersectSegment(query.origin, query.direction, query.length))
        return false;
    if (left) {
        const bool leftHit = left->RayTest(query);
        const bool rightHit = right->RayTest(query);
        return leftHit || rightHit;
    }
    bool hit = false;
    for (const CPRefPtr<CPGameObject>& object : objects)
        hit = object->RayTest(query) || hit;
    return hit;
}

void CPLevelBranch::QuerySphere(const D3DXVECTOR3& centre, float radius, ObjectList& result) {
    if (objects.empty() || !box.IntersectsSphere(centre, radius))
        return;
    if (left) {
        left->QuerySphere(centre, radius, result);
        right->QuerySphere(centre, radius, result);
        return;
    }
    for (const CPRefPtr<CPGameObject>& object : objects) {
        if (object->partsBounds.IntersectsSphere(centre, radius))
            result.push_back(object);
    }
}

void CPLevelBranch::DeactivateObjects() {
    for (const CPRefPtr<CPGameObject>& object : dynamicObjects)
        object->Deactivate();
}
