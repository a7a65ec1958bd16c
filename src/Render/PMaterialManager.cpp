#include "Render/PMaterialManager.h"

#include "Core/CallRecorder.h"

CPMaterialManager* g_MaterialManager = nullptr;

CPMaterialManager::CPMaterialManager() {
    g_MaterialManager = this;
    RecordCall("CPMaterialManager()");
}

CPMaterialManager::~CPMaterialManager() {
    RecordCall("~CPMaterialManager()");
    if (g_MaterialManager == this)
        g_MaterialManager = nullptr;
}

void CPMaterialManager::ClearAllItems() {
    RecordCall("CPMaterialManager::ClearAllItems");
}
