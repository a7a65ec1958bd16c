#include "Platform/OpenAL/Al3DBuffer.h"

#include "Platform/OpenAL/AlSoundBuffer.h"
#include "Platform/OpenAL/AlUnits.h"

#include <algorithm>

namespace {

// A minimum distance of 0 would silence the source under the inverse law
// (it scales every distance gain by the minimum distance), where a game
// asking for 0 means "loud up close": the smallest distance used instead.
constexpr float kSmallestMinDistance = 0.01f;

} // namespace

PlatAl3DBuffer::PlatAl3DBuffer(PlatAlSoundBuffer* owner) : buffer(owner) {
    buffer->AddRef();
}

PlatAl3DBuffer::~PlatAl3DBuffer() {
    buffer->Release();
}

HRESULT PlatAl3DBuffer::GetAllParameters(DS3DBUFFER* parameters) {
    if (!parameters)
        return DSERR_INVALIDPARAM;
    *parameters = current;
    return DS_OK;
}

HRESULT PlatAl3DBuffer::SetAllParameters(const DS3DBUFFER* parameters, DWORD) {
    if (!parameters || parameters->flMinDistance < 0 || parameters->flMaxDistance < parameters->flMinDistance)
        return DSERR_INVALIDPARAM;
    current = *parameters;
    const ALuint source = buffer->UseSource();
    if (!source)
        return DSERR_NODRIVER;
    alSourcefv(source, AL_POSITION, PlatAlVector(current.vPosition));
    alSourcefv(source, AL_VELOCITY, PlatAlVector(current.vVelocity));
    alSourcef(source, AL_REFERENCE_DISTANCE, std::max(current.flMinDistance, kSmallestMinDistance));
    alSourcef(source, AL_MAX_DISTANCE, std::max(current.flMaxDistance, kSmallestMinDistance));
    alSourcef(source, AL_ROLLOFF_FACTOR, 1);
    return DS_OK;
}
