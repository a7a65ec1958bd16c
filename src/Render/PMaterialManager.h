#pragma once

class CPMaterialManager;
extern CPMaterialManager* g_MaterialManager;

// Stands in for the material manager (with its texture and effect managers)
// until the renderer lands.
class CPMaterialManager {
public:
    CPMaterialManager();
    virtual ~CPMaterialManager();
    CPMaterialManager(const CPMaterialManager&) = delete;
    CPMaterialManager& operator=(const CPMaterialManager&) = delete;

    // Drops every cached material, texture and effect.
    static void ClearAllItems();
};
