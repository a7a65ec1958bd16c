#pragma once

#include "Platform/Graphics/Resource9.h"

#include <cstdlib>
#include <memory>

// The storage shared by vertex and index buffers: a copy of the contents in
// memory, written through Lock/Unlock and handed to the backend at Unlock.
// Lock(0, 0) locks the whole buffer. With D3DLOCK_DISCARD the caller gives up
// the old contents; the backend then gives its copy new storage holding the
// locked range, so draws queued from the old contents are not disturbed. A new buffer reads as
// zeros; its memory comes zeroed from the system (calloc) rather than being
// filled, since its owner writes it straight after.
class PlatBuffer : public IDirect3DResource9 {
public:
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags);
    HRESULT Unlock();

    UINT GetLength() const { return length; }
    DWORD GetUsage() const { return usage; }
    bool IsLocked() const { return locked; }
    bool IsIndexBuffer() const { return isIndexBuffer; }
    // The contents as last unlocked.
    const BYTE* GetBytes() const { return bytes.get(); }

protected:
    PlatBuffer(IDirect3DDevice9* device, UINT length, DWORD usage, D3DPOOL pool, bool isIndexBuffer);
    ~PlatBuffer() override;

private:
    struct FreeBytes {
        void operator()(BYTE* block) const { std::free(block); }
    };
    UINT length;
    std::unique_ptr<BYTE[], FreeBytes> bytes;
    DWORD usage;
    bool isIndexBuffer;
    bool locked = false;
    bool lockDiscards = false;
    UINT lockOffset = 0;
    UINT lockSize = 0;
};
