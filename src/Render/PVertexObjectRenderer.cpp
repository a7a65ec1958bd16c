#include "Render/PVertexObjectRenderer.h"

#include "Platform/Graphics/Effect.h"
#include "Platform/Graphics/Texture9.h"
#include "Render/MeshVertex.h"

CPVertexObjectRenderer g_VertexObjectRenderer;

namespace {

HRESULT DrawTriangles(IDirect3DDevice9* device, const VertexObjectBatch& batch) {
    return device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, batch.vertexCount, 0, batch.indexCount / 3);
}

} // namespace

HRESULT CPVertexObjectRenderer::Draw(const VertexObjectBatch& batch) const {
    if (!device)
        return E_FAIL;
    device->SetFVF(MESH_VERTEX_FVF);
    device->SetIndices(batch.indexBuffer);
    device->SetStreamSource(0, batch.vertexBuffer, 0, sizeof(MeshVertex));
    ID3DXEffect* effect = batch.useAltEffect ? batch.altEffect : batch.effect;
    if (!effect)
        return batch.useAltEffect ? E_FAIL : DrawTriangles(device, batch);
    effect->SetTexture("tex0", batch.texture);
    UINT passes = 0;
    effect->Begin(&passes, 0);
    HRESULT result = D3D_OK;
    for (UINT pass = 0; pass < passes; ++pass) {
        effect->BeginPass(pass);
        result = DrawTriangles(device, batch);
        effect->EndPass();
    }
    effect->End();
    return result;
}
