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

// Sets the first texture coordinates of a quad's four vertices.
inline void SetQuadTexture(MeshVertex* corners, const QuadTexture& texture) {
    const float right = texture.u + texture.width;
    const float bottom = texture.v + texture.height;
    const float us[4] = {texture.u, right, right, texture.u};
    const float vs[4] = {texture.v, texture.v, bottom, bottom};
    for (int k = 0; k < 4; ++k) {
        corners[k].u0 = us[k];
        corners[k].v0 = vs[k];
    }
}

// Writes the four vertices of a quad: the corners with the diffuse colour
// and the first texture coordinates; the normals face +Z, the rest is zero.
inline void WriteQuad(MeshVertex* vertices, const D3DXVECTOR3 (&corners)[4], DWORD colour,
                      const QuadTexture& texture) {
    for (int k = 0; k < 4; ++k)
        vertices[k] = MeshVertex{corners[k].x, corners[k].y, corners[k].z, 0, 0, 1, colour, 0, 0, 0, 0, 0};
    SetQuadTexture(vertices, texture);
}

// What the particles are drawn for: the main camera's inverse view, eye and
// look-at point; outside a race those of the perspective camera bound to the
// default camera's level (the menu scenes); without either the identity view
// with both points at the origin, as the frame draws without one.
struct ParticleCamera {
    D3DXMATRIX inverseView;
    D3DXVECTOR3 eye;
    D3DXVECTOR3 target;
};
ParticleCamera CurrentParticleCamera();

// Six indices of the quad with vertices base..base+3, in the order given as
// offsets from base.
inline void WriteQuadIndices(uint16_t* indices, int base, const std::array<int, 6>& order) {
    for (int k = 0; k < 6; ++k)
        indices[k] = static_cast<uint16_t>(base + order[k]);
}

// Billboards wind (0, 2, 1), (0, 3, 2); streaks and spots (0, 1, 2), (0, 2, 3).
inline constexpr std::array<int, 6> kBillboardOrder = {0, 2, 1, 0, 3, 2};
inline constexpr std::array<int, 6> kFlatOrder = {0, 1, 2, 0, 2, 3};
