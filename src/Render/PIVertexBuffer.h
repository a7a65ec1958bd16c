#pragma once

#include "Core/PObject.h"
#include "Platform/Graphics/IndexBuffer9.h"
#include "Platform/Graphics/VertexBuffer9.h"
#include "Render/MeshVertex.h"
#include "Render/PDeviceListener.h"

#include <unordered_map>
#include <vector>

class CPBaseRenderObject;
class CPIVBlock;

// A ring of vertex/index buffer pairs that the frame's geometry is written
// into. A pair is locked, written at running positions and unlocked; every
// unlock moves to the next pair. A frame that needs more pairs than the ring
// holds gets an extra pair instead of overwriting one it still draws from.
class CPIVertexBuffer : public CPObject, public CPDeviceListener {
public:
    static constexpr int kDefaultVertexCapacity = 0x10000;
    static constexpr int kDefaultIndexCapacity = 0x40000;

    explicit CPIVertexBuffer(int pairCount);
    ~CPIVertexBuffer() override;

    // Creates every pair; capacities of 0 take the defaults (16-bit indices
    // address at most 0x10000 vertices). False when the pairs exist already
    // or a buffer could not be created (reported).
    bool Create(bool isStatic, int vertexCapacity, int indexCapacity);
    // Locks the given pair (-1: the current one) and resets the write
    // counts. False when already locked or a lock failed (reported).
    bool Lock(int vertexCount, int indexCount, bool lockVertices, int pair);
    // Unlocks and moves to the next pair.
    void Unlock(bool unlockVertices);
    // Starts the writes of one frame: from here on no pair is locked twice.
    void BeginFrame() { pairsLockedThisFrame = 0; }
    // Writes the batch's dynamic objects (splitting it across pairs when it
    // does not fit in one) and groups its static ones. False for an empty
    // batch or when no pair could be locked.
    bool Fill(CPIVBlock& batch);
    // The static placement: writes the object after the ones placed before
    // it in the locked pair, or at the start of the next pair when the rest
    // of this one is too small, and records its base vertex. False for an
    // empty object, one placed before, one larger than a pair, or without a
    // locked pair.
    bool AddStatic(CPBaseRenderObject* object);

    void OnLostDevice() override;
    void OnResetDevice() override;

    size_t GetSize() const override { return sizeof(CPIVertexBuffer); }
    std::string GetClassName() const override { return "CPIVertexBuffer"; }

    // Base vertex of each object placed by AddStatic, in its pair.
    std::unordered_map<CPBaseRenderObject*, int> placements;
    // Vertices placed by AddStatic so far, over all pairs.
    int staticVertexTotal = 0;
    std::vector<IDirect3DVertexBuffer9*> vertexBuffers;
    std::vector<IDirect3DIndexBuffer9*> indexBuffers;
    int current = 0;
    int pairCount;
    bool isStatic = false;
    bool locked = false;
    int indexCapacity = kDefaultIndexCapacity;
    int vertexCapacity = kDefaultVertexCapacity;
    MeshVertex* vertexWrite = nullptr;
    uint16_t* indexWrite = nullptr;
    int indicesWritten = 0;
    int verticesWritten = 0;

private:
    bool CreatePair(int pair);
    void ReleasePairs();
    // Takes a pair out of the ring.
    void RemovePair(int pair);
    bool Fits(int vertexCount, int indexCount) const;
    // Continues in the next pair; false when it could not be locked.
    bool Flush();
    void Advance(int vertexCount, int indexCount);

    int pairsLockedThisFrame = 0;
};
