// The dentable parts of vehicle body meshes.
#include "Platform/Random.h"
#include "Render/PRenderObject.h"
#include "Render/PSceneObject.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// Vertices closer than this to a group's first vertex join the group.
constexpr float kGroupRadius = 0.1f;
// Groups closer than this to a part's first group join the part.
constexpr float kPartRadius = 0.3f;
// A part whose box diagonal is shorter gets a cube of this half size.
constexpr float kSmallPartDiagonal = 0.4f;
constexpr float kSmallPartHalfSize = 0.3f;
constexpr float kImpactReach = 1.7f;
constexpr float kMinimumImpact = 0.01f;
constexpr float kFullDamage = 1.0f;
constexpr DWORD kDentedColour = 0x96FFFFFF;

constexpr std::array<std::string_view, 8> kWheelNames = {"w0", "w0d", "w1", "w1d", "w2", "w2d", "w3", "w3d"};

float Distance(const MeshVertex& a, const MeshVertex& b) {
    const D3DXVECTOR3 d(a.x - b.x, a.y - b.y, a.z - b.z);
    return D3DXVec3Length(&d);
}

// The owner first, then its descendants in pre-order.
void CollectTree(CPSceneObject* object, std::vector<CPSceneObject*>& list) {
    list.push_back(object);
    for (std::size_t k = 0; k < object->GetChildCount(); ++k)
        CollectTree(object->GetChild(k), list);
}

bool IsWheel(const std::string& name) {
    return std::find(kWheelNames.begin(), kWheelNames.end(), name) != kWheelNames.end();
}

// Walks the items in order; an item not yet taken opens a cluster, and every
// later one not yet taken that lies near enough to the opening item joins it.
template <class Item, class Near>
std::vector<std::vector<Item>> Cluster(const std::vector<Item>& items, Near&& near) {
    std::vector<std::vector<Item>> clusters;
    std::vector<bool> taken(items.size(), false);
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (taken[k])
            continue;
        clusters.push_back({items[k]});
        for (std::size_t later = k + 1; later < items.size(); ++later) {
            if (!taken[later] && near(items[k], items[later])) {
                clusters.back().push_back(items[later]);
                taken[later] = true;
            }
        }
    }
    return clusters;
}

// The box over the first vertex of each group.
BoundingBox PartBox(const std::vector<std::vector<MeshVertex*>>& groups) {
    D3DXVECTOR3 low(groups[0][0]->x, groups[0][0]->y, groups[0][0]->z);
    D3DXVECTOR3 high = low;
    for (const auto& group : groups) {
        const MeshVertex& v = *group[0];
        low = D3DXVECTOR3(std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z));
        high = D3DXVECTOR3(std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z));
    }
    const D3DXVECTOR3 diagonal = high - low;
    if (D3DXVec3Length(&diagonal) >= kSmallPartDiagonal)
        return BoundingBox(low + diagonal * 0.5f, diagonal * 0.5f);
    return BoundingBox(low, D3DXVECTOR3(kSmallPartHalfSize, kSmallPartHalfSize, kSmallPartHalfSize));
}

// Uniform in [-0.05, 0.05] radians.
float SmallAngle() {
    return 0.05f - static_cast<float>(PlatRand()) * (1.0f / PLAT_RAND_MAX) * 0.1f;
}

void TurnNormal(MeshVertex& vertex) {
    const float first = SmallAngle();
    const float second = SmallAngle();
    const float third = SmallAngle();
    D3DXMATRIX rotation;
    D3DXMatrixRotationYawPitchRoll(&rotation, third, second, first);
    const D3DXVECTOR3 normal(vertex.nx, vertex.ny, vertex.nz);
    D3DXVECTOR3 turned;
    D3DXVec3TransformNormal(&turned, &normal, &rotation);
    D3DXVec3Normalize(&turned, &turned);
    vertex.nx = turned.x;
    vertex.ny = turned.y;
    vertex.nz = turned.z;
    vertex.diffuse = kDentedColour;
}

} // namespace

void CPRenderObject::BuildDeformParts() {
    hasParts = true;
    std::vector<MeshVertex*> entries;
    const auto addEntries = [&entries](std::vector<MeshVertex>& meshVertices) {
        for (MeshVertex& vertex : meshVertices) {
            vertex.diffuse = 0xFFFFFFFF;
            entries.push_back(&vertex);
        }
    };
    addEntries(sourceVertices);
    std::vector<CPSceneObject*> tree;
    if (owner)
        CollectTree(owner, tree);
    for (CPSceneObject* object : tree) {
        if (object->GetVisualKind() == VISUAL_MESH && object->GetVisual() && !IsWheel(object->GetName()))
            addEntries(static_cast<CPRenderObject*>(object->GetVisual())->sourceVertices);
    }
    const auto groups = Cluster(
        entries, [](const MeshVertex* a, const MeshVertex* b) { return Distance(*a, *b) < kGroupRadius; });
    const auto clusters =
        Cluster(groups, [](const std::vector<MeshVertex*>& a, const std::vector<MeshVertex*>& b) {
            return Distance(*a[0], *b[0]) < kPartRadius;
        });
    for (const auto& cluster : clusters) {
        DeformPart part;
        part.groups = cluster;
        part.box = PartBox(cluster);
        part.box.Update();
        parts.push_back(std::move(part));
    }
}

void CPRenderObject::DeformParts(D3DXVECTOR3 point, D3DXVECTOR3 direction, float amount) {
    if (!hasParts || !(amount > kMinimumImpact))
        return;
    for (DeformPart& part : parts) {
        if (part.damage >= kFullDamage)
            continue;
        float distance = kImpactReach;
        D3DXPLANE plane;
        if (!part.box.IntersectRay(point, direction, distance, plane))
            continue;
        part.damage += amount;
        for (const auto& group : part.groups) {
            for (MeshVertex* vertex : group)
                TurnNormal(*vertex);
        }
    }
}

void CPRenderObject::MovePartBoxes(const D3DXMATRIX& world) {
    for (DeformPart& part : parts) {
        if (part.damage >= kFullDamage)
            continue;
        D3DXMatrixMultiply(&part.box.worldMatrix, &part.box.localMatrix, &world);
        part.box.Update();
    }
}
