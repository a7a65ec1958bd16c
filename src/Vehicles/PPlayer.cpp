#include "Vehicles/PPlayer.h"

#include "Core/PGlobalTimer.h"
#include "Game/PCamera.h"
#include "Game/PGameData.h"
#include "Game/PMeshManager.h"
#include "Physics/PPhysics.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Physics/VectorConversions.h"
#include "Render/PBaseRenderObject.h"
#include "Render/PMaterialManager.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "Render/ShadowDecal.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Vehicles/PCar.h"

namespace {

constexpr int ShadowPriority = 120;
// The human car's impact sound is cut off this often.
constexpr float SlamInterval = 0.5f;
// The screen goes black in FadeOutTime and comes back in FadeInTime.
constexpr float FadeOutTime = 0.1f;
constexpr float FadeInTime = 0.4f;

void StopSound(const CPRefPtr<CNSound>& sound) {
    if (sound)
        sound->Stop();
}

void SetSoundLevel(const CPRefPtr<CNSound>& sound, float level) {
    if (sound)
        sound->SetVolume(level);
}

void SetFade(float level) {
    if (g_Render)
        g_Render->SetFade(level);
}

} // namespace

CPPlayer::CPPlayer() : CPGameObject("PLAYER") {}

CPPlayer::~CPPlayer() {
    DropShadow();
}

// The shadow model belongs to its vehicle alone.
void CPPlayer::DropShadow() {
    CPGameObject* old = shadow.Get();
    shadow = nullptr;
    CPMeshManager::DeleteModel(old);
}

void CPPlayer::SetFlags(int value) {
    flags = value;
    if (!(value & PLAYER_HUMAN) || !g_GameData)
        return;
    if (const EngineInfo* engine = g_GameData->engineCatalogue.Find(g_GameData->realCarInfo.engine))
        engineRecord = *engine;
}

CPCar* CPPlayer::GetCar() const {
    return AsCar(car.Get());
}

void CPPlayer::GetCarVelocity(float out[4]) const {
    const CPCar* physics = GetCar();
    const RbVector v = physics ? physics->velocity : RbVector();
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
    out[3] = v.w;
}

void CPPlayer::SetControls(float throttleValue, float steeringValue) {
    if (locked)
        return;
    steering = steeringValue;
    throttle = throttleCut ? 0.0f : throttleValue;
}

void CPPlayer::SetBrake(bool on) {
    if (locked)
        return;
    if (slowed) {
        ShowPart("lflarerear", on);
        ShowPart("rflarerear", on);
    } else if (CPCar* physics = GetCar()) {
        physics->SetBrake(on);
    }
}

void CPPlayer::ShowPart(const char* partName, bool show) {
    if (CPRefPtr<CPGameObject> part = GetPart(partName))
        part->SetVisible(show);
}

void CPPlayer::Lock(bool flag) {
    locked = flag;
    CPCar* physics = GetCar();
    if (!physics)
        return;
    if (flag)
        physics->SetControls(0.0f, steering);
    physics->locked = flag;
}

void CPPlayer::SetNitro(float amount) {
    CPCar* physics = GetCar();
    if (!physics)
        return;
    float demand = locked ? 0.0f : amount;
    if (physics->nitroReserve == 0.0f)
        demand = 0.0f;
    physics->nitroDemand = demand;
    if (demand == 0.0f && physics->playerCar)
        StopSound(physics->nitroSound);
}

void CPPlayer::DisableThrottle(float, float) {
    throttleCut = true;
    if (!locked)
        throttle = 0.0f;
}

void CPPlayer::ApplyImpulse(const D3DXVECTOR3& point, const D3DXVECTOR3& impulse) {
    if (RbRigidBody* body = physicData ? physicData->rigidBody : nullptr)
        body->ApplyImpulse(ToRb(impulse), ToRb(point));
}

void CPPlayer::SetSoundVolume(float level) {
    const CPCar* physics = GetCar();
    if (!physics || !physics->playerCar)
        return;
    SetSoundLevel(physics->engineSound, level);
    SetSoundLevel(physics->skidSound, level);
    SetSoundLevel(physics->nitroSound, level);
}

void CPPlayer::Update(float dt) {
    UpdateDefeatEffects(dt);
    UpdateGameOver(dt);
    if (defeated)
        return;
    if (human)
        UpdateTurnArrowsAndDrift(dt);
    Respawn(false);
    UpdateTimers(dt);
    UpdateShadowWorld(dt);
    UpdateSlowDown(dt);
    UpdateEngineTemperature(dt);
    if (CPCar* physics = GetCar())
        physics->SetControls(throttle, steering);
    UpdatePickups();
    UpdateThrottleCut(dt);
    UpdateCollisionSound(dt);
}

void CPPlayer::UpdateTimers(float dt) {
    if (bonusTimer > 0.0f)
        bonusTimer -= dt;
    if (respawnCoolDown > 0.0f)
        respawnCoolDown -= dt;
}

// The physics starts "slam" on a contact of the human car; it is cut off
// here so that one crash does not ring on.
void CPPlayer::UpdateCollisionSound(float dt) {
    collided = false;
    slamTime += dt;
    if (!human || slamTime <= SlamInterval)
        return;
    if (CPRefPtr<CNSound> slam = g_Audio ? g_Audio->FindSound("slam") : nullptr) {
        slam->Stop();
        slam->Rewind();
    }
    slamTime = 0.0f;
}

void CPPlayer::CreateShadow() {
    defeated = false;
    deathReported = false;
    DropShadow();
    if (!g_MeshManager)
        return;
    g_MeshManager->LoadObject(shadow, "shadow.rdf", ShadowPriority);
    if (!shadow)
        return;
    const CPCar* physics = GetCar();
    if (CPBaseRenderObject* shadowVisual = shadow->GetVisual(); shadowVisual && g_MaterialManager) {
        CPRefPtr<CPMaterial> material;
        g_MaterialManager->GetMaterial(material, ShadowPriority, "shadow.fx",
                                       {physics ? physics->shadowName : std::string()});
        shadowVisual->SetMaterial(material);
    }
    CPPhysicData* shadowPhysics = shadow->physicData.Get();
    shadow->physicData = nullptr;
    delete shadowPhysics;
    shadow->SetVisible(true);
    shadow->script = nullptr;
    shadow->SetStatic(true);
    if (CPBaseRenderObject* shadowVisual = shadow->GetVisual())
        shadowVisual->SetStatic(false);
}

void CPPlayer::SubmitForDrawing(CPRenderBlock& block, CPCamera& camera) {
    const CPRefPtr<CPPerspectiveCamera> view = camera.GetMainCamera();
    if (view && IsBoxInFrustum(view, bounds.min, bounds.max)) {
        block.AddObject(this);
        const D3DXVECTOR3 toEye = position - view->eye;
        if (shadow && D3DXVec3LengthSq(&toEye) < ShadowDistance * ShadowDistance) {
            BuildShadowDecal(CPRefPtr<CPSceneObject>(shadow.Get()), worldMatrix,
                             CPRefPtr<CPObject>(physicData.Get()));
            block.AddObject(shadow.Get());
        }
    }
    if (IsCameraTarget())
        UpdateFade(g_FrameTime);
}

void CPPlayer::UpdateFade(float dt) {
    if (fadeOut) {
        fadeTime += dt;
        SetFade((FadeOutTime - fadeTime) * (1.0f / FadeOutTime));
        if (fadeTime >= FadeOutTime) {
            fadeOut = false;
            fadeIn = true;
            SetFade(0.0f);
            fadeTime = 0.0f;
        }
    } else if (fadeIn) {
        fadeTime += dt;
        SetFade(fadeTime * (1.0f / FadeInTime));
        if (fadeTime >= FadeInTime) {
            fadeIn = false;
            SetFade(1.0f);
        }
    }
}
