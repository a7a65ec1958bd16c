// The mesh manager's node builders: one game object per node of a read mesh
// file, with its visual, transform, physics description and part boxes.
#include "Game/PMeshManager.h"

#include "Core/Log.h"
#include "Core/StringFunctions.h"
#include "Render/PAnimatedObject.h"
#include "Render/PAnimationManager.h"
#include "Render/PRenderObject.h"

#include <algorithm>

namespace {

std::string LoweredName(const MeshFileNode& data) {
    std::string name = data.name;
    ToLowerString(name);
    return name;
}

// Stored rotations turn the other way round.
D3DXQUATERNION Conjugated(const D3DXQUATERNION& q) {
    return D3DXQUATERNION(-q.x, -q.y, -q.z, q.w);
}

// A box shape stands on its base: its centre is half its height (size 2)
// above the stored position.
D3DXVECTOR3 BoxCenter(const MeshShape& shape) {
    return shape.position + D3DXVECTOR3(0, 0, shape.size2 / 2);
}

// The part box of a box shape, placed in its node.
BoundingBox ShapeBox(const MeshShape& shape) {
    BoundingBox box(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(shape.size1 / 2, shape.size3 / 2, shape.size2 / 2));
    const D3DXQUATERNION rotation = Conjugated(shape.rotation);
    const D3DXVECTOR3 center = BoxCenter(shape);
    D3DXMATRIX turn, move;
    D3DXMatrixRotationQuaternion(&turn, &rotation);
    D3DXMatrixTranslation(&move, center.x, center.y, center.z);
    D3DXMatrixMultiply(&box.localMatrix, &turn, &move);
    return box;
}

// The box over the vertices; an empty mesh gives an empty box at the origin.
BoundingBox VertexBox(const std::vector<MeshVertex>& vertices) {
    if (vertices.empty())
        return BoundingBox(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 0));
    D3DXVECTOR3 low(vertices[0].x, vertices[0].y, vertices[0].z), high = low;
    for (const MeshVertex& v : vertices) {
        low = D3DXVECTOR3(std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z));
        high = D3DXVECTOR3(std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z));
    }
    return BoundingBox((low + high) * 0.5f, (high - low) * 0.5f);
}

CPPhysicData* BoxBody(CPGameObject& object, const MeshShape& body) {
    auto* physics = new CPPhysicData(&object);
    physics->SetBoxBody(body.size1, body.size2, body.size3, body.mass);
    object.physicData = physics;
    return physics;
}

} // namespace

void CPMeshManager::SetMeshVisual(CPGameObject& object, const MeshFileNode& data) {
    auto* mesh = new CPRenderObject(&object);
    mesh->sourceVertices = data.vertices;
    for (MeshVertex& vertex : mesh->sourceVertices)
        vertex.diffuse = vertexColour;
    mesh->vertices = mesh->sourceVertices;
    mesh->indices = data.indices;
    object.SetVisual(mesh, VISUAL_MESH);
}

void CPMeshManager::AddShapes(CPGameObject& object, const std::vector<MeshShape>& shapes) {
    CPPhysicData* physics = object.physicData.Get();
    for (const MeshShape& shape : shapes) {
        if (shape.kind == 0) {
            if (physics)
                physics->AddBoxShape(BoxCenter(shape), shape.rotation, shape.size1, shape.size2, shape.size3,
                                     shape.mass);
            object.partBoxes.push_back(ShapeBox(shape));
        } else if (shape.kind == 1 && physics) {
            physics->AddCylinderShape(shape.position, Conjugated(shape.rotation), shape.diameter, shape.size2,
                                      shape.mass);
        }
    }
}

CPRefPtr<CPGameObject> CPMeshManager::ReadMeshNodeFormat1(const MeshFileNode& data,
                                                          const ObjectDescription& description,
                                                          int basePriority) {
    CPRefPtr<CPGameObject> object = new CPGameObject(LoweredName(data));
    SetMeshVisual(*object, data);
    object->SetBounds(VertexBox(data.vertices));
    for (const MeshPartBox& box : data.partBoxes)
        object->partBoxes.emplace_back(box.center, box.halfSize);
    for (const MeshFileNode& child : data.children)
        object->AddChild(ReadMeshNodeFormat1(child, description, basePriority));
    ApplyProperties(object, description.Section(object->GetName()), basePriority);
    return object;
}

CPRefPtr<CPGameObject> CPMeshManager::ReadMeshNodeFormat2(const MeshFileNode& data,
                                                          const ObjectDescription& description,
                                                          int basePriority) {
    CPRefPtr<CPGameObject> object = new CPGameObject(LoweredName(data));
    BoxBody(*object, data.body);
    object->SetPosition(data.position);
    object->SetOrientation(Conjugated(data.rotation));
    SetMeshVisual(*object, data);
    object->SetBounds(VertexBox(data.vertices));
    AddShapes(*object, data.shapes);
    for (const MeshFileNode& child : data.children)
        object->AddChild(ReadMeshNodeFormat2(child, description, basePriority));
    ApplyProperties(object, description.Section(object->GetName()), basePriority);
    return object;
}

CPRefPtr<CPGameObject> CPMeshManager::ReadMeshNode(const MeshFileNode& data,
                                                   const ObjectDescription& description, int basePriority,
                                                   const std::string& animationName) {
    CPRefPtr<CPGameObject> object = new CPGameObject(LoweredName(data));
    if (data.body.mass > 0)
        BoxBody(*object, data.body);
    auto* animated = new CPAnimatedObject(object.Get());
    object->SetVisual(animated, VISUAL_ANIMATED);
    CPRefPtr<CPAnimation> animation;
    if (g_AnimationManager) {
        g_AnimationManager->GetAnimation(animation, object->GetName() + "&" + g_AnimMeshFile, data,
                                         vertexColour);
        animated->AddAnimation(animationName, animation);
    }
    if (data.bounds.mass > 0)
        object->SetBounds(ShapeBox(data.bounds));
    else if (animation)
        object->SetBounds(animation->bounds);
    AddShapes(*object, data.shapes);
    for (const MeshFileNode& child : data.children)
        object->AddChild(ReadMeshNode(child, description, basePriority, animationName));
    ApplyProperties(object, description.Section(object->GetName()), basePriority);
    return object;
}

void CPMeshManager::ReadAnimationFrames(const CPRefPtr<CPGameObject>& node, const MeshFileNode& data,
                                        const std::string& animationName) {
    if (!node)
        return;
    if (node->GetVisualKind() == VISUAL_ANIMATED && g_AnimationManager) {
        CPRefPtr<CPAnimation> animation;
        g_AnimationManager->GetAnimation(animation, node->GetName() + "&" + g_AnimMeshFile, data,
                                         vertexColour);
        static_cast<CPAnimatedObject*>(node->visual.Get())->AddAnimation(animationName, animation);
    }
    for (const MeshFileNode& child : data.children) {
        // Parts are named in lower case; the further files may not be.
        CPRefPtr<CPGameObject> part = node->GetPart(LoweredName(child));
        if (!part)
            GetLog().Print(0, "%s: no part %s for animation %s\n", g_AnimMeshFile.c_str(), child.name.c_str(),
                           animationName.c_str());
        ReadAnimationFrames(part, child, animationName);
    }
}
