#include "Interface/PInterface.h"

#include "Input/NInput.h"
#include "Interface/InterfacePages.h"
#include "Interface/SPFontManager.h"
#include "Render/PMaterialManager.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "Script/PScriptManager.h"

#include <algorithm>

CPInterface::CPInterface() : CPGameObject("Interface"), renderObject(new CPRenderObject(this)) {
    SetVisual(renderObject, VISUAL_MESH);
    g_InterfacePages.push_back(this);
}

CPInterface::~CPInterface() {
    std::erase(g_InterfacePages, this);
    // Every reference goes before the objects it names.
    focused = nullptr;
    cursor = nullptr;
    cursors.Clear();
    texts.Clear();
    editBoxes.Clear();
    windows.Clear();
    elements.clear();
    focusList.clear();
    children.clear();
    childrenByName.Clear();
    ownedEditBoxes.clear();
    ownedElements.clear();
    ownedChildren.clear();
}

void CPInterface::Activate(int priority) {
    pageActive = true;
    int x = 0;
    int y = 0;
    if (g_Input)
        g_Input->GetMousePosition(x, y);
    BroadcastMouseMove(static_cast<float>(x), static_cast<float>(y));
    CPGameObject::Activate(priority);
}

void CPInterface::ActivateQuiet(int priority) {
    pageActive = true;
    CPGameObject::Activate(priority);
}

void CPInterface::Deactivate() {
    pageActive = false;
    CPGameObject::Deactivate();
}

void CPInterface::UpdateBuffers() {
    renderObject->sourceVertices.clear();
    renderObject->vertices.clear();
    renderObject->indices.clear();
    uint16_t base = 0;
    for (const CPRefPtr<CPWindow>& element : elements) {
        if (!element->visible)
            continue;
        for (MeshVertex corner : element->GetVertices()) {
            corner.x += element->x;
            corner.y += element->y;
            renderObject->sourceVertices.push_back(corner);
        }
        for (const uint16_t index : element->GetIndices())
            renderObject->indices.push_back(static_cast<uint16_t>(base + index));
        base = static_cast<uint16_t>(base + 4);
    }
    renderObject->vertices = renderObject->sourceVertices;
}

// A renderer not started (or stopped) has no block to draw into.
void CPInterface::Render() {
    CPRenderBlock* block = g_Render ? g_Render->GetRenderBlock().Get() : nullptr;
    if (!block)
        return;
    // The renderer drops a light beyond its thirty.
    if (lightOn)
        g_Render->QueueLight(light);
    block->AddObject(this);
}

void CPInterface::SetPageText(const std::string& elementName, const std::string& text) {
    PageText* entry = texts.Find(elementName);
    if (!entry)
        return;
    entry->text = text;
    if (g_FontManager)
        g_FontManager->BuildText(entry->textObject, entry->x, entry->y, entry->font, text);
}

CPWindow* CPInterface::FindWindow(const std::string& windowName) const {
    const CPRefPtr<CPWindow>* entry = windows.Find(windowName);
    return entry ? entry->Get() : nullptr;
}

void CPInterface::ShowWindow(const std::string& windowName, bool show) {
    if (CPWindow* window = FindWindow(windowName))
        window->SetVisible(show);
}

void CPInterface::SetWindowPosition(const std::string& windowName, float px, float py) {
    if (CPWindow* window = FindWindow(windowName)) {
        window->x = px;
        window->y = py;
    }
}

void CPInterface::GetWindowPosition(const std::string& windowName, float& px, float& py) const {
    if (const CPWindow* window = FindWindow(windowName)) {
        px = window->x;
        py = window->y;
    }
}

void CPInterface::SetCursor(const std::string& cursorToShow) {
    if (cursor)
        cursor->visible = false;
    cursor = cursors[cursorToShow];
    cursorName = cursorToShow;
    if (cursor) {
        cursor->visible = true;
        cursor->SetPosition(D3DXVECTOR3(pointerX, pointerY, 0));
        cursor->UpdateHierarchy();
    }
}

void CPInterface::SendPageCommand(const std::string& command, const std::string& params) const {
    if (script && g_ScriptManager)
        g_ScriptManager->SendCommandByObject(script, command, params);
}

void CPInterface::AddElement(CPWindow* element) {
    ownedElements.emplace_back(element);
    windows[element->name] = element;
    elements.emplace_back(element);
}

void CPInterface::SetPageMaterial(int priority, const std::string& effect, const std::string& texture) {
    CPRefPtr<CPMaterial> material;
    if (g_MaterialManager)
        g_MaterialManager->GetMaterial(material, priority, effect, {texture});
    renderObject->SetMaterial(material);
}
