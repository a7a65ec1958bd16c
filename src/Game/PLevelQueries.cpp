// The level's answers to the geometric questions of the other parts.
#include "Core/PSettings.h"
#include "Game/CheckpointMarker.h"
#include "Game/PLevel.h"
#include "Game/PLevelBranch.h"
#include "Render/PRender.h"
#include "Script/PScriptManager.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>
#include <cmath>

namespace {

// How far from the player's car a ray may pass and still test the loose
// objects, and the half-size of the grid window of a sphere query.
constexpr float kNearPlayer = 10.0f;

// The angle brought into [0, turn).
float Wrapped(float angle, float turn) {
    angle = std::fmod(angle, turn);
    return angle < 0 ? angle + turn : angle;
}

template <class List>
void AppendTouching(const List& objects, const D3DXVECTOR3& centre, float radius,
                    std::vector<CPRefPtr<CPGameObject>>& result) {
    for (const auto& object : objects) {
        if (object && object->partsBounds.IntersectsSphere(centre, radius))
            result.push_back(object);
    }
}

} // namespace

bool CPLevel::CrossPlayerRay(RayQuery& query) {
    return CastRay(query, false);
}

bool CPLevel::CrossRay(RayQuery& query) {
    return CastRay(query, true);
}

bool CPLevel::CastRay(RayQuery& query, bool withPlayer) {
    bool hit = false;
    if (!g_QuadLevels && spatialTree)
        hit = spatialTree->RayTest(query);
    if (IsPlayerNearRay(query)) {
        if (withPlayer)
            hit = player->RayTest(query) || hit;
        for (const CPRefPtr<CPGameObject>& object : looseObjects)
            hit = object->RayTest(query) || hit;
    }
    for (const CPRefPtr<CPGameObject>& object : extraLooseObjects)
        hit = object->RayTest(query) || hit;
    query.hitPoint = query.origin + query.direction * query.length;
    return hit;
}

bool CPLevel::IsPlayerNearRay(const RayQuery& query) const {
    if (!player)
        return false;
    const float half = query.length / 2;
    const D3DXVECTOR3& d = query.direction;
    const D3DXVECTOR3 e = player->GetPosition() - (query.origin + d * half);
    return std::fabs(e.x) <= half * std::fabs(d.x) + kNearPlayer &&
           std::fabs(e.y) <= half * std::fabs(d.y) + kNearPlayer &&
           std::fabs(d.y * e.x - e.y * d.x) <= (std::fabs(d.y) + std::fabs(d.x)) * kNearPlayer;
}

bool CPLevel::RayHitsCar(RayQuery& query) {
    for (const CPRefPtr<CPPlayer>& car : cars) {
        if (car->RayTest(query))
            return true;
    }
    return cameraTarget && cameraTarget->RayTest(query);
}

void CPLevel::QuerySphere(const D3DXVECTOR3& centre, float radius,
                          std::vector<CPRefPtr<CPGameObject>>& result) {
    if (!g_QuadLevels && spatialTree) {
        CPLevelBranch::ObjectList found;
        spatialTree->QuerySphere(centre, radius, found);
        result.insert(result.end(), found.begin(), found.end());
    }
    if (player) {
        if (player->partsBounds.IntersectsSphere(centre, radius))
            result.push_back(player.Get());
        const D3DXVECTOR3& at = player->GetPosition();
        if (std::fabs(at.x - centre.x) < radius + kNearPlayer &&
            std::fabs(at.y - centre.y) < radius + kNearPlayer)
            AppendTouching(looseObjects, centre, radius, result);
    }
    QueryGrid(centre, radius, result);
    AppendTouching(extraLooseObjects, centre, radius, result);
}

void CPLevel::QueryGrid(const D3DXVECTOR3& centre, float radius,
                        std::vector<CPRefPtr<CPGameObject>>& result) const {
    if (!grid.cells || grid.cellsX <= 0 || grid.cellsY <= 0)
        return;
    const auto cell = [](float extent, float at) { return static_cast<int>((extent / 2 + at) * 0.1f); };
    const int x0 = std::max(cell(grid.extentX, centre.x - kNearPlayer), 0);
    const int x1 = std::min(cell(grid.extentX, centre.x + kNearPlayer), grid.cellsX - 1);
    const int y0 = std::max(cell(grid.extentY, centre.y - kNearPlayer), 0);
    const int y1 = std::min(cell(grid.extentY, centre.y + kNearPlayer), grid.cellsY - 1);
    for (int x = x0; x <= x1; ++x) {
        for (int y = y0; y <= y1; ++y)
            AppendTouching((*grid.cells)[y + grid.cellsY * x], centre, radius, result);
    }
}

void CPLevel::SetWeaponPos(const D3DXVECTOR3& position, const CPRefPtr<CPGameObject>& object) {
    if (player)
        player->UpdateWeapon(position, object);
}

bool CPLevel::IsPlayerMovingBackwards() const {
    if (!std::isfinite(trackAngle) || !std::isfinite(targetHeading))
        return false;
    const float track = Wrapped(trackAngle + (reverse ? 3.1415927f : 0.0f), 6.2831855f);
    const float difference = Wrapped(targetHeading - track, 6.283f);
    return difference > 1.57f && difference < 4.713f;
}

void CPLevel::ShowCurrentCheckpoint() {
    if (currentCheckpoint == checkpointSequence.end()) {
        shownCheckpoint = nullptr;
    } else {
        shownCheckpoint = currentCheckpoint->second;
        shownCheckpoint->SetVisible(true);
        if (g_ScriptManager)
            g_ScriptManager->SendCommandByCategory("main", "say_show", "");
    }
    if (checkpointMarker)
        checkpointMarker->SetTarget(shownCheckpoint);
}

void CPLevel::AddSunLight() {
    if (g_Render)
        g_Render->QueueLight(sunLight);
}
