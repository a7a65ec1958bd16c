#include "Interface/PEditBox.h"

#include "Interface/SPFontManager.h"
#include "Platform/Win32Text.h"

#include <algorithm>

namespace {

constexpr int kBackspace = 8;
constexpr int kSpace = 32;
// Dead keys of the code page (diaeresis and cedilla), which type nothing.
constexpr int kDiaeresis = 168;
constexpr int kCedilla = 184;

} // namespace

CPEditBox::CPEditBox(const PageText& record, int maxTextLength, const std::string& initialText)
    : textObject(record.textObject), font(record.font), x(record.x), y(record.y), text(initialText),
      maxLength(maxTextLength) {
    Rebuild();
}

void CPEditBox::SetText(const std::string& newText) {
    text = newText.substr(0, static_cast<std::size_t>(std::max(maxLength, 0)));
    Rebuild();
}

void CPEditBox::ProcessKey(int code) {
    if (code < 0 || code > 255)
        return;
    if (code == kDiaeresis || code == kCedilla)
        return;
    const bool room = static_cast<int>(text.size()) < maxLength;
    const auto ch = static_cast<CHAR>(code);
    if (IsCharAlphaNumericA(ch) && room)
        text += CharUpperLatin1(ch);
    else if (code == kSpace && room)
        text += ' ';
    else if (code == kBackspace && !text.empty())
        text.pop_back();
    Rebuild();
}

void CPEditBox::Rebuild() {
    if (g_FontManager)
        g_FontManager->BuildText(textObject, x, y, font, text + "_");
}
