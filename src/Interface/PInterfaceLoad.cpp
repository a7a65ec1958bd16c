#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PLineReader.h"
#include "Core/StringFunctions.h"
#include "Game/ObjectDescription.h"
#include "Game/PGameData.h"
#include "Interface/PButton.h"
#include "Interface/PInterface.h"
#include "Interface/SPFontManager.h"
#include "Interface/ScreenScale.h"
#include "Render/PMaterialManager.h"
#include "Render/PRenderObject.h"
#include "Render/RenderPriority.h"
#include "Script/PScriptManager.h"

namespace {

constexpr int kCursorPriority = 205;

// A texture size of zero or less would make every texture coordinate
// infinite: it counts as 1.
float TextureSize(const std::string& field, const std::string& page) {
    const float size = TextToFloat(field);
    if (size > 0)
        return size;
    GetLog().Print(0, "Interface %s: texture size \"%s\" read as 1\n", page.c_str(), field.c_str());
    return 1.0f;
}

} // namespace

void CPInterface::Load(const std::string& pageName, int priorityOffset) {
    name = pageName;
    transformChanged = true;
    visualKind = VISUAL_MESH;
    CPFileReader file("Data\\Interface\\" + pageName + "1024.int", false);
    if (SUCCEEDED(file.Load())) {
        CPLineReader lines(file.GetData(), static_cast<std::size_t>(file.GetSize()));
        float textureWidth = 1;
        float textureHeight = 1;
        ReadHeader(lines, textureWidth, textureHeight, priorityOffset);
        ReadElements(lines, textureWidth, textureHeight);
    } else {
        GetLog().Print(0,
                       "Interface %s: Data\\Interface\\%s1024.int could not be read (missing or cut short)\n",
                       pageName.c_str(), pageName.c_str());
    }
    UpdateBuffers();
}

void CPInterface::ReadHeader(CPLineReader& lines, float& textureWidth, float& textureHeight,
                             int priorityOffset) {
    std::string scriptName;
    std::string textureLine;
    std::string lightLine;
    lines.ReadLine(scriptName);
    lines.ReadLine(textureLine);
    lines.ReadLine(lightLine);
    const std::vector<std::string> texture = SplitFields(textureLine, ",");
    textureWidth = TextureSize(FieldAt(texture, 1), name);
    textureHeight = TextureSize(FieldAt(texture, 2), name);
    std::string effect;
    ReadLight(lightLine, effect);
    textureName = FieldAt(texture, 0);
    SetPageMaterial(RENDER_INTERFACE + priorityOffset, effect, textureName);
    script = g_ScriptManager ? g_ScriptManager->GetScript(scriptName).Get() : nullptr;
}

void CPInterface::ReadLight(const std::string& line, std::string& effect) {
    const std::vector<std::string> fields = SplitFields(line, ",");
    const auto value = [&](std::size_t i) { return TextToFloat(FieldAt(fields, i)); };
    const D3DVECTOR direction{value(2), value(3), value(4)};
    const bool hasDirection = direction.x != 0 || direction.y != 0 || direction.z != 0;
    // A directional light needs a direction: a zero one leaves the light off.
    lightOn = FieldAt(fields, 1) == "on" && hasDirection;
    if (lightOn) {
        light = D3DLIGHT9{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = D3DCOLORVALUE{value(5), value(6), value(7), 0};
        light.Specular = light.Diffuse;
        light.Direction = direction;
        light.Range = 10000.0f;
    }
    effect = FieldAt(fields, 8) == "smooth" ? "interface2.fx" : "interface.fx";
}

void CPInterface::ReadElements(CPLineReader& lines, float textureWidth, float textureHeight) {
    std::string keyword;
    while (lines.ReadLine(keyword)) {
        ToLowerString(keyword);
        if (keyword == "window") {
            auto window = std::make_unique<CPWindow>(this);
            window->Load(lines, textureWidth, textureHeight);
            if (window->name == "cursor")
                AddCursor(*window);
            else
                AddElement(window.release());
        } else if (keyword == "button") {
            auto* button = new CPButton(this);
            button->Load(lines, textureWidth, textureHeight);
            AddElement(button);
            focusList.emplace_back(button);
        } else if (keyword == "textedit" || keyword == "text") {
            AddText(lines, keyword == "textedit");
        }
    }
}

CPGameObject* CPInterface::NewChildMesh(const std::string& childName) {
    auto* child = new CPGameObject(childName);
    ownedChildren.emplace_back(child);
    child->SetVisual(new CPRenderObject(child), VISUAL_MESH);
    children.emplace_back(child);
    return child;
}

void CPInterface::AddCursor(const CPWindow& window) {
    CPGameObject* object = NewChildMesh("cursor");
    CPRenderObject* mesh = object->GetRenderObject();
    const auto& corners = window.GetVertices();
    mesh->sourceVertices.assign(corners.begin(), corners.end());
    mesh->vertices = mesh->sourceVertices;
    const auto& indices = window.GetIndices();
    mesh->indices.assign(indices.begin(), indices.end());
    const D3DXVECTOR3 first(corners[0].x, corners[0].y, corners[0].z);
    const D3DXVECTOR3 last(corners[3].x, corners[3].y, corners[3].z);
    object->partBoxes.emplace_back((first + last) / 2.0f, (last - first) / 2.0f);
    if (g_MaterialManager)
        g_MaterialManager->GetMaterial(mesh->material, kCursorPriority, "interface.fx", {textureName});
    cursor = object;
    cursors["cursor"] = object;
}

void CPInterface::AddText(CPLineReader& lines, bool editBox) {
    std::string line;
    lines.ReadLine(line);
    const std::vector<std::string> parts = SplitFields(line, " ");
    const std::string& elementName = FieldAt(parts, 0);
    const std::vector<std::string> values = SplitFields(FieldAt(parts, 1), ",");
    // Edit boxes give the position first, texts the font first.
    const std::size_t positionField = editBox ? 0 : 1;
    PageText record;
    record.textObject = NewChildMesh("text");
    record.font = FieldAt(values, editBox ? 2 : 0);
    record.x = ScaleToScreenX(TextToFloat(FieldAt(values, positionField))) + 0.5f;
    record.y = ScaleToScreenY(TextToFloat(FieldAt(values, positionField + 1))) + 0.5f;
    if (editBox) {
        auto* box = new CPEditBox(record, TextToInt(FieldAt(values, 3)), FieldAt(values, 5));
        ownedEditBoxes.emplace_back(box);
        editBoxes[elementName] = box;
    }
    texts[elementName] = record;
    if (!editBox && g_FontManager)
        g_FontManager->BuildText(record.textObject, record.x, record.y, record.font,
                                 g_GameData ? g_GameData->GetText(FieldAt(values, 3)) : std::string());
}
