#pragma once

#include "Core/PRefPtr.h"
#include "Core/StringHashMap.h"
#include "Game/PGameObject.h"
#include "Interface/PEditBox.h"
#include "Interface/PWindow.h"
#include "Interface/PageText.h"
#include "Platform/Graphics/D3D9Types.h"

#include <memory>
#include <string>
#include <vector>

class CPLineReader;
class CPRenderObject;

// An interface page: a menu screen or the heads-up display. Its windows and
// buttons are drawn as one mesh, its cursor and texts as child objects. A page
// file in Data\Interface lays it out for a 1024 x 768 screen; loading scales
// it to the actual one. Active pages follow the pointer and the menu keys
// through the broadcasts of InterfacePages.h and report to the scripts.
class CPInterface : public CPGameObject {
public:
    // Named "Interface" and listed in g_InterfacePages.
    CPInterface();
    ~CPInterface() override;

    std::string GetClassName() const override { return "CPInterface - " + name; }
    size_t GetSize() const override { return sizeof(CPInterface); }

    void Activate(int priority) override;
    void Deactivate() override;
    // Reads Data\Interface\<page name>1024.int; the material's priority is
    // RENDER_INTERFACE plus the offset. A file that cannot be read leaves the
    // page empty.
    virtual void Load(const std::string& pageName, int priorityOffset);
    // Queues the page's light and submits the page to the renderer.
    virtual void Render();
    // Activates without replaying the pointer position.
    virtual void ActivateQuiet(int priority);

    // Rebuilds the page mesh from the visible elements in file order.
    void UpdateBuffers();
    void SetPageText(const std::string& elementName, const std::string& text);
    void ShowWindow(const std::string& windowName, bool show);
    void SetWindowPosition(const std::string& windowName, float px, float py);
    // Leaves the outputs as they are when the page has no such window.
    void GetWindowPosition(const std::string& windowName, float& px, float& py) const;
    // Shows the named cursor at the pointer and hides the current one.
    void SetCursor(const std::string& cursor);

    // The script hooks: disable (dropping the focus) or enable the element.
    void LockButton(const std::string& elementName);
    void UnlockButton(const std::string& elementName);
    // Lets go of the focused element when it is one of the focus list,
    // telling it the pointer left.
    void DeselectFocused();

    // Page input: the broadcasts call these on every page.
    void HoverAt(float px, float py);
    void OnMouseMove(float px, float py);
    void OnMouseDown(int button, float px, float py);
    void OnMouseUp(int button, float px, float py);
    void FocusNext();
    void FocusPrevious();
    void PressFocused();
    void ReleaseFocused();
    void SendMenuUp();
    void SendMenuDown();
    void SendMenuLeft();
    void SendMenuRight();

    // Sends the command to the page's script, when it has one.
    void SendPageCommand(const std::string& command, const std::string& params) const;
    // The window or button of that name, or null.
    CPWindow* FindWindow(const std::string& windowName) const;

    float pointerX = 0;
    float pointerY = 0;
    CPRenderObject* renderObject;
    StringHashMap<CPRefPtr<CPWindow>> windows{100};
    std::vector<CPRefPtr<CPWindow>> elements;
    std::vector<CPRefPtr<CPWindow>> focusList;
    StringHashMap<CPRefPtr<CPEditBox>> editBoxes{100};
    CPRefPtr<CPWindow> focused;
    StringHashMap<PageText> texts{100};
    D3DLIGHT9 light{};
    bool lightOn = false;
    CPRefPtr<CPGameObject> cursor;
    StringHashMap<CPRefPtr<CPGameObject>> cursors{100};
    bool pageActive = false;
    std::string cursorName;

protected:
    // Appends the element to the window map and the drawing order; the page
    // owns it from now on.
    void AddElement(CPWindow* element);
    // Sets the page material from the effect and texture names.
    void SetPageMaterial(int priority, const std::string& effect, const std::string& texture);

private:
    // The two hover passes differ only when a plain window is hit: the
    // pointer keeps it focused, navigation does not.
    void HoverPass(float px, float py, bool navigation);
    // Moves the focus to the element at `step` places from the focused one.
    void FocusStep(int step);
    void RebuildWhen(bool changed);
    // Menu keys reach the script of an active page only.
    void SendMenuCommand(const char* command);
    bool IsInFocusList(const CPWindow* element) const;

    void ReadHeader(CPLineReader& lines, float& textureWidth, float& textureHeight, int priorityOffset);
    void ReadLight(const std::string& line, std::string& effect);
    void ReadElements(CPLineReader& lines, float textureWidth, float textureHeight);
    void AddCursor(const CPWindow& window);
    void AddText(CPLineReader& lines, bool editBox);
    CPGameObject* NewChildMesh(const std::string& childName);

    // The page texture, which the cursor shares.
    std::string textureName;
    std::vector<std::unique_ptr<CPWindow>> ownedElements;
    std::vector<std::unique_ptr<CPEditBox>> ownedEditBoxes;
    std::vector<std::unique_ptr<CPGameObject>> ownedChildren;
};
