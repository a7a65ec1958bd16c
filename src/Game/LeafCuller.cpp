#include "Game/LeafCuller.h"

#include "Game/PLevelBranch.h"

#include <algorithm>
#include <cmath>

void LeafCuller::Pack(CPLevelBranch& tree) {
    groups.clear();
    leaves.clear();
    if (AllEnclose(tree)) {
        CollectLeaves(tree);
        PackByPlace();
    } else {
        PackByTree({&tree});
    }
    marked.assign((leaves.size() + 63) / 64, 0);
    markedWords.assign((marked.size() + 63) / 64, 0);
}

LeafCuller::Entry LeafCuller::EntryOf(const CPLevelBranch& node, bool isLeaf, std::uint32_t index) {
    return {FrustumPlanes::Lowest(node.box.min, node.box.max),
            FrustumPlanes::Highest(node.box.min, node.box.max), isLeaf, index};
}

LeafCuller::Group LeafCuller::GroupOf(const Entry* entries, int count) {
    Group group{};
    for (int lane = 0; lane < count; ++lane) {
        const Entry& entry = entries[lane];
        for (int axis = 0; axis < 3; ++axis) {
            group.boxes.corners[0][axis][lane] = entry.low[axis];
            group.boxes.corners[1][axis][lane] = entry.high[axis];
        }
        group.index[lane] = entry.index;
        group.usedLanes |= 1u << lane;
        group.leafLanes |= entry.isLeaf ? 1u << lane : 0u;
    }
    return group;
}

std::uint32_t LeafCuller::ReserveGroup() {
    groups.emplace_back();
    return static_cast<std::uint32_t>(groups.size() - 1);
}

bool LeafCuller::AllEnclose(const CPLevelBranch& node) {
    return !node.left || (EnclosesChildren(node) && AllEnclose(*node.left) && AllEnclose(*node.right));
}

void LeafCuller::CollectLeaves(CPLevelBranch& node) {
    if (!node.left) {
        leaves.push_back(&node);
        return;
    }
    CollectLeaves(*node.left);
    CollectLeaves(*node.right);
}

void LeafCuller::PackByPlace() {
    std::vector<Entry> entries;
    entries.reserve(leaves.size());
    for (std::size_t i = 0; i < leaves.size(); ++i)
        entries.push_back(EntryOf(*leaves[i], true, static_cast<std::uint32_t>(i)));
    PackRange(entries, 0, entries.size());
}

// Twice the centre, which orders boxes as the centre does and, the boxes being
// finite and low below high, is never NaN.
float LeafCuller::CentreKey(const Entry& entry, int axis) {
    return entry.low[axis] + entry.high[axis];
}

void LeafCuller::SplitAt(std::vector<Entry>& entries, std::size_t first, std::size_t middle,
                         std::size_t last) {
    if (middle <= first || middle >= last)
        return;
    float lowest[3];
    float highest[3];
    for (int axis = 0; axis < 3; ++axis)
        lowest[axis] = highest[axis] = CentreKey(entries[first], axis);
    for (std::size_t i = first + 1; i < last; ++i) {
        for (int axis = 0; axis < 3; ++axis) {
            lowest[axis] = std::min(lowest[axis], CentreKey(entries[i], axis));
            highest[axis] = std::max(highest[axis], CentreKey(entries[i], axis));
        }
    }
    int widest = 0;
    for (int axis = 1; axis < 3; ++axis) {
        if (highest[axis] - lowest[axis] > highest[widest] - lowest[widest])
            widest = axis;
    }
    std::nth_element(entries.begin() + static_cast<std::ptrdiff_t>(first),
                     entries.begin() + static_cast<std::ptrdiff_t>(middle),
                     entries.begin() + static_cast<std::ptrdiff_t>(last),
                     [widest](const Entry& a, const Entry& b) {
                         const float keyA = CentreKey(a, widest);
                         const float keyB = CentreKey(b, widest);
                         return keyA < keyB || (keyA == keyB && a.index < b.index);
                     });
}

// A range is cut in parts of the smallest power of four that four of them
// cover, so that the groups below are full but for the last part's: in two
// along the widest spread of the centres, then each of those in two along its
// own. Parts of one leaf are the leaf itself.
std::uint32_t LeafCuller::PackRange(std::vector<Entry>& entries, std::size_t first, std::size_t last) {
    const std::uint32_t index = ReserveGroup();
    std::size_t part = 1;
    while (part * kLanes < last - first)
        part *= kLanes;
    const std::size_t half = std::min(first + 2 * part, last);
    SplitAt(entries, first, half, last);
    SplitAt(entries, first, std::min(first + part, last), half);
    SplitAt(entries, half, std::min(half + part, last), last);
    Entry lanes[kLanes];
    int used = 0;
    for (std::size_t begin = first; begin < last; begin += part) {
        const std::size_t end = std::min(begin + part, last);
        Entry& lane = lanes[used++];
        lane = entries[begin];
        if (end - begin == 1)
            continue;
        for (std::size_t i = begin + 1; i < end; ++i) {
            for (int axis = 0; axis < 3; ++axis) {
                lane.low[axis] = std::min(lane.low[axis], entries[i].low[axis]);
                lane.high[axis] = std::max(lane.high[axis], entries[i].high[axis]);
            }
        }
        lane.isLeaf = false;
        lane.index = PackRange(entries, begin, end);
    }
    groups[index] = GroupOf(lanes, used);
    return index;
}

std::uint32_t LeafCuller::PackByTree(const std::vector<CPLevelBranch*>& nodes) {
    const std::uint32_t index = ReserveGroup();
    Entry lanes[kLanes];
    const int count = static_cast<int>(nodes.size());
    for (int lane = 0; lane < count; ++lane) {
        CPLevelBranch& node = *nodes[lane];
        if (node.left) {
            lanes[lane] = EntryOf(node, false, PackByTree(NodesBelow(node)));
        } else {
            lanes[lane] = EntryOf(node, true, static_cast<std::uint32_t>(leaves.size()));
            leaves.push_back(&node);
        }
    }
    groups[index] = GroupOf(lanes, count);
    return index;
}

std::vector<CPLevelBranch*> LeafCuller::NodesBelow(const CPLevelBranch& parent) {
    std::vector<CPLevelBranch*> nodes = {parent.left.get(), parent.right.get()};
    for (bool grew = true; grew;) {
        grew = false;
        for (std::size_t i = 0; i < nodes.size() && nodes.size() < kLanes; ++i) {
            CPLevelBranch* node = nodes[i];
            if (!node->left || !EnclosesChildren(*node))
                continue;
            nodes[i] = node->right.get();
            nodes.insert(nodes.begin() + static_cast<std::ptrdiff_t>(i), node->left.get());
            ++i;
            grew = true;
        }
    }
    return nodes;
}

// A finite box that holds a child's box meets each plane wherever the child
// does: per plane, the farthest corner's products and sums are monotonic,
// and with finite coordinates none of them turns into a NaN that the child
// escapes. Comparisons with NaN fail, so such boxes are never skipped.
bool LeafCuller::EnclosesChildren(const CPLevelBranch& node) {
    const D3DXVECTOR3 low = FrustumPlanes::Lowest(node.box.min, node.box.max);
    const D3DXVECTOR3 high = FrustumPlanes::Highest(node.box.min, node.box.max);
    for (int axis = 0; axis < 3; ++axis) {
        if (!std::isfinite(low[axis]) || !std::isfinite(high[axis]))
            return false;
    }
    for (const CPLevelBranch* child : {node.left.get(), node.right.get()}) {
        const D3DXVECTOR3 childLow = FrustumPlanes::Lowest(child->box.min, child->box.max);
        const D3DXVECTOR3 childHigh = FrustumPlanes::Highest(child->box.min, child->box.max);
        for (int axis = 0; axis < 3; ++axis) {
            if (!(childLow[axis] >= low[axis] && childHigh[axis] <= high[axis]))
                return false;
        }
    }
    return true;
}

void LeafCuller::Mark(const FrustumPlanes& frustum, std::uint32_t index) {
    const Group& group = groups[index];
    const unsigned meets = frustum.MeetBoxes(group.boxes) & group.usedLanes;
    for (unsigned bits = meets & group.leafLanes; bits != 0; bits &= bits - 1) {
        const std::uint32_t leaf = group.index[std::countr_zero(bits)];
        marked[leaf / 64] |= std::uint64_t{1} << (leaf % 64);
        markedWords[leaf / 4096] |= std::uint64_t{1} << (leaf / 64 % 64);
    }
    for (unsigned bits = meets & ~group.leafLanes; bits != 0; bits &= bits - 1)
        Mark(frustum, group.index[std::countr_zero(bits)]);
}
