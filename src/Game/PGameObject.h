#pragma once

#include "Core/AxisAlignedBox.h"
#include "Core/BoundingBox.h"
#include "Core/PRefPtr.h"
#include "Core/StringHashMap.h"
#include "Game/AnimationRequest.h"
#include "Game/RayQuery.h"
#include "Physics/PPhysicData.h"
#include "Platform/D3DX9Math.h"
#include "Platform/Win32Types.h"
#include "Render/PMaterial.h"
#include "Render/PPartAnimation.h"
#include "Render/PSceneObject.h"

#include <tinyxml.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class CPEnemyController;
class CPLuaScript;
class CPRenderObject;
class CPSprite;
class CPTask;

// The scene entity every visible or touchable thing is built from: a node of
// a tree of named children with its transform relative to its parent, cached
// world matrices and bounds of its subtree, one visual of the kind in
// `visualKind`, materials, an optional physics description, an optional
// script, named part animations and the XML description of its type.
//
// Objects move only through SetPosition and SetOrientation (or by writing
// parentMatrix and setting `dirty`); matrices and bounds are valid after
// UpdateHierarchy. Children are not deleted with their parent: their owners
// delete them. The object deletes the visual and the physics description it
// owns, except a particle-system visual, which is a kernel task and is only
// stopped.
class CPGameObject : public CPSceneObject {
public:
    explicit CPGameObject(std::string objectName);
    ~CPGameObject() override;
    CPGameObject(const CPGameObject&) = delete;
    CPGameObject& operator=(const CPGameObject&) = delete;

    size_t GetSize() const override { return sizeof(CPGameObject); }
    std::string GetClassName() const override { return "CPGameObject - " + name; }

    // Appends the object, then each child's subtree in order (pre-order).
    virtual void CollectTree(std::vector<CPRefPtr<CPGameObject>>& list);
    // Puts the idle animation, the particle task and the script task into
    // the kernel with the priority and announces the object to its script;
    // once, until Deactivate.
    virtual void Activate(int priority);
    virtual void Deactivate();
    // Makes this new object a copy of the source's tree.
    virtual void CopyFrom(const CPRefPtr<CPGameObject>& source);
    // Lets go of the references the object keeps into its own tree; called
    // for every object of a model before the model's objects are deleted.
    virtual void DropTreeReferences() {}
    void OnAnimationEnd() override;

    const std::string& GetName() const override { return name; }

    // Indexes the child by its name (a later child of the same name wins the
    // index; both stay children).
    void AddChild(const CPRefPtr<CPGameObject>& child);
    // The child of that name from the index, else the first match among each
    // child's subtree in order; never the object itself.
    CPRefPtr<CPGameObject> FindChild(const std::string& childName) const;
    // The direct child of that name from the index only.
    CPRefPtr<CPGameObject> GetPart(const std::string& childName) const;
    CPRefPtr<CPGameObject> GetParent() const { return parent; }
    CPSceneObject* GetParentObject() const override { return parent; }
    // The nearest object with a script, from this object up; else the root.
    CPRefPtr<CPGameObject> GetTopOwner();

    void SetPosition(const D3DXVECTOR3& newPosition);
    void SetOrientation(const D3DXQUATERNION& newOrientation);
    const D3DXVECTOR3& GetPosition() const override { return position; }
    const AxisAlignedBox& GetWorldBox() const override { return bounds; }
    const D3DXQUATERNION& GetOrientation() const override { return orientation; }
    D3DXVECTOR3 GetHalfSize() const override { return boundingBox.halfSize; }
    const D3DXMATRIX& GetWorldMatrix() const override { return worldMatrix; }
    // Recomputes matrices and bounds of the subtree when `dirty` is set.
    void UpdateHierarchy() override;
    // From now on the matrix is the transform relative to the parent, in
    // place of the position and orientation.
    void SetTrackMatrix(const D3DXMATRIX& matrix) override;
    // Passed on to the enemy controller, when one is attached.
    void NotifyControllerAnimationEnd() override;
    void UpdateController() override;

    // Takes the box whole and sets `bounds` from it.
    void SetBounds(const BoundingBox& box);
    void SetVisible(bool value) { visible = value; }
    // This object and its levels of detail; not its children.
    void SetStatic(bool value);
    // A null script changes nothing; otherwise the whole subtree stops being
    // static.
    void SetScript(CPLuaScript* newScript);
    CPLuaScript* GetScript() const { return script; }
    CPRefPtr<CPObject> GetCar() const { return car; }
    void SetDescriptionName(const std::string& value) { descriptionName = value; }
    void SetTypeName(const std::string& value) { SetDescriptionName(value); }
    bool HasAnimations() const { return hasAnimations; }

    // Appends a level of detail; a null model draws nothing from its distance.
    void AddLod(const CPRefPtr<CPGameObject>& model, int distance);
    void SetShadowMaterial(const CPRefPtr<CPMaterial>& newMaterial) { shadowMaterial = newMaterial; }
    CPRefPtr<CPMaterial> GetShadowMaterial() const { return shadowMaterial; }
    void SetFireMaterial(const CPRefPtr<CPMaterial>& newMaterial) { material = newMaterial; }
    // Puts `material` on the visual, then through the children.
    void ApplyMaterial();

    // Whether a part box of the subtree lies on the query's ray nearer than
    // its length; the nearest hit is written into the query.
    bool RayTest(RayQuery& query);

    // Stores the animation under the name; "idle" also becomes the looping
    // idle animation.
    void AddAnimation(const std::string& animationName, const CPRefPtr<CPPartAnimation>& animation);
    // Starts the animation on every animated visual of the subtree.
    void StartAnimation(const AnimationRequest& request, bool restart);
    // Tells the script (unless silent): "damage" with the amount; then the
    // enemy controller, when one is attached.
    void TakeDamage(const D3DXVECTOR3& point, const D3DXVECTOR3& direction, float amount, int kind,
                    bool silent);
    // Attaches a "flame" child from the flame template `flameType`, once,
    // then does the same through the children.
    void AttachFlame();
    // Reads Data\Descriptions\<descriptionName> into `description`.
    bool LoadDescription();

    // The particle-system task of a particle visual, or null.
    CPTask* GetParticleTask() const;
    // Installs the visual (owned by this object) with its kind.
    void SetVisual(CPObject* newVisual, EVisualKind kind);
    // The mesh of a mesh visual, or null.
    CPRenderObject* GetRenderObject() const;

    // What the renderer reads.
    bool IsWorldChanged() const override { return transformChanged; }
    void ClearWorldChanged() override { transformChanged = false; }
    CPBaseRenderObject* GetVisual() const override;
    const D3DLIGHT9* GetLight() override;
    std::size_t GetChildCount() const override { return children.size(); }
    CPSceneObject* GetChild(std::size_t index) const override { return children[index].Get(); }
    std::size_t GetLodCount() const override { return detailLevels.size(); }
    CPSceneObject* GetLod(std::size_t index) const override { return detailLevels[index].first.Get(); }

    std::vector<std::pair<CPRefPtr<CPGameObject>, int>> detailLevels;
    TiXmlDocument description;
    int flameType = -1;
    bool active = false;
    bool hasAnimations = false;
    StringHashMap<CPRefPtr<CPPartAnimation>> animations{100};
    CPRefPtr<CPPartAnimation> idleAnimation;
    AxisAlignedBox partsBounds;
    AxisAlignedBox bounds;
    BoundingBox boundingBox{D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 0)};
    std::vector<BoundingBox> partBoxes;
    D3DXMATRIX parentMatrix;
    D3DXMATRIX localMatrix;
    D3DXMATRIX worldMatrix;
    // Set by a node track: the transform relative to the parent. A position
    // or orientation set while no track runs takes its place again.
    bool hasTrackMatrix = false;
    D3DXMATRIX trackMatrix;
    D3DXVECTOR3 position;
    D3DXQUATERNION orientation{0, 0, 0, 1};
    bool dirty = true;
    std::vector<CPRefPtr<CPGameObject>> children;
    StringHashMap<CPRefPtr<CPGameObject>> childrenByName{100};
    CPGameObject* parent = nullptr;
    std::string name;
    CPLuaScript* script = nullptr;
    bool collision = true;
    std::string param;
    std::string descriptionName;
    CPRefPtr<CPMaterial> shadowMaterial;
    // The material ApplyMaterial puts on the visual (the fire material).
    CPRefPtr<CPMaterial> material;
    DWORD lineColor = 0xff4e4e4e;
    std::vector<D3DXVECTOR3> lineKeyPoints;
    std::string modelName;
    bool transformChanged = true;
    bool castsShadow = true;
    CPRefPtr<CPObject> visual;
    CPRefPtr<CPPhysicData> physicData;
    // The car physics of a car object; owned.
    CPRefPtr<CPObject> car;
    // The armed-enemy brain; owned. Nothing in the game attaches one.
    std::unique_ptr<CPEnemyController> enemyController;

private:
    // The models of the levels of detail after the first, null ones skipped.
    template <class Visit>
    void ForEachDetailModel(Visit&& visit) {
        for (std::size_t k = 1; k < detailLevels.size(); ++k) {
            if (detailLevels[k].first)
                visit(*detailLevels[k].first);
        }
    }
    void SendToScript(const std::string& command, const std::string& params) const;
    void CopyVisualFrom(const CPGameObject& source);
    CPSprite* CopySprite(const CPSprite& source);
    void CopyPhysicsFrom(const CPGameObject& source);
    void ReleaseOwnedParts();
    // Drops the last track pose unless a node track of this object runs.
    void LeaveStoppedTrack();
};
