#pragma once

#include "Render/FrustumPlanes.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class CPLevelBranch;

// The leaves of a level's tree in groups of four boxes that culling tests
// together, packed side by side so that culling reads forward through them
// instead of chasing the nodes through memory. A snapshot of the boxes: nodes
// changed after packing are culled as they were.
//
// The tree is split to keep materials together, which can leave long thin
// nodes that a frustum crosses far and wide. When every node's box holds its
// children's boxes, a leaf meets the frustum exactly when its own box does
// (see EnclosesChildren), so the groups are free to gather leaves by place
// instead. Otherwise they follow the tree, testing the nodes that culling
// cannot skip.
class LeafCuller {
public:
    void Pack(CPLevelBranch& root);

    // Calls visit with each leaf that meets the frustum, in the tree's
    // depth-first order.
    template <class Visit>
    void ForEachVisible(const FrustumPlanes& frustum, Visit&& visit) {
        if (groups.empty())
            return;
        Mark(frustum, 0);
        for (std::size_t top = 0; top < markedWords.size(); ++top) {
            for (std::uint64_t words = std::exchange(markedWords[top], 0); words != 0; words &= words - 1) {
                const std::size_t word = top * 64 + static_cast<std::size_t>(std::countr_zero(words));
                for (std::uint64_t bits = std::exchange(marked[word], 0); bits != 0; bits &= bits - 1)
                    visit(*leaves[word * 64 + static_cast<std::size_t>(std::countr_zero(bits))]);
            }
        }
    }

private:
    static constexpr int kLanes = FrustumPlanes::kLanes;

    // Whether the node's box meets every frustum that one of its children's
    // boxes meets, so that the node's own test can be skipped.
    static bool EnclosesChildren(const CPLevelBranch& node);

    // A box to test: a leaf, or the group of boxes below it.
    struct Entry {
        D3DXVECTOR3 low;
        D3DXVECTOR3 high;
        bool isLeaf;
        // The leaf's place in `leaves`, or the group's in `groups`.
        std::uint32_t index;
    };
    struct Group {
        FrustumPlanes::BoxLanes boxes;
        std::uint32_t index[kLanes];
        unsigned leafLanes;
        unsigned usedLanes;
    };

    static Entry EntryOf(const CPLevelBranch& node, bool isLeaf, std::uint32_t index);
    static Group GroupOf(const Entry* entries, int count);
    // A place for a group, filled once the groups below it are packed: the
    // groups lie in the order culling visits them.
    std::uint32_t ReserveGroup();
    static bool AllEnclose(const CPLevelBranch& node);
    void CollectLeaves(CPLevelBranch& node);
    void PackByPlace();
    std::uint32_t PackRange(std::vector<Entry>& entries, std::size_t first, std::size_t last);
    static float CentreKey(const Entry& entry, int axis);
    // Reorders the range so that the entries before middle have no centre
    // beyond those from middle on, along the axis their centres spread most.
    static void SplitAt(std::vector<Entry>& entries, std::size_t first, std::size_t middle, std::size_t last);
    std::uint32_t PackByTree(const std::vector<CPLevelBranch*>& nodes);
    // The nodes to test below an inner node: its children, with those whose
    // own test can be skipped replaced by theirs, at most four.
    static std::vector<CPLevelBranch*> NodesBelow(const CPLevelBranch& node);
    void Mark(const FrustumPlanes& frustum, std::uint32_t index);

    // The root's group first.
    std::vector<Group> groups;
    // The leaves in the tree's depth-first order.
    std::vector<CPLevelBranch*> leaves;
    // One bit per leaf, set by culling and cleared as the leaves are
    // visited, and one bit per word of them that has a bit set, so that the
    // visit skips the empty words of a large level.
    std::vector<std::uint64_t> marked;
    std::vector<std::uint64_t> markedWords;
};
