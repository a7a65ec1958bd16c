#pragma once

#include "Platform/Graphics/GraphicsBackend.h"

#include <epoxy/gl.h>

#include <array>
#include <string>

// A linked GLSL program whose sources follow kPlatShaderPrelude. Vertex
// inputs have fixed locations (inPosition, inNormal, inDiffuse, inSpecular,
// inTexCoord0, inTexCoord1). Built-in uniforms that a program declares are
// located when it links and fed from the device state at each draw; an
// effect's own uniforms are located once by name and set by location.
class PlatGLProgram : public PlatShaderProgram {
public:
    enum Attribute : GLuint { Position, Normal, Diffuse, Specular, TexCoord0, TexCoord1 };

    explicit PlatGLProgram(std::string programName) : name(std::move(programName)) {}
    ~PlatGLProgram() override;
    PlatGLProgram(const PlatGLProgram&) = delete;
    PlatGLProgram& operator=(const PlatGLProgram&) = delete;

    // False with the compiler's or linker's message in *errors. The defines
    // go between the prelude and each source.
    bool Build(const std::string& vertexSource, const std::string& fragmentSource, std::string* errors,
               const char* defines = "");
    void Use() const { glUseProgram(program); }

    const std::string& GetName() const override { return name; }
    // The uniform's location, or -1 when the program has none by that name.
    int FindUniform(const std::string& uniform) override;
    void SetFloats(int uniform, const float* values, int count) override;
    void SetInt(int uniform, int value) override;

    // Uploads the transforms, the target size and, where declared, the
    // fixed-function uniforms (lighting, material, fog, stages, alpha test).
    void ApplyDeviceState(const PlatDrawCall& call, UINT targetWidth, UINT targetHeight);

    // The uniforms the device state feeds, in the order of their names in
    // GLProgram.cpp.
    enum Builtin {
        World,
        View,
        Projection,
        TargetSize,
        Pretransformed,
        FogEnable,
        FogRange,
        FogColor,
        AlphaTest,
        AlphaFunc,
        AlphaRef,
        Lighting,
        Ambient,
        MaterialDiffuse,
        MaterialAmbient,
        MaterialEmissive,
        DiffuseFromVertex,
        AmbientFromVertex,
        LightCount,
        LightType,
        LightDiffuse,
        LightAmbient,
        LightPosition,
        LightDirection,
        LightAttenuation,
        TexCoordIndex,
        ColorOp,
        ColorArg1,
        ColorArg2,
        AlphaOp,
        AlphaArg1,
        AlphaArg2,
        Texture0,
        Texture1,
        Texture2,
        kBuiltins
    };

private:
    void LocateBuiltins();
    void ApplyLighting(const PlatDrawCall& call);
    void ApplyStages(const PlatStateValues& state);

    std::string name;
    GLuint program = 0;
    std::array<GLint, kBuiltins> builtins{};
};
