#include "Platform/Graphics/TextureLoader.h"

#include "Platform/Graphics/Image.h"
#include "Platform/Graphics/ImageResampler.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// What a texture made from a file looks like, from the caller's arguments
// and the file.
struct TextureShape {
    UINT width = 0;
    UINT height = 0;
    UINT levels = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
};

// The D3DX filters for the image itself and for the levels made from it.
struct LoadFilters {
    DWORD image;
    DWORD mip;
};

bool IsDefault(UINT value) {
    return value == D3DX_DEFAULT || value == 0;
}

// A default edge is the file's, rounded up to a power of two.
UINT TargetEdge(UINT requested, UINT fileEdge) {
    return IsDefault(requested) ? std::bit_ceil(fileEdge) : requested;
}

// A default count is the file's own chain when it has one, else the full
// chain down to 1x1.
UINT TargetLevels(UINT requested, const PlatImage& image, UINT width, UINT height) {
    const UINT full = IDirect3DBaseTexture9::FullChainLength(width, height);
    if (IsDefault(requested))
        return image.levelCount > 1 ? std::min(image.levelCount, full) : full;
    return std::min(requested, full);
}

D3DFORMAT TargetFormat(D3DFORMAT requested, const PlatImage& image) {
    if (requested != D3DFMT_UNKNOWN)
        return requested;
    return image.HasAlpha() ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
}

HRESULT Decode(const void* data, UINT size, PlatImage* image) {
    if (!data)
        return D3DERR_INVALIDCALL;
    return PlatDecodeImage(static_cast<const uint8_t*>(data), size, image) ? D3D_OK : D3DXERR_INVALIDDATA;
}

void Describe(const PlatImage& image, D3DXIMAGE_INFO* info) {
    if (!info)
        return;
    info->Width = image.GetWidth();
    info->Height = image.GetHeight();
    info->Depth = 1;
    info->MipLevels = image.levelCount;
    info->Format = image.format;
    info->ResourceType = image.isCube ? D3DRTYPE_CUBETEXTURE : D3DRTYPE_TEXTURE;
    info->ImageFileFormat = image.fileFormat;
}

// The levels of one face: the file's own while they have the texture's
// size, each further one filtered down from the level above it.
std::vector<PlatPixels> BuildChain(const PlatImage& image, UINT face, const TextureShape& shape,
                                   const LoadFilters& filters) {
    const bool fileSizeKept = image.GetWidth() == shape.width && image.GetHeight() == shape.height;
    std::vector<PlatPixels> chain;
    for (UINT level = 0; level < shape.levels; ++level) {
        if (fileSizeKept && level < image.levelCount) {
            chain.push_back(image.Surface(face, level));
        } else if (level == 0) {
            chain.push_back(PlatResample(image.Surface(face, 0), shape.width, shape.height,
                                         PlatResampleFilterFor(filters.image)));
        } else {
            const PlatPixels& above = chain.back();
            chain.push_back(PlatResample(above, std::max(1u, above.width / 2), std::max(1u, above.height / 2),
                                         PlatResampleFilterFor(filters.mip)));
        }
    }
    return chain;
}

HRESULT LockFace(IDirect3DTexture9* texture, UINT, UINT level, D3DLOCKED_RECT* locked) {
    return texture->LockRect(level, locked, nullptr, 0);
}
HRESULT LockFace(IDirect3DCubeTexture9* texture, UINT face, UINT level, D3DLOCKED_RECT* locked) {
    return texture->LockRect(static_cast<D3DCUBEMAP_FACES>(face), level, locked, nullptr, 0);
}
HRESULT UnlockFace(IDirect3DTexture9* texture, UINT, UINT level) {
    return texture->UnlockRect(level);
}
HRESULT UnlockFace(IDirect3DCubeTexture9* texture, UINT face, UINT level) {
    return texture->UnlockRect(static_cast<D3DCUBEMAP_FACES>(face), level);
}

// Copies every face and level into the texture; formats without alpha are
// stored opaque.
template <class Texture>
HRESULT Fill(Texture* texture, const PlatImage& image, const TextureShape& shape,
             const LoadFilters& filters) {
    const uint32_t forcedAlpha = shape.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0;
    for (UINT face = 0; face < texture->GetFaceCount(); ++face) {
        const std::vector<PlatPixels> chain = BuildChain(image, face, shape, filters);
        for (UINT level = 0; level < shape.levels; ++level) {
            D3DLOCKED_RECT locked;
            const HRESULT hr = LockFace(texture, face, level, &locked);
            if (FAILED(hr))
                return hr;
            auto* target = static_cast<uint32_t*>(locked.pBits);
            std::transform(chain[level].texels.begin(), chain[level].texels.end(), target,
                           [forcedAlpha](uint32_t texel) { return texel | forcedAlpha; });
            UnlockFace(texture, face, level);
        }
    }
    return D3D_OK;
}

// The checks both loaders share, then the file decoded.
template <class Texture>
HRESULT Open(IDirect3DDevice9* device, const void* data, UINT size, D3DCOLOR colorKey, const void* palette,
             Texture** texture, PlatImage* image) {
    if (texture)
        *texture = nullptr;
    if (!device || !texture || colorKey != 0 || palette)
        return D3DERR_INVALIDCALL;
    return Decode(data, size, image);
}

// Creates a texture of the shape (its level count still to be chosen) with
// create(shape, &texture) and fills it from the image.
template <class Texture, class Create>
HRESULT MakeTexture(const PlatImage& image, TextureShape shape, UINT mipLevels, const LoadFilters& filters,
                    Create create, D3DXIMAGE_INFO* sourceInfo, Texture** texture) {
    if (shape.width > kPlatMaxImageEdge || shape.height > kPlatMaxImageEdge)
        return D3DERR_INVALIDCALL;
    shape.levels = TargetLevels(mipLevels, image, shape.width, shape.height);
    Texture* created = nullptr;
    HRESULT hr = create(shape, &created);
    if (SUCCEEDED(hr))
        hr = Fill(created, image, shape, filters);
    if (FAILED(hr)) {
        if (created)
            created->Release();
        return hr;
    }
    Describe(image, sourceInfo);
    *texture = created;
    return D3D_OK;
}

} // namespace

HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT size, D3DXIMAGE_INFO* info) {
    if (!info)
        return D3DERR_INVALIDCALL;
    PlatImage image;
    const HRESULT hr = Decode(data, size, &image);
    if (SUCCEEDED(hr))
        Describe(image, info);
    return hr;
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size, UINT width,
                                            UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                            D3DXIMAGE_INFO* sourceInfo, void* palette,
                                            IDirect3DTexture9** texture) {
    PlatImage image;
    const HRESULT hr = Open(device, data, size, colorKey, palette, texture, &image);
    if (FAILED(hr))
        return hr;
    const TextureShape shape{TargetEdge(width, image.GetWidth()), TargetEdge(height, image.GetHeight()), 0,
                             TargetFormat(format, image)};
    auto create = [&](const TextureShape& made, IDirect3DTexture9** out) {
        return device->CreateTexture(made.width, made.height, made.levels, usage, made.format, pool, out,
                                     nullptr);
    };
    return MakeTexture(image, shape, mipLevels, {filter, mipFilter}, create, sourceInfo, texture);
}

HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size,
                                                UINT edgeLength, UINT mipLevels, DWORD usage,
                                                D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                                D3DCOLOR colorKey, D3DXIMAGE_INFO* sourceInfo, void* palette,
                                                IDirect3DCubeTexture9** texture) {
    PlatImage image;
    const HRESULT hr = Open(device, data, size, colorKey, palette, texture, &image);
    if (FAILED(hr))
        return hr;
    if (!image.isCube)
        return D3DXERR_INVALIDDATA;
    const UINT edge = TargetEdge(edgeLength, image.GetWidth());
    auto create = [&](const TextureShape& made, IDirect3DCubeTexture9** out) {
        return device->CreateCubeTexture(made.width, made.levels, usage, made.format, pool, out, nullptr);
    };
    return MakeTexture(image, {edge, edge, 0, TargetFormat(format, image)}, mipLevels, {filter, mipFilter},
                       create, sourceInfo, texture);
}
