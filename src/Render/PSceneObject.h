#pragma once

#include "Core/AxisAlignedBox.h"
#include "Core/PObject.h"
#include "Platform/D3DX9Math.h"
#include "Platform/Graphics/D3D9Types.h"

#include <cstddef>
#include <string>

class CPBaseRenderObject;

// The kind of visual a scene object carries.
enum EVisualKind {
    VISUAL_MESH = 0,
    VISUAL_ANIMATED = 1,
    VISUAL_LIGHT = 2,
    VISUAL_SPRITE = 3,
    VISUAL_PARTICLES = 4,
    VISUAL_NONE = 5,
};

// What the renderer needs of a game object: its world placement, its
// visual, its flags and its tree. The game object implements it and keeps
// the flags here as plain members; the renderer sits below the game code
// and sees nothing else of it.
class CPSceneObject : public CPObject {
public:
    // The world matrix (row vectors, translation in the last row) and the
    // flag that it changed since the render object last followed it.
    virtual const D3DXMATRIX& GetWorldMatrix() const = 0;
    virtual bool IsWorldChanged() const = 0;
    virtual void ClearWorldChanged() = 0;

    // The object's position and the world box of its bounds; the scene
    // quadtree sorts a level's objects by them.
    virtual const D3DXVECTOR3& GetPosition() const = 0;
    virtual const AxisAlignedBox& GetWorldBox() const = 0;

    // Not virtual: the render block reads them for every object of every
    // frame.
    bool IsVisible() const { return visible; }
    bool IsStaticObject() const { return isStatic; }
    EVisualKind GetVisualKind() const { return visualKind; }
    // The mesh, animated object or sprite; null for the other kinds.
    virtual CPBaseRenderObject* GetVisual() const = 0;
    // The light record of a light visual, placed at the object; null for
    // the other kinds.
    virtual const D3DLIGHT9* GetLight() = 0;

    virtual const std::string& GetName() const = 0;
    // The parent in the object tree; null for a root.
    virtual CPSceneObject* GetParentObject() const = 0;
    // The rotation relative to the parent.
    virtual const D3DXQUATERNION& GetOrientation() const = 0;
    // Half the size of the object's own box.
    virtual D3DXVECTOR3 GetHalfSize() const = 0;

    // A node track drives the object: the matrix replaces the transform
    // relative to the parent until the next one; the world matrices follow
    // with UpdateHierarchy.
    virtual void SetTrackMatrix(const D3DXMATRIX& matrix) = 0;
    virtual void UpdateHierarchy() = 0;
    // The node track of the object reached its end.
    virtual void OnAnimationEnd() = 0;
    // The vertex animation of the object's visual stopped after its plays,
    // or reached the frame it reports; passed on to a controller of the
    // object when it has one.
    virtual void NotifyControllerAnimationEnd() = 0;
    virtual void UpdateController() = 0;

    virtual std::size_t GetChildCount() const = 0;
    virtual CPSceneObject* GetChild(std::size_t index) const = 0;
    // Levels of detail; entry 0 is the object itself, entries may be null.
    virtual std::size_t GetLodCount() const = 0;
    virtual CPSceneObject* GetLod(std::size_t index) const = 0;

    bool visible = true;
    bool isStatic = true;
    EVisualKind visualKind = VISUAL_NONE;
};
