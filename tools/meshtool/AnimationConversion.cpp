#include "meshtool/AnimationConversion.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kFrameTimeUnits = 2400.0f;

const ObjGroup* FindGroup(const std::vector<ObjGroup>& groups, const std::string& name) {
    const auto found = std::find_if(groups.begin(), groups.end(),
                                    [&name](const ObjGroup& group) { return group.name == name; });
    return found == groups.end() ? nullptr : &*found;
}

// The node of that name with its frames, or false with `error` naming the
// frame that lacks it.
bool BuildNode(const std::vector<std::vector<ObjGroup>>& frames, const std::string& name, float frameTime,
               MeshFileNode& node, std::string& error) {
    node.name = name;
    node.frameTime = frameTime;
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const ObjGroup* group = FindGroup(frames[k], name);
        if (!group) {
            error = "frame " + std::to_string(k + 1) + " has no group " + name;
            return false;
        }
        node.frames.push_back({group->vertices, group->indices});
    }
    return true;
}

} // namespace

bool BuildAnimationFile(const std::vector<std::vector<ObjGroup>>& frames, float frameSeconds, MeshFile& file,
                        std::string& error) {
    if (frames.empty() || frames.front().empty()) {
        error = "no frame to animate";
        return false;
    }
    if (!std::isfinite(frameSeconds) || frameSeconds <= 0) {
        error = "the frame time must be a positive number of seconds";
        return false;
    }
    const float frameTime = frameSeconds * kFrameTimeUnits;
    file = MeshFile();
    file.format = EMeshFileFormat::Animation;
    MeshFileNode root;
    if (!BuildNode(frames, frames.front().front().name, frameTime, root, error))
        return false;
    for (std::size_t g = 1; g < frames.front().size(); ++g) {
        MeshFileNode child;
        if (!BuildNode(frames, frames.front()[g].name, frameTime, child, error))
            return false;
        root.children.push_back(std::move(child));
    }
    file.roots.push_back(std::move(root));
    return true;
}
