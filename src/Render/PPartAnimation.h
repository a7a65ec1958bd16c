#pragma once

#include "Core/PTask.h"
#include "Platform/D3DX9Math.h"

#include <vector>

class CPSceneObject;

// A node track: moves its owner through key matrices, each held for its
// duration and blended linearly into the next, as a task of the level. The
// last segment played is the one from key n - 3 to key n - 2; reaching key
// n - 2 ends the track, which then starts again (looping) or stops. The
// owner receives every blended matrix as its transform relative to its
// parent, and the end of each play.
class CPPartAnimation : public CPTask {
public:
    explicit CPPartAnimation(CPSceneObject* owner = nullptr);

    // Copies of both; a shorter list limits the keys used.
    void SetKeys(const std::vector<D3DXMATRIX>& newKeys, const std::vector<float>& newDurations);
    // Keys, durations and the loop flag; not the owner or the play state.
    void CopyFrom(const CPPartAnimation& source);

    // Advances by the frame time. A track of fewer than three keys has no
    // segment to play and ends at once.
    void Update() override;
    int GetCategory() const override { return TASK_LEVEL; }
    size_t GetSize() const override { return sizeof(CPPartAnimation); }
    std::string GetClassName() const override { return "CPPartAnimation"; }

    std::vector<D3DXMATRIX> keys;
    std::vector<float> durations;
    CPSceneObject* owner;
    // Seconds spent in the current segment.
    float time = 0;
    int keyIndex = 0;
    bool loop = false;

private:
    int KeyCount() const;
    // Moves through the segments the time has passed.
    void Advance(int keyCount);
    void EndPlay();
    void ApplyMatrix();
};
