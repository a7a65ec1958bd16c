#pragma once

#include "Platform/D3DX9Math.h"

#include <functional>
#include <string>

class CPLuaScript;
class CPObject;

// An animation as a script asks for it.
struct ScriptAnimationRequest {
    std::string name;
    float speed = 0.0f;
    // 0 or less: loop without end.
    int loopCount = 0;
    // Negative: no report.
    int reportFrame = 0;
    // Told when the loops are used up and at the report frame; the
    // receiver keeps a counted reference.
    CPLuaScript* notifyScript = nullptr;
};

// The game-object, renderer, interface and music operations that the
// script functions reach. Every entry starts as a stand-in that does
// nothing and gives the failure result, so scripts run before those
// subsystems are connected; the application replaces the entries it can
// serve. Objects handed in are live (checked by the caller) but of any
// class: an entry checks the class it needs.
struct ScriptEngineHooks {
    // Game objects.
    std::function<void(CPObject* object, const D3DXMATRIX& parentMatrix)> setParentTransform =
        [](CPObject*, const D3DXMATRIX&) {};
    std::function<CPObject*(CPObject* object, const std::string& name)> findInTree =
        [](CPObject*, const std::string&) -> CPObject* { return nullptr; };
    std::function<CPObject*(CPObject* object)> getParent = [](CPObject*) -> CPObject* { return nullptr; };
    std::function<void(CPObject* object, bool visible)> setVisible = [](CPObject*, bool) {};
    std::function<void(CPObject* object, bool collision)> setCollision = [](CPObject*, bool) {};
    std::function<void(CPObject* object, const ScriptAnimationRequest& request)> startAnimation =
        [](CPObject*, const ScriptAnimationRequest&) {};
    std::function<void(CPObject* object, int priority)> activate = [](CPObject*, int) {};
    std::function<void(CPObject* object)> deactivate = [](CPObject*) {};
    // Renderer and models.
    std::function<CPObject*(const std::string& fileName, int priority)> loadModel =
        [](const std::string&, int) -> CPObject* { return nullptr; };
    std::function<void(CPObject* object)> drawObject = [](CPObject*) {};
    std::function<void(float level)> setFade = [](float) {};
    // Interface pages.
    std::function<void(CPObject* page, const std::string& name)> lockButton = [](CPObject*,
                                                                                 const std::string&) {};
    std::function<void(CPObject* page, const std::string& name)> unlockButton = [](CPObject*,
                                                                                   const std::string&) {};
    // Music.
    std::function<void(const std::string& fileName, bool loop)> playMusic = [](const std::string&, bool) {};
};

extern ScriptEngineHooks g_ScriptEngineHooks;
