#include "Interface/SPFontManager.h"

#include "Core/CallRecorder.h"
#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PLineReader.h"
#include "Core/PTokenizer.h"
#include "Game/ObjectDescription.h"
#include "Game/PGameObject.h"
#include "Interface/ScreenScale.h"
#include "Render/PMaterialManager.h"
#include "Render/PRenderObject.h"
#include "Render/RenderPriority.h"

#include <array>

SPFontManager* g_FontManager = nullptr;

namespace {

constexpr int kRows = 10;
constexpr int kColumns = 16;
// Subtracted from every pen advance whatever the font's spacing.
constexpr float kPenOverlap = 2.0f;

// The four header lines of a .fnt file: texture width and height, cell width
// and height, under exactly these keys in this order.
struct FontHeader {
    std::array<int, 4> values{};
    int TextureWidth() const { return values[0]; }
    int TextureHeight() const { return values[1]; }
    int CellWidth() const { return values[2]; }
    int CellHeight() const { return values[3]; }
};

bool ReadHeader(CPLineReader& lines, FontHeader& header) {
    static constexpr std::array<const char*, 4> kKeys = {"width", "height", "x", "y"};
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        std::string line;
        if (!lines.ReadLine(line))
            return false;
        const std::vector<std::string> fields = SplitFields(line, "\t");
        if (FieldAt(fields, 0) != kKeys[i])
            return false;
        header.values[i] = TextToInt(FieldAt(fields, 1));
        // A size of zero or less would make every glyph rectangle infinite.
        if (header.values[i] <= 0)
            return false;
    }
    return true;
}

// The character code of a glyph line's first field, as an unsigned byte.
unsigned char GlyphCode(const std::string& field) {
    if (field == "space")
        return ' ';
    return field.empty() ? 0 : static_cast<unsigned char>(field[0]);
}

void ReadGlyphs(CPLineReader& lines, const FontHeader& header, float spacing, SPFont& font) {
    const float textureWidth = static_cast<float>(header.TextureWidth());
    const float uStep = static_cast<float>(header.CellWidth()) / textureWidth;
    const float vStep = static_cast<float>(header.CellHeight()) / static_cast<float>(header.TextureHeight());
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            std::string line;
            if (!lines.ReadLine(line))
                return;
            CPTokenizer fields(line, "\t", false);
            std::string character;
            std::string advance;
            fields.NextToken(character);
            fields.NextToken(advance);
            const unsigned char code = GlyphCode(character);
            const float width = TextToFloat(advance) + spacing;
            GlyphRect& glyph = font.glyphs[code];
            glyph.left = static_cast<float>(column) * uStep;
            glyph.top = static_cast<float>(row) * vStep;
            glyph.right = glyph.left + width / textureWidth;
            glyph.bottom = glyph.top + vStep;
            font.widths[code] = width;
        }
    }
}

void AppendGlyphQuad(CPRenderObject& mesh, const GlyphRect& glyph, float x, float y, float w, float h) {
    const auto base = static_cast<uint16_t>(mesh.sourceVertices.size());
    const auto corner = [](float cx, float cy, float u, float v) {
        MeshVertex vertex{};
        vertex.x = cx;
        vertex.y = cy;
        vertex.diffuse = 0xffffffff;
        vertex.u0 = u;
        vertex.v0 = v;
        return vertex;
    };
    mesh.sourceVertices.push_back(corner(x, y, glyph.left, glyph.top));
    mesh.sourceVertices.push_back(corner(x + w, y, glyph.right, glyph.top));
    mesh.sourceVertices.push_back(corner(x + w, y + h, glyph.right, glyph.bottom));
    mesh.sourceVertices.push_back(corner(x, y + h, glyph.left, glyph.bottom));
    for (const int k : {0, 1, 2, 0, 2, 3})
        mesh.indices.push_back(static_cast<uint16_t>(base + k));
}

} // namespace

SPFontManager::SPFontManager() {
    g_FontManager = this;
    RecordCall("SPFontManager()");
}

SPFontManager::~SPFontManager() {
    RecordCall("~SPFontManager()");
    DropFonts();
    if (g_FontManager == this)
        g_FontManager = nullptr;
}

void SPFontManager::DropFonts() {
    fonts.Clear();
    for (SPFont* font : ownedFonts)
        delete font;
    ownedFonts.clear();
}

void SPFontManager::LoadAll() {
    RecordCall("SPFontManager::LoadAll");
    CPFileReader file("Data\\Fonts\\fonts.dat", false);
    if (FAILED(file.Load())) {
        GetLog().Print(0, "Data\\Fonts\\fonts.dat could not be read (missing or cut short): no fonts\n");
        return;
    }
    CPLineReader lines(file.GetData(), static_cast<std::size_t>(file.GetSize()));
    std::string line;
    while (lines.ReadLine(line)) {
        CPTokenizer fields(line, "\t", true);
        std::string name;
        std::string spacing;
        std::string renderId;
        fields.NextToken(name);
        const bool hasSpacing = fields.NextToken(spacing);
        fields.NextToken(renderId);
        LoadFont(name, hasSpacing ? TextToFloat(spacing) : 2.0f, TextToInt(renderId));
    }
}

void SPFontManager::LoadFont(const std::string& name, float spacing, int renderId) {
    CPFileReader file("Data\\Fonts\\" + name + ".fnt", false);
    if (FAILED(file.Load())) {
        GetLog().Print(0, "Font %s: Data\\Fonts\\%s.fnt could not be read (missing or cut short)\n",
                       name.c_str(), name.c_str());
        return;
    }
    CPLineReader lines(file.GetData(), static_cast<std::size_t>(file.GetSize()));
    FontHeader header;
    if (!ReadHeader(lines, header)) {
        GetLog().Print(0, "Font %s: the header needs width, height, x and y above 0, in that order\n",
                       name.c_str());
        return;
    }
    auto* font = new SPFont();
    ownedFonts.push_back(font);
    font->cellHeight = static_cast<float>(header.CellHeight());
    ReadGlyphs(lines, header, spacing, *font);
    if (g_MaterialManager)
        g_MaterialManager->GetMaterial(font->material, RENDER_FONT_BASE + renderId, "interface.fx",
                                       {name + ".tga"});
    fonts[name] = font;
}

SPFont* SPFontManager::FindFont(const std::string& name) const {
    const CPRefPtr<SPFont>* font = fonts.Find(name);
    return font ? font->Get() : nullptr;
}

CPRenderObject* SPFontManager::BuildText(const CPRefPtr<CPGameObject>& textObject, float x, float y,
                                         const std::string& fontName, const std::string& text) {
    CPRenderObject* mesh = textObject ? textObject->GetRenderObject() : nullptr;
    if (!mesh)
        return nullptr;
    mesh->sourceVertices.clear();
    mesh->indices.clear();
    const SPFont* font = FindFont(fontName);
    if (font) {
        mesh->SetMaterial(font->material);
        const float height = ScaleToScreenY(font->cellHeight);
        float penX = x;
        float penY = y;
        for (const char byte : text) {
            const auto code = static_cast<unsigned char>(byte);
            if (code == '^') {
                penX = x;
                penY += height;
                continue;
            }
            const float width = font->widths[code];
            AppendGlyphQuad(*mesh, font->glyphs[code], penX, penY, ScaleToScreenX(width), height);
            penX += ScaleToScreenX(width - kPenOverlap);
        }
    }
    mesh->vertices = mesh->sourceVertices;
    return mesh;
}

SPFontManager* GetFontManager() {
    return g_FontManager;
}
