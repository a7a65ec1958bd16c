#pragma once

#include "Core/PTask.h"
#include "Platform/D3DX9Math.h"

#include <vector>

// Stands in for the keyed part animation until the node animation tracks
// land: it keeps its keys, durations and loop flag and plays nothing.
class CPPartAnimation : public CPTask {
public:
    explicit CPPartAnimation(CPObject* owner = nullptr) : owner(owner) {}

    // Keys, durations and the loop flag; not the owner or the play state.
    void CopyFrom(const CPPartAnimation& source) {
        keys = source.keys;
        durations = source.durations;
        loop = source.loop;
    }

    void Update() override {}
    int GetCategory() const override { return TASK_LEVEL; }
    size_t GetSize() const override { return sizeof(CPPartAnimation); }
    std::string GetClassName() const override { return "CPPartAnimation"; }

    CPObject* owner;
    std::vector<D3DXMATRIX> keys;
    std::vector<float> durations;
    bool loop = false;
};
