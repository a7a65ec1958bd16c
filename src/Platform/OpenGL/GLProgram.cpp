#include "Platform/OpenGL/GLProgram.h"

#include "Platform/OpenGL/FixedFunctionShader.h"

// The emulation shader compares these values by number.
static_assert(D3DTOP_DISABLE == 1 && D3DTOP_SELECTARG1 == 2 && D3DTOP_SELECTARG2 == 3 &&
              D3DTOP_MODULATE == 4 && D3DTOP_MODULATE2X == 5 && D3DTOP_ADD == 6);
static_assert(D3DTA_DIFFUSE == 0 && D3DTA_CURRENT == 1 && D3DTA_TEXTURE == 2);
static_assert(sizeof(D3DVECTOR) == 3 * sizeof(float) && sizeof(D3DCOLORVALUE) == 4 * sizeof(float));
static_assert(D3DCMP_NEVER == 1 && D3DCMP_ALWAYS == 8 && D3DLIGHT_DIRECTIONAL == 3);

namespace {

// Appends a shader's or program's log to *errors.
void AppendLog(GLuint object, void (*getLog)(GLuint, GLsizei, GLsizei*, GLchar*), std::string* errors) {
    char log[2048] = {};
    getLog(object, sizeof log, nullptr, log);
    *errors += log;
}

GLuint Compile(GLenum kind, const char* defines, const std::string& body, std::string* errors) {
    const GLuint shader = glCreateShader(kind);
    const char* parts[] = {kPlatShaderPrelude, defines, body.c_str()};
    glShaderSource(shader, 3, parts, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        AppendLog(shader, glGetShaderInfoLog, errors);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// Indexed by PlatGLProgram::Builtin. Arrays are located by their first element.
constexpr const char* kBuiltinNames[PlatGLProgram::kBuiltins] = {"uWorld",
                                                                 "uView",
                                                                 "uProjection",
                                                                 "uTargetSize",
                                                                 "uPretransformed",
                                                                 "uFogEnable",
                                                                 "uFogRange",
                                                                 "uFogColor",
                                                                 "uAlphaTest",
                                                                 "uAlphaFunc",
                                                                 "uAlphaRef",
                                                                 "uLighting",
                                                                 "uAmbient",
                                                                 "uMaterialDiffuse",
                                                                 "uMaterialAmbient",
                                                                 "uMaterialEmissive",
                                                                 "uDiffuseFromVertex",
                                                                 "uAmbientFromVertex",
                                                                 "uLightCount",
                                                                 "uLightType[0]",
                                                                 "uLightDiffuse[0]",
                                                                 "uLightAmbient[0]",
                                                                 "uLightPosition[0]",
                                                                 "uLightDirection[0]",
                                                                 "uLightAttenuation[0]",
                                                                 "uTexCoordIndex",
                                                                 "uColorOp",
                                                                 "uColorArg1",
                                                                 "uColorArg2",
                                                                 "uAlphaOp",
                                                                 "uAlphaArg1",
                                                                 "uAlphaArg2",
                                                                 "uTexture0",
                                                                 "uTexture1",
                                                                 "uTexture2"};

std::array<float, 4> ColourFromArgb(D3DCOLOR colour) {
    return {((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f, (colour & 0xFF) / 255.0f,
            (colour >> 24) / 255.0f};
}

} // namespace

PlatGLProgram::~PlatGLProgram() {
    if (program)
        glDeleteProgram(program);
}

bool PlatGLProgram::Build(const std::string& vertexSource, const std::string& fragmentSource,
                          std::string* errors, const char* defines) {
    const GLuint vertex = Compile(GL_VERTEX_SHADER, defines, vertexSource, errors);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, defines, fragmentSource, errors);
    if (!vertex || !fragment) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return false;
    }
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    const char* names[] = {"inPosition", "inNormal", "inDiffuse", "inSpecular", "inTexCoord0", "inTexCoord1"};
    for (GLuint i = 0; i < 6; ++i)
        glBindAttribLocation(program, i, names[i]);
    glBindFragDataLocation(program, 0, "outColour");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        AppendLog(program, glGetProgramInfoLog, errors);
        glDeleteProgram(program);
        program = 0;
        return false;
    }
    LocateBuiltins();
    glUseProgram(program);
    for (int stage = 0; stage < kPlatTextureStages; ++stage)
        glUniform1i(builtins[Texture0 + stage], stage);
    return true;
}

void PlatGLProgram::LocateBuiltins() {
    for (int i = 0; i < kBuiltins; ++i)
        builtins[i] = glGetUniformLocation(program, kBuiltinNames[i]);
}

int PlatGLProgram::FindUniform(const std::string& uniform) {
    return glGetUniformLocation(program, uniform.c_str());
}

void PlatGLProgram::SetFloats(int uniform, const float* values, int count) {
    Use();
    if (count == 16)
        glUniformMatrix4fv(uniform, 1, GL_FALSE, values);
    else if (count == 4)
        glUniform4fv(uniform, 1, values);
    else
        glUniform1f(uniform, values[0]);
}

void PlatGLProgram::SetInt(int uniform, int value) {
    Use();
    glUniform1i(uniform, value);
}

void PlatGLProgram::ApplyDeviceState(const PlatDrawCall& call, UINT targetWidth, UINT targetHeight) {
    const PlatStateValues& state = *call.state;
    glUniformMatrix4fv(builtins[World], 1, GL_FALSE, &state.Transform(D3DTS_WORLD)._11);
    glUniformMatrix4fv(builtins[View], 1, GL_FALSE, &state.Transform(D3DTS_VIEW)._11);
    glUniformMatrix4fv(builtins[Projection], 1, GL_FALSE, &state.Transform(D3DTS_PROJECTION)._11);
    glUniform2f(builtins[TargetSize], float(targetWidth), float(targetHeight));
    glUniform1i(builtins[Pretransformed], call.layout.IsPretransformed());
    ApplyLighting(call);
    const bool fog = state.RenderState(D3DRS_FOGENABLE) && !call.layout.IsPretransformed();
    glUniform1i(builtins[FogEnable], fog);
    glUniform2f(builtins[FogRange], state.RenderStateFloat(D3DRS_FOGSTART),
                state.RenderStateFloat(D3DRS_FOGEND));
    glUniform4fv(builtins[FogColor], 1, ColourFromArgb(state.RenderState(D3DRS_FOGCOLOR)).data());
    glUniform1i(builtins[AlphaTest], state.RenderState(D3DRS_ALPHATESTENABLE) != FALSE);
    glUniform1i(builtins[AlphaFunc], static_cast<GLint>(state.RenderState(D3DRS_ALPHAFUNC)));
    glUniform1f(builtins[AlphaRef], float(state.RenderState(D3DRS_ALPHAREF) & 0xFF));
    ApplyStages(state);
}

void PlatGLProgram::ApplyLighting(const PlatDrawCall& call) {
    const PlatStateValues& state = *call.state;
    const bool hasDiffuse = call.layout.diffuseOffset >= 0;
    glUniform1i(builtins[Lighting], state.RenderState(D3DRS_LIGHTING) && call.layout.normalOffset >= 0);
    glUniform4fv(builtins[Ambient], 1, ColourFromArgb(state.RenderState(D3DRS_AMBIENT)).data());
    glUniform4fv(builtins[MaterialDiffuse], 1, &state.material.Diffuse.r);
    glUniform4fv(builtins[MaterialAmbient], 1, &state.material.Ambient.r);
    glUniform4fv(builtins[MaterialEmissive], 1, &state.material.Emissive.r);
    glUniform1i(builtins[DiffuseFromVertex],
                hasDiffuse && state.RenderState(D3DRS_DIFFUSEMATERIALSOURCE) == D3DMCS_COLOR1);
    glUniform1i(builtins[AmbientFromVertex],
                hasDiffuse && state.RenderState(D3DRS_AMBIENTMATERIALSOURCE) == D3DMCS_COLOR1);
    // The enabled lights, gathered and uploaded as whole arrays.
    GLint types[kPlatShadedLights];
    D3DCOLORVALUE diffuse[kPlatShadedLights];
    D3DCOLORVALUE ambient[kPlatShadedLights];
    D3DVECTOR positions[kPlatShadedLights];
    D3DVECTOR directions[kPlatShadedLights];
    float attenuations[kPlatShadedLights][4];
    int count = 0;
    for (int i = 0; i < kPlatLights && count < kPlatShadedLights; ++i) {
        if (!state.lightEnabled[i])
            continue;
        const D3DLIGHT9& light = state.lights[i];
        types[count] = static_cast<GLint>(light.Type);
        diffuse[count] = light.Diffuse;
        ambient[count] = light.Ambient;
        positions[count] = light.Position;
        directions[count] = light.Direction;
        const float range = light.Range > 0 ? light.Range : 1e30f;
        const float attenuation[4] = {light.Attenuation0, light.Attenuation1, light.Attenuation2, range};
        std::copy(std::begin(attenuation), std::end(attenuation), attenuations[count]);
        ++count;
    }
    if (count > 0) {
        glUniform1iv(builtins[LightType], count, types);
        glUniform4fv(builtins[LightDiffuse], count, &diffuse[0].r);
        glUniform4fv(builtins[LightAmbient], count, &ambient[0].r);
        glUniform3fv(builtins[LightPosition], count, &positions[0].x);
        glUniform3fv(builtins[LightDirection], count, &directions[0].x);
        glUniform4fv(builtins[LightAttenuation], count, attenuations[0]);
    }
    glUniform1i(builtins[LightCount], count);
}

void PlatGLProgram::ApplyStages(const PlatStateValues& state) {
    auto upload = [&](Builtin uniform, auto value) {
        GLint values[kPlatTextureStages];
        for (int stage = 0; stage < kPlatTextureStages; ++stage)
            values[stage] = static_cast<GLint>(value(stage));
        glUniform3iv(builtins[uniform], 1, values);
    };
    upload(TexCoordIndex, [&](int stage) { return state.StageState(stage, D3DTSS_TEXCOORDINDEX); });
    upload(ColorOp, [&](int stage) { return state.StageState(stage, D3DTSS_COLOROP); });
    upload(ColorArg1, [&](int stage) { return state.StageState(stage, D3DTSS_COLORARG1); });
    upload(ColorArg2, [&](int stage) { return state.StageState(stage, D3DTSS_COLORARG2); });
    upload(AlphaOp, [&](int stage) { return state.StageState(stage, D3DTSS_ALPHAOP); });
    upload(AlphaArg1, [&](int stage) { return state.StageState(stage, D3DTSS_ALPHAARG1); });
    upload(AlphaArg2, [&](int stage) { return state.StageState(stage, D3DTSS_ALPHAARG2); });
}
