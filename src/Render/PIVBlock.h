#pragma once

#include "Core/PRefPtr.h"
#include "Platform/Graphics/IndexBuffer9.h"
#include "Platform/Graphics/VertexBuffer9.h"
#include "Render/PBaseRenderObject.h"
#include "Render/PDeviceListener.h"

#include <vector>

class CPIVertexBuffer;

// One batch: the render objects of one material in one frame and, once
// written, where their geometry lies. A batch written across several buffer
// pairs has one range per pair, each drawn by its own call.
class CPIVBlock : public CPObject, public CPDeviceListener {
public:
    struct Range {
        IDirect3DVertexBuffer9* vertexBuffer = nullptr;
        IDirect3DIndexBuffer9* indexBuffer = nullptr;
        int startVertex = 0;
        int vertexCount = 0;
        int startIndex = 0;
        int indexCount = 0;
    };

    // Appends the object; a dynamic one adds its counts to the batch's.
    void AddRenderObject(CPBaseRenderObject* object) {
        objects.push_back(object);
        if (object->IsStatic())
            return;
        indexCount += object->GetIndexCount();
        vertexCount += object->GetVertexCount();
    }
    // Forgets the frame's objects and where they were written.
    void Empty();

    void OnLostDevice() override { placed = false; }
    void OnResetDevice() override {}

    size_t GetSize() const override { return sizeof(CPIVBlock); }
    std::string GetClassName() const override { return "CPIVBlock"; }

    int indexCount = 0;
    int vertexCount = 0;
    bool placed = false;
    // The static objects, those sharing static buffers next to each other.
    std::vector<CPBaseRenderObject*> staticObjects;
    CPRefPtr<CPIVertexBuffer> vertexBuffer;
    std::vector<CPBaseRenderObject*> objects;
    std::vector<Range> ranges;
};
