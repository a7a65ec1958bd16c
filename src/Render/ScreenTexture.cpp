#include "Render/ScreenTexture.h"

#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Platform/Graphics/TextureLoader.h"

IDirect3DTexture9* LoadScreenTexture(IDirect3DDevice9* device, const char* path, const char* module) {
    CPFileReader reader(path, false);
    if (FAILED(reader.Load()))
        return nullptr;
    IDirect3DTexture9* texture = nullptr;
    const HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
        device, reader.GetData(), static_cast<UINT>(reader.GetSize()), D3DX_DEFAULT, D3DX_DEFAULT,
        D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_FILTER_BOX | D3DX_FILTER_DITHER,
        0, nullptr, nullptr, &texture);
    if (FAILED(hr)) {
        ReportPlatformError(module, __LINE__, hr);
        return nullptr;
    }
    return texture;
}
