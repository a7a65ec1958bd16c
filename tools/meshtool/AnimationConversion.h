#pragma once

#include "Render/MeshFile.h"
#include "meshtool/ObjReader.h"

#include <string>
#include <vector>

// Builds a vertex-animation file (the Animation layout) from one OBJ model
// per frame, in play order: each group of the first frame becomes a node,
// the first the root and the others its children, and each node takes the
// group of its name from every frame as that frame's vertices and indices.
// `frameSeconds` is the time each frame shows, stored in units of 1/2400 s.
// False with `error` when there is no frame, the frame time is not a
// positive finite number or a frame lacks a group of the first frame.
bool BuildAnimationFile(const std::vector<std::vector<ObjGroup>>& frames, float frameSeconds, MeshFile& file,
                        std::string& error);
