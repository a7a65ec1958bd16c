#pragma once

#include "Platform/Graphics/Direct3DDevice9.h"
#include "Render/StaticBufferRecord.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// The shared buffers of the static meshes, one record per mesh name (any
// case). A record keeps a copy of its contents, so that its buffers can be
// released with the device and made again from the copy on the next one.
class CPStaticBuffers {
public:
    // The record of the mesh of this name, made on first request; null for
    // an empty mesh, without a device, or when its buffers could not be
    // made (reported).
    StaticBufferRecord* Get(IDirect3DDevice9* device, const std::string& name, const MeshVertex* vertices,
                            const uint16_t* indices, int vertexCount, int indexCount);
    // Gives the cached records that lost their buffers new ones; a failed
    // upload leaves the record without buffers, so its meshes are skipped.
    void Restore(IDirect3DDevice9* device);
    // Releases every cached record's buffers; the records stay.
    void ReleaseBuffers();
    // Releases the buffers and forgets the names: meshes holding a record
    // see null buffers, and the next request makes a new record.
    void Clear();

private:
    // Creates and fills the record's buffers from its copy; false (reported)
    // when that failed, leaving it without buffers.
    static bool Upload(IDirect3DDevice9* device, StaticBufferRecord& record);
    static void ReleaseRecordBuffers(StaticBufferRecord& record);

    std::map<std::string, StaticBufferRecord*> cache;
    std::vector<std::unique_ptr<StaticBufferRecord>> records;
};
