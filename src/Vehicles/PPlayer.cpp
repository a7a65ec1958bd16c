#include "Vehicles/PPlayer.h"

#include "Game/PCamera.h"
#include "Render/PRenderBlock.h"
#include "Vehicles/PCar.h"

CPPlayer::CPPlayer() : CPGameObject("PLAYER") {}

CPPlayer::~CPPlayer() = default;

CPCar* CPPlayer::GetCar() const {
    return dynamic_cast<CPCar*>(car.Get());
}

void CPPlayer::GetCarVelocity(float out[4]) const {
    for (int i = 0; i < 4; ++i)
        out[i] = 0.0f;
}

void CPPlayer::SetControls(float, float) {}

void CPPlayer::SetBrake(bool) {}

void CPPlayer::Lock(bool flag) {
    locked = flag;
}

void CPPlayer::SetNitro(float) {}

void CPPlayer::DisableThrottle(float, float) {}

void CPPlayer::ApplyImpulse(const D3DXVECTOR3&, const D3DXVECTOR3&) {}

void CPPlayer::SetSoundVolume(float) {}

void CPPlayer::Respawn(bool) {}

void CPPlayer::Update(float) {}

void CPPlayer::CreateShadow() {}

void CPPlayer::SubmitForDrawing(CPRenderBlock&, CPCamera&) {}
