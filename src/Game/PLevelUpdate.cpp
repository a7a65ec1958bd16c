// The level's pass: the chase camera follows its target car and the frame's
// objects go to the renderer. The race rules join this pass later.
#include "Core/PSettings.h"
#include "Game/PLevel.h"
#include "Game/PLevelBranch.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PQuadTree.h"
#include "Render/PRender.h"
#include "Vehicles/PPlayer.h"

void CPLevel::Update() {
    FollowTarget();
    SubmitFrame();
}

void CPLevel::FollowTarget() {
    if (!camera || !cameraTarget)
        return;
    const D3DXVECTOR3& at = cameraTarget->GetPosition();
    targetHeading = HeadingOf(*cameraTarget, &targetForward);
    camera->focus = D3DXVECTOR3(at.x, at.y, at.z + activeHeight);
    camera->distanceDiv = activeDistanceDiv;
    camera->SetDistance(activeDistance);
    camera->SetTarget(this);
    camera->Update();
}

void CPLevel::SubmitFrame() {
    if (!g_Render || !g_Render->GetRenderBlock() || !camera)
        return;
    CPRenderBlock& block = *g_Render->GetRenderBlock();
    if (g_Plane != 0 && terrain)
        block.AddVisual(terrain.Get());
    for (const CPRefPtr<CPPlayer>& car : cars)
        car->SubmitForDrawing(block, *camera);
    if (player && !demoMode)
        player->SubmitForDrawing(block, *camera);
    if (spatialTree)
        spatialTree->CullVisible(camera->GetMainCamera());
    else if (quadTree)
        quadTree->SubmitVisible(camera->GetMainCamera());
}
