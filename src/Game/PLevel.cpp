#include "Game/PLevel.h"

#include "Core/PObjUpdater.h"
#include "Game/CheckpointMarker.h"
#include "Game/PLevelBranch.h"
#include "Platform/Win32Time.h"
#include "Render/PQuadTree.h"
#include "Vehicles/PPlayer.h"

CPLevel* g_Level = nullptr;

CPLevel::CPLevel() : clockMark(timeGetTime()) {
    g_Level = this;
}

CPLevel::~CPLevel() {
    if (g_Level == this)
        g_Level = nullptr;
}

bool CPLevel::Load(const std::string&, bool, bool) {
    return false;
}

void CPLevel::Start() {}

void CPLevel::Stop() {}

void CPLevel::Update() {}

void CPLevel::CreateNamedObject(const LevelRecord&) {}

void CPLevel::PlaceInGrid(const CPRefPtr<CPGameObject>&) {}

void CPLevel::BakeTreeTransform(const CPRefPtr<CPGameObject>&, const D3DXMATRIX&) {}

void CPLevel::SetCameraView(int view) {
    cameraView = view;
}

bool CPLevel::CrossPlayerRay(RayQuery&) {
    return false;
}

bool CPLevel::CrossRay(RayQuery&) {
    return false;
}

bool CPLevel::RayHitsCar(RayQuery&) {
    return false;
}

void CPLevel::QuerySphere(const D3DXVECTOR3&, float, std::vector<CPRefPtr<CPGameObject>>&) {}

void CPLevel::SetWeaponPos(const D3DXVECTOR3&, const CPRefPtr<CPGameObject>&) {}

bool CPLevel::IsPlayerMovingBackwards() const {
    return false;
}

void CPLevel::ShowCurrentCheckpoint() {}

void CPLevel::AddSunLight() {}

bool CPLevel::GetCarSteering(float&, float&) const {
    return false;
}
