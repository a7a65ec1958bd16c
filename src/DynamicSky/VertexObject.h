#pragma once

#include "Platform/D3DX9Math.h"
#include "Platform/Win32Types.h"
#include "Render/MeshVertex.h"
#include "Render/PDeviceListener.h"

#include <cstdint>
#include <string>
#include <vector>

class IDirect3DTexture9;
class ID3DXEffect;
class IDirect3DVertexBuffer9;
class IDirect3DIndexBuffer9;

// One mesh of the sky, drawn at once on the device rather than through the
// render queue: its vertices and triangle-list indices in its own buffers,
// a texture and two effects. The buffers are made once, in the managed
// pool, and hold at most 20,000 vertices and 60,000 indices.
class VertexObject : public CPDeviceListener {
public:
    static constexpr UINT kMaxVertices = 20000;
    static constexpr UINT kMaxIndices = 60000;

    VertexObject() = default;
    ~VertexObject() override;

    void OnLostDevice() override;
    void OnResetDevice() override;

    // Replaces the texture by the image file's. A file that cannot be read
    // leaves no texture and still gives S_OK (with a debug log line).
    HRESULT LoadTexture(const std::string& fileName);
    // Replace the first (second) effect by the effect file's, on its first
    // valid technique; a missing file leaves none.
    HRESULT LoadEffect(const std::string& fileName);
    HRESULT LoadAltEffect(const std::string& fileName);
    // The work copy becomes the vertices with their positions transformed.
    void TransformVertices(const D3DXMATRIX& matrix);
    // Takes the lists (the work copy too unless `keepWork`) and copies the
    // work copy and the indices into the buffers. A mesh beyond the
    // buffers' capacity is refused, logged and changes nothing: false.
    bool UploadGeometry(const std::vector<MeshVertex>& newVertices, const std::vector<uint16_t>& newIndices,
                        bool keepWork);
    // True when a mesh of these counts fits the buffers; otherwise logs
    // the refusal.
    static bool FitsBuffers(size_t vertexCount, size_t indexCount);
    // Draws the object through the sky's device.
    HRESULT Render();

    std::vector<MeshVertex> workVertices;
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;
    IDirect3DTexture9* texture = nullptr;
    ID3DXEffect* effect = nullptr;
    ID3DXEffect* altEffect = nullptr;
    bool useAltEffect = false;
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;

private:
    HRESULT ReadEffect(const std::string& fileName, ID3DXEffect*& target, int reportLine);
    bool CreateBuffers();
    void CopyToBuffers();
};
