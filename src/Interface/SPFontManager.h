#pragma once

#include "Core/PRefPtr.h"
#include "Core/StringHashMap.h"
#include "Interface/SPFont.h"

#include <string>

class CPGameObject;
class CPRenderObject;
class CPLineReader;
class SPFontManager;
extern SPFontManager* g_FontManager;
SPFontManager* GetFontManager();

// The bitmap fonts of Data\Fonts\fonts.dat, loaded once at start-up, and the
// text builder that turns a string into one quad per character in a text
// object's mesh.
class SPFontManager {
public:
    SPFontManager();
    virtual ~SPFontManager();
    SPFontManager(const SPFontManager&) = delete;
    SPFontManager& operator=(const SPFontManager&) = delete;

    // One font per line of fonts.dat: name, spacing (2.0 when absent) and
    // render id (0 when absent), TAB-separated. A font whose .fnt file is
    // missing or whose header is out of order or not positive is left out.
    void LoadAll();
    // Rebuilds the text object's mesh with the text at (x, y) in screen
    // pixels: '^' starts a new line at x. Null when the object's visual is
    // not a mesh; an unknown font leaves the mesh empty.
    CPRenderObject* BuildText(const CPRefPtr<CPGameObject>& textObject, float x, float y,
                              const std::string& fontName, const std::string& text);

    // The font of that name, or null.
    SPFont* FindFont(const std::string& name) const;

private:
    void LoadFont(const std::string& name, float spacing, int renderId);
    void DropFonts();

    StringHashMap<CPRefPtr<SPFont>> fonts{100};
    // The fonts the manager made; it deletes them when it goes.
    std::vector<SPFont*> ownedFonts;
};
