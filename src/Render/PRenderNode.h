#pragma once

#include <cstdint>

// What the three tiers of the render queue share: the frame a node was last
// drawn in and how many users keep it alive.
class CPRenderNode {
public:
    CPRenderNode() = default;
    virtual ~CPRenderNode() = default;
    CPRenderNode(const CPRenderNode&) = delete;
    CPRenderNode& operator=(const CPRenderNode&) = delete;

    // Called when the frame drops the node after too many idle frames.
    virtual void OnDrop() {}

    uint32_t frameStamp = 0xFFFFFFFFu;
    int useCount = 0;
    CPRenderNode* parent = nullptr;
    int key = 0;
};
