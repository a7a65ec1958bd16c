#pragma once

#include "Platform/Graphics/EffectStateNames.h"

#include <array>
#include <string>
#include <vector>

// An effect file as read, before anything is compiled.
//
// The format is line based; "#" or "//" start a comment:
//
//   parameter [shared] <type> <name> [= <numbers>...] ["description"]
//       types: float, float4, float4x4, int, bool, texture, texture2d, texturecube
//   shader vertex|fragment <name>
//       GLSL lines (after the common prelude), up to a line "end"
//   technique <name>
//     pass <name>
//       vertex <shader> / fragment <shader>   (a pass without them uses the
//                                              fixed-function emulation)
//       render <STATE> <value>                e.g. render CULLMODE NONE
//       stage <n> <STATE> <value>             e.g. stage 0 COLOROP MODULATE
//       sampler <n> <STATE> <value>           e.g. sampler 0 ADDRESSU CLAMP
//       texture <n> <parameter>               binds a texture parameter to sampler n
//   end
//
// Shared parameters live in the pool of the effects created with one.
enum class PlatEffectType { Float, Float4, Float4x4, Int, Bool, Texture, Texture2D, TextureCube };

struct PlatEffectParameterDecl {
    std::string name;
    PlatEffectType type = PlatEffectType::Float;
    bool shared = false;
    std::array<float, 16> defaults{};
    std::string description;
};

struct PlatEffectShaderDecl {
    std::string name;
    bool vertex = true;
    std::string source;
};

struct PlatEffectStateDecl {
    PlatStateGroup group = PlatStateGroup::Render;
    DWORD index = 0; // stage or sampler
    uint32_t state = 0;
    DWORD value = 0;
};

struct PlatEffectTextureDecl {
    DWORD sampler = 0;
    std::string parameter;
};

struct PlatEffectPassDecl {
    std::string name;
    int line = 0;
    std::string vertexShader;
    std::string fragmentShader;
    std::vector<PlatEffectStateDecl> states;
    std::vector<PlatEffectTextureDecl> textures;
};

struct PlatEffectTechniqueDecl {
    std::string name;
    std::vector<PlatEffectPassDecl> passes;
};

struct PlatEffectFile {
    std::vector<PlatEffectParameterDecl> parameters;
    std::vector<PlatEffectShaderDecl> shaders;
    std::vector<PlatEffectTechniqueDecl> techniques;

    const PlatEffectParameterDecl* FindParameter(const std::string& name) const {
        for (const PlatEffectParameterDecl& parameter : parameters)
            if (parameter.name == name)
                return &parameter;
        return nullptr;
    }
    const PlatEffectShaderDecl* FindShader(const std::string& name) const {
        for (const PlatEffectShaderDecl& shader : shaders)
            if (shader.name == name)
                return &shader;
        return nullptr;
    }
};
