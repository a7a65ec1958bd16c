#include "Render/PMeshManager.h"

#include "Core/CallRecorder.h"

CPMeshManager* g_MeshManager = nullptr;

CPMeshManager::CPMeshManager() {
    g_MeshManager = this;
    RecordCall("CPMeshManager()");
}

CPMeshManager::~CPMeshManager() {
    RecordCall("~CPMeshManager()");
    if (g_MeshManager == this)
        g_MeshManager = nullptr;
}
