#pragma once

#include "Core/PObject.h"
#include "Interface/PageText.h"

#include <string>

// A text field of an interface page that the page's script types into; it
// shows its text followed by the "_" caret.
class CPEditBox : public CPObject {
public:
    CPEditBox(const PageText& record, int maxLength, const std::string& initialText);

    size_t GetSize() const override { return sizeof(CPEditBox); }
    std::string GetClassName() const override { return "CPEditBox"; }

    // The first maxLength bytes of the text; the mesh is rebuilt.
    void SetText(const std::string& newText);
    // One typed character code of the code page: a letter or digit is
    // appended upper-cased and a space as it is while the text is shorter
    // than maxLength, a backspace removes the last character, any other
    // code changes nothing. The mesh is rebuilt, except for the dead keys
    // 168 and 184 and for codes outside 0..255, which do nothing at all.
    void ProcessKey(int code);
    // Builds the mesh from the text and the "_" caret.
    void Rebuild();

    CPRefPtr<CPGameObject> textObject;
    std::string font;
    float x = 0;
    float y = 0;
    std::string text;
    int maxLength = 0;
};
