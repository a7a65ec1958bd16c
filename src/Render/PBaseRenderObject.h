#pragma once

#include "Core/PRefPtr.h"
#include "Render/MeshVertex.h"
#include "Render/PMaterial.h"

#include <cstdint>

// Every visual that writes geometry into the per-frame buffers. The caller
// reads the two counts, reserves that many vertices and indices at its
// write positions and calls Fill with their addresses and the number of
// vertices already in the same vertex buffer as the base vertex; Fill
// writes exactly the counted vertices and indices, each index increased by
// the base vertex (16-bit addition).
class CPBaseRenderObject : public CPObject {
public:
    // True when the geometry lives in shared static buffers and is never
    // written per frame. A plain member: every submission reads it.
    bool IsStatic() const { return isStatic; }
    virtual void SetStatic(bool value) = 0;
    virtual int GetVertexCount() const = 0;
    virtual int GetIndexCount() const = 0;
    // `placement` is 1 for the static placement of a level and 0 per frame.
    virtual void Fill(MeshVertex* vertices, uint16_t* indices, int baseVertex, int placement) = 0;
    // Copies the raw index list and reports its first and last value.
    virtual void CopyIndices(uint16_t* destination, int ignored, uint16_t* first, uint16_t* last) = 0;
    // What the object is drawn with; the render block batches every object
    // it is handed by it.
    const CPRefPtr<CPMaterial>& GetMaterial() const { return material; }
    void SetMaterial(const CPRefPtr<CPMaterial>& newMaterial) { material = newMaterial; }

    CPRefPtr<CPMaterial> material;

protected:
    bool isStatic = false;
};
