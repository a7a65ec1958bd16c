#pragma once

#include <string>

// A GLSL program of an effect pass, as its backend holds it. A uniform is
// looked up by name once, when the pass is built, and set by the index that
// lookup gave; setting index -1 (a name the program does not use) does
// nothing. Matrices are 16 floats, row-major, passed on unchanged.
class PlatShaderProgram {
public:
    virtual ~PlatShaderProgram() = default;
    virtual const std::string& GetName() const = 0;
    // The index of the uniform of this name, or -1 when the program has none.
    virtual int FindUniform(const std::string& uniform) = 0;
    // count is 1 (float), 4 (vector) or 16 (matrix).
    virtual void SetFloats(int uniform, const float* values, int count) = 0;
    virtual void SetInt(int uniform, int value) = 0;
};
