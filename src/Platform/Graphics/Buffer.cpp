#include "Platform/Graphics/Buffer.h"

#include "Platform/Graphics/GraphicsBackend.h"

#include <new>

namespace {

BYTE* ZeroedBytes(UINT length) {
    auto* block = static_cast<BYTE*>(std::calloc(length ? length : 1, 1));
    if (!block)
        throw std::bad_alloc();
    return block;
}

} // namespace

PlatBuffer::PlatBuffer(IDirect3DDevice9* device, UINT bufferLength, DWORD bufferUsage, D3DPOOL pool,
                       bool index)
    : IDirect3DResource9(device, pool), length(bufferLength), bytes(ZeroedBytes(bufferLength)),
      usage(bufferUsage), isIndexBuffer(index) {
    Backend().CreateBuffer(*this);
}

PlatBuffer::~PlatBuffer() {
    Backend().DestroyBuffer(*this);
}

HRESULT PlatBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
    if (!data || locked || offset > length)
        return D3DERR_INVALIDCALL;
    const UINT available = GetLength() - offset;
    if (size == 0)
        size = available;
    if (size > available)
        return D3DERR_INVALIDCALL;
    locked = true;
    lockDiscards = (flags & D3DLOCK_DISCARD) != 0;
    lockOffset = offset;
    lockSize = size;
    *data = bytes.get() + offset;
    return D3D_OK;
}

HRESULT PlatBuffer::Unlock() {
    if (!locked)
        return D3DERR_INVALIDCALL;
    locked = false;
    Backend().UpdateBuffer(*this, lockOffset, lockSize, lockDiscards);
    return D3D_OK;
}
