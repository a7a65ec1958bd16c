#pragma once

#include "Core/PRefPtr.h"
#include "Platform/D3DX9Math.h"

#include <functional>
#include <vector>

class CPSceneObject;

// The shadow decal: the dark patch under the player's car, a mesh made of
// the terrain triangles near the car lifted slightly above the ground, with
// texture coordinates that lay the texture over the car's footprint.

// A terrain triangle near an object: its three vertex indices in the
// terrain mesh and the positions of those vertices.
struct DecalTriangle {
    int index[3] = {0, 0, 0};
    D3DXVECTOR3 corner[3];
};

// The terrain triangles the physics found near the body described by
// `physics` (its candidate triangles), in the physics' order. The physics
// connects its terrain here; until it does, no triangle is found.
extern std::function<std::vector<DecalTriangle>(const CPObject* physics)> g_DecalTerrainSource;

// Makes the 2D frame (origin, edge u, edge v) cover the point, point + u
// and point + v, growing it along its own axes; a degenerate frame is
// rebuilt from what is left of it and the point.
void FitDecalFrame(D3DXVECTOR2& origin, D3DXVECTOR2& u, D3DXVECTOR2& v, D3DXVECTOR2 point);

// Rebuilds the mesh visual of `object` from the triangles (a triangle whose
// three vertex indices were already taken is skipped; at most 999 are
// used): texture coordinate (0, 0) at the fitted origin, (1, 0) at origin
// + u, (0, 1) at origin + v. A frame that stays singular leaves the mesh as
// it was.
void BuildDecalMesh(CPSceneObject& object, D3DXVECTOR2 origin, D3DXVECTOR2 corner, D3DXVECTOR2 u,
                    D3DXVECTOR2 v, const std::vector<DecalTriangle>& triangles);

// Rebuilds the decal of the shadow object placed by `world` from the terrain
// near the body described by `physics`: the frame is the object's footprint
// grown by 0.1 on every side.
void BuildShadowDecal(const CPRefPtr<CPSceneObject>& object, const D3DXMATRIX& world,
                      const CPRefPtr<CPObject>& physics);
