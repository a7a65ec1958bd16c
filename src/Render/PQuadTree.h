#pragma once

#include "Core/AxisAlignedBox.h"
#include "Core/PRefPtr.h"
#include "Render/PSceneObject.h"

#include <array>
#include <memory>
#include <vector>

class CPPerspectiveCamera;
class CPRenderBlock;
class FrustumPlanes;

// A fixed-depth quadtree over the ground plane (X and Y; every node keeps
// its parent's full height) that sorts a level's objects into leaves, so
// that each frame only the leaves inside the camera's frustum and within the
// draw distance submit their objects to the main render block.
//
// Child slots around a node's centre: 0 (-x, -y), 1 (+x, +y), 2 (+x, -y),
// 3 (-x, +y). An object belongs to the first quadrant that strictly holds its
// position; one on a quadrant border or outside the root lies in none and is
// not drawn through the tree. Objects that move after the build stay where
// they were sorted.
class CPQuadTree {
public:
    static constexpr int kSlots = 4;
    // The deepest tree "quadlevels" may ask for (4^8 leaves).
    static constexpr int kMaxLevels = 8;

    // Replaces the node's box: minimum centre - half, maximum centre + half.
    void SetBounds(const D3DXVECTOR3& centre, const D3DXVECTOR3& half);
    void AddObject(const CPRefPtr<CPSceneObject>& object);
    // Splits the node down to the "quadlevels" setting (within 0 to
    // kMaxLevels) and sorts the objects into the leaves. A leaf's box becomes
    // the union of its objects' world boxes (its own quadrant when it has
    // none), an inner node's the union of its children's.
    void Build(const std::vector<CPRefPtr<CPSceneObject>>& sorted, int depth);
    // Submits the objects of the leaves whose boxes meet the camera's frustum
    // and whose centres lie nearer than the "distance" setting. The root
    // itself is not tested.
    void SubmitVisible(const CPRefPtr<CPPerspectiveCamera>& camera);

    std::array<std::unique_ptr<CPQuadTree>, kSlots> children;
    std::vector<CPRefPtr<CPSceneObject>> objects;
    std::unique_ptr<AxisAlignedBox> box;

private:
    void BuildLeaf(const std::vector<CPRefPtr<CPSceneObject>>& sorted);
    // Every plane is tested at every node: a box rebuilt from its centre and
    // half size may reach an ulp beyond its parent's.
    void Submit(const FrustumPlanes& frustum, const CPPerspectiveCamera& camera, CPRenderBlock& block);
    void SubmitObjects(const CPPerspectiveCamera& camera, CPRenderBlock& block);
};
