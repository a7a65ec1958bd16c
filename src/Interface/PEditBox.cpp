#include "Interface/PEditBox.h"

#include "Interface/SPFontManager.h"

CPEditBox::CPEditBox(const PageText& record, int maxTextLength, const std::string& initialText)
    : textObject(record.textObject), font(record.font), x(record.x), y(record.y), text(initialText),
      maxLength(maxTextLength) {
    if (g_FontManager)
        g_FontManager->BuildText(textObject, x, y, font, text + "_");
}
