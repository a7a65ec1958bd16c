#pragma once

#include <string>

// A GLSL program of an effect pass, as its backend holds it. Values are set
// by uniform name; a name the program does not use is ignored. Matrices are
// 16 floats, row-major, passed on unchanged.
class PlatShaderProgram {
public:
    virtual ~PlatShaderProgram() = default;
    virtual const std::string& GetName() const = 0;
    // count is 1 (float), 4 (vector) or 16 (matrix).
    virtual void SetFloats(const std::string& uniform, const float* values, int count) = 0;
    virtual void SetInt(const std::string& uniform, int value) = 0;
};
