#pragma once

// GLSL sources of the fixed-function emulation: transform (or the
// pre-transformed pixel rule), lighting with the material, linear fog, the
// three texture stages and the alpha test. PlatGLProgram feeds their
// uniforms from the device state at each draw. The fragment shader is built
// for one shape of the stages, given by defines: KV_STAGES, the stages before
// the first disabled one (0 to 3), and KV_TEXTURE0..2, 1 where that stage has
// a texture; what a shape leaves out is never computed, which matters to a
// software renderer that runs every branch.
extern const char* const kPlatFixedFunctionVertexShader;
extern const char* const kPlatFixedFunctionFragmentShader;

// Declarations every program (ours and the effects' GLSL) can use: the
// device transforms, the target size and PlatToClip, which turns a Direct3D
// clip position (depth 0..w, y up, pixel centres at integers) into OpenGL's
// for our top-row-first render targets.
extern const char* const kPlatShaderPrelude;
