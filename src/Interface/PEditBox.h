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

    CPRefPtr<CPGameObject> textObject;
    std::string font;
    float x = 0;
    float y = 0;
    std::string text;
    int maxLength = 0;
};
