#pragma once

#include "Platform/D3DX9Math.h"

#include <string>

class CPRenderObject;

// A textured quad drawn along a segment, turned to face the eye: the look of
// the bolts and tracers. Its vertices are written in world space.
class BeamGeometry {
public:
    // Gives the render object the four corners (texture coordinates (0, 0),
    // (1, 0), (1, 1), (0, 1)), the two triangles and the material of the
    // priority, effect and texture.
    static void Build(CPRenderObject& beam, int priority, const std::string& effect,
                      const std::string& texture);
    // Spreads the quad from start to end by the half width across the line
    // of sight from the eye; a beam seen end-on (or of no length) folds to
    // the segment.
    static void Stretch(CPRenderObject& beam, const D3DXVECTOR3& start, const D3DXVECTOR3& end,
                        const D3DXVECTOR3& eye, float halfWidth);
    // The texture's u at the far end (vertices 1 and 2).
    static void SetFarU(CPRenderObject& beam, float u);
    // The main camera's eye; the origin without a camera.
    static D3DXVECTOR3 Eye();
};
