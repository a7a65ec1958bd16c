#pragma once

class CPMeshManager;
extern CPMeshManager* g_MeshManager;

// Stands in for the mesh manager until the renderer lands.
class CPMeshManager {
public:
    CPMeshManager();
    virtual ~CPMeshManager();
    CPMeshManager(const CPMeshManager&) = delete;
    CPMeshManager& operator=(const CPMeshManager&) = delete;
};
