#include "Render/PAnimatedObject.h"

#include "Core/ObjectHandle.h"
#include "Core/PGlobalTimer.h"
#include "Render/PSceneObject.h"
#include "Render/PVertexEffect.h"
#include "Render/VertexPlacement.h"
#include "Script/PScriptManager.h"

#include <algorithm>

void CPAnimatedObject::AddAnimation(const std::string& name, const CPRefPtr<CPAnimation>& animation) {
    animations[name] = animation;
    if (!current) {
        current = animation;
        stopped = false;
    }
}

bool CPAnimatedObject::StartAnimation(const std::string& name, float start, int limit, int frameToReport,
                                      float playSpeed, const CPRefPtr<CPObject>& reportTarget, bool restart) {
    const CPRefPtr<CPAnimation>* found = animations.Find(name);
    if (!found || (!restart && name == animationName))
        return false;
    animationName = name;
    current = *found;
    startTime = start;
    playCount = 0;
    playLimit = limit;
    reportedFrame = -1;
    reportFrame = frameToReport;
    speed = playSpeed;
    target = reportTarget;
    heldFrame = -1;
    stopped = false;
    for (CPVertexEffect* effect : vertexEffects)
        effect->Reset();
    return true;
}

CPAnimatedObject::Step CPAnimatedObject::Look() const {
    Step step;
    if (!current || current->frames.empty())
        return step;
    if (stopped) {
        step.chosen = step.written = heldFrame;
        return step;
    }
    const auto elapsed = static_cast<float>((g_GameTime - startTime) * speed);
    step.chosen = step.written = current->FrameAt(elapsed);
    const auto& frames = current->frames;
    step.wrapped = heldFrame >= 0 && heldFrame < static_cast<int>(frames.size()) &&
                   frames[heldFrame].frameNumber > frames[step.chosen].frameNumber;
    step.stops = step.wrapped && playLimit > 0 && playCount + 1 >= playLimit;
    // A stopped play keeps showing the frame before the last.
    if (step.stops)
        step.written = std::max(0, static_cast<int>(frames.size()) - 2);
    return step;
}

const AnimationFrame* CPAnimatedObject::FrameToWrite() const {
    const Step step = Look();
    if (step.written < 0 || step.written >= static_cast<int>(current->frames.size()))
        return nullptr;
    return &current->frames[step.written];
}

int CPAnimatedObject::GetVertexCount() const {
    const AnimationFrame* frame = FrameToWrite();
    return frame ? static_cast<int>(frame->vertices.size()) : 0;
}

int CPAnimatedObject::GetIndexCount() const {
    const AnimationFrame* frame = FrameToWrite();
    return frame ? static_cast<int>(frame->indices.size()) : 0;
}

void CPAnimatedObject::Advance(const Step& step) {
    if (stopped || step.chosen < 0)
        return;
    if (step.wrapped) {
        reportedFrame = -1;
        ++playCount;
    }
    heldFrame = step.written;
    if (step.stops) {
        stopped = true;
        Send("animation_stopped");
        if (owner)
            owner->NotifyControllerAnimationEnd();
        animationName.clear();
    }
    const int chosenNumber = current->frames[step.chosen].frameNumber;
    if (reportFrame >= 0 && reportedFrame < 0 && chosenNumber >= reportFrame) {
        reportedFrame = chosenNumber;
        Send("animation_report");
        if (owner)
            owner->UpdateController();
    }
}

void CPAnimatedObject::Send(const char* command) const {
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByObject(dynamic_cast<CPLuaScript*>(target.Get()), command,
                                             PointerToString(target.Get()));
}

void CPAnimatedObject::Fill(MeshVertex* vertexDestination, uint16_t* indexDestination, int baseVertex, int) {
    const Step step = Look();
    const AnimationFrame* frame = FrameToWrite();
    if (!frame)
        return;
    Advance(step);
    D3DXMATRIX world;
    if (owner)
        world = owner->GetWorldMatrix();
    else
        D3DXMatrixIdentity(&world);
    const int count = static_cast<int>(frame->vertices.size());
    for (int k = 0; k < count; ++k) {
        vertexDestination[k] = frame->vertices[k];
        PlaceVertex(frame->vertices[k], world, vertexDestination[k]);
    }
    ApplyEffects(vertexDestination, count);
    // A mirroring placement turns the triangles over: keep their winding.
    const float det = world._11 * (world._22 * world._33 - world._23 * world._32) -
                      world._12 * (world._21 * world._33 - world._23 * world._31) +
                      world._13 * (world._21 * world._32 - world._22 * world._31);
    const bool mirrored = det < 0;
    const auto& indices = frame->indices;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        std::size_t from = i;
        if (mirrored && i % 3 != 0 && i - i % 3 + 2 < indices.size())
            from = i - i % 3 + (3 - i % 3);
        indexDestination[i] = static_cast<uint16_t>(baseVertex + indices[from]);
    }
}

void CPAnimatedObject::CopyFrom(const CPRefPtr<CPAnimatedObject>& source) {
    animations = source->animations;
    current = source->current;
    startTime = source->startTime;
    playLimit = source->playLimit;
    playCount = source->playCount;
    reportedFrame = source->reportedFrame;
    reportFrame = source->reportFrame;
    speed = source->speed;
    target = source->target;
    heldFrame = source->heldFrame;
    stopped = source->stopped;
    animationName = source->animationName;
    material = source->material;
    CopyEffectsFrom(*source);
    source->Release();
}
