#include "Vehicles/PShot.h"

#include "Core/PTokenizer.h"
#include "Game/PLevel.h"
#include "Render/PRenderObject.h"
#include "Sound/NSound.h"
#include "Sound/NSoundCache.h"
#include "Vehicles/BeamGeometry.h"
#include "Vehicles/PShotSpawner.h"
#include "Vehicles/WeaponAim.h"

#include <cstdlib>

CPShot::CPShot(std::vector<std::string> row) : CPGameObject("CPShot"), params(std::move(row)) {
    model = new CPRenderObject(this);
    SetVisual(model.Get(), VISUAL_MESH);
}

// The game object deletes the visual it holds; the model goes here when a
// subclass put another visual in its place.
CPShot::~CPShot() {
    CPRenderObject* ownModel = model.Get();
    model = nullptr;
    DropSound();
    shooter = nullptr;
    if (visual.Get() != ownModel)
        delete ownModel;
}

// A loaded sound belongs to the shot that loaded it.
void CPShot::DropSound() {
    CNSound* own = sound.Get();
    sound = nullptr;
    delete own;
}

bool CPShot::Configure(const std::vector<std::string>& row) {
    CPTokenizer tokens(row.empty() ? std::string() : row.back(), ",", true);
    std::string mode;
    tokens.NextToken(soundFile);
    tokens.NextToken(mode);
    DropSound();
    if (soundFile == "none" || soundFile.empty())
        return true;
    flatSound = mode == "2d";
    if (g_SoundCache)
        g_SoundCache->GetOrLoad(sound, soundFile, !flatSound, false);
    return true;
}

void CPShot::Launch(const D3DXVECTOR3& at, const D3DXVECTOR3& towards, float launchSpeed,
                    const CPRefPtr<CPGameObject>& owner) {
    CPGameObject* root = owner.Get();
    while (root && root->GetParent())
        root = root->GetParent().Get();
    shooter = root;
    speed = launchSpeed;
    launchPosition = at;
    direction = towards;
    SetPosition(at);
    SetOrientation(FacingRotation(towards, orientation));
    if (!sound)
        return;
    if (!flatSound)
        SetSoundPosition(sound, at, D3DXVECTOR3(0, 0, 0));
    sound->Stop();
    sound->Rewind();
    sound->Play(0, 0);
}

const std::string& CPShot::Column(std::size_t index) const {
    static const std::string empty;
    return index < params.size() ? params[index] : empty;
}

float CPShot::FloatColumn(std::size_t index) const {
    return static_cast<float>(std::atof(Column(index).c_str()));
}

int CPShot::IntColumn(std::size_t index) const {
    return std::atoi(Column(index).c_str());
}

bool CPShot::CrossTo(const D3DXVECTOR3& point, RayQuery& query) const {
    const D3DXVECTOR3 path = point - position;
    query.origin = position;
    query.length = D3DXVec3Length(&path);
    D3DXVec3Normalize(&query.direction, &path);
    query.ignore = shooter;
    return query.length > 0 && g_Level && g_Level->CrossRay(query);
}

void CPShot::SpawnEffect(const std::string& effect, const D3DXVECTOR3& at, const D3DXVECTOR3& normal) {
    if (g_ShotSpawner && !effect.empty())
        g_ShotSpawner->Spawn(effect, at, normal, -1.0f, nullptr);
}

void CPShot::BuildBeam(CPRefPtr<CPRenderObject>& beam, int priority, const std::string& effect,
                       const std::string& texture) {
    if (!beam) {
        beam = new CPRenderObject(nullptr);
        SetVisual(beam.Get(), VISUAL_MESH);
    }
    BeamGeometry::Build(*beam, priority, effect, texture);
}

void CPShot::DamageHit(const RayQuery& query, float amount) const {
    if (query.hitOwner)
        query.hitOwner->TakeDamage(query.hitPoint, direction, amount, 0, false);
}
