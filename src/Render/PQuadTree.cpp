#include "Render/PQuadTree.h"

#include "Core/PSettings.h"
#include "Render/FrustumPlanes.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"

#include <algorithm>

namespace {

AxisAlignedBox MakeBox(const D3DXVECTOR3& centre, const D3DXVECTOR3& half) {
    AxisAlignedBox box;
    box.min = centre - half;
    box.max = centre + half;
    box.half = half;
    box.center = centre;
    return box;
}

// The quadrant of a child slot: half the node's size in x and y.
AxisAlignedBox Quadrant(const AxisAlignedBox& parent, int slot) {
    constexpr float kSideX[CPQuadTree::kSlots] = {-1, 1, 1, -1};
    constexpr float kSideY[CPQuadTree::kSlots] = {-1, 1, -1, 1};
    const D3DXVECTOR3 half(parent.half.x / 2, parent.half.y / 2, parent.half.z);
    const D3DXVECTOR3 centre(parent.center.x + kSideX[slot] * half.x, parent.center.y + kSideY[slot] * half.y,
                             parent.center.z);
    return MakeBox(centre, half);
}

} // namespace

void CPQuadTree::SetBounds(const D3DXVECTOR3& centre, const D3DXVECTOR3& half) {
    box = std::make_unique<AxisAlignedBox>(MakeBox(centre, half));
}

void CPQuadTree::AddObject(const CPRefPtr<CPSceneObject>& object) {
    objects.push_back(object);
}

void CPQuadTree::Build(const std::vector<CPRefPtr<CPSceneObject>>& sorted, int depth) {
    if (!box)
        SetBounds(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 0));
    if (depth >= std::clamp(g_QuadLevels, 0, kMaxLevels)) {
        BuildLeaf(sorted);
        return;
    }
    AxisAlignedBox quadrants[kSlots];
    std::vector<CPRefPtr<CPSceneObject>> quadrantObjects[kSlots];
    for (int slot = 0; slot < kSlots; ++slot)
        quadrants[slot] = Quadrant(*box, slot);
    for (const CPRefPtr<CPSceneObject>& object : sorted) {
        const auto holder =
            std::find_if(std::begin(quadrants), std::end(quadrants),
                         [&](const auto& quadrant) { return quadrant.Contains(object->GetPosition()); });
        if (holder != std::end(quadrants))
            quadrantObjects[holder - std::begin(quadrants)].push_back(object);
    }
    std::array<std::unique_ptr<CPQuadTree>, kSlots> built;
    for (int slot = 0; slot < kSlots; ++slot) {
        built[slot] = std::make_unique<CPQuadTree>();
        built[slot]->SetBounds(quadrants[slot].center, quadrants[slot].half);
        built[slot]->Build(quadrantObjects[slot], depth + 1);
    }
    AxisAlignedBox all = *built[0]->box;
    for (int slot = 1; slot < kSlots; ++slot)
        all.Merge(*built[slot]->box);
    SetBounds(all.center, all.half);
    children = std::move(built);
}

void CPQuadTree::BuildLeaf(const std::vector<CPRefPtr<CPSceneObject>>& sorted) {
    AxisAlignedBox leafBox = *box;
    if (!sorted.empty())
        leafBox = sorted.front()->GetWorldBox();
    for (const CPRefPtr<CPSceneObject>& object : sorted) {
        AddObject(object);
        leafBox.Merge(object->GetWorldBox());
    }
    SetBounds(leafBox.center, leafBox.half);
}

void CPQuadTree::SubmitVisible(const CPRefPtr<CPPerspectiveCamera>& camera) {
    if (!camera || !g_Render || !g_Render->GetRenderBlock())
        return;
    Submit(camera->Frustum(), *camera, *g_Render->GetRenderBlock());
}

void CPQuadTree::Submit(const FrustumPlanes& frustum, const CPPerspectiveCamera& camera,
                        CPRenderBlock& block) {
    bool hasChildren = false;
    for (const std::unique_ptr<CPQuadTree>& child : children) {
        if (!child)
            continue;
        hasChildren = true;
        if (child->box && frustum.MeetsBox(child->box->min, child->box->max))
            child->Submit(frustum, camera, block);
    }
    if (!hasChildren && !objects.empty())
        SubmitObjects(camera, block);
}

void CPQuadTree::SubmitObjects(const CPPerspectiveCamera& camera, CPRenderBlock& block) {
    if (!box)
        return;
    const D3DXVECTOR3 offset = camera.eye - box->center;
    const double distance = g_Distance;
    if (static_cast<double>(D3DXVec3LengthSq(&offset)) >= distance * distance)
        return;
    g_Render->visibleObjectCount += static_cast<int>(objects.size());
    for (const CPRefPtr<CPSceneObject>& object : objects)
        block.AddObject(object.Get());
}
