#include "Render/PPartAnimation.h"

#include "Core/PGlobalTimer.h"
#include "Render/PSceneObject.h"

#include <algorithm>
#include <limits>

CPPartAnimation::CPPartAnimation(CPSceneObject* ownerObject) : owner(ownerObject) {
    priority = PRIORITY_DEFAULT;
}

void CPPartAnimation::SetKeys(const std::vector<D3DXMATRIX>& newKeys,
                              const std::vector<float>& newDurations) {
    keys = newKeys;
    durations = newDurations;
}

void CPPartAnimation::CopyFrom(const CPPartAnimation& source) {
    keys = source.keys;
    durations = source.durations;
    loop = source.loop;
}

int CPPartAnimation::KeyCount() const {
    return static_cast<int>(std::min(keys.size(), durations.size()));
}

void CPPartAnimation::Update() {
    const int keyCount = KeyCount();
    if (keyCount < 3) {
        EndPlay();
        Stop();
        return;
    }
    time += g_FrameTime;
    Advance(keyCount);
    ApplyMatrix();
}

void CPPartAnimation::Advance(int keyCount) {
    const int endIndex = keyCount - 2;
    // A whole play that uses up no time (durations of 0 or less) would loop
    // for ever: the track then rests at its first key.
    float timeAtLastEnd = std::numeric_limits<float>::infinity();
    keyIndex = std::clamp(keyIndex, 0, endIndex - 1);
    while (time > durations[keyIndex]) {
        time -= durations[keyIndex];
        ++keyIndex;
        if (keyIndex < endIndex)
            continue;
        EndPlay();
        if (!loop) {
            Stop();
            return;
        }
        keyIndex = 0;
        if (!(time < timeAtLastEnd)) {
            time = 0;
            return;
        }
        timeAtLastEnd = time;
    }
}

void CPPartAnimation::EndPlay() {
    if (owner)
        owner->OnAnimationEnd();
}

void CPPartAnimation::ApplyMatrix() {
    if (!owner)
        return;
    const D3DXMATRIX& from = keys[keyIndex];
    const D3DXMATRIX& to = keys[keyIndex + 1];
    const float duration = durations[keyIndex];
    // A play that ended inside a long frame rests on the segment's end key.
    const float f = duration > 0 ? std::clamp(time / duration, 0.0f, 1.0f) : 0.0f;
    D3DXMATRIX blended;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column)
            blended.m[row][column] = from.m[row][column] + f * (to.m[row][column] - from.m[row][column]);
    }
    owner->SetTrackMatrix(blended);
    owner->UpdateHierarchy();
}
