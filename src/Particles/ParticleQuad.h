#pragma once

#include "Platform/D3DX9Math.h"
#include "Platform/Win32Types.h"
#include "Render/MeshVertex.h"

#include <array>
#include <cstdint>

// The pieces both particle render objects write quads from.

// Texture coordinates of a quad's four corners: (u, v), (u + w, v),
// (u + w, v + h), (u, v + h).
struct QuadTexture {
    float u = 0;
    float v = 0;
    float width = 1;
    float height = 1;
};

// The low 8 bits of int(value), as a colour channel; values an int cannot
// hold give 0.
DWORD ColourByte(float value);

// One corner of a particle quad: position, diffuse colour and the first
// texture coordinates; the normal faces +Z, the rest is zero.
MeshVertex ParticleVertex(const D3DXVECTOR3& position, DWORD colour, float u, float v);

// Sets corner k's texture coordinates from the quad's.
void SetQuadTexture(MeshVertex* corners, const QuadTexture& texture);

// What the particles are drawn for: the main camera's inverse view, eye and
// look-at point; without a camera the identity view with both points at the
// origin, as the frame draws without one.
struct ParticleCamera {
    D3DXMATRIX inverseView;
    D3DXVECTOR3 eye;
    D3DXVECTOR3 target;
};
ParticleCamera CurrentParticleCamera();

// Six indices of the quad with vertices base..base+3, in the order given as
// offsets from base.
void WriteQuadIndices(uint16_t* indices, int base, const std::array<int, 6>& order);

// Billboards wind (0, 2, 1), (0, 3, 2); streaks and spots (0, 1, 2), (0, 2, 3).
inline constexpr std::array<int, 6> kBillboardOrder = {0, 2, 1, 0, 3, 2};
inline constexpr std::array<int, 6> kFlatOrder = {0, 1, 2, 0, 2, 3};
