#include "Platform/OpenGL/FixedFunctionShader.h"

const char* const kPlatShaderPrelude = R"(#version 330 core
uniform mat4 uWorld;
uniform mat4 uView;
uniform mat4 uProjection;
uniform vec2 uTargetSize;

// Direct3D puts pixel centres at integer screen coordinates, OpenGL at
// half-integers: shift by half a pixel. Flip y so that row 0 is the top, and
// map depth 0..w to -w..w.
vec4 PlatToClip(vec4 position) {
    vec2 halfPixel = position.w / uTargetSize;
    return vec4(position.x + halfPixel.x, halfPixel.y - position.y, 2.0 * position.z - position.w, position.w);
}
)";

const char* const kPlatFixedFunctionVertexShader = R"(
in vec4 inPosition;
in vec3 inNormal;
in vec4 inDiffuse;
in vec2 inTexCoord0;
in vec2 inTexCoord1;

uniform int uPretransformed;
uniform int uLighting;
uniform vec4 uAmbient;
uniform vec4 uMaterialDiffuse;
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialEmissive;
uniform int uDiffuseFromVertex;
uniform int uAmbientFromVertex;
uniform int uLightCount;
uniform int uLightType[8];
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightAmbient[8];
uniform vec3 uLightPosition[8];
uniform vec3 uLightDirection[8];
uniform vec4 uLightAttenuation[8];
uniform int uFogEnable;
uniform vec2 uFogRange;

out vec4 vDiffuse;
out vec2 vTexCoord0;
out vec2 vTexCoord1;
out float vFog;

vec4 Light(vec3 position, vec3 normal) {
    vec4 materialDiffuse = uDiffuseFromVertex != 0 ? inDiffuse : uMaterialDiffuse;
    vec4 materialAmbient = uAmbientFromVertex != 0 ? inDiffuse : uMaterialAmbient;
    vec3 colour = uMaterialEmissive.rgb + uAmbient.rgb * materialAmbient.rgb;
    for (int i = 0; i < uLightCount; ++i) {
        vec3 toLight;
        float attenuation = 1.0;
        if (uLightType[i] == 3) {
            toLight = -normalize(uLightDirection[i]);
        } else {
            vec3 offset = uLightPosition[i] - position;
            float distance = length(offset);
            toLight = offset / max(distance, 1e-6);
            vec4 a = uLightAttenuation[i];
            if (distance > a.w)
                continue;
            // Clamped so that a light with a linear term only stays finite at its centre.
            attenuation = min(1.0, 1.0 / max(a.x + a.y * distance + a.z * distance * distance, 1e-6));
        }
        float lambert = max(dot(normal, toLight), 0.0);
        colour += attenuation * (uLightAmbient[i].rgb * materialAmbient.rgb +
                                 lambert * uLightDiffuse[i].rgb * materialDiffuse.rgb);
    }
    return clamp(vec4(colour, materialDiffuse.a), 0.0, 1.0);
}

void main() {
    vTexCoord0 = inTexCoord0;
    vTexCoord1 = inTexCoord1;
    vFog = 1.0;
    if (uPretransformed != 0) {
        float w = 1.0 / inPosition.w;
        vec2 ndc = vec2(inPosition.x * 2.0 / uTargetSize.x - 1.0, 1.0 - inPosition.y * 2.0 / uTargetSize.y);
        gl_Position = PlatToClip(vec4(ndc * w, inPosition.z * w, w));
        vDiffuse = inDiffuse;
        return;
    }
    vec4 world = uWorld * vec4(inPosition.xyz, 1.0);
    vec4 view = uView * world;
    gl_Position = PlatToClip(uProjection * view);
    if (uLighting != 0)
        vDiffuse = Light(world.xyz, normalize(mat3(uWorld) * inNormal));
    else
        vDiffuse = inDiffuse;
    if (uFogEnable != 0)
        vFog = clamp((uFogRange.y - view.z) / (uFogRange.y - uFogRange.x), 0.0, 1.0);
}
)";

const char* const kPlatFixedFunctionFragmentShader = R"(
in vec4 vDiffuse;
in vec2 vTexCoord0;
in vec2 vTexCoord1;
in float vFog;

uniform sampler2D uTexture0;
uniform sampler2D uTexture1;
uniform sampler2D uTexture2;
uniform ivec3 uTexCoordIndex;
uniform ivec3 uColorOp;
uniform ivec3 uColorArg1;
uniform ivec3 uColorArg2;
uniform ivec3 uAlphaOp;
uniform ivec3 uAlphaArg1;
uniform ivec3 uAlphaArg2;
uniform int uFogEnable;
uniform vec4 uFogColor;
uniform int uAlphaTest;
uniform int uAlphaFunc;
uniform float uAlphaRef;

out vec4 outColour;

vec2 StageCoord(int stage) {
    return uTexCoordIndex[stage] == 1 ? vTexCoord1 : vTexCoord0;
}

// A stage whose texture is missing reads opaque white.
#if KV_TEXTURE0
#define KV_TEXEL0 texture(uTexture0, StageCoord(0))
#else
#define KV_TEXEL0 vec4(1.0)
#endif
#if KV_TEXTURE1
#define KV_TEXEL1 texture(uTexture1, StageCoord(1))
#else
#define KV_TEXEL1 vec4(1.0)
#endif
#if KV_TEXTURE2
#define KV_TEXEL2 texture(uTexture2, StageCoord(2))
#else
#define KV_TEXEL2 vec4(1.0)
#endif

vec4 Argument(int which, vec4 texel, vec4 current) {
    if (which == 2)
        return texel;
    if (which == 1)
        return current;
    return vDiffuse;
}

vec4 Operate(int op, vec4 a, vec4 b) {
    if (op == 2)
        return a;
    if (op == 3)
        return b;
    if (op == 4)
        return a * b;
    if (op == 5)
        return min(2.0 * a * b, 1.0);
    return min(a + b, 1.0);
}

vec4 Stage(int stage, vec4 texel, vec4 current) {
    vec3 colour = Operate(uColorOp[stage], Argument(uColorArg1[stage], texel, current),
                          Argument(uColorArg2[stage], texel, current)).rgb;
    // A disabled alpha operation passes the alpha on (the diffuse alpha at stage 0).
    float alpha = current.a;
    if (uAlphaOp[stage] != 1)
        alpha = Operate(uAlphaOp[stage], Argument(uAlphaArg1[stage], texel, current),
                        Argument(uAlphaArg2[stage], texel, current)).a;
    return vec4(colour, alpha);
}

bool PassesAlphaTest(float alpha) {
    float value = floor(alpha * 255.0 + 0.5);
    if (uAlphaFunc == 1) return false;
    if (uAlphaFunc == 2) return value < uAlphaRef;
    if (uAlphaFunc == 3) return value == uAlphaRef;
    if (uAlphaFunc == 4) return value <= uAlphaRef;
    if (uAlphaFunc == 5) return value > uAlphaRef;
    if (uAlphaFunc == 6) return value != uAlphaRef;
    if (uAlphaFunc == 7) return value >= uAlphaRef;
    return true;
}

void main() {
    vec4 current = vDiffuse;
#if KV_STAGES > 0
    current = Stage(0, KV_TEXEL0, current);
#endif
#if KV_STAGES > 1
    current = Stage(1, KV_TEXEL1, current);
#endif
#if KV_STAGES > 2
    current = Stage(2, KV_TEXEL2, current);
#endif
    if (uAlphaTest != 0 && !PassesAlphaTest(current.a))
        discard;
    if (uFogEnable != 0)
        current.rgb = mix(uFogColor.rgb, current.rgb, vFog);
    outColour = current;
}
)";
