#pragma once

#include "Core/PRefPtr.h"
#include "Render/PMaterial.h"

#include <string>
#include <vector>

class CPMaterialManager;
extern CPMaterialManager* g_MaterialManager;

class CPTextureManager;

// The one material of each (priority, effect, texture list) combination.
// Creates the texture manager and the effect manager, and deletes them,
// with every material, when it goes.
class CPMaterialManager {
public:
    CPMaterialManager();
    virtual ~CPMaterialManager();
    CPMaterialManager(const CPMaterialManager&) = delete;
    CPMaterialManager& operator=(const CPMaterialManager&) = delete;

    void GetMaterial(CPRefPtr<CPMaterial>& out, int priority, const std::string& effectSpec,
                     const std::vector<std::string>& textureNames);
    // Empties every material's batch list.
    void ClearAllItems();

    const std::vector<CPRefPtr<CPMaterial>>& GetMaterials() const { return materials; }

private:
    std::vector<CPRefPtr<CPMaterial>> materials;
};
