#include "Core/XmlDocument.h"

#include "Core/Log.h"
#include "Core/PFileReader.h"

#include <string>
#include <string_view>

namespace {

// The parser recurses once per nested element; documents nested deeper than
// this would exhaust the stack, and no description needs more.
constexpr int kMaxNesting = 1000;
// Longer than any jump the parser makes over a UTF-8 sequence.
constexpr std::size_t kUtf8Padding = 8;

// Index just past the first `end` at or after `from` (the text's size when
// there is none).
std::size_t SkipPast(std::string_view text, std::size_t from, std::string_view end) {
    const std::size_t found = text.find(end, from);
    return found == std::string_view::npos ? text.size() : found + end.size();
}

// Index just past the '>' closing the tag that opens at `from`, quoted
// attribute values skipped; `selfClosing` tells whether "/>" ended it.
std::size_t SkipTag(std::string_view text, std::size_t from, bool& selfClosing) {
    char quote = 0;
    for (std::size_t i = from + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            selfClosing = text[i - 1] == '/';
            return i + 1;
        }
    }
    selfClosing = false;
    return text.size();
}

// True when elements open inside each other more than kMaxNesting deep.
// Comments, CDATA sections, declarations and closing tags are skipped over.
bool NestsTooDeep(std::string_view text) {
    int depth = 0;
    std::size_t i = text.find('<');
    while (i < text.size()) {
        const std::string_view rest = text.substr(i);
        bool selfClosing = true;
        if (rest.starts_with("<!--")) {
            i = SkipPast(text, i + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            i = SkipPast(text, i + 9, "]]>");
        } else if (rest.starts_with("<?") || rest.starts_with("<!")) {
            i = SkipPast(text, i + 2, ">");
        } else if (rest.starts_with("</")) {
            i = SkipPast(text, i + 2, ">");
            depth = depth > 0 ? depth - 1 : 0;
        } else {
            i = SkipTag(text, i, selfClosing);
        }
        if (!selfClosing && ++depth > kMaxNesting)
            return true;
        i = text.find('<', i);
    }
    return false;
}

} // namespace

bool LoadXmlDocument(TiXmlDocument& document, const char* fileName, TiXmlEncoding encoding) {
    document.Clear();
    document.ClearError();
    document.SetValue(fileName);
    CPFileReader reader(fileName, false);
    if (FAILED(reader.Load())) {
        document.SetError(TiXmlBase::TIXML_ERROR_OPENING_FILE, nullptr, nullptr, encoding);
        return false;
    }
    if (reader.GetSize() == 0)
        return false;
    const std::string text(reinterpret_cast<const char*>(reader.GetData()),
                           static_cast<size_t>(reader.GetSize()));
    return ParseXmlText(document, text, encoding);
}

bool ParseXmlText(TiXmlDocument& document, const std::string& text, TiXmlEncoding encoding) {
    if (NestsTooDeep(text)) {
        GetLog().Print(0, "%s nests its elements more than %d deep and is not read\n", document.Value(),
                       kMaxNesting);
        document.SetError(TiXmlBase::TIXML_ERROR_PARSING_ELEMENT, nullptr, nullptr, encoding);
        return false;
    }
    // The parser steps over a whole UTF-8 sequence at once: a lead byte near
    // the end makes it jump past the terminating zero. Zeros beyond it stop
    // the parser there instead of reading past the text.
    const std::string padded = text + std::string(kUtf8Padding, '\0');
    document.Parse(padded.c_str(), nullptr, encoding);
    return !document.Error();
}
