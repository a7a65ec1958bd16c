#include "Interface/SPFontManager.h"

#include "Core/CallRecorder.h"

SPFontManager* g_FontManager = nullptr;

SPFontManager::SPFontManager() {
    g_FontManager = this;
    RecordCall("SPFontManager()");
}

SPFontManager::~SPFontManager() {
    RecordCall("~SPFontManager()");
    if (g_FontManager == this)
        g_FontManager = nullptr;
}

void SPFontManager::LoadAll() {
    RecordCall("SPFontManager::LoadAll");
}

SPFontManager* GetFontManager() {
    return g_FontManager;
}
