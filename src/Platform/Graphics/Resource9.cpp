#include "Platform/Graphics/Resource9.h"

#include "Platform/Graphics/Direct3DDevice9.h"

IDirect3DResource9::IDirect3DResource9(IDirect3DDevice9* owner, D3DPOOL resourcePool, bool owned)
    : device(owner), pool(resourcePool), ownedByDevice(owned), serial(owner->NextSerial()) {
    if (!ownedByDevice)
        device->AddRef();
    if (pool == D3DPOOL_DEFAULT && !ownedByDevice)
        device->CountDefaultPoolObject(+1);
}

IDirect3DResource9::~IDirect3DResource9() {
    device->ForgetObject(this);
    if (ownedByDevice)
        return;
    if (pool == D3DPOOL_DEFAULT)
        device->CountDefaultPoolObject(-1);
    device->Release();
}

HRESULT IDirect3DResource9::GetDevice(IDirect3DDevice9** out) {
    if (!out)
        return D3DERR_INVALIDCALL;
    device->AddRef();
    *out = device;
    return D3D_OK;
}

PlatGraphicsBackend& IDirect3DResource9::Backend() const {
    return device->GetBackend();
}
