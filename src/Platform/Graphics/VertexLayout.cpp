#include "Platform/Graphics/VertexLayout.h"

#include "Platform/Graphics/D3D9Types.h"

bool PlatVertexLayout::FromFvf(DWORD fvf, PlatVertexLayout* layout) {
    PlatVertexLayout result;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    if (position == D3DFVF_XYZ)
        result.positionComponents = 3;
    else if (position == D3DFVF_XYZRHW)
        result.positionComponents = 4;
    else
        return false;
    int offset = result.positionComponents * 4;
    if (fvf & D3DFVF_NORMAL) {
        result.normalOffset = offset;
        offset += 12;
    }
    if (fvf & D3DFVF_DIFFUSE) {
        result.diffuseOffset = offset;
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        result.specularOffset = offset;
        offset += 4;
    }
    const DWORD sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (sets > 2)
        return false;
    for (DWORD i = 0; i < sets; ++i) {
        result.texCoordOffset[i] = offset;
        offset += 8;
    }
    result.texCoordSets = static_cast<int>(sets);
    result.stride = static_cast<UINT>(offset);
    *layout = result;
    return true;
}

UINT PlatPrimitiveVertexCount(DWORD primitiveType, UINT count) {
    if (count == 0)
        return 0;
    switch (primitiveType) {
    case D3DPT_POINTLIST:
        return count;
    case D3DPT_LINELIST:
        return 2 * count;
    case D3DPT_LINESTRIP:
        return count + 1;
    case D3DPT_TRIANGLELIST:
        return 3 * count;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return count + 2;
    default:
        return 0;
    }
}
