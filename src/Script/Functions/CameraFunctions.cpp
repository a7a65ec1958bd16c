#include "Core/PRefPtr.h"
#include "Core/PSettings.h"
#include "Game/PCamera.h"
#include "Game/PGameObject.h"
#include "Game/PLevel.h"
#include "Interface/PLensFlare.h"
#include "Platform/Random.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "Render/RenderPriority.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/PScriptManager.h"
#include "Script/ScriptCall.h"

#include <array>

namespace {

constexpr float kDefaultCameraFov = 1.2217305f;
constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kDemoLowPitch = -0.2617994f;
constexpr float kDemoTopPitch = -1.5707964f;
constexpr int kLensFlarePriorityOffset = 198;

// The level's chase camera; null without a level or camera.
CPCamera* LevelCamera() {
    return g_Level ? g_Level->camera.Get() : nullptr;
}

// One camera serves every call, so repeated calls do not pile up cameras.
CPPerspectiveCamera& DefaultCamera() {
    static CPPerspectiveCamera* camera = new CPPerspectiveCamera();
    return *camera;
}

// Looks along +x from the origin, z up, for the pages and menu scenes
// outside a race.
int SetDefaultCamera(lua_State*) {
    CPPerspectiveCamera& camera = DefaultCamera();
    camera.eye = {0, 0, 0};
    camera.target = {1, 0, 0};
    camera.up = {0, 0, 1};
    camera.fov = kDefaultCameraFov;
    camera.nearPlane = 1.0f;
    camera.farPlane = 1000.0f;
    camera.viewDirty = camera.projectionDirty = true;
    camera.UpdateMatrices();
    if (g_Render)
        g_Render->SetLevelCamera(RENDER_DEFAULT_CAMERA, CPRefPtr<CPBaseCamera>(&camera));
    return 0;
}

int SetCameraPos(lua_State* L) {
    const ScriptCall call(L);
    if (CPCamera* camera = LevelCamera())
        camera->focus = {call.Float(1), call.Float(2), call.Float(3)};
    return 0;
}

int SetCameraZAngle(lua_State* L) {
    const float angle = ScriptCall(L).Float(1);
    if (CPCamera* camera = LevelCamera())
        camera->SetHeading(angle);
    return 0;
}

int GetCameraZAngle(lua_State* L) {
    ScriptCall call(L);
    if (const CPCamera* camera = LevelCamera())
        call.PushNumber(camera->heading);
    return call.Results();
}

// The main view's eye, then the point the camera looks at or follows.
int GetCameraPositions(lua_State* L) {
    ScriptCall call(L);
    const CPCamera* camera = LevelCamera();
    if (!camera)
        return 0;
    const CPRefPtr<CPPerspectiveCamera> view = camera->GetMainCamera();
    const D3DXVECTOR3 eye = view ? view->eye : D3DXVECTOR3(0, 0, 0);
    const D3DXVECTOR3& target = camera->fixedMode ? camera->fixedTarget : camera->focus;
    for (const float value : {eye.x, eye.y, eye.z, target.x, target.y, target.z})
        call.PushNumber(value);
    return call.Results();
}

// Switches the orbiting demo shot on or off; the turn direction and the
// pitch are drawn at random, but only when the shot changes.
int SetCamera(lua_State* L) {
    const int shot = ScriptCall(L).Bool(1) ? 1 : 0;
    CPCamera* camera = LevelCamera();
    if (!camera || shot == g_Level->demo.shot)
        return 0;
    g_Level->demo.shot = shot;
    g_Level->demo.shotTime = 0;
    g_Level->demo.turnSign = PlatRand() % 2 == 0 ? -1.0f : 1.0f;
    if (shot == 0)
        camera->SetHeading(g_Level->targetHeading);
    camera->SetAngle(PlatRand() % 4 == 0 ? kDemoLowPitch : kDemoTopPitch);
    return 0;
}

int ChangeGameCamera(lua_State* L) {
    ScriptCall call(L);
    int view = -1;
    if (g_Level) {
        view = (g_Level->cameraView + 1) % 3;
        g_Level->SetCameraView(view);
    }
    call.PushNumber(view);
    return call.Results();
}

int SetCameraPlayer(lua_State* L) {
    const bool second = ScriptCall(L).Bool(1);
    if (g_Level)
        g_Level->SetCameraView(second ? 1 : 0);
    return 0;
}

int GetCameraPlayer(lua_State* L) {
    ScriptCall call(L);
    if (g_Level)
        call.PushNumber(g_Level->cameraView);
    return call.Results();
}

// The first field of view is taken at once by both views; later ones are
// eased toward.
int SetFOV(lua_State* L) {
    const float degrees = ScriptCall(L).Float(1);
    CPCamera* camera = LevelCamera();
    if (!camera)
        return 0;
    const bool first = camera->fov == 0;
    camera->targetFov = degrees;
    if (!first)
        return 0;
    camera->fov = degrees;
    for (const CPRefPtr<CPPerspectiveCamera>& view : {camera->GetMainCamera(), camera->GetSecondCamera()}) {
        if (!view)
            continue;
        view->fov = degrees * kDegreesToRadians;
        view->projectionDirty = true;
    }
    return 0;
}

int GetFov1(lua_State* L) {
    ScriptCall call(L);
    if (g_Level)
        call.PushNumber(g_Level->views[0].fov);
    return call.Results();
}

int GetFov2(lua_State* L) {
    ScriptCall call(L);
    if (g_Level)
        call.PushNumber(g_Level->views[1].fov);
    return call.Results();
}

// False only when the object's box lies wholly outside the main view.
int CheckVisible(lua_State* L) {
    ScriptCall call(L);
    const CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    const CPCamera* camera = LevelCamera();
    const CPRefPtr<CPPerspectiveCamera> view = camera ? camera->GetMainCamera() : nullptr;
    call.PushBool(object && view && IsBoxInFrustum(view, object->partsBounds.min, object->partsBounds.max));
    return call.Results();
}

// The sun light's values as the scripts see them: diffuse, specular and
// ambient colour (red, green, blue, alpha), then the direction.
std::array<float*, 15> SunLightValues(D3DLIGHT9& light) {
    return {&light.Diffuse.r,  &light.Diffuse.g,  &light.Diffuse.b,   &light.Diffuse.a,   &light.Specular.r,
            &light.Specular.g, &light.Specular.b, &light.Specular.a,  &light.Ambient.r,   &light.Ambient.g,
            &light.Ambient.b,  &light.Ambient.a,  &light.Direction.x, &light.Direction.y, &light.Direction.z};
}

int SetLight(lua_State* L) {
    const ScriptCall call(L);
    if (!g_Level)
        return 0;
    int index = 1;
    for (float* value : SunLightValues(g_Level->sunLight))
        *value = call.Float(index++);
    return 0;
}

int GetLight(lua_State* L) {
    ScriptCall call(L);
    if (!g_Level)
        return 0;
    for (const float* value : SunLightValues(g_Level->sunLight))
        call.PushNumber(*value);
    return call.Results();
}

// The flare the scripts made last; replacing it deletes the old one.
CPLensFlare* g_ScriptFlare = nullptr;

void DeleteScriptFlare() {
    if (g_Level && g_Level->lensFlare.Get() == g_ScriptFlare)
        g_Level->lensFlare = nullptr;
    delete g_ScriptFlare;
    g_ScriptFlare = nullptr;
}

// The level draws the flare where the sun is; the arguments do not place it.
int SetLensFlare(lua_State*) {
    if (!g_Level)
        return 0;
    DeleteScriptFlare();
    g_ScriptFlare = new CPLensFlare();
    g_ScriptFlare->Load("lensflare2", kLensFlarePriorityOffset);
    g_Level->lensFlare = CPRefPtr<CPObject>(g_ScriptFlare);
    if (g_ScriptManager)
        g_ScriptManager->KeepModel(DeleteScriptFlare);
    return 0;
}

int SetMotionBlur(lua_State* L) {
    const float amount = ScriptCall(L).Float(1);
    if (!g_Render)
        return 0;
    g_Render->motionBlurOn = amount != 0 ? 1 : 0;
    g_Render->motionBlurAmount = amount != 0 ? amount : 0.0f;
    return 0;
}

int SetRadialBlur(lua_State* L) {
    const float amount = ScriptCall(L).Float(1);
    if (g_Render)
        g_Render->radialBlurAmount = amount;
    return 0;
}

int SetLightCoeff(lua_State* L) {
    const float value = ScriptCall(L).Float(1);
    if (g_Render)
        g_Render->lightCoeff = value;
    return 0;
}

int GetBrightness(lua_State* L) {
    ScriptCall call(L);
    call.PushNumber(g_Plane);
    return call.Results();
}

int DoNothing(lua_State*) {
    return 0;
}

constexpr std::array kCameraFunctions = std::to_array<ScriptFunction>({
    {"SetDefaultCamera", SetDefaultCamera},
    {"SetCameraPos", SetCameraPos},
    {"SetCameraZAngle", SetCameraZAngle},
    {"GetCameraZAngle", GetCameraZAngle},
    {"GetCameraPositions", GetCameraPositions},
    {"SetCamera", SetCamera},
    {"ChangeGameCamera", ChangeGameCamera},
    {"SetCameraPlayer", SetCameraPlayer},
    {"GetCameraPlayer", GetCameraPlayer},
    {"SetFOV", SetFOV},
    {"GetFov1", GetFov1},
    {"GetFov2", GetFov2},
    {"CheckVisible", CheckVisible},
    {"SetLight", SetLight},
    {"GetLight", GetLight},
    {"SetLensFlare", SetLensFlare},
    {"SetMotionBlur", SetMotionBlur},
    {"SetRadialBlur", SetRadialBlur},
    {"SetLightCoeff", SetLightCoeff},
    {"GetBrightness", GetBrightness},
    {"SetBrightness", DoNothing},
    {"DumpAIInfo", DoNothing},
    {"CreateArrow", DoNothing},
    {"DrawArrow", DoNothing},
});

} // namespace

ScriptFunctionTable CameraFunctions() {
    return kCameraFunctions;
}
