#pragma once

#include "Platform/Graphics/GraphicsBackend.h"

#include <epoxy/gl.h>

#include <string>
#include <unordered_map>

// A linked GLSL program whose sources follow kPlatShaderPrelude. Vertex
// inputs have fixed locations (inPosition, inNormal, inDiffuse, inSpecular,
// inTexCoord0, inTexCoord1). Built-in uniforms that a program declares are
// fed from the device state at each draw; others are set by name.
class PlatGLProgram : public PlatShaderProgram {
public:
    enum Attribute : GLuint { Position, Normal, Diffuse, Specular, TexCoord0, TexCoord1 };

    explicit PlatGLProgram(std::string programName) : name(std::move(programName)) {}
    ~PlatGLProgram() override;
    PlatGLProgram(const PlatGLProgram&) = delete;
    PlatGLProgram& operator=(const PlatGLProgram&) = delete;

    // False with the compiler's or linker's message in *errors.
    bool Build(const std::string& vertexSource, const std::string& fragmentSource, std::string* errors);
    void Use() const { glUseProgram(program); }

    const std::string& GetName() const override { return name; }
    void SetFloats(const std::string& uniform, const float* values, int count) override;
    void SetInt(const std::string& uniform, int value) override;
    // The location of a uniform, or -1 when the program has none by that name.
    GLint Location(const std::string& name);

    // Uploads the transforms, the target size and, where declared, the
    // fixed-function uniforms (lighting, material, fog, stages, alpha test).
    void ApplyDeviceState(const PlatDrawCall& call, UINT targetWidth, UINT targetHeight,
                          const std::array<bool, kPlatTextureStages>& stageHasTexture);

private:
    void ApplyLighting(const PlatDrawCall& call);
    void ApplyStages(const PlatStateValues& state,
                     const std::array<bool, kPlatTextureStages>& stageHasTexture);

    std::string name;
    GLuint program = 0;
    std::unordered_map<std::string, GLint> locations;
};
