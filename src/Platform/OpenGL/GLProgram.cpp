#include "Platform/OpenGL/GLProgram.h"

#include "Platform/OpenGL/FixedFunctionShader.h"

// The emulation shader compares these values by number.
static_assert(D3DTOP_DISABLE == 1 && D3DTOP_SELECTARG1 == 2 && D3DTOP_SELECTARG2 == 3 &&
              D3DTOP_MODULATE == 4 && D3DTOP_MODULATE2X == 5 && D3DTOP_ADD == 6);
static_assert(D3DTA_DIFFUSE == 0 && D3DTA_CURRENT == 1 && D3DTA_TEXTURE == 2);
static_assert(D3DCMP_NEVER == 1 && D3DCMP_ALWAYS == 8 && D3DLIGHT_DIRECTIONAL == 3);

namespace {

// Appends a shader's or program's log to *errors.
void AppendLog(GLuint object, void (*getLog)(GLuint, GLsizei, GLsizei*, GLchar*), std::string* errors) {
    char log[2048] = {};
    getLog(object, sizeof log, nullptr, log);
    *errors += log;
}

GLuint Compile(GLenum kind, const std::string& body, std::string* errors) {
    const GLuint shader = glCreateShader(kind);
    const char* parts[] = {kPlatShaderPrelude, body.c_str()};
    glShaderSource(shader, 2, parts, nullptr);
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
                          std::string* errors) {
    const GLuint vertex = Compile(GL_VERTEX_SHADER, vertexSource, errors);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentSource, errors);
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
    glUseProgram(program);
    for (int stage = 0; stage < kPlatTextureStages; ++stage)
        glUniform1i(Location("uTexture" + std::to_string(stage)), stage);
    return true;
}

void PlatGLProgram::SetFloats(const std::string& uniform, const float* values, int count) {
    Use();
    const GLint location = Location(uniform);
    if (count == 16)
        glUniformMatrix4fv(location, 1, GL_FALSE, values);
    else if (count == 4)
        glUniform4fv(location, 1, values);
    else
        glUniform1f(location, values[0]);
}

void PlatGLProgram::SetInt(const std::string& uniform, int value) {
    Use();
    glUniform1i(Location(uniform), value);
}

GLint PlatGLProgram::Location(const std::string& name) {
    auto found = locations.find(name);
    if (found == locations.end())
        found = locations.emplace(name, glGetUniformLocation(program, name.c_str())).first;
    return found->second;
}

void PlatGLProgram::ApplyDeviceState(const PlatDrawCall& call, UINT targetWidth, UINT targetHeight,
                                     const std::array<bool, kPlatTextureStages>& stageHasTexture) {
    const PlatStateValues& state = *call.state;
    glUniformMatrix4fv(Location("uWorld"), 1, GL_FALSE, &state.Transform(D3DTS_WORLD)._11);
    glUniformMatrix4fv(Location("uView"), 1, GL_FALSE, &state.Transform(D3DTS_VIEW)._11);
    glUniformMatrix4fv(Location("uProjection"), 1, GL_FALSE, &state.Transform(D3DTS_PROJECTION)._11);
    glUniform2f(Location("uTargetSize"), float(targetWidth), float(targetHeight));
    glUniform1i(Location("uPretransformed"), call.layout.IsPretransformed());
    ApplyLighting(call);
    const bool fog = state.RenderState(D3DRS_FOGENABLE) && !call.layout.IsPretransformed();
    glUniform1i(Location("uFogEnable"), fog);
    glUniform2f(Location("uFogRange"), state.RenderStateFloat(D3DRS_FOGSTART),
                state.RenderStateFloat(D3DRS_FOGEND));
    glUniform4fv(Location("uFogColor"), 1, ColourFromArgb(state.RenderState(D3DRS_FOGCOLOR)).data());
    glUniform1i(Location("uAlphaTest"), state.RenderState(D3DRS_ALPHATESTENABLE) != FALSE);
    glUniform1i(Location("uAlphaFunc"), static_cast<GLint>(state.RenderState(D3DRS_ALPHAFUNC)));
    glUniform1f(Location("uAlphaRef"), float(state.RenderState(D3DRS_ALPHAREF) & 0xFF));
    ApplyStages(state, stageHasTexture);
}

void PlatGLProgram::ApplyLighting(const PlatDrawCall& call) {
    const PlatStateValues& state = *call.state;
    const bool hasDiffuse = call.layout.diffuseOffset >= 0;
    glUniform1i(Location("uLighting"), state.RenderState(D3DRS_LIGHTING) && call.layout.normalOffset >= 0);
    glUniform4fv(Location("uAmbient"), 1, ColourFromArgb(state.RenderState(D3DRS_AMBIENT)).data());
    glUniform4fv(Location("uMaterialDiffuse"), 1, &state.material.Diffuse.r);
    glUniform4fv(Location("uMaterialAmbient"), 1, &state.material.Ambient.r);
    glUniform4fv(Location("uMaterialEmissive"), 1, &state.material.Emissive.r);
    glUniform1i(Location("uDiffuseFromVertex"),
                hasDiffuse && state.RenderState(D3DRS_DIFFUSEMATERIALSOURCE) == D3DMCS_COLOR1);
    glUniform1i(Location("uAmbientFromVertex"),
                hasDiffuse && state.RenderState(D3DRS_AMBIENTMATERIALSOURCE) == D3DMCS_COLOR1);
    int count = 0;
    for (int i = 0; i < kPlatLights && count < kPlatShadedLights; ++i) {
        if (!state.lightEnabled[i])
            continue;
        const D3DLIGHT9& light = state.lights[i];
        const std::string index = "[" + std::to_string(count) + "]";
        glUniform1i(Location("uLightType" + index), static_cast<GLint>(light.Type));
        glUniform4fv(Location("uLightDiffuse" + index), 1, &light.Diffuse.r);
        glUniform4fv(Location("uLightAmbient" + index), 1, &light.Ambient.r);
        glUniform3fv(Location("uLightPosition" + index), 1, &light.Position.x);
        glUniform3fv(Location("uLightDirection" + index), 1, &light.Direction.x);
        glUniform4f(Location("uLightAttenuation" + index), light.Attenuation0, light.Attenuation1,
                    light.Attenuation2, light.Range > 0 ? light.Range : 1e30f);
        ++count;
    }
    glUniform1i(Location("uLightCount"), count);
}

void PlatGLProgram::ApplyStages(const PlatStateValues& state,
                                const std::array<bool, kPlatTextureStages>& stageHasTexture) {
    auto upload = [&](const char* name, auto value) {
        GLint values[kPlatTextureStages];
        for (int stage = 0; stage < kPlatTextureStages; ++stage)
            values[stage] = static_cast<GLint>(value(stage));
        glUniform3iv(Location(name), 1, values);
    };
    upload("uHasTexture", [&](int stage) { return stageHasTexture[stage]; });
    upload("uTexCoordIndex", [&](int stage) { return state.StageState(stage, D3DTSS_TEXCOORDINDEX); });
    upload("uColorOp", [&](int stage) { return state.StageState(stage, D3DTSS_COLOROP); });
    upload("uColorArg1", [&](int stage) { return state.StageState(stage, D3DTSS_COLORARG1); });
    upload("uColorArg2", [&](int stage) { return state.StageState(stage, D3DTSS_COLORARG2); });
    upload("uAlphaOp", [&](int stage) { return state.StageState(stage, D3DTSS_ALPHAOP); });
    upload("uAlphaArg1", [&](int stage) { return state.StageState(stage, D3DTSS_ALPHAARG1); });
    upload("uAlphaArg2", [&](int stage) { return state.StageState(stage, D3DTSS_ALPHAARG2); });
}
