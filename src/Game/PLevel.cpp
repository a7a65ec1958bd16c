#include "Game/PLevel.h"

#include "Core/GeometryFunctions.h"
#include "Core/Log.h"
#include "Core/PObjUpdater.h"
#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "Game/CheckpointMarker.h"
#include "Game/LevelSourcePoints.h"
#include "Game/PLevelBranch.h"
#include "Game/PMeshManager.h"
#include "Platform/Win32Time.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PQuadTree.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "Vehicles/AI_Task.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>

CPLevel* g_Level = nullptr;

namespace {

// The player's engine, skid and nitro volume per camera view: the nearer the
// view, the louder.
constexpr float kViewVolume[3] = {0.3f, 0.35f, 0.4f};

// A box of an object's frame follows the vertices the matrix moves in that
// frame.
void BakeBox(BoundingBox& box, const D3DXMATRIX& matrix) {
    box.localMatrix = box.localMatrix * matrix;
}

// What a child bakes into its own frame for the vertices to land where the
// parent's matrix puts them: the matrix without its move (the child's
// position takes that), seen through the child's turn.
D3DXMATRIX ChildBakeMatrix(const D3DXMATRIX& matrix, const D3DXQUATERNION& orientation) {
    D3DXMATRIX linear = matrix;
    linear._41 = linear._42 = linear._43 = 0;
    D3DXMATRIX turn, back;
    D3DXMatrixRotationQuaternion(&turn, &orientation);
    D3DXMatrixInverse(&back, nullptr, &turn);
    return turn * linear * back;
}

} // namespace

CPLevel::CPLevel() {
    g_Level = this;
    clock.mark = timeGetTime();
    // The computer drivers learn each frame where their cars are and how fast
    // they go.
    feedDriver = [](int index, CPPlayer& car, const D3DXVECTOR3& forward, float speed, int paceA, int paceB) {
        if (g_AITask)
            g_AITask->SetVehicleState(index, CPRefPtr<CPPlayer>(&car), forward, speed, paceA, paceB);
    };
    sunLight.Type = D3DLIGHT_DIRECTIONAL;
    sunLight.Diffuse = {0.99609375f, 0.99609375f, 0.99609375f, 0};
    sunLight.Specular = sunLight.Diffuse;
    sunLight.Direction = {0, 0, -1};
    sunLight.Range = 10000.0f;
}

CPLevel::~CPLevel() {
    if (g_AITask)
        g_AITask->ForgetPaths();
    UnbindCameras();
    // A stopped update task stays listed until the kernel's pass reaches it;
    // it must not be reached once deleted.
    if (ownedUpdater && g_TaskManager)
        g_TaskManager->RemoveTask(ownedUpdater.get());
    SetLevelSourcePoints({});
    ReleaseMembers();
    DeleteOwned();
    if (g_Level == this)
        g_Level = nullptr;
}

void CPLevel::UnbindCameras() {
    if (!g_Render || !camera)
        return;
    const CPBaseCamera* ours[] = {camera->GetMainCamera().Get(), camera->GetSecondCamera().Get()};
    const auto isOurs = [&](const CPRefPtr<CPBaseCamera>& bound) {
        return bound && (bound.Get() == ours[0] || bound.Get() == ours[1]);
    };
    if (isOurs(g_Render->levelCamera))
        g_Render->levelCamera = nullptr;
    for (auto& [priority, renderLevel] : g_Render->levels) {
        if (isOurs(renderLevel.camera))
            renderLevel.camera = nullptr;
    }
}

void CPLevel::ReleaseMembers() {
    carPace.clear();
    checkpoints.clear();
    refillPads.clear();
    laps.pathLines.Clear();
    playerLine = nullptr;
    checkpointMarker = nullptr;
    cars.clear();
    cameraTarget = nullptr;
    player = nullptr;
    camera = nullptr;
    extraLooseObjects.clear();
    grid.counts.reset();
    grid.cells.reset();
    looseObjects.clear();
    quadTree.reset();
    spatialTree = nullptr;
    terrain = nullptr;
    roadPhysics = nullptr;
    levelModel = nullptr;
    updaterTask = nullptr;
    shownCheckpoint = nullptr;
    currentCheckpoint = checkpointSequence.end();
    checkpointSequence.clear();
    rightPath = nullptr;
    leftPath = nullptr;
    centrePath = nullptr;
    lensFlare = nullptr;
    heldObjects.clear();
    run.ghost = nullptr;
}

void CPLevel::DeleteOwned() {
    // The camera holds the tree, and the tree and the camera's frame hold
    // the models: they go first.
    ownedCamera.reset();
    ownedTree.reset();
    for (auto model = ownedModels.rbegin(); model != ownedModels.rend(); ++model) {
        // A car's physics holds its wheel parts: it goes before them.
        CPObject* carPhysics = (*model)->car.Get();
        (*model)->car = nullptr;
        delete carPhysics;
        CPMeshManager::DeleteModel(*model);
    }
    ownedModels.clear();
    ownedLines.clear();
    ownedUpdater.reset();
}

void CPLevel::PlaceInGrid(const CPRefPtr<CPGameObject>& object) {
    if (!object || !grid.cells || grid.cellsX <= 0 || grid.cellsY <= 0)
        return;
    const D3DXVECTOR3& at = object->GetPosition();
    const int x = std::clamp(static_cast<int>((grid.extentX / 2 + at.x) * 0.1f), 0, grid.cellsX - 1);
    const int y = std::clamp(static_cast<int>((grid.extentY / 2 + at.y) * 0.1f), 0, grid.cellsY - 1);
    (*grid.cells)[y + grid.cellsY * x].push_back(object);
}

void CPLevel::BakeTreeTransform(const CPRefPtr<CPGameObject>& object, const D3DXMATRIX& matrix) {
    if (!object)
        return;
    if (object->visualKind == VISUAL_MESH) {
        if (CPRenderObject* mesh = object->GetRenderObject())
            mesh->TransformVertices(matrix);
        BakeBox(object->boundingBox, matrix);
        for (std::size_t k = 1; k < object->detailLevels.size(); ++k)
            BakeTreeTransform(object->detailLevels[k].first, matrix);
    }
    for (BoundingBox& box : object->partBoxes)
        BakeBox(box, matrix);
    object->dirty = true;
    for (const CPRefPtr<CPGameObject>& child : object->children) {
        D3DXVECTOR3 moved;
        D3DXVec3TransformCoord(&moved, &child->GetPosition(), &matrix);
        child->SetPosition(moved);
        BakeTreeTransform(child, ChildBakeMatrix(matrix, child->orientation));
    }
}

void CPLevel::CreateNamedObject(const std::string& baseName, const LevelRecord& record) {
    std::size_t end = 3;
    while (end < baseName.size() && baseName[end] >= '0' && baseName[end] <= '9')
        ++end;
    // One separator character follows the number; a model name must remain.
    if (end == 3 || end + 1 >= baseName.size()) {
        GetLog().Print(0, "Level record %s names no checkpoint model: skipped\n", record.name.c_str());
        return;
    }
    const CPRefPtr<CPGameObject> object = LoadModel(baseName.substr(end + 1) + ".rdf", 20);
    if (!object)
        return;
    object->SetVisible(false);
    object->SetPosition({record.f[0], record.f[1], record.f[2]});
    object->SetOrientation({-record.f[3], -record.f[4], -record.f[5], record.f[6]});
    object->UpdateHierarchy();
    checkpointSequence[std::atoi(baseName.substr(3, end - 3).c_str())] = object;
}

D3DXVECTOR3 CPLevel::ForwardOf(const CPGameObject& car) {
    D3DXMATRIX rotation;
    D3DXMatrixRotationQuaternion(&rotation, &car.GetOrientation());
    const D3DXVECTOR3 ahead(0, -1, 0);
    D3DXVECTOR3 forward;
    D3DXVec3TransformNormal(&forward, &ahead, &rotation);
    return forward;
}

float CPLevel::HeadingOf(const CPGameObject& car) {
    return HeadingAlong(ForwardOf(car));
}

float CPLevel::HeadingAlong(const D3DXVECTOR3& forward) {
    const float heading = ClampedAcos(forward.x);
    return forward.y < 0 ? -heading : heading;
}

void CPLevel::SetCameraView(int view) {
    cameraView = view;
    if (view < 0 || view > 2)
        return;
    cameraTarget = player.Get();
    const bool second = view == 1;
    // The fixed view follows the first view's record.
    activeView = views[second ? 1 : 0];
    if (camera)
        camera->fixedMode = view == 2;
    if (g_Blur && g_Render)
        g_Render->UpdateBlurGrid(views[view].blur);
    if (!player)
        return;
    if (view != 2 && camera)
        camera->SetHeading(HeadingOf(*player));
    player->SetSoundVolume(g_SoundVolume * kViewVolume[view]);
}

bool CPLevel::GetCarSteering(float& slideFactor, float& steering) const {
    const CPCar* car = cameraTarget ? cameraTarget->GetCar() : nullptr;
    if (!car)
        return false;
    slideFactor = car->slideFactor;
    steering = car->steering;
    return true;
}
