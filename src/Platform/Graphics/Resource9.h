#pragma once

#include "Platform/Graphics/D3D9Types.h"
#include "Platform/Graphics/Unknown.h"

#include <cstdint>

class IDirect3DDevice9;
class PlatGraphicsBackend;

// A device object: buffer, texture or surface. It keeps its device alive
// (unless the device owns it), knows its pool, and carries the name its
// backend gave it. Every object of a device gets a serial number of its own,
// never reused, which the recording backend logs.
class IDirect3DResource9 : public IUnknown {
public:
    HRESULT GetDevice(IDirect3DDevice9** device);
    D3DPOOL GetPool() const { return pool; }
    uint32_t GetSerial() const { return serial; }

    // The device without a new reference.
    IDirect3DDevice9& Owner() const { return *device; }

    uint32_t GetBackendName() const { return backendName; }
    void SetBackendName(uint32_t name) { backendName = name; }

protected:
    // An object the device owns itself (the back buffer) does not hold a
    // reference to it.
    IDirect3DResource9(IDirect3DDevice9* device, D3DPOOL pool, bool ownedByDevice = false);
    ~IDirect3DResource9() override;

    PlatGraphicsBackend& Backend() const;

private:
    IDirect3DDevice9* device;
    D3DPOOL pool;
    bool ownedByDevice;
    uint32_t serial;
    uint32_t backendName = 0;
};
