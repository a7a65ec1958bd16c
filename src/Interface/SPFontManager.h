#pragma once

class SPFontManager;
extern SPFontManager* g_FontManager;
SPFontManager* GetFontManager();

// Stands in for the font manager until the interface lands.
class SPFontManager {
public:
    SPFontManager();
    virtual ~SPFontManager();
    SPFontManager(const SPFontManager&) = delete;
    SPFontManager& operator=(const SPFontManager&) = delete;

    // Loads every font that Data\Fonts\fonts.dat names.
    void LoadAll();
};
