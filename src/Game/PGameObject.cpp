#include "Game/PGameObject.h"

#include "Core/LiveObjects.h"
#include "Core/Log.h"
#include "Core/ObjectHandle.h"
#include "Core/PGlobalTimer.h"
#include "Core/PTaskManager.h"
#include "Core/XmlDocument.h"
#include "Game/GameObjectServices.h"
#include "Game/PGameData.h"
#include "Render/PAnimatedObject.h"
#include "Render/PLight.h"
#include "Render/PRenderObject.h"
#include "Render/PSprite.h"
#include "Render/PVertexEffect.h"
#include "Script/PScriptManager.h"
#include "Vehicles/PEnemyController.h"

#include <algorithm>
#include <cstdio>

namespace {

// Lists the task with the priority. The priority of a task that is running,
// or still listed after a stop in this pass, is left alone: the kernel keeps
// it where its old priority put it.
void AddToKernel(CPTask* task, int priority) {
    if (!task || !g_TaskManager)
        return;
    if (!task->running && !g_TaskManager->IsActive(task))
        task->priority = priority;
    g_TaskManager->AddTask(task);
}

} // namespace

CPGameObject::CPGameObject(std::string objectName)
    : parentMatrix(PlatIdentityMatrix()), localMatrix(PlatIdentityMatrix()),
      worldMatrix(PlatIdentityMatrix()), trackMatrix(PlatIdentityMatrix()), name(std::move(objectName)) {
    RegisterLiveObject(this);
}

CPGameObject::~CPGameObject() {
    UnregisterLiveObject(this);
    if (g_GameData)
        g_GameData->ForgetHeldObject(this);
    CPGameObject::Deactivate();
    if (parent) {
        auto& siblings = parent->children;
        siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                      [this](const CPRefPtr<CPGameObject>& c) { return c.Get() == this; }),
                       siblings.end());
        // Another child of the same name may hold the index entry.
        const CPRefPtr<CPGameObject>* indexed = parent->childrenByName.Find(name);
        if (indexed && indexed->Get() == this)
            parent->childrenByName.Erase(name);
    }
    for (const CPRefPtr<CPGameObject>& child : children)
        child->parent = nullptr;
    ReleaseOwnedParts();
}

void CPGameObject::ReleaseOwnedParts() {
    CPObject* ownedVisual = visual.Get();
    if (CPTask* particles = GetParticleTask()) {
        particles->Stop();
        ownedVisual = nullptr;
    }
    CPPhysicData* ownedPhysics = physicData.Get();
    CPObject* ownedCar = car.Get();
    visual = nullptr;
    physicData = nullptr;
    car = nullptr;
    delete ownedVisual;
    delete ownedCar;
    delete ownedPhysics;
}

void CPGameObject::CollectTree(std::vector<CPRefPtr<CPGameObject>>& list) {
    list.emplace_back(this);
    for (const CPRefPtr<CPGameObject>& child : children)
        child->CollectTree(list);
}

void CPGameObject::AddChild(const CPRefPtr<CPGameObject>& child) {
    child->parent = this;
    children.push_back(child);
    childrenByName[child->name] = child;
}

CPRefPtr<CPGameObject> CPGameObject::FindChild(const std::string& childName) const {
    if (const CPRefPtr<CPGameObject>* indexed = childrenByName.Find(childName))
        return *indexed;
    for (const CPRefPtr<CPGameObject>& child : children) {
        if (CPRefPtr<CPGameObject> found = child->FindChild(childName))
            return found;
    }
    return {};
}

CPRefPtr<CPGameObject> CPGameObject::GetPart(const std::string& childName) const {
    const CPRefPtr<CPGameObject>* indexed = childrenByName.Find(childName);
    return indexed ? *indexed : CPRefPtr<CPGameObject>();
}

CPRefPtr<CPGameObject> CPGameObject::GetTopOwner() {
    CPGameObject* object = this;
    while (!object->script && object->parent)
        object = object->parent;
    return object;
}

void CPGameObject::SetPosition(const D3DXVECTOR3& newPosition) {
    ForEachDetailModel([&](CPGameObject& model) { model.SetPosition(newPosition); });
    position = newPosition;
    LeaveStoppedTrack();
    transformChanged = false;
    dirty = true;
    if (physicData)
        physicData->SetPosition(newPosition);
}

void CPGameObject::SetOrientation(const D3DXQUATERNION& newOrientation) {
    ForEachDetailModel([&](CPGameObject& model) { model.SetOrientation(newOrientation); });
    orientation = newOrientation;
    LeaveStoppedTrack();
    transformChanged = false;
    dirty = true;
    if (physicData)
        physicData->SetOrientation(newOrientation);
}

void CPGameObject::UpdateHierarchy() {
    if (!dirty)
        return;
    ForEachDetailModel([&](CPGameObject& model) { model.UpdateHierarchy(); });
    if (hasTrackMatrix) {
        localMatrix = trackMatrix;
    } else {
        D3DXMatrixRotationQuaternion(&localMatrix, &orientation);
        localMatrix._41 = position.x;
        localMatrix._42 = position.y;
        localMatrix._43 = position.z;
    }
    D3DXMatrixMultiply(&worldMatrix, &localMatrix, &parentMatrix);

    for (BoundingBox& box : partBoxes) {
        D3DXMatrixMultiply(&box.worldMatrix, &box.localMatrix, &worldMatrix);
        box.Update();
    }
    D3DXMatrixMultiply(&boundingBox.worldMatrix, &boundingBox.localMatrix, &worldMatrix);
    boundingBox.Update();
    bounds.SetFromBox(boundingBox);
    partsBounds.FromBoxes(partBoxes);

    for (const CPRefPtr<CPGameObject>& child : children) {
        child->transformChanged = false;
        child->parentMatrix = worldMatrix;
        child->dirty = true;
        child->UpdateHierarchy();
        partsBounds.Merge(child->partsBounds);
        bounds.Merge(child->bounds);
    }
    if (castsShadow)
        bounds.ApplyShadowMatrix();
    bounds.UpdateCenter();
    transformChanged = true;
    dirty = false;
    if (CPRenderObject* mesh = GetRenderObject())
        mesh->staticWorld = worldMatrix;
}

void CPGameObject::LeaveStoppedTrack() {
    if (!hasTrackMatrix)
        return;
    bool trackRuns = false;
    animations.ForEach([&](const std::string&, const CPRefPtr<CPPartAnimation>& track) {
        trackRuns = trackRuns || (track && track->running);
    });
    if (!trackRuns)
        hasTrackMatrix = false;
}

void CPGameObject::SetTrackMatrix(const D3DXMATRIX& matrix) {
    trackMatrix = matrix;
    hasTrackMatrix = true;
    dirty = true;
}

void CPGameObject::SetBounds(const BoundingBox& box) {
    boundingBox = box;
    bounds.SetFromBox(boundingBox);
}

void CPGameObject::SetStatic(bool value) {
    isStatic = value;
    ForEachDetailModel([&](CPGameObject& model) { model.SetStatic(value); });
}

void CPGameObject::SetScript(CPLuaScript* newScript) {
    if (!newScript)
        return;
    std::vector<CPRefPtr<CPGameObject>> subtree;
    CollectTree(subtree);
    for (const CPRefPtr<CPGameObject>& object : subtree)
        object->isStatic = false;
    script = newScript;
}

void CPGameObject::AddLod(const CPRefPtr<CPGameObject>& model, int distance) {
    detailLevels.emplace_back(model, distance);
}

bool CPGameObject::RayTest(RayQuery& query) {
    if (!collision || query.ignore.Get() == this ||
        !partsBounds.IntersectSegment(query.origin, query.direction, query.length))
        return false;
    bool hit = false;
    for (const BoundingBox& box : partBoxes)
        hit |= box.IntersectRay(query.origin, query.direction, query.length, query.hitPlane);
    if (hit) {
        query.hitObject = this;
        query.hitOwner = GetTopOwner();
    }
    for (const CPRefPtr<CPGameObject>& child : children)
        hit |= child->RayTest(query);
    return hit;
}

CPTask* CPGameObject::GetParticleTask() const {
    return visualKind == VISUAL_PARTICLES ? static_cast<CPTask*>(visual.Get()) : nullptr;
}

CPRenderObject* CPGameObject::GetRenderObject() const {
    return visualKind == VISUAL_MESH ? static_cast<CPRenderObject*>(visual.Get()) : nullptr;
}

CPBaseRenderObject* CPGameObject::GetVisual() const {
    const bool drawsGeometry =
        visualKind == VISUAL_MESH || visualKind == VISUAL_ANIMATED || visualKind == VISUAL_SPRITE;
    return drawsGeometry ? static_cast<CPBaseRenderObject*>(visual.Get()) : nullptr;
}

const D3DLIGHT9* CPGameObject::GetLight() {
    return visualKind == VISUAL_LIGHT ? static_cast<CPLight*>(visual.Get())->GetLight() : nullptr;
}

void CPGameObject::ApplyMaterial() {
    if (material && (visualKind == VISUAL_MESH || visualKind == VISUAL_ANIMATED))
        static_cast<CPBaseRenderObject*>(visual.Get())->SetMaterial(material);
    for (const CPRefPtr<CPGameObject>& child : children)
        child->ApplyMaterial();
}

void CPGameObject::SetVisual(CPObject* newVisual, EVisualKind kind) {
    visual = newVisual;
    visualKind = newVisual ? kind : VISUAL_NONE;
}

void CPGameObject::SendToScript(const std::string& command, const std::string& params) const {
    if (script && g_ScriptManager)
        g_ScriptManager->SendCommandByObject(script, command, params);
}

void CPGameObject::Activate(int priority) {
    if (active)
        return;
    active = true;
    AddToKernel(idleAnimation.Get(), priority);
    CPTask* particles = GetParticleTask();
    if (particles && visible && !particles->running)
        AddToKernel(particles, priority);
    for (const CPRefPtr<CPGameObject>& child : children)
        child->Activate(priority);
    if (script) {
        AddToKernel(script, priority);
        SendToScript("add_object", PointerToString(this));
    }
}

void CPGameObject::Deactivate() {
    if (!active)
        return;
    if (CPTask* particles = GetParticleTask())
        particles->Stop();
    active = false;
    if (idleAnimation)
        idleAnimation->Stop();
    for (const CPRefPtr<CPGameObject>& child : children)
        child->Deactivate();
    SendToScript("delete_object", PointerToString(this));
}

void CPGameObject::OnAnimationEnd() {
    SendToScript("animation_end", PointerToString(this));
}

void CPGameObject::TakeDamage(const D3DXVECTOR3& point, const D3DXVECTOR3& direction, float amount, int,
                              bool silent) {
    if (!silent) {
        char text[64];
        std::snprintf(text, sizeof(text), "%.2f", amount);
        SendToScript("damage", text);
    }
    if (enemyController)
        enemyController->TakeDamage(point, direction, amount, silent);
}

void CPGameObject::NotifyControllerAnimationEnd() {
    if (enemyController)
        enemyController->OnAnimationEnd();
}

void CPGameObject::UpdateController() {
    if (enemyController)
        enemyController->Update();
}

void CPGameObject::AddAnimation(const std::string& animationName,
                                const CPRefPtr<CPPartAnimation>& animation) {
    hasAnimations = true;
    isStatic = false;
    animations[animationName] = animation;
    if (animationName == "idle") {
        idleAnimation = animation;
        if (animation)
            animation->loop = true;
    }
}

void CPGameObject::StartAnimation(const AnimationRequest& request, bool restart) {
    if (visualKind == VISUAL_ANIMATED)
        static_cast<CPAnimatedObject*>(visual.Get())
            ->StartAnimation(request.name, static_cast<float>(g_GameTime + request.startOffset),
                             request.loopCount, request.reportFrame, request.speed, request.callback,
                             restart);
    for (const CPRefPtr<CPGameObject>& child : children)
        child->StartAnimation(request, restart);
}

void CPGameObject::AttachFlame() {
    if (flameType >= 0) {
        CPRefPtr<CPTask> flame = g_GameObjectServices.cloneFlame(flameType);
        if (!flame) {
            GetLog().Print(0, "No flame template %d for %s\n", flameType, name.c_str());
        } else {
            AddToKernel(flame.Get(), PRIORITY_OBJECTS);
            auto* child = new CPGameObject("flame");
            child->SetVisual(flame.Get(), VISUAL_PARTICLES);
            AddChild(child);
            SetPosition(position);
            UpdateHierarchy();
        }
        flameType = -1;
    }
    // Indexed: a child added on the way must not invalidate the walk.
    for (std::size_t k = 0; k < children.size(); ++k)
        children[k]->AttachFlame();
}

bool CPGameObject::LoadDescription() {
    const std::string path = "Data\\Descriptions\\" + descriptionName;
    if (LoadXmlDocument(description, path.c_str(), TIXML_DEFAULT_ENCODING))
        return true;
    // Readers find no elements of a document that did not parse; the error stays.
    description.Clear();
    return false;
}

void CPGameObject::CopyFrom(const CPRefPtr<CPGameObject>& sourceObject) {
    const CPGameObject& source = *sourceObject;
    boundingBox = source.boundingBox;
    bounds = source.bounds;
    description = source.description;
    CopyVisualFrom(source);
    for (const BoundingBox& box : source.partBoxes) {
        partBoxes.emplace_back(box.center, box.halfSize);
        // Keeps the box where it sits in the object.
        partBoxes.back().localMatrix = box.localMatrix;
    }
    source.animations.ForEach(
        [this](const std::string& animationName, const CPRefPtr<CPPartAnimation>& from) {
            if (!from)
                return;
            auto* copy = new CPPartAnimation(this);
            copy->CopyFrom(*from);
            AddAnimation(animationName, copy);
        });
    for (const CPRefPtr<CPGameObject>& sourceChild : source.children) {
        auto* child = new CPGameObject(sourceChild->name);
        AddChild(child);
        child->CopyFrom(sourceChild);
    }
    shadowMaterial = source.shadowMaterial;
    material = source.material;
    flameType = source.flameType;
    position = source.position;
    orientation = source.orientation;
    parentMatrix = source.parentMatrix;
    localMatrix = source.localMatrix;
    worldMatrix = source.worldMatrix;
    name = source.name;
    modelName = source.modelName;
    transformChanged = false;
    dirty = true;
    visible = source.visible;
    isStatic = source.isStatic;
    castsShadow = source.castsShadow;
    script = source.script;
    CopyPhysicsFrom(source);
    UpdateHierarchy();
}

CPSprite* CPGameObject::CopySprite(const CPSprite& source) {
    // Colour and texture rectangle keep a new sprite's defaults.
    auto* sprite = new CPSprite(source.halfSize);
    sprite->SetOwner(this);
    sprite->SetMaterial(source.material);
    sprite->rotation = source.rotation;
    sprite->axis = source.axis;
    sprite->fadeAngle = source.fadeAngle;
    sprite->hasVertexEffects = source.hasVertexEffects;
    CloneEffectChain(sprite->vertexEffects, source.vertexEffects);
    return sprite;
}

void CPGameObject::CopyVisualFrom(const CPGameObject& source) {
    if (CPRenderObject* sourceMesh = source.GetRenderObject()) {
        auto* mesh = new CPRenderObject(this);
        mesh->CopyFrom(sourceMesh);
        // The copy follows this object, not the source.
        mesh->owner = this;
        SetVisual(mesh, VISUAL_MESH);
    } else if (source.visualKind == VISUAL_ANIMATED) {
        auto* animated = new CPAnimatedObject(this);
        animated->CopyFrom(static_cast<CPAnimatedObject*>(source.visual.Get()));
        SetVisual(animated, VISUAL_ANIMATED);
    } else if (source.visualKind == VISUAL_SPRITE) {
        SetVisual(CopySprite(*static_cast<CPSprite*>(source.visual.Get())), VISUAL_SPRITE);
    } else if (source.visualKind == VISUAL_LIGHT) {
        auto* light = new CPLight(this);
        light->light = *static_cast<CPLight*>(source.visual.Get())->GetLight();
        SetVisual(light, VISUAL_LIGHT);
    } else if (source.visualKind == VISUAL_PARTICLES) {
        // A task that cannot be cloned leaves the copy without a visual.
        CPRefPtr<CPTask> clone;
        if (CPTask* particles = source.GetParticleTask())
            clone = particles->Clone();
        SetVisual(clone.Get(), VISUAL_PARTICLES);
    }
}

void CPGameObject::CopyPhysicsFrom(const CPGameObject& source) {
    if (!source.physicData)
        return;
    auto* copy = new CPPhysicData(this);
    copy->CopyFrom(*source.physicData);
    physicData = copy;
}
